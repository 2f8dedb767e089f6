// Pilot actions flown in both hosts from one flight script: the real host plays it through the tests' script
// player plugin, hostsim itself; their timelines and saves are lined up.
#include "script_flight.h"

namespace {

using namespace realhost;

// The kinds of timeline lines both hosts write. hostsim writes more (HUD text, forces between vessels, its
// input box), which the real host does not show a plugin.
const char* const SHARED_EVENTS[] = {"created ", "deleted ",  "key ",    "hold ",     "focus ",
                                     "placed ",  "attached ", "docked ", "undocked ", "thgroup ",
                                     "surface ", "carrier: ", "sound: ", "quit"};

struct Event {
    double t;
    std::string what;
};

// A docked pair is one link whichever ship names it first: "docked A port 0 to B port 1" in the order of
// names.
std::string Canonical(const std::string& what) {
    char a[64], b[64];
    int pa, pb;
    if (std::sscanf(what.c_str(), "docked %63s port %d to %63s port %d", a, &pa, b, &pb) != 4) return what;
    if (std::string(a) <= std::string(b)) return what;
    return "docked " + std::string(b) + " port " + std::to_string(pb) + " to " + a + " port " +
           std::to_string(pa);
}

std::vector<Event> SharedEvents(const std::string& timeline) {
    std::vector<Event> events;
    std::istringstream in(timeline);
    std::string line;
    while (std::getline(in, line)) {
        double t;
        int at = 0;
        if (std::sscanf(line.c_str(), "[ %lf] %n", &t, &at) != 1 || at == 0) continue;
        std::string what = Canonical(line.substr((size_t)at));
        for (const char* kind : SHARED_EVENTS)
            if (what.rfind(kind, 0) == 0) events.push_back({t, what});
    }
    return events;
}

// Each event of one host matched to the same event of the other at most a frame apart; what is left over on
// either side is a difference. Events more than a frame apart keep their order.
void ExpectSameEvents(const std::vector<Event>& sim, const std::vector<Event>& real) {
    std::vector<bool> used(real.size(), false);
    double lastMatch = -1.0;
    for (const Event& e : sim) {
        size_t found = real.size();
        for (size_t i = 0; i < real.size() && found == real.size(); ++i)
            if (!used[i] && real[i].what == e.what && std::fabs(real[i].t - e.t) <= FRAME + 1e-3) found = i;
        if (found == real.size()) {
            ADD_FAILURE() << "hostsim only, at " << e.t << " s: " << e.what;
            continue;
        }
        used[found] = true;
        EXPECT_GE(real[found].t, lastMatch - FRAME - 1e-3) << "out of order in the real host: " << e.what;
        lastMatch = std::max(lastMatch, real[found].t);
    }
    for (size_t i = 0; i < real.size(); ++i)
        if (!used[i]) ADD_FAILURE() << "real host only, at " << real[i].t << " s: " << real[i].what;
}

// The demo's two minutes: EVA and return, hover take-off from the wheels and climb on boost, the jump, a
// railgun burst at a drone, refuelling and release under the carrier, a transfer to a docked ship, and the
// carrier's drop home.
TEST_F(ScriptFlight, DemoFliesTheSameEventsAndEndsWithTheSameCrewsAndShipLinesInBothHosts) {
    FlyBoth("Corvane/Demo", std::string(HOSTROOT_DIR) + "/Scenarios/Corvane/Demo.script");
    if (HasFatalFailure()) return;
    const std::vector<Event> simEvents = SharedEvents(sim.log);
    EXPECT_GT(simEvents.size(), 50u);
    ExpectSameEvents(simEvents, SharedEvents(realTimeline));
    for (const char* ship : {"Corvane-1", "Corvane-2"})
        ExpectSameOwnLines(real, sim, ship);
    // The captain went across to the docked ship, and is there in the real host too.
    const std::vector<std::string> crew = LinesWithKeys(real.ships.at("Corvane-2"), {"UMMUCREW"});
    EXPECT_NE(std::find(crew.begin(), crew.end(), "UMMUCREW Capt-Ilse_Marrow-35-65-74"), crew.end());
}

// Off the belly on the hover engine and the vertical thrusters, at 60 frames a second: the same climb and the
// same attitude in both hosts.
TEST_F(ScriptFlight, HoverTakeOffFromTheBellyClimbsAtTheSameHeightAndAttitudeInBothHosts) {
    {
        std::ofstream(scratch + "/flight.script")
            << "0.5 hold Ctrl+NUMPAD0 2\n0.5 thgroup ATT_UP 1\n5.5 thgroup ATT_UP 0.3\n15 quit\n";
    }
    FlyBoth("Test/BellyRunway", scratch + "/flight.script", std::string(SCENARIO_DIR) + "/BellyRunway.scn");
    if (HasFatalFailure()) return;
    for (double t : {1.0, 5.0, 10.0, 14.9}) {
        SCOPED_TRACE(t);
        std::map<std::string, double> r = Row("real.csv", "Corvane-1", t), h = Row("sim.csv", "Corvane-1", t);
        ASSERT_FALSE(r.empty() || h.empty());
        EXPECT_NEAR(h["altitude"], r["altitude"], 0.02 * r["altitude"] + 0.1);
        EXPECT_NEAR(h["pitch"], r["pitch"], 0.2);
        EXPECT_NEAR(h["bank"], r["bank"], 0.2);
    }
    EXPECT_GT(Row("real.csv", "Corvane-1", 14.9)["altitude"], 60.0); // it did climb
}

// Short flights of one pilot action each: the same events, and the ships' own lines and crews alike at the
// end.
struct TargetedFlight {
    const char* name;
    const char* scenario;
    const char* script;
    const char* ships[2];
};

constexpr TargetedFlight TARGETED_FLIGHTS[] = {
    {"GearUpAndDownOnTheRunway", "Corvane/Runway", "0.5 key G\n6 key G\n12 quit\n", {"Corvane-1", nullptr}},
    {"HyperspaceJumpInOrbit", "Corvane/Orbit", "0.5 key Ctrl+F12\n4 quit\n", {"Corvane-1", nullptr}},
    {"TransferBetweenDockedShips",
     "Corvane/DockedPair",
     "0.5 key E\n2 key E\n3 quit\n",
     {"Corvane-1", "Corvane-2"}},
    {"RefuelAndReleaseUnderTheCarrier",
     "Corvane/Carrier",
     "0.5 key Shift+R\n2 key J\n4 quit\n",
     {"Corvane-1", nullptr}},
};

// Test lists name a flight by its name, not its bytes.
void PrintTo(const TargetedFlight& f, std::ostream* out) {
    *out << f.name;
}

class TargetedFlights : public ScriptFlight, public ::testing::WithParamInterface<TargetedFlight> {};

TEST_P(TargetedFlights, FlyTheSameEventsAndEndWithTheSameShipLinesInBothHosts) {
    const TargetedFlight& f = GetParam();
    { std::ofstream(scratch + "/flight.script") << f.script; }
    FlyBoth(f.scenario, scratch + "/flight.script");
    if (HasFatalFailure()) return;
    const std::vector<Event> simEvents = SharedEvents(sim.log);
    // More than the scenario's vessels and the script's own commands: the action did something.
    EXPECT_GT(simEvents.size(), 4u) << sim.log;
    ExpectSameEvents(simEvents, SharedEvents(realTimeline));
    for (const char* ship : f.ships)
        if (ship) ExpectSameOwnLines(real, sim, ship);
    // Where it ends: the same attitude to the horizon in both hosts.
    const double end = std::prev(simEvents.end())->t;
    for (const char* ship : f.ships) {
        if (!ship) continue;
        std::map<std::string, double> r = Row("real.csv", ship, end), h = Row("sim.csv", ship, end);
        ASSERT_FALSE(r.empty() || h.empty()) << ship;
        EXPECT_NEAR(h["pitch"], r["pitch"], 0.2) << ship;
        EXPECT_NEAR(h["bank"], r["bank"], 0.2) << ship;
    }
}

INSTANTIATE_TEST_SUITE_P(RealHost, TargetedFlights, ::testing::ValuesIn(TARGETED_FLIGHTS),
                         [](const ::testing::TestParamInfo<TargetedFlight>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
