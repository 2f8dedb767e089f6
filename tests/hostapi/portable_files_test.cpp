// Tests of Windows path translation and the directory walk on a scratch folder.
#include "Orbitersdk.h"
#include "portable.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// Each test works inside a fresh scratch folder that is the working directory, as the host root is.
class PortableFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(getcwd(savedCwd, sizeof savedCwd), nullptr);
        char tmpl[] = "/tmp/hostapi_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        root = tmpl;
        ASSERT_EQ(chdir(root.c_str()), 0);
    }
    void TearDown() override {
        ASSERT_EQ(chdir(savedCwd), 0);
        std::string cmd = "rm -rf '" + root + "'";
        ASSERT_EQ(system(cmd.c_str()), 0);
    }
    static void MakeDir(const char* path) { ASSERT_EQ(mkdir(path, 0755), 0) << path; }
    static void MakeFile(const char* path, const char* text = "x") {
        FILE* f = fopen(path, "w");
        ASSERT_NE(f, nullptr) << path;
        fputs(text, f);
        fclose(f);
    }
    static std::string Translate(const char* winPath) {
        char out[512];
        EXPECT_TRUE(TranslatePath(winPath, out, sizeof out)) << winPath;
        return out;
    }
    static std::vector<std::string> Walk(const char* pattern, std::vector<DWORD>* attributes = nullptr) {
        std::vector<std::string> names;
        WIN32_FIND_DATAA data;
        HANDLE h = FindFirstFileA(pattern, &data);
        if (h == INVALID_HANDLE_VALUE) return names;
        do {
            names.push_back(data.cFileName);
            if (attributes) attributes->push_back(data.dwFileAttributes);
        } while (FindNextFileA(h, &data));
        EXPECT_TRUE(FindClose(h));
        return names;
    }

    char savedCwd[4096];
    std::string root;
};

} // namespace

TEST_F(PortableFiles, TranslateMatchesEachExistingComponentWithoutRegardToCaseAndKeepsTheOthers) {
    MakeDir("Config");
    MakeFile("Config/UMmutmp.cfg");
    EXPECT_EQ(Translate("config\\UMmutmp.cfg"), "Config/UMmutmp.cfg");
    EXPECT_EQ(Translate("CONFIG\\ummutmp.CFG"), "Config/UMmutmp.cfg");
    EXPECT_EQ(Translate("Config/UMmutmp.cfg"), "Config/UMmutmp.cfg");
    // Components that do not exist yet keep their spelling.
    EXPECT_EQ(Translate("config\\UMmutmpT.cfg"), "Config/UMmutmpT.cfg");
    EXPECT_EQ(Translate("config\\New\\Deeper\\file.TXT"), "Config/New/Deeper/file.TXT");
    EXPECT_EQ(Translate("nowhere\\config"), "nowhere/config");
}

TEST_F(PortableFiles, TranslatePrefersTheExactSpellingWhenSeveralMatch) {
    MakeDir("sound");
    MakeDir("Sound");
    MakeDir("SOUND");
    EXPECT_EQ(Translate("Sound\\a.wav"), "Sound/a.wav");
    EXPECT_EQ(Translate("sound\\a.wav"), "sound/a.wav");
    // Without an exact match, the first name in byte order wins, so the choice never varies.
    EXPECT_EQ(Translate("sOuNd\\a.wav"), "SOUND/a.wav");
}

TEST_F(PortableFiles, TranslateKeepsDotComponentsAbsolutePathsAndRepeatedSeparators) {
    MakeDir("Meshes");
    MakeDir("Meshes/UMmu");
    EXPECT_EQ(Translate("meshes\\.\\umMU\\..\\ummu\\ver.dtf"), "Meshes/./UMmu/../UMmu/ver.dtf");
    EXPECT_EQ(Translate("meshes\\\\ummu"), "Meshes/UMmu");
    std::string abs = root + "\\meshes\\ummu\\";
    EXPECT_EQ(Translate(abs.c_str()), root + "/Meshes/UMmu/");
}

TEST_F(PortableFiles, TranslateFailsCleanlyWhenTheResultDoesNotFit) {
    MakeDir("Config");
    char small[8];
    small[0] = 'z';
    EXPECT_FALSE(TranslatePath("config\\UMmutmp.cfg", small, sizeof small));
    EXPECT_EQ(small[0], '\0');
    char exact[11]; // "Config/a.b" plus its terminator
    EXPECT_TRUE(TranslatePath("config\\a.b", exact, sizeof exact));
    EXPECT_STREQ(exact, "Config/a.b");
    EXPECT_FALSE(TranslatePath("config\\a.bc", exact, sizeof exact));
    EXPECT_FALSE(TranslatePath(nullptr, exact, sizeof exact));
    EXPECT_FALSE(TranslatePath("x", nullptr, 0));
    std::string huge(5000, 'a');
    char big[8192];
    EXPECT_FALSE(TranslatePath(huge.c_str(), big, sizeof big));
}

