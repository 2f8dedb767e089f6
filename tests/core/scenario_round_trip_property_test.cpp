// Property: any Corvane block the loader accepts, crew lines included, saves to a text that loads back into
// the same vessel state within the saved precision and saves to the very same text again
// (save -> load -> save identity).
// The blocks are random, from a fixed seed; CORVANE_PROPERTY_SEED and CORVANE_PROPERTY_CASES change the draw.
#include "corvane_state.h"
#include "vessel_fixture.h"

#include <algorithm>
#include <cctype>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

using coretest::BlockOf;
using coretest::CoreWorld;
using coretest::HeldState;
using coretest::LandedBlock;
using coretest::Scenario;

namespace {

unsigned long EnvNumber(const char* name, unsigned long fallback) {
    const char* v = getenv(name);
    return v && *v ? strtoul(v, nullptr, 10) : fallback;
}

// Random scenario lines: mostly values a pilot or an editor would write, and every odd form the loader reads.
class BlockMaker {
  public:
    explicit BlockMaker(unsigned long seed) : rng(seed) {}

    std::string Block() {
        std::vector<std::string> lines;
        const int crew = Int(0, 3);
        for (int i = 0; i < crew; ++i)
            lines.push_back(CrewLine());
        static const char* const KEYS[] = {"FTL",  "HWIN",  "GEAR", "CANP",  "CANC",  "VIS",
                                           "VIEW", "BRAKE", "MAIN", "BOOST", "INDMP", "AMMO"};
        for (const char* key : KEYS)
            if (Chance(0.7)) lines.push_back(KeyCase(key) + " " + Value(key));
        std::shuffle(lines.begin(), lines.end(), rng);
        std::string text;
        for (const std::string& l : lines)
            text += "  " + l + "\n";
        return text;
    }

  private:
    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
    bool Chance(double p) { return std::uniform_real_distribution<double>(0.0, 1.0)(rng) < p; }
    template <size_t N> const char* Pick(const char* const (&options)[N]) { return options[Int(0, N - 1)]; }

    std::string KeyCase(const std::string& key) {
        std::string k = key;
        if (Chance(0.2))
            for (char& c : k)
                c = static_cast<char>(Chance(0.5) ? tolower(c) : c);
        return k;
    }

    std::string Word(int lo, int hi, const char* alphabet) {
        std::string w;
        const int n = Int(lo, hi);
        const int size = static_cast<int>(strlen(alphabet));
        for (int i = 0; i < n; ++i)
            w += alphabet[Int(0, size - 1)];
        return w;
    }

    std::string Number(int lo, int hi) {
        const int v = Int(lo, hi);
        std::string s = std::to_string(v);
        if (Chance(0.1) && v >= 0) s = "0" + s;
        if (Chance(0.05) && v >= 0) s = "+" + s;
        return s;
    }

