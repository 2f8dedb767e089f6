// Modules an outside author wrote against the real host's SDK alone (tests/outside), flown unchanged in both
// hosts. Each logs what it reads as "OUT <module> t=<s> key=value ..." every second and at each event of its
// flight; hostsim must load them, fly them without a misuse or an unmodelled call, and read back what the
// real host reads within each quantity's tolerance.
#include "realhost_fixture.h"

namespace {

using namespace realhost;

// One "OUT" line: the module, the vessel (when the module names it), the event (none for the periodic
// lines), the time and every key's text.
struct OutLine {
    std::string module, vessel, event;
    double t = NAN;
    std::map<std::string, std::string> values;
    std::string text;
};

std::vector<OutLine> OutLines(const std::string& log, const std::string& module) {
    std::vector<OutLine> lines;
    std::istringstream in(log);
    std::string raw;
    const std::string mark = "OUT " + module + " ";
    while (std::getline(in, raw)) {
        const size_t at = raw.find(mark);
        if (at == std::string::npos) continue;
        OutLine line;
        line.module = module;
        line.text = raw.substr(at);
        std::istringstream words(raw.substr(at + mark.size()));
        for (std::string word; words >> word;) {
            const size_t eq = word.find('=');
            if (eq == std::string::npos) continue;
            line.values[word.substr(0, eq)] = word.substr(eq + 1);
        }
        line.t = line.values.count("t") ? std::atof(line.values["t"].c_str()) : NAN;
        line.vessel = line.values.count("vessel") ? line.values["vessel"] : "";
        line.event = line.values.count("event") ? line.values["event"] : "";
        lines.push_back(line);
    }
    return lines;
}

// How far hostsim's reading of a key may lie from the real host's: an absolute part and a fraction of the
// real value, whichever is larger. Keys without one (flags, counts, results) must read the same text.
struct Tolerance {
    double absolute, relative;
};
using Tolerances = std::map<std::string, Tolerance>;

constexpr double PERIODIC_TIME_TOLERANCE = 1e-3; // s: both hosts step the same frames
constexpr double EVENT_TIME_TOLERANCE = 0.1; // s: an event met by a measured quantity may move a few frames

const Tolerances LANDER_TOLERANCES = {
    {"t", {1e-3, 0}}, {"alt", {0.25, 0}}, {"cog", {0.01, 0}},  {"gs", {0.1, 0}},   {"gx", {0.1, 0}},
    {"gy", {0.1, 0}}, {"gz", {0.1, 0}},   {"pitch", {0.5, 0}}, {"bank", {0.5, 0}}, {"hover", {0.02, 0}},
};
const Tolerances AIRCRAFT_TOLERANCES = {
    {"t", {1e-3, 0}},    {"alt", {2.0, 0}},  {"rho", {0, 0.01}},  {"q", {0, 0.01}},
    {"mach", {0, 0.01}}, {"tas", {0.5, 0}},  {"gs", {0.5, 0}},    {"hx", {0.5, 0}},
    {"hy", {0.5, 0}},    {"hz", {0.5, 0}},   {"aoa", {0.5, 0}},   {"slip", {0.5, 0}},
    {"pitch", {0.5, 0}}, {"bank", {0.5, 0}}, {"lift", {0, 0.05}}, {"drag", {0, 0.05}},
};
const Tolerances TUG_TOLERANCES = {
    {"t", {1e-3, 0}}, {"dist", {0.05, 0}}, {"before", {0.05, 0}}, {"speed", {0.01, 0}}, {"mass", {1.0, 0}},
};

// Every line of the real host's has its counterpart in hostsim's (same module, vessel and event, at the
// same time), with every key within its tolerance, and hostsim has no event of its own.
void ExpectSameReadings(const std::vector<OutLine>& real, const std::vector<OutLine>& sim,
                        const Tolerances& tolerances) {
    for (const OutLine& r : real) {
        SCOPED_TRACE("real host: " + r.text);
        const double window = r.event.empty() ? PERIODIC_TIME_TOLERANCE : EVENT_TIME_TOLERANCE;
        const OutLine* match = nullptr;
        for (const OutLine& s : sim)
            if (s.vessel == r.vessel && s.event == r.event && std::fabs(s.t - r.t) <= window &&
                (!match || std::fabs(s.t - r.t) < std::fabs(match->t - r.t)))
                match = &s;
        if (!match) {
            ADD_FAILURE() << "no such line from hostsim";
            continue;
        }
        SCOPED_TRACE("hostsim:   " + match->text);
        for (const auto& [key, text] : r.values) {
            if (key == "t") continue; // the time matched within the line's window above
            auto other = match->values.find(key);
            if (other == match->values.end()) {
                ADD_FAILURE() << "hostsim's line has no " << key;
                continue;
            }
            auto tol = tolerances.find(key);
            if (tol == tolerances.end()) {
                EXPECT_EQ(other->second, text) << key;
                continue;
            }
            const double a = std::atof(text.c_str()), b = std::atof(other->second.c_str());
            EXPECT_NEAR(b, a, std::max(tol->second.absolute, tol->second.relative * std::fabs(a))) << key;
        }
    }
    // Nor may hostsim meet an event the real host never met.
    for (const OutLine& s : sim) {
        if (s.event.empty()) continue;
        bool met = false;
        for (const OutLine& r : real)
            met = met || (r.vessel == s.vessel && r.event == s.event &&
                          std::fabs(s.t - r.t) <= EVENT_TIME_TOLERANCE);
        EXPECT_TRUE(met) << "only hostsim: " << s.text;
    }
}

double Value(const OutLine& line, const std::string& key) {
    auto it = line.values.find(key);
    return it == line.values.end() ? NAN : std::atof(it->second.c_str());
}

const OutLine* Event(const std::vector<OutLine>& lines, const std::string& event) {
    for (const OutLine& l : lines)
        if (l.event == event) return &l;
    return nullptr;
}

class OutsideModules : public RealHostFlight {
  protected:
    void SetUp() override {
        RealHostFlight::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        // The modules, their classes and scenarios go into this copy of the host, which is hostsim's root
        // too.
        const std::string test = std::string(REALSDK_BUILD) + "/testroot";
        ASSERT_EQ(Shell("mkdir -p " + Quoted(scratch + "/Scenarios/Outside") + " && cp " + Quoted(test) +
                        "/Modules/libOutside*.so " + Quoted(scratch + "/Modules/") + " && cp " +
                        Quoted(test) + "/Config/Vessels/Outside*.cfg " +
                        Quoted(scratch + "/Config/Vessels/") + " && cp " + Quoted(test) +
                        "/Scenarios/Outside/*.scn " + Quoted(scratch + "/Scenarios/Outside/")),
                  0);
    }

