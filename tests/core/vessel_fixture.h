// A stand-in host world for the vessel core's tests: scenarios written from text, Corvane vessels looked up.
#pragma once

#include "core/corvane.h"
#include "hostsim/sim.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace coretest {

// Scenario text around one or more vessel blocks.
inline std::string Scenario(const std::string& ships, const std::string& focus = "Corvane-1") {
    return "BEGIN_DESC\nCore test\nEND_DESC\n\nBEGIN_ENVIRONMENT\n  System Sol\n  Date MJD 52199.6667303507\n"
           "END_ENVIRONMENT\n\nBEGIN_FOCUS\n  Ship " +
           focus + "\nEND_FOCUS\n\nBEGIN_SHIPS\n" + ships + "END_SHIPS\n";
}

// One landed Corvane block holding the host's lines and then the given extra lines.
inline std::string LandedBlock(const std::string& name, const std::string& lines) {
    return name + ":Corvane\n  STATUS Landed Earth\n  POS -80.6826440 28.5970140\n  HEADING 330.00\n" +
           lines + "END\n";
}

// The lines of one vessel's block in a saved scenario, without the name line and the END.
inline std::string BlockOf(const std::string& scenario, const std::string& name) {
    std::istringstream in(scenario);
    std::string line, out;
    bool inside = false;
    while (std::getline(in, line)) {
        if (!inside) {
            inside = line.rfind(name + ":", 0) == 0;
            continue;
        }
        if (line == "END") break;
        out += line + "\n";
    }
    return out;
}

class CoreWorld : public ::testing::Test {
  protected:
    void SetUp() override { root = HOSTROOT_DIR; }

    void TearDown() override {
        if (started) {
            EXPECT_EQ(hs::Sim::Get().MisuseCount(), 0);
            hs::Sim::Get().Shutdown();
        }
        for (const std::string& f : files)
            std::remove(f.c_str());
    }

    hs::Sim& Sim() { return hs::Sim::Get(); }

    void Start() {
        hs::SimOptions opt;
        opt.root = root;
        opt.trace = trace;
        opt.dt = dt;
        std::string err;
        ASSERT_TRUE(Sim().Init(opt, &err)) << err;
        started = true;
    }

    std::string WriteTemp(const std::string& text, const char* suffix = ".scn") {
        char name[] = "/tmp/corvane-core-XXXXXX";
        int fd = mkstemp(name);
        EXPECT_GE(fd, 0);
        close(fd);
        std::remove(name);
        std::string path = std::string(name) + suffix;
        std::ofstream(path) << text;
        files.push_back(path);
        return path;
    }

    // Loads scenario text in a fresh world.
    void Load(const std::string& text) {
        Start();
        std::string err;
        ASSERT_TRUE(Sim().LoadScenario(WriteTemp(text), &err)) << err;
    }

    void LoadBlock(const std::string& lines) { Load(Scenario(LandedBlock("Corvane-1", lines))); }

    Vessel* Record(const char* name = "Corvane-1") { return Sim().FindVessel(name); }

    Corvane* Ship(const char* name = "Corvane-1") {
        Vessel* v = Record(name);
        return v ? static_cast<Corvane*>(v->iface) : nullptr;
    }

    std::string root;
    bool started = false;
    bool trace = false;
    double dt = 1.0 / 60.0; // s, frame length
    std::vector<std::string> files;
};

} // namespace coretest
