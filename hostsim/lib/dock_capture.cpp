// Docking by proximity, as the host captures two ports that meet.
//
// The host looks, once a frame after the post-step callbacks, from each free-flying vessel that has ports at
// one other vessel, taking the vessels in turn (the first frame the second vessel, the next frame the third,
// round the list, itself skipped): a vessel with n others sees each of them once in n + 1 frames. For each
// pair of free ports less than 0.5 m apart it asks whether the ports close in (the own velocity relative to
// the other's, along the line from the own port to the other's, not negative): then the port remembers the
// other vessel; once they no longer close in, with that vessel remembered, the two dock. So ports brought
// together dock when they have passed their closest point, at the first look after it; ports held still
// within range never dock. The port's direction and rotation reference are not looked at: the docking sets
// the attitude. Nothing is captured within one second of an undocking of the looking vessel.
#include "host.h"
#include "physics/physics.h"

namespace hs {
namespace {

constexpr double CAPTURE_RANGE = 0.5; // m between the two ports' reference points
constexpr double UNDOCK_GRACE = 1.0;  // s after an undocking without capture

// True when b is linked to a through docks (directly or through other docked vessels).
bool DockedTogether(const Vessel* a, const Vessel* b) {
    std::vector<const Vessel*> seen{a};
    for (size_t i = 0; i < seen.size(); ++i)
        for (auto& d : seen[i]->docks) {
            const Vessel* m = d->mate;
            if (!m) continue;
            if (m == b) return true;
            bool known = false;
            for (const Vessel* s : seen)
                known = known || s == m;
            if (!known) seen.push_back(m);
        }
    return false;
}

bool HangsOnParent(const Vessel& v) {
    for (auto& a : v.attachments)
        if (a->toParent && a->other) return true;
    return false;
}

// The pair moves on as one: its momentum is kept.
void ShareVelocity(Vessel& a, Vessel& b) {
    if (HangsOnParent(a) || HangsOnParent(b)) return; // a parent carries it
    const double ma = TotalMass(a), mb = TotalMass(b);
    if (!(ma > 0.0) || !(mb > 0.0)) return;
    a.phys.vel = (a.phys.vel * ma + b.phys.vel * mb) / (ma + mb);
}

void Look(Vessel& v, Vessel& o) {
    for (size_t j = 0; j < v.docks.size(); ++j) {
        DockPort& pj = *v.docks[j];
        if (pj.mate) continue;
        for (size_t k = 0; k < o.docks.size(); ++k) {
            const DockPort& pk = *o.docks[k];
            if (pk.mate || pj.mate) continue;
            const VECTOR3 own = v.phys.pos + mul(v.phys.R, pj.pos);
            const VECTOR3 other = o.phys.pos + mul(o.phys.R, pk.pos);
            if (!(dist(own, other) < CAPTURE_RANGE)) continue;
            if (dotp(v.phys.vel - o.phys.vel, other - own) >= 0.0) {
                pj.approaching = &o;
            } else if (pj.approaching == &o) {
                if (DockedTogether(&v, &o)) continue;
                ShareVelocity(v, o);
                Dock(&v, (int)j, &o, (int)k);
                MarkStepStart(v.phys);
                MarkStepStart(o.phys);
            }
        }
    }
}

} // namespace

void CaptureDocks(double simt1) {
    World& w = W();
    const size_t n = w.vessels.size();
    for (size_t i = 0; i < n && i < w.vessels.size(); ++i) {
        Vessel& v = *w.vessels[i];
        if (v.docks.empty() || SurfaceOwner(v).phys.landed || !(simt1 > v.undockTime + UNDOCK_GRACE))
            continue;
        if (++v.dockScan >= w.vessels.size()) v.dockScan = 0;
        Vessel& o = *w.vessels[v.dockScan];
        if (&o == &v || o.docks.empty() || o.phys.body != v.phys.body) continue;
        const double d = dist(v.phys.pos, o.phys.pos);
        if (d < 1.5 * (v.size + o.size) || d < v.size + o.size + 1e3) Look(v, o);
    }
}

} // namespace hs