    // A crew line: accepted most of the time, refused for a missing name or a number out of its range.
    std::string CrewLine() {
        std::string code =
            Chance(0.15) ? "" : Word(1, 7, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0_.");
        std::string name = Word(1, 32, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789__.'!");
        std::string line = std::string(Chance(0.1) ? "ummucrew" : "UMMUCREW") + " " + code + "-" + name +
                           "-" + Number(-2, 145) + "-" + Number(-2, 185) + "-" + Number(2, 305);
        if (Chance(0.1)) line += "-" + Word(1, 4, "xyz9");
        return line;
    }

    std::string Double() {
        char buf[64];
        switch (Int(0, 11)) {
        case 0:
            return Pick({"0", "1", "1.0", "0.000", "-0.000", "1.000", "0.5"});
        case 1:
            snprintf(buf, sizeof buf, "%.3f", std::uniform_real_distribution<double>(-2.0, 2.0)(rng));
            return buf;
        case 2:
            snprintf(buf, sizeof buf, "%.*f", Int(1, 8),
                     std::uniform_real_distribution<double>(0.0, 1.0)(rng));
            return buf;
        case 3:
            snprintf(buf, sizeof buf, "%.17g", std::uniform_real_distribution<double>(-700.0, 700.0)(rng));
            return buf;
        case 4: // any finite double, bits at random
        {
            double d;
            do {
                uint64_t bits = std::uniform_int_distribution<uint64_t>()(rng);
                memcpy(&d, &bits, sizeof d);
            } while (!std::isfinite(d));
            snprintf(buf, sizeof buf, "%.17g", d);
            return buf;
        }
        case 5:
            return Pick({"1e300", "-1e300", "1.7976931348623157e308", "1e-300", "4.9406564584124654e-324",
                         "123456789012345678", "1e15", "999999999999999.9"});
        case 6:
            return Pick({"inf", "-inf", "nan", "1e400", "-1e999"}); // not numbers a vessel can hold
        case 7:
            return Pick({"0x1.8p1", "0X10", "2.5e-3", "7E2", ".5", "5."});
        case 8:
            return Pick({"abc", "-", "."}); // unreadable
        default:
            snprintf(buf, sizeof buf, "%.*f", Int(0, 4),
                     std::uniform_real_distribution<double>(-1e6, 1e6)(rng));
            return buf;
        }
    }

    std::string Integer() {
        switch (Int(0, 5)) {
        case 0:
            return Pick({"0", "1", "-1", "7"});
        case 1:
            return Pick({"2147483647", "-2147483648", "2147483648", "99999999999", "-99999999999"});
        case 2:
            return Pick({"x", "", "1.9", "-0"});
        default:
            return std::to_string(Int(-10, 10));
        }
    }

    std::string Value(const std::string& key) {
        if (key == "FTL") {
            switch (Int(0, 3)) {
            case 0:
                return Pick({"0.0000", "1.0000", "1", "0", "2.9", "-1.5"});
            case 1:
                return Integer();
            default:
                return Double();
            }
        }
        if (key == "HWIN") {
            std::string v = Double();
            if (Chance(0.9)) v += " " + Double();
            if (Chance(0.9)) v += " " + Integer();
            return v;
        }
        if (key == "GEAR" || key == "CANP" || key == "CANC")
            return Chance(0.9) ? Double() + " " + Double() : Double();
        if (key == "VIS") {
            char buf[16];
            snprintf(buf, sizeof buf, Chance(0.5) ? "%x" : "%X",
                     std::uniform_int_distribution<unsigned>()(rng));
            return Chance(0.1)   ? std::string("zz")
                   : Chance(0.5) ? std::to_string(Int(0, 3))
                                 : std::string(buf);
        }
        if (key == "VIEW") return Integer();
        if (key == "AMMO")
            return Word(1, 30, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_\\");
        return Integer(); // the four flags
    }

    std::mt19937_64 rng;
};

class ScenarioRoundTripProperty : public CoreWorld {};

} // namespace

TEST_F(ScenarioRoundTripProperty, AnyAcceptedBlockSavesLoadsAndSavesAgainUnchanged) {
    const unsigned long seed = EnvNumber("CORVANE_PROPERTY_SEED", 20240612);
    const unsigned long cases = EnvNumber("CORVANE_PROPERTY_CASES", 150);
    BlockMaker maker(seed);
    int withCrew = 0, withOddValues = 0;
    for (unsigned long i = 0; i < cases; ++i) {
        const std::string block = maker.Block();
        SCOPED_TRACE("seed " + std::to_string(seed) + ", case " + std::to_string(i) + ", block:\n" + block);
        if (i > 0) Restart();
        LoadText(Scenario(LandedBlock("Corvane-1", block)));
        const std::string first = Sim().ScenarioText();
        const HeldState loaded(*Ship());
        if (!loaded.crew.empty()) ++withCrew;
        for (double v : loaded.numbers) {
            char three[400];
            snprintf(three, sizeof three, "%.3f", v);
            if (strtod(three, nullptr) != v) {
                ++withOddValues; // three decimals would have changed it
                break;
            }
        }

        Restart();
        LoadText(first);
        const std::string second = Sim().ScenarioText();
        const HeldState reloaded(*Ship());
        ASSERT_TRUE(reloaded == loaded) << "held after the first load:  " << loaded.Describe()
                                        << "\nheld after loading the save: " << reloaded.Describe();
        ASSERT_EQ(second, first);
    }
    // The draw reaches what it is meant to: crews aboard, and numbers that need more than three decimals.
    EXPECT_GT(withCrew, static_cast<int>(cases / 3));
    EXPECT_GT(withOddValues, static_cast<int>(cases / 4));
}
