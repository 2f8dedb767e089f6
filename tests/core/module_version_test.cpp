// The module's build stamps: the fixed build date and the interface version cached after one conversion.
#include "core/corvane.h"

#include <gtest/gtest.h>

#include <cstring>

// The host's date conversion, replaced here to count how often the module asks for it.
static int date2IntCalls = 0;
static char lastDate[32] = {};
int Date2Int(const char* date) {
    ++date2IntCalls;
    std::snprintf(lastDate, sizeof lastDate, "%s", date ? date : "");
    return 100830;
}

extern "C" int GetModuleVersion();
extern "C" char* ModuleDate();

TEST(ModuleVersion, ConvertsTheInterfaceDateOnceAndReturnsTheCacheAfterwardsBesideTheBuildDate) {
    EXPECT_EQ(GetModuleVersion(), 100830);
    EXPECT_EQ(GetModuleVersion(), 100830);
    EXPECT_EQ(date2IntCalls, 1);
    EXPECT_STREQ(lastDate, "Aug 30 2010");
    // The build date, its day padded by a blank.
    EXPECT_STREQ(ModuleDate(), "Mar  6 2011");
}