TEST_F(PortableFiles, PortableOpenReadsAndCreatesThroughTranslatedPaths) {
    MakeDir("Config");
    MakeFile("Config/UMmutmp.cfg", "crew");
    FILE* f = PortableOpen("CONFIG\\ummutmp.cfg", "rb");
    ASSERT_NE(f, nullptr);
    char text[8] = {};
    EXPECT_EQ(fread(text, 1, 4, f), 4u);
    fclose(f);
    EXPECT_STREQ(text, "crew");

    f = PortableOpen("config\\UMmutmpT.cfg", "wb");
    ASSERT_NE(f, nullptr);
    fclose(f);
    struct stat st;
    EXPECT_EQ(stat("Config/UMmutmpT.cfg", &st), 0);
    EXPECT_EQ(PortableOpen("config\\missing.cfg", "rb"), nullptr);
    EXPECT_EQ(PortableOpen("config\\UMmutmp.cfg", nullptr), nullptr);
}

TEST_F(PortableFiles, PortableOpenAcceptsWindowsTextModes) {
    MakeDir("Logs");
    FILE* f = PortableOpen("logs\\OrbiterSound_Log.txt", "w+t");
    ASSERT_NE(f, nullptr);
    fputs("one\n", f);
    fclose(f);
    f = PortableOpen("LOGS\\orbitersound_log.TXT", "a+t");
    ASSERT_NE(f, nullptr);
    fputs("two\n", f);
    fclose(f);
    f = PortableOpen("logs\\OrbiterSound_Log.txt", "rt");
    ASSERT_NE(f, nullptr);
    char text[16] = {};
    EXPECT_EQ(fread(text, 1, sizeof text - 1, f), 8u);
    fclose(f);
    EXPECT_STREQ(text, "one\ntwo\n");
}

TEST_F(PortableFiles, FindWalksMatchingNamesInNameOrderWithDirectoryFlags) {
    MakeDir("Config");
    MakeDir("Config/UMMUIdConfig");
    MakeFile("Config/UMMUIdConfig/b.cfg");
    MakeFile("Config/UMMUIdConfig/A.CFG");
    MakeFile("Config/UMMUIdConfig/c.txt");
    MakeFile("Config/UMMUIdConfig/cfg");
    MakeDir("Config/UMMUIdConfig/d.cfg");
    std::vector<DWORD> attributes;
    std::vector<std::string> names = Walk("config\\UMMUIdConfig\\*.cfg", &attributes);
    ASSERT_EQ(names, (std::vector<std::string>{"A.CFG", "b.cfg", "d.cfg"}));
    EXPECT_EQ(attributes[0] & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(attributes[1] & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(attributes[2] & FILE_ATTRIBUTE_DIRECTORY, (DWORD)FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(PortableFiles, FindWildcardsMatchOneOrManyCharacters) {
    MakeFile("file1.txt");
    MakeFile("file10.txt");
    MakeFile("FILE2.TXT");
    MakeFile("readme");
    EXPECT_EQ(Walk("file?.txt"), (std::vector<std::string>{"file1.txt", "FILE2.TXT"}));
    EXPECT_EQ(Walk("f*1*.t?t"), (std::vector<std::string>{"file1.txt", "file10.txt"}));
    EXPECT_EQ(Walk("README"), (std::vector<std::string>{"readme"}));
    // "*.*" takes names without a dot as well; "." and ".." are never listed.
    EXPECT_EQ(Walk("*.*").size(), 4u);
    EXPECT_EQ(Walk("*").size(), 4u);
}

TEST_F(PortableFiles, FindReportsNothingFoundAsAnInvalidHandleAndFindNextStaysFalseAfterTheLast) {
    MakeDir("Config");
    WIN32_FIND_DATAA data;
    EXPECT_EQ(FindFirstFileA("config\\*.cfg", &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(FindFirstFileA("absent\\*.cfg", &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(FindFirstFileA("config\\", &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(FindFirstFileA(nullptr, &data), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(FindNextFileA(INVALID_HANDLE_VALUE, &data));
    EXPECT_FALSE(FindClose(INVALID_HANDLE_VALUE));
    // After the last entry FindNext stays false.
    MakeFile("only.cfg", "12345");
    HANDLE h = FindFirstFileA("*.cfg", &data);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_STREQ(data.cFileName, "only.cfg");
    EXPECT_EQ(data.nFileSizeLow, 5u);
    EXPECT_FALSE(FindNextFileA(h, &data));
    EXPECT_FALSE(FindNextFileA(h, &data));
    EXPECT_TRUE(FindClose(h));
}
