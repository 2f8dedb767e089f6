// The add-on tests' world: the shared host fixture plus vessels placed in free flight high above Earth.
#pragma once

#include "hostsim_fixture.h"

#include <cstring>
#include <string>
#include <vector>

class AddonWorld : public hs::test::HostFixture {
  protected:

    // Starts the world again with these plugins (names under Modules/Plugin, or paths).
    void Restart(std::vector<std::string> plugins) {
        options.plugins = std::move(plugins);
        HostFixture::Restart();
    }

    // A vessel flying freely at offset from a point high above Earth's pole.
    OBJHANDLE CreateFlying(const char* name, const char* cls, VECTOR3 offset = _V(0, 0, 0)) {
        return hs::test::CreateAbovePole(name, cls, offset);
    }

    std::string TimelineText() const {
        std::string all;
        for (const std::string& l : hs::Sim::Get().Timeline())
            all += l + "\n";
        return all;
    }
};
