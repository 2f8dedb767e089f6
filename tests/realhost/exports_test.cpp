// hostsim's export table against the real host's: every function the real host exports to modules exists in
// hostsim under the same symbol, and hostsim check tells a module author which of them a module needs.
#include "exports.h"
#include "test_io.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using namespace hs;

std::set<std::string> Defined(const std::string& path) {
    ElfSymbols syms;
    std::string err;
    EXPECT_TRUE(ReadElfSymbols(path, &syms, &err)) << err;
    return {syms.defined.begin(), syms.defined.end()};
}

// The class or namespace a demangled name belongs to ("VESSEL", "oapi::Sketchpad"), empty for a free function.
std::string Scope(std::string name) {
    for (const char* p : {"typeinfo name for ", "typeinfo for ", "vtable for "})
        if (name.rfind(p, 0) == 0) return name.substr(strlen(p));
    name.resize(std::min(name.size(), name.find('(')));
    size_t at = name.rfind("::");
    return at == std::string::npos ? "" : name.substr(0, at);
}

class ExportTable : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!REALHOST_PRESENT) GTEST_SKIP() << "no real host at " << REALHOST_DIR;
    }
};

TEST_F(ExportTable, HoldsEveryFunctionOfTheRealHostsSdkClassesAndOapiAndNothingElse) {
    const std::set<std::string> real = Defined(std::string(REALHOST_DIR) + "/Orbiter");
    std::set<std::string> table, scopes;
    for (size_t i = 0; i < HostExportCount(); ++i) {
        table.insert(HostExportAt(i).mangled);
        scopes.insert(Scope(Demangled(HostExportAt(i).mangled)));
    }
    for (const HostExport& d : HostDataExports()) table.insert(d.mangled);
    scopes.erase("");
    for (const std::string& t : table)
        EXPECT_TRUE(real.count(t)) << Demangled(t) << ": no longer exported by the real host (tools/host-exports)";
    for (const std::string& r : real) {
        const std::string name = Demangled(r), scope = Scope(name);
        const bool sdk = name.rfind("oapi", 0) == 0 || name.rfind("VESSEL", 0) == 0 || scopes.count(scope);
        if (sdk && name.find("()::") == std::string::npos) {
            EXPECT_TRUE(table.count(r)) << name << ": exported by the real host, unknown to hostsim (tools/host-exports)";
        }
    }
}

TEST_F(ExportTable, HostLibraryDefinesEveryFunctionOfTheTable) {
    const std::set<std::string> ours = Defined(HOSTLIB);
    size_t missing = 0;
    for (size_t i = 0; i < HostExportCount(); ++i)
        if (!ours.count(HostExportAt(i).mangled)) {
            ++missing;
            ADD_FAILURE() << HostExportAt(i).name << " (" << HostExportAt(i).mangled << ") is not exported";
        }
    EXPECT_EQ(missing, 0u);
    EXPECT_GT(HostExportCount(), 1000u);
    // A module's class derived from one of the SDK's refers to the base's type information.
    size_t types = 0;
    for (const HostExport& d : HostDataExports())
        if (Demangled(d.mangled).rfind("typeinfo for ", 0) == 0) {
            ++types;
            EXPECT_TRUE(ours.count(d.mangled)) << Demangled(d.mangled) << " is not exported";
        }
    EXPECT_GT(types, 20u);
}

testio::CommandResult Check(const std::string& module) {
    return testio::RunCommand(std::string(HOSTSIM_EXE) + " check " + REALHOST_DIR + "/Modules/" + module);
}

TEST_F(ExportTable, CheckPassesAStockModuleHostsimModelsAndNamesWhatAnotherLacks) {
    testio::CommandResult r = Check("libShuttlePB.so");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("modelled      VESSEL::SetTouchdownPoints"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(" 0 not modelled, 0 missing\n"), std::string::npos) << r.out;
    // The glider draws its dialogs with the host's user-interface library: there, but never drawn here.
    r = Check("libDeltaGlider.so");
    EXPECT_NE(r.status, 1) << r.out;
    EXPECT_NE(r.out.find("\nnot modelled  ImGui::Begin(char const*, bool*, int)"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("\nmissing"), std::string::npos) << r.out;
}

} // namespace
