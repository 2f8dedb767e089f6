// The order of the vessel's host calls in its class set-up and after a scenario load, read from the host's
// trace.
#include "vessel_fixture.h"

using coretest::CoreWorld;

namespace {

constexpr const char* CREW_LINES =
    "  UMMUCREW Capt-Ilse_Marrow-35-65-74\n  UMMUCREW Sci-Teodor_Vanke-41-65-74\n";

class CallOrder : public CoreWorld {
  protected:
    CallOrder() { options.trace = true; }

    // The vessel's traced host calls in order, runs of one call folded into "Name*count". The crew manager's
    // airlock publication (attachment parameters) and handle lookups interleave with the vessel's and are
    // left out.
    std::vector<std::string> Calls(const std::string& vessel) {
        const std::string prefix = "trace: " + vessel + ".";
        std::vector<std::string> names;
        for (const std::string& line : Sim().Timeline()) {
            const size_t at = line.find(prefix);
            if (at == std::string::npos) continue;
            // "Name(arguments) = result": the name alone.
            const std::string call = line.substr(at + prefix.size());
            const std::string name = call.substr(0, call.find('('));
            if (name != "SetAttachmentParams" && name != "GetHandle") names.push_back(name);
        }
        std::vector<std::string> folded;
        for (size_t i = 0; i < names.size();) {
            size_t j = i;
            while (j < names.size() && names[j] == names[i])
                ++j;
            folded.push_back(j - i > 1 ? names[i] + "*" + std::to_string(j - i) : names[i]);
            i = j;
        }
        return folded;
    }

    static std::vector<std::string> From(const std::vector<std::string>& calls, const std::string& first) {
        for (size_t i = 0; i < calls.size(); ++i)
            if (calls[i] == first)
                return std::vector<std::string>(calls.begin() + static_cast<long>(i), calls.end());
        return {};
    }
};

} // namespace

TEST_F(CallOrder, ClassSetUpMakesItsHostCallsInTheFixedOrder) {
    LoadText(coretest::Scenario(coretest::LandedBlock("Corvane-1", CREW_LINES)));
    const std::vector<std::string> calls = From(Calls("Corvane-1"), "SetSize");
    const std::vector<std::string> expected = {
        "SetSize", "SetEmptyMass", "SetPMI", "SetCrossSections", "SetRotDrag",
        // The touchdown springs are made for the mass.
        "GetMass", "SetTouchdownPoints", "AddBeacon*8",
        // Gear, two canopies and the tunnel each with their components; the boost and main lamps created
        // together, then the twelve lamps together.
        "CreateAnimation", "AddAnimationComponent*6", "CreateAnimation", "AddAnimationComponent*2",
        "CreateAnimation", "AddAnimationComponent", "CreateAnimation", "AddAnimationComponent",
        "CreateAnimation*2", "AddAnimationComponent*2", "CreateAnimation*12", "AddAnimationComponent*12",
        "SetDockParams", "CreateAttachment*7", "CreateAirfoil3*4", "CreateAnimation*3",
        "AddAnimationComponent*4", "CreateControlSurface3*4", "SetNosewheelSteering",
        "CreatePropellantResource",
        // Retro, then main and boost, then hover (aimed against the weight), then the attitude set.
        "CreateThruster", "CreateThrusterGroup", "AddExhaust*2", "CreateThruster*2", "CreateThrusterGroup",
        "AddExhaust*3", "AddExhaustStream*6", "GetWeightVector", "CreateThruster", "CreateThrusterGroup",
        "CreateThruster*14",
        "AddExhaust*28", "CreateThrusterGroup*12", "SetCameraOffset", "AddMesh*2", "SetMeshVisibilityMode*2",
        "SetAnimation*12"};
    ASSERT_GE(calls.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(calls[i], expected[i]) << "call " << i;
}

TEST_F(CallOrder, LoadEndsWithCameraThenGroundContactThenFeeds) {
    LoadText(
        coretest::Scenario(coretest::LandedBlock("Corvane-1", std::string(CREW_LINES) + "  GEAR 0.5 1\n")));
    const std::vector<std::string> calls = From(Calls("Corvane-1"), "ParseScenarioLineEx*3");
    const std::vector<std::string> expected = {
        "ParseScenarioLineEx*3",   "SetAnimation",         "SetCameraOffset",
        "GetMass",                 "SetTouchdownPoints",   "SetNosewheelSteering",
        "SetMaxWheelbrakeForce",   "SetSurfaceFrictionCoeff", "SetThrusterResource*2"};
    ASSERT_GE(calls.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(calls[i], expected[i]) << "call " << i;
}

TEST_F(CallOrder, PrefixKeyLinesStayWithTheVesselAndRefusedCrewLinesReachTheHost) {
    LoadText(coretest::Scenario(
        coretest::LandedBlock("Corvane-1", "  FTLX 1\n  UMMUCREW Capt-Ilse_Marrow-0-65-74\n  Gearbox 1\n")));
    EXPECT_FALSE(TimelineHas("neither the module nor the host: FTLX 1"));
    // A line that merely begins with a key is the key's, whatever follows.
    EXPECT_FALSE(TimelineHas("neither the module nor the host: Gearbox 1"));
    EXPECT_TRUE(TimelineHas("neither the module nor the host: UMMUCREW Capt-Ilse_Marrow-0-65-74"));
}
