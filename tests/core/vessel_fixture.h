// The vessel core's layer over the shared host fixture: Corvane scenario blocks, saved blocks, vessel lookup.
#pragma once

#include "core/corvane.h"
#include "hostsim_fixture.h"
#include "scenario_blocks.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace coretest {

// The environment blocks around one or more vessel blocks, the first Corvane in focus.
inline std::string Scenario(const std::string& ships, const std::string& focus = "Corvane-1") {
    return hs::test::ScenarioText(ships, focus);
}

// One landed Corvane block holding the host's lines and then the given extra lines.
inline std::string LandedBlock(const std::string& name, const std::string& lines) {
    return name + ":Corvane\n  STATUS Landed Earth\n  POS -80.6826440 28.5970140\n  HEADING 330.00\n" +
           lines + "END\n";
}

using hs::test::BlockOf;

class CoreWorld : public hs::test::HostFixture {
  protected:
    void LoadText(const std::string& text) { ASSERT_TRUE(Load(text)) << loadError; }

    void LoadBlock(const std::string& lines) { LoadText(Scenario(LandedBlock("Corvane-1", lines))); }

    Vessel* Record(const char* name = "Corvane-1") { return Rec(name); }

    Corvane* Ship(const char* name = "Corvane-1") {
        Vessel* v = Record(name);
        return v ? static_cast<Corvane*>(v->iface) : nullptr;
    }
};

} // namespace coretest
