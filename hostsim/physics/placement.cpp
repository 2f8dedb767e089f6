// Putting vessels somewhere: landed on a body, from and to a status record, and along their links.
#include "physics_internal.h"

#include <cmath>

namespace hs {

using namespace phys;

MATRIX3 EulerToMatrix(const VECTOR3& arot) {
    double ca = cos(arot.x), sa = sin(arot.x), cb = cos(arot.y), sb = sin(arot.y), cg = cos(arot.z),
           sg = sin(arot.z);
    return _M(cb * cg, sa * sb * cg - ca * sg, ca * sb * cg + sa * sg, //
              cb * sg, sa * sb * sg + ca * cg, ca * sb * sg - sa * cg, //
              -sb, sa * cb, ca * cb);
}

VECTOR3 MatrixToEuler(const MATRIX3& R) {
    if (fabs(R.m31) > 1.0 - 1e-12) {
        // Gimbal lock: only alpha and gamma together are known, so gamma is taken as 0.
        double beta = R.m31 < 0 ? PI05 : -PI05;
        return _V(atan2(-R.m23, R.m22), beta, 0.0);
    }
    return _V(atan2(R.m32, R.m33), -asin(R.m31), atan2(R.m21, R.m11));
}

// A free vessel's angles (AROT, VESSELSTATUS2::arot) give the transpose of EulerToMatrix: measured, a parent at
// AROT 90 0 0 carries a child hung 1.06 m along its -y at +y of the global frame, and the host's own setter of
// the angles builds that matrix.
MATRIX3 AttitudeFromAngles(const VECTOR3& arot) {
    return Transpose(EulerToMatrix(arot));
}

VECTOR3 AnglesOfAttitude(const MATRIX3& R) {
    return MatrixToEuler(Transpose(R));
}

namespace {

// Puts a vessel at a place and attitude given in its body's frame, moving with the ground there.
void SetOnSurface(Vessel& v, const MATRIX3& onBody, const VECTOR3& place) {
    const Body& b = BodyOf(v);
    const BodyFrame f = FrameNow(b);
    v.phys.R = mul(f.R, onBody);
    v.phys.pos = b.pos + mul(f.R, place);
    v.phys.vel = SurfaceVelocity(f, b, v.phys.pos);
    v.phys.omega = _V(0, 0, 0); // as the host reports a vessel at rest on the ground
}

// Determinant of the matrix with columns a, b, c.
double Det(const VECTOR3& a, const VECTOR3& b, const VECTOR3& c) {
    return dotp(a, crossp(b, c));
}

// Where the host puts a landed vessel's touchdown points: each spring compressed along the touchdown normal so
// that together they carry the weight m*g with no turning moment about the centre of mass. Three points give
// exactly one answer; a share that comes out negative lifts its point off the ground.
Touchdown CompressedContact(const Vessel& v, const Touchdown& t, const Body& b) {
    Springs sp = SpringsOf(v);
    double weight = v.unweighed ? 0.0 : TotalMass(v) * b.gm / (b.radius * b.radius); // N
    if (!(sp.k > 0.0) || !(weight > 0.0)) return t;
    VECTOR3 e1 = Unit(crossp(t.up, t.fwd)), e2 = t.fwd;
    // Rows: the shares sum to the weight; their moments about e1 and e2 vanish.
    VECTOR3 col[3];
    for (int i = 0; i < 3; ++i) {
        VECTOR3 arm = crossp(t.p[i], t.up);
        col[i] = Vec(1.0, dotp(arm, e1), dotp(arm, e2));
    }
    double det = Det(col[0], col[1], col[2]);
    if (fabs(det) < 1e-12) return t;
    VECTOR3 rhs = Vec(weight, 0, 0);
    double share[3] = {Det(rhs, col[1], col[2]) / det, Det(col[0], rhs, col[2]) / det,
                       Det(col[0], col[1], rhs) / det};
    Touchdown c = t;
    for (int i = 0; i < 3; ++i)
        c.p[i] = t.p[i] + t.up * (share[i] / sp.k);
    VECTOR3 n = Unit(crossp(c.p[2] - c.p[0], c.p[1] - c.p[0]));
    VECTOR3 f = Vec(0, 0, 1) - n * n.z;
    if (length(f) < 1e-9) return t;
    c.up = n;
    c.fwd = Unit(f);
    c.right = crossp(c.up, c.fwd);
    return c;
}

} // namespace

void PlaceLanded(Vessel& v, int body, double lng, double lat, double hdg) {
    if (!GetBody(body)) body = 0;
    v.phys.body = body;
    const Body& b = BodyOf(v);
    Touchdown t = CompressedContact(v, TouchdownGeometry(v), b);
    Horizon h = HorizonAtLngLat(lng, lat);
    VECTOR3 fwd = h.north * cos(hdg) + h.east * sin(hdg);
    VECTOR3 right = crossp(h.up, fwd);
    // Vessel axes (compressed contact plane right, up, forward) onto the site's (right, up, heading).
    MATRIX3 onBody = mul(Columns(right, h.up, fwd), Transpose(Columns(t.right, t.up, t.fwd)));
    double cgHeight = -dotp(t.p[0], t.up); // centre of mass above the compressed contact plane
    SetOnSurface(v, onBody, h.up * (b.radius + cgHeight));
    v.phys.landed = true;
    v.phys.pointsChanged = false;
    for (int i = 0; i < 3; ++i)
        v.phys.restPoints[i] = v.touchdown[i];
    v.phys.groundContact = true;
    v.phys.touchdownFrame = false;
    v.phys.placed = true;
    MarkStepStart(v.phys);
}

void SurfacePosition(const Vessel& v, double* lng, double* lat, double* hdg) {
    const Body& b = BodyOf(v);
    const MATRIX3 turn = FrameNow(b).R; // body frame -> global
    VECTOR3 r = tmul(turn, v.phys.pos - b.pos);
    double rl = length(r);
    double la = rl > 0 ? asin(fmax(-1.0, fmin(1.0, r.y / rl))) : 0.0;
    double lo = atan2(r.z, r.x);
    Horizon h = HorizonAtLngLat(lo, la);
    double hd = 0.0;
    if (v.phys.led) {
        // The host heads a landed group's parts as its lead: where the lead's nose points, or, standing on its
        // tail, where its belly faces.
        VECTOR3 z = tmul(turn, _V(v.phys.leadR.m13, v.phys.leadR.m23, v.phys.leadR.m33));
        if (fabs(dotp(z, h.east)) > 1e-4 || fabs(dotp(z, h.north)) > 1e-4) {
            hd = atan2(dotp(z, h.east), dotp(z, h.north));
        } else {
            VECTOR3 y = tmul(turn, _V(-v.phys.leadR.m12, -v.phys.leadR.m22, -v.phys.leadR.m32));
            hd = atan2(dotp(y, h.east), dotp(y, h.north));
        }
    } else {
        Touchdown t = TouchdownGeometry(v);
        VECTOR3 f = tmul(turn, mul(v.phys.R, t.fwd));
        hd = atan2(dotp(f, h.east), dotp(f, h.north));
    }
    if (hd < 0) hd += PI2;
    if (lng) *lng = lo;
    if (lat) *lat = la;
    if (hdg) *hdg = hd;
}

void FromStatus(Vessel& v, const VESSELSTATUS2& st, int body) {
    if (!GetBody(body)) body = v.phys.body;
    if (st.status == 1) {
        PlaceLanded(v, body, st.surf_lng, st.surf_lat, st.surf_hdg);
        return;
    }
    v.phys.body = GetBody(body) ? body : 0;
    const Body& b = BodyOf(v);
    v.phys.pos = b.pos + st.rpos;
    v.phys.vel = st.rvel;
    v.phys.R = AttitudeFromAngles(st.arot);
    v.phys.omega = -st.vrot; // the host's angular velocity: see GetAngularVel
    v.phys.landed = false;
    v.phys.groundContact = false;
    v.phys.touchdownFrame = false;
    v.phys.placed = true;
    MarkStepStart(v.phys);
}

void KeepSavedLandedPlace(Vessel& v, const VESSELSTATUS2& st) {
    // The host's reader marks a block without an attitude with an angle beyond 4 rad.
    if (st.status != 1 || !v.phys.landed || !(st.arot.x <= 4.0)) return;
    const Body& b = BodyOf(v);
    SetOnSurface(v, Transpose(EulerToMatrix(st.arot)),
                 HorizonAtLngLat(st.surf_lng, st.surf_lat).up * (b.radius + st.vrot.x));
    MarkStepStart(v.phys);
}

void ToStatus(const Vessel& v, VESSELSTATUS2& st) {
    const Body* ref = GetBody(OrbitReference(v));
    const Body& b = ref ? *ref : BodyOf(v);
    st.status = v.phys.landed ? 1 : 0;
    st.rpos = v.phys.pos - b.pos;
    st.rvel = v.phys.vel;
    st.vrot = _V(0, 0, 0) - v.phys.omega; // never a negative zero in the saved line
    st.arot = AnglesOfAttitude(v.phys.R);
    SurfacePosition(v, &st.surf_lng, &st.surf_lat, &st.surf_hdg);
}

namespace phys {

void PlaceLinked(const Vessel& x, const VECTOR3& px, const MATRIX3& Mx, Vessel& y, const VECTOR3& py,
                 const MATRIX3& My, bool carried) {
    const PhysicsState& a = x.phys;
    PhysicsState& b = y.phys;
    b.R = mul(a.R, mul(Mx, Transpose(My)));
    b.pos = a.pos + mul(a.R, px) - mul(b.R, py);
    VECTOR3 offset = tmul(a.R, b.pos - a.pos); // y's centre in x's frame
    b.vel = carried ? a.vel : a.vel + mul(a.R, crossp(a.omega, offset));
    b.omega = tmul(b.R, mul(a.R, a.omega));
    b.body = a.body;
    // The parts of a group resting on the ground are landed with it, as the host reports and saves them.
    b.landed = a.landed;
    b.leadR = a.led ? a.leadR : a.R;
    b.led = true;
    b.groundContact = false;
    b.touchdownFrame = false;
    b.placed = true;
}

} // namespace phys

void PlaceAttachedChild(const Vessel& parent, const hs::Attachment& parentPoint, Vessel& child,
                        const hs::Attachment& childPoint) {
    PlaceLinked(parent, parentPoint.pos, AttachmentFrame(parentPoint), child, childPoint.pos,
                AttachmentFrame(childPoint), true);
}

// As the host releases a child: from where the step began, with the parent's turn at the child's place, and
// pushed along the parent point's direction as the child's attitude at the step's start carries it. A child
// that hung through a whole step leaves straight along the parent's point; one hung on in the same frame, before
// the step turned it to its hanging attitude, leaves along its own point reversed, in the attitude it was made
// with.
void ReleaseChild(const Vessel& parent, const hs::Attachment& parentPoint, Vessel& child,
                  const hs::Attachment& childPoint, double vel) {
    const PhysicsState& p = parent.phys;
    PhysicsState& c = child.phys;
    const MATRIX3 rrot = mul(AttachmentFrame(parentPoint), Transpose(AttachmentFrame(childPoint)));
    const VECTOR3 offset = parentPoint.pos - mul(rrot, childPoint.pos); // child's centre, parent frame
    c.pos = c.stepStart.pos;
    // A hanging child moves at its parent's velocity: released, it gets its point's share of the parent's turn.
    c.vel = c.stepStart.vel + mul(p.R, crossp(p.omega, offset)) + mul(c.stepStart.R, tmul(rrot, parentPoint.dir)) * vel;
    c.landed = false;
    c.groundContact = false;
}

void PlaceDocked(const Vessel& a, const hs::DockPort& pa, Vessel& b, const hs::DockPort& pb) {
    PlaceLinked(a, pa.pos, PointFrame(pa.dir, pa.rot), b, pb.pos, PointFrame(-pb.dir, pb.rot));
}

} // namespace hs
