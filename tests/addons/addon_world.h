// A stand-in host world for the add-on tests: started on the assembled host root, checked for misuse at the
// end.
#pragma once

#include "sim.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

class AddonWorld : public ::testing::Test {
  protected:
    static constexpr double ORBIT_RADIUS = 7.0e6; // m from Earth's centre: above the air, far from the ground

    void Start(std::vector<std::string> plugins = {}) {
        hs::SimOptions opt;
        opt.root = HOSTROOT_DIR;
        opt.plugins = std::move(plugins);
        std::string err;
        ASSERT_TRUE(sim().Init(opt, &err)) << err;
    }

    void TearDown() override {
        EXPECT_EQ(sim().MisuseCount(), 0);
        sim().Shutdown();
    }

    static hs::Sim& sim() { return hs::Sim::Get(); }

    // A vessel flying freely at offset from a point high above Earth's pole.
    OBJHANDLE CreateFlying(const char* name, const char* cls, VECTOR3 offset = _V(0, 0, 0)) {
        VESSELSTATUS2 st;
        memset(&st, 0, sizeof st);
        st.version = 2;
        st.rbody = oapiGetGbodyByIndex(0);
        st.rpos = _V(offset.x, ORBIT_RADIUS + offset.y, offset.z);
        std::string err;
        OBJHANDLE h = sim().CreateVessel(name, cls, &st, &err);
        EXPECT_NE(h, nullptr) << err;
        return h;
    }

    // How many timeline lines end with text (the host puts the time in front).
    int TimelineCount(const std::string& text) const {
        const auto& lines = sim().Timeline();
        return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const std::string& l) {
            return l.size() >= text.size() && l.compare(l.size() - text.size(), text.size(), text) == 0;
        }));
    }

    std::string TimelineText() const {
        std::string all;
        for (const std::string& l : sim().Timeline())
            all += l + "\n";
        return all;
    }
};