    // Flies the scenario in the real host, then in hostsim on this copy of the host: the module's lines of
    // each, the real host's first.
    void FlyBoth(const std::string& module, int frames) {
        const std::string scenario = "Outside/Outside" + module;
        Flight realFlight = FlyRealHost(scenario, frames);
        ExpectCleanHostRun(realFlight);
        real = OutLines(realFlight.log, module);
        Flight simFlight = FlyHostsim(scratch + "/Scenarios/" + scenario + ".scn", frames, "", scratch);
        sim = OutLines(simFlight.log, module);
        simLog = simFlight.log;
        EXPECT_EQ(simFlight.status, 0) << simLog;
        EXPECT_NE(simLog.find("misuse 0"), std::string::npos) << simLog;
        EXPECT_EQ(simLog.find("not modelled:"), std::string::npos) << simLog;
    }

    std::vector<OutLine> real, sim;
    std::string simLog;
};

// Up at 1 s, a pitch pulse and its counter-pulse at 4 s, a held sink rate from 6 s, engines off at the
// legs' height: the real host's hop climbs past 12 m and sets the lander back on its legs.
TEST_F(OutsideModules, LanderHopsInHostsimAsInTheRealHostWithinAQuarterMetreAndHalfADegree) {
    FlyBoth("Lander", 1200);
    ASSERT_GE(real.size(), 25u) << "the lander did not fly its hop in the real host";
    double top = 0.0;
    for (const OutLine& l : real)
        top = std::max(top, Value(l, "alt"));
    EXPECT_GT(top, 12.0);
    ASSERT_TRUE(Event(real, "cut") && Event(real, "climb") && Event(real, "airborne"));
    const OutLine* before = nullptr;
    for (const OutLine& l : real)
        if (!before && l.event.empty()) before = &l;
    ASSERT_TRUE(before);
    EXPECT_NEAR(Value(real.back(), "alt"), Value(*before, "alt"), 0.01) << "not back on its legs";
    ExpectSameReadings(real, sim, LANDER_TOLERANCES);
}

// Measured in the real host (the same module binary, frames of 1/60 s): the lander leaves its legs turning at
// 2.5e-4 rad/s nose up and 9.35e-4 rad/s about its axis (the friction at its feet against the ground's turn,
// and the last push of its dampers as the feet come free), so its attitude drifts before the pulses and after;
// the pulse pair adds 0.478 degrees, and the air's rotational drag takes 1.5e-4 rad/s of the pitch rate
// during the pair. Pitch 0.540 degrees at 6 s, 0.605 at 14 s; bank -0.250 and -0.615.
TEST_F(OutsideModules, LanderKeepsThePitchTheRealHostKeepsAfterItsPulsePairWithinTenPercent) {
    const Flight flight = FlyHostsim(scratch + "/Scenarios/Outside/OutsideLander.scn", 900, "", scratch);
    EXPECT_EQ(flight.status, 0) << flight.log;
    EXPECT_NE(flight.log.find("misuse 0"), std::string::npos) << flight.log;
    const std::vector<OutLine> lines = OutLines(flight.log, "Lander");
    auto at = [&](double t) -> const OutLine* {
        for (const OutLine& l : lines)
            if (l.event.empty() && std::fabs(l.t - t) < 1e-3) return &l;
        return nullptr;
    };
    const OutLine* before = nullptr;
    const OutLine* after = nullptr;
    for (const OutLine& l : lines)
        if (l.event == "pulse") {
            if (!before) before = &l;
            after = &l;
        }
    ASSERT_TRUE(before && after && before != after);
    EXPECT_NEAR(Value(*after, "pitch") - Value(*before, "pitch"), 0.478, 0.0478);
    const OutLine* six = at(6.0);
    const OutLine* fourteen = at(14.0);
    ASSERT_TRUE(six && fourteen);
    EXPECT_NEAR(Value(*six, "pitch"), 0.540, 0.054);
    EXPECT_NEAR(Value(*fourteen, "pitch"), 0.605, 0.0605);
    // The bank comes from the feet alone, which the host works out more coarsely: within a fifth.
    EXPECT_NEAR(Value(*six, "bank"), -0.250, 0.05);
    EXPECT_NEAR(Value(*fourteen, "bank"), -0.615, 0.123);
}

// Elevator up from 2 s to 4 s, ailerons either way from 6 s, rudder from 10 s, at 3 km and 180 m/s.
TEST_F(OutsideModules, AircraftReadsTheAirInHostsimAsInTheRealHostWithinOnePercentAndHalfADegree) {
    FlyBoth("Aircraft", 1200);
    ASSERT_GE(real.size(), 20u) << "the aeroplane did not fly in the real host";
    for (const OutLine& l : real) {
        EXPECT_NEAR(Value(l, "alt"), 3000.0, 100.0) << l.text;
        EXPECT_NEAR(Value(l, "tas"), 175.0, 10.0) << l.text;
    }
    ExpectSameReadings(real, sim, AIRCRAFT_TOLERANCES);
}

// Crate made at 1 s, hooked at 2 s, let go at 0.5 m/s at 4 s, scrapped at 6 s; ports grown at 7 s, docked at
// 8 s, undocked at 10 s, the lead's port removed at 12 s.
TEST_F(OutsideModules, TugDrillStepsSucceedInHostsimAsInTheRealHostWithinFiveCentimetres) {
    FlyBoth("Tug", 900);
    ASSERT_GE(real.size(), 35u) << "the tugs did not fly in the real host";
    for (const char* step : {"create", "attach", "release", "delete", "undock", "delport"}) {
        const OutLine* l = Event(real, step);
        ASSERT_TRUE(l) << step;
        EXPECT_EQ(l->values.at("ok"), "1") << l->text;
    }
    const OutLine* dock = Event(real, "dock");
    ASSERT_TRUE(dock);
    EXPECT_EQ(dock->values.at("result"), "0") << dock->text;
    ExpectSameReadings(real, sim, TUG_TOLERANCES);
}

} // namespace
