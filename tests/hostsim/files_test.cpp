// Class-file items and the scenario writers, read and written the way the host does.
#include "tv_world.h"

#include <cstring>

namespace hs::test {
namespace {

// File handles are checked against the host's file records: a test's file is one of them too.
SlotPtr<HostFile> NewFile(HostFile::Kind kind) {
    SlotPtr<HostFile> f = MakeSlot<HostFile>(nullptr);
    f->kind = kind;
    return f;
}

SlotPtr<HostFile> Cfg(std::initializer_list<const char*> lines) {
    SlotPtr<HostFile> f = NewFile(HostFile::CONFIG);
    for (const char* l : lines) f->lines.push_back(l);
    return f;
}

// The first matching key decides, in any case; an empty value is false and stops the search, as END_PARSE
// does; a missing item leaves the buffer unchanged.
TEST(ReadItem, FirstMatchingKeyDecidesAndAnEmptyValueEndParseOrMissingItemFindNothing) {
    const struct {
        std::vector<std::string> lines;
        const char* key;
        bool found;
        const char* value;
    } cases[] = {{{"; comment", "  mass  =  12.5  ; kg", "Mass = 99"}, "MASS", true, "12.5"},
                 {{"Module =   ", "Module = Later"}, "Module", false, "untouched"},
                 {{"A = 1", "END_PARSE", "B = 2"}, "B", false, "untouched"},
                 {{"A = 1", "END_PARSE", "B = 2"}, "a", true, "1"},
                 {{"A = 1"}, "AB", false, "untouched"}};
    for (const auto& k : cases) {
        SlotPtr<HostFile> f = NewFile(HostFile::CONFIG);
        f->lines.assign(k.lines.begin(), k.lines.end());
        char buf[256] = "untouched";
        EXPECT_EQ(oapiReadItem_string(f.get(), (char*)k.key, buf), k.found) << k.key;
        EXPECT_STREQ(buf, k.value) << k.key;
    }
}

TEST(ReadItem, LongValueIsCutAt255CharactersSoA256ByteBufferHoldsIt) {
    std::string line = "Long = " + std::string(400, 'x');
    SlotPtr<HostFile> f = Cfg({line.c_str()});
    char buf[300];
    memset(buf, '#', sizeof buf);
    ASSERT_TRUE(oapiReadItem_string(f.get(), (char*)"Long", buf));
    EXPECT_EQ(strlen(buf), 255u);
    EXPECT_EQ(buf[256], '#'); // nothing written past the terminator
}

TEST(ReadItem, LinesAreReadUpTo511Characters) {
    std::string line = "Far = " + std::string(505, ' ') + "1"; // the value sits past character 511
    SlotPtr<HostFile> f = Cfg({line.c_str()});
    double d = 0.0;
    EXPECT_FALSE(oapiReadItem_float(f.get(), (char*)"Far", d));
}

TEST(ReadItem, TypedReadersParseTheirValues) {
    SlotPtr<HostFile> f = Cfg({"F = 2.5e3", "I = -7", "B = true-ish", "C = FALSE", "V = 1 2 3", "W = 1 2", "N = abc"});
    double d = 0;
    int i = 0;
    bool b = false, c = true;
    VECTOR3 v{};
    EXPECT_TRUE(oapiReadItem_float(f.get(), (char*)"F", d));
    EXPECT_DOUBLE_EQ(d, 2500.0);
    EXPECT_TRUE(oapiReadItem_int(f.get(), (char*)"I", i));
    EXPECT_EQ(i, -7);
    EXPECT_TRUE(oapiReadItem_bool(f.get(), (char*)"B", b));
    EXPECT_TRUE(b);
    EXPECT_TRUE(oapiReadItem_bool(f.get(), (char*)"C", c));
    EXPECT_FALSE(c);
    EXPECT_TRUE(oapiReadItem_vec(f.get(), (char*)"V", v));
    EXPECT_DOUBLE_EQ(v.z, 3.0);
    EXPECT_FALSE(oapiReadItem_vec(f.get(), (char*)"W", v));
    EXPECT_FALSE(oapiReadItem_float(f.get(), (char*)"N", d));
}

TEST(ScenarioLines, NextLineStripsCommentsAndBlanksAndStopsAtEndInAnyCase) {
    SlotPtr<HostFile> f = NewFile(HostFile::SCENARIO_READ);
    f->lines = {"\t  GEAR 1 1.0 ; down", "", "end", "NEXT:Vessel"};
    char* line;
    ASSERT_TRUE(oapiReadScenario_nextline(f.get(), line));
    EXPECT_STREQ(line, "GEAR 1 1.0");
    ASSERT_TRUE(oapiReadScenario_nextline(f.get(), line));
    EXPECT_STREQ(line, "");
    EXPECT_FALSE(oapiReadScenario_nextline(f.get(), line));
    EXPECT_FALSE(oapiReadScenario_nextline(f.get(), line)); // reading on never reaches the next block
    EXPECT_TRUE(f->sawEnd);
}

TEST(ScenarioLines, WritersIndentByTwoAndKeepDecimalsFixed) {
    std::string out;
    SlotPtr<HostFile> f = NewFile(HostFile::SCENARIO_WRITE);
    f->out = &out;
    oapiWriteScenario_string(f.get(), (char*)"GEAR", (char*)"1 1.0000");
    oapiWriteScenario_int(f.get(), (char*)"VIEW", 2);
    oapiWriteScenario_float(f.get(), (char*)"FTL", 0.5);
    oapiWriteScenario_vec(f.get(), (char*)"V", _V(1, 2, 3));
    EXPECT_EQ(out, "  GEAR 1 1.0000\n  VIEW 2\n  FTL 0.500000\n  V 1.000000 2.000000 3.000000\n");
}

class Files : public HostFixture {};

TEST_F(Files, ModulesOpenFilesByWindowsPathsInAnyCase) {
    root.Write("Config/Notes.cfg", "Speed = 12\n");
    FILEHANDLE f = oapiOpenFile("config\\NOTES.cfg", FILE_IN);
    ASSERT_NE(f, nullptr);
    int speed = 0;
    EXPECT_TRUE(oapiReadItem_int(f, (char*)"speed", speed));
    EXPECT_EQ(speed, 12);
    oapiCloseFile(f, FILE_IN);
    FILEHANDLE out = oapiOpenFile("Made.cfg", FILE_OUT, CONFIG);
    ASSERT_NE(out, nullptr);
    oapiWriteItem_int(out, (char*)"Count", 3);
    oapiCloseFile(out, FILE_OUT);
    EXPECT_EQ(root.Read("Config/Made.cfg"), "Count = 3\n");
    EXPECT_EQ(oapiOpenFile("absent.cfg", FILE_IN_ZEROONFAIL, CONFIG), nullptr);
}

TEST_F(Files, ClosingAFileTwiceIsMisuseNotACrash) {
    FILEHANDLE out = oapiOpenFile("Twice.cfg", FILE_OUT, CONFIG);
    ASSERT_NE(out, nullptr);
    oapiCloseFile(out, FILE_OUT);
    oapiCloseFile(out, FILE_OUT);
    expectedMisuse = 1;
}

} // namespace
} // namespace hs::test
