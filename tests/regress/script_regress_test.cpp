// Flight-script inputs the fuzzer found: numbers far beyond an int are refused, never converted.
#include "script.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The frame count of a hold had 141 digits: converting it to an integer before its range was checked is
// undefined behaviour.
TEST(ScriptRegress, HoldWithAHundredFortyDigitFrameCountIsRefusedAndTheLargestIntegerTaken) {
    hs::Script script;
    std::string err;
    const std::string text = "0.5  key Ctrl+K\n1    hold H " + std::string(140, '2') + "10\n";
    EXPECT_FALSE(script.Parse(text, "Fuzz.txt", &err));
    EXPECT_EQ(err, "Fuzz.txt:2: hold needs a positive number of frames");
    EXPECT_EQ(script.Commands().size(), 1u);
    // The largest integer is taken.
    ASSERT_TRUE(script.Parse("1 hold H 2147483647\n", "Fuzz.txt", &err)) << err;
    ASSERT_EQ(script.Commands().size(), 1u);
    EXPECT_EQ(script.Commands()[0].frames, 2147483647);
}

TEST(ScriptRegress, DockPortBeyondEveryIntegerIsRefused) {
    hs::Script script;
    std::string err;
    EXPECT_FALSE(script.Parse("1 dock A 1e300 B 0\n", "Fuzz.txt", &err));
    EXPECT_EQ(err, "Fuzz.txt:1: dock needs port or point numbers");
    EXPECT_FALSE(script.Parse("1 attach A 0 B inf\n", "Fuzz.txt", &err));
    EXPECT_EQ(err, "Fuzz.txt:1: attach needs port or point numbers");
}

} // namespace
