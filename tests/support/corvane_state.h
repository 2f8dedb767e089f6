// Everything a Corvane saves, as it holds it, compared within the precision of its scenario lines.
#pragma once

#include "core/corvane.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace coretest {

// Its own members and the roster.
struct HeldState {
    int ftlState = 0;
    double numbers[8] = {};
    int hwgStepIndex = 0;
    WORD shipMeshVisibility = 0;
    int viewIndex = 0;
    bool flags[4] = {};
    std::string ammoClassName;
    std::vector<std::string> crew;

    explicit HeldState(const Corvane& c) {
        ftlState = c.ftlState;
        const double n[8] = {c.hwgTimer,   c.hwgJumpDuration, c.gearPos,    c.gearTarget,
                             c.canopyPPos, c.canopyPTarget,   c.canopyCPos, c.canopyCTarget};
        memcpy(numbers, n, sizeof numbers);
        hwgStepIndex = c.hwgStepIndex;
        shipMeshVisibility = c.shipMeshVisibility;
        viewIndex = c.viewIndex;
        flags[0] = c.brakeEngaged;
        flags[1] = c.mainEngineFed;
        flags[2] = c.boost;
        flags[3] = c.inertialDampeners;
        ammoClassName = c.ammoClassName;
        for (int seat = 0; seat < c.crew.crewCount; ++seat) {
            const CrewMember& m = c.crew.roster[seat];
            char member[128];
            snprintf(member, sizeof member, "[%s|%s|%d|%d|%.17g]", m.functionCode, m.name, m.age, m.pulse,
                     m.weight);
            crew.push_back(member);
        }
    }

    // The same state within the saved precision: three decimals for the doubles, which only a value beyond
    // any flight exceeds (it is saved with the digits it needs and reads back as itself).
    bool operator==(const HeldState& o) const {
        for (int i = 0; i < 8; ++i)
            if (!(std::fabs(numbers[i] - o.numbers[i]) <= 0.0005 + std::fabs(numbers[i]) * 1e-15)) return false;
        return ftlState == o.ftlState && hwgStepIndex == o.hwgStepIndex &&
               shipMeshVisibility == o.shipMeshVisibility && viewIndex == o.viewIndex &&
               memcmp(flags, o.flags, sizeof flags) == 0 && ammoClassName == o.ammoClassName && crew == o.crew;
    }

    std::string Describe() const {
        char head[512];
        snprintf(head, sizeof head,
                 "ftl %d, hwin %.17g %.17g %d, gear %.17g %.17g, canp %.17g %.17g, canc %.17g %.17g, "
                 "vis %u, view %d, flags %d%d%d%d, ammo %s, crew:",
                 ftlState, numbers[0], numbers[1], hwgStepIndex, numbers[2], numbers[3], numbers[4],
                 numbers[5], numbers[6], numbers[7], (unsigned)shipMeshVisibility, viewIndex, flags[0],
                 flags[1], flags[2], flags[3], ammoClassName.c_str());
        std::string s = head;
        for (const std::string& m : crew)
            s += " " + m;
        return s;
    }
};

} // namespace coretest
