// Shared test fixture: temporary host roots and a world started and checked for every test.
#include "hostsim_fixture.h"
#include "test_io.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace hs::test {

OBJHANDLE CreateAbovePole(const char* name, const char* cls, VECTOR3 offset, VECTOR3 vel, VECTOR3 arot) {
    VESSELSTATUS2 st{};
    st.version = 2;
    st.rbody = oapiGetObjectByName((char*)"Earth");
    st.status = 0;
    st.rpos = _V(offset.x, HIGH_ABOVE_POLE + offset.y, offset.z);
    st.rvel = vel;
    st.arot = arot;
    std::string err;
    OBJHANDLE h = Sim::Get().CreateVessel(name, cls, &st, &err);
    EXPECT_NE(h, nullptr) << err;
    return h;
}

std::string HostRoot() {
    const char* env = getenv("HOSTROOT_DIR");
    if (env && *env) return env;
#ifdef HOSTROOT_DIR
    return HOSTROOT_DIR;
#else
    return "root";
#endif
}

TempRoot::TempRoot(bool ownModules) {
    char tmpl[] = "/tmp/hostsim-root-XXXXXX";
    const char* made = mkdtemp(tmpl);
    path_ = made ? made : "/tmp/hostsim-root";
    fs::path src = HostRoot();
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(src, ec)) {
        fs::path dst = fs::path(path_) / entry.path().filename();
        std::string name = entry.path().filename().string();
        if ((name == "Modules" && !ownModules) || name == "Sound") fs::create_directory_symlink(entry.path(), dst, ec);
        else fs::copy(entry.path(), dst, fs::copy_options::recursive, ec);
    }
}

TempRoot::~TempRoot() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

void TempRoot::Write(const std::string& rel, const std::string& text) const {
    fs::path p = fs::path(path_) / rel;
    std::error_code ec;
    fs::create_directories(p.parent_path(), ec);
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << text;
}

std::string TempRoot::Read(const std::string& rel) const {
    return testio::ReadFile((fs::path(path_) / rel).string());
}

std::string ScenarioText(const std::string& ships, const std::string& focus) {
    std::string s = "BEGIN_DESC\nA test world\nEND_DESC\n\nBEGIN_ENVIRONMENT\n  System Sol\n"
                    "  Date MJD 52199.6667303507\nEND_ENVIRONMENT\n\n";
    if (!focus.empty()) s += "BEGIN_FOCUS\n  Ship " + focus + "\nEND_FOCUS\n\n";
    return s + "BEGIN_SHIPS\n" + ships + "END_SHIPS\n";
}

void HostFixture::SetUp() {
    options.root = root.Path();
    std::string err;
    ASSERT_TRUE(Sim().Init(options, &err)) << err;
}

void HostFixture::TearDown() {
    EXPECT_EQ(Sim().MisuseCount(), expectedMisuse) << [this] {
        std::string lines;
        for (const std::string& l : Sim().Timeline())
            if (l.find("misuse:") != std::string::npos) lines += l + "\n";
        return lines;
    }();
    Sim().Shutdown();
}

bool HostFixture::Load(const std::string& scenarioText, const std::string& name) {
    std::string rel = "Scenarios/Test/" + name + ".scn";
    root.Write(rel, scenarioText);
    loadError.clear();
    return Sim().LoadScenario(root.Path() + "/" + rel, &loadError);
}

VESSEL* HostFixture::Iface(const std::string& vesselName) {
    Vessel* v = Rec(vesselName);
    return v ? v->iface : nullptr;
}

int HostFixture::TimelineFind(const std::string& text, int from) const {
    const auto& t = hs::Sim::Get().Timeline();
    for (size_t i = from < 0 ? 0 : (size_t)from; i < t.size(); ++i)
        if (t[i].find(text) != std::string::npos) return (int)i;
    return -1;
}

bool HostFixture::TimelineHas(const std::string& text) const { return TimelineFind(text) >= 0; }

void HostFixture::Restart() {
    EXPECT_EQ(Sim().MisuseCount(), expectedMisuse) << "misuse counted before the restart";
    Sim().Shutdown();
    std::string err;
    ASSERT_TRUE(Sim().Init(options, &err)) << err;
}

bool HostFixture::TimelineInOrder(std::initializer_list<std::string> texts) const {
    int last = -1;
    for (const std::string& text : texts) {
        const int at = TimelineFind(text);
        if (at <= last) return false;
        last = at;
    }
    return true;
}

int HostFixture::TimelineCount(const std::string& text) const {
    int n = 0;
    for (const std::string& l : hs::Sim::Get().Timeline())
        if (l.find(text) != std::string::npos) ++n;
    return n;
}

} // namespace hs::test
