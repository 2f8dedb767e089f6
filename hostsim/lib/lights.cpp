// Light emitters: the host's light classes, and the lights a vessel carries. Nothing is lit; what a module
// reads back (intensity, position, direction, whether a light is on) is what it set.
#include "host.h"

#include <algorithm>

using namespace hs;

namespace {
constexpr COLOUR4 WHITE = {1.0f, 1.0f, 1.0f, 1.0f};
}

LightEmitter::LightEmitter() : LightEmitter(WHITE, WHITE, WHITE) {}

LightEmitter::LightEmitter(COLOUR4 diffuse, COLOUR4 specular, COLOUR4 ambient)
    : ltype(LT_NONE), visibility(VIS_EXTERNAL), hRef(nullptr), active(false), col_diff(diffuse),
      col_spec(specular), col_ambi(ambient), intens(&lintens), lintens(1.0), pos(&lpos),
      dir(&ldir), lpos{{0, 0, 0}}, ldir{{0, 0, 1}} {}

void LightEmitter::Activate(bool act) {
    active = act;
}
bool LightEmitter::IsActive() const {
    return active;
}

OBJHANDLE LightEmitter::Attach(OBJHANDLE hObj) {
    OBJHANDLE old = hRef;
    hRef = hObj;
    return old;
}

OBJHANDLE LightEmitter::Detach() {
    return Attach(nullptr);
}

// Setting a value takes the light off the module's pointer and back onto its own copy.
void LightEmitter::SetPosition(const VECTOR3& p) {
    lpos = p;
    pos = &lpos;
}
void LightEmitter::SetPositionRef(const VECTOR3* p) {
    pos = p;
}
const VECTOR3* LightEmitter::GetPositionRef() const {
    return pos;
}
void LightEmitter::ShiftExplicitPosition(const VECTOR3& ofs) {
    lpos += ofs;
}

void LightEmitter::SetDirection(const VECTOR3& d) {
    ldir = d;
    dir = &ldir;
}
VECTOR3 LightEmitter::GetDirection() const {
    return *dir;
}
void LightEmitter::SetDirectionRef(const VECTOR3* d) {
    dir = d;
}
const VECTOR3* LightEmitter::GetDirectionRef() const {
    return dir;
}

void LightEmitter::SetIntensity(double in) {
    lintens = in;
    intens = &lintens;
}
double LightEmitter::GetIntensity() const {
    return *intens;
}
void LightEmitter::SetIntensityRef(double* pin) {
    intens = pin;
}
const double* LightEmitter::GetIntensityRef() const {
    return intens;
}

// A light made for an object is on from the start.
PointLight::PointLight(OBJHANDLE hObj, const VECTOR3& _pos, double _range, double att0, double att1,
                       double att2)
    : PointLight(hObj, _pos, _range, att0, att1, att2, WHITE, WHITE, WHITE) {}

PointLight::PointLight(OBJHANDLE hObj, const VECTOR3& _pos, double _range, double att0, double att1,
                       double att2, COLOUR4 diffuse, COLOUR4 specular, COLOUR4 ambient)
    : LightEmitter(diffuse, specular, ambient), range(_range), att{att0, att1, att2} {
    ltype = LT_POINT;
    Attach(hObj);
    SetPosition(_pos);
    Activate(true);
}

void PointLight::SetRange(double _range) {
    range = _range;
}

void PointLight::SetAttenuation(double att0, double att1, double att2) {
    att[0] = att0;
    att[1] = att1;
    att[2] = att2;
}

SpotLight::SpotLight(OBJHANDLE hObj, const VECTOR3& _pos, const VECTOR3& _dir, double _range, double att0,
                     double att1, double att2, double _umbra, double _penumbra)
    : SpotLight(hObj, _pos, _dir, _range, att0, att1, att2, _umbra, _penumbra, WHITE, WHITE, WHITE) {}

SpotLight::SpotLight(OBJHANDLE hObj, const VECTOR3& _pos, const VECTOR3& _dir, double _range, double att0,
                     double att1, double att2, double _umbra, double _penumbra, COLOUR4 diffuse,
                     COLOUR4 specular, COLOUR4 ambient)
    : PointLight(hObj, _pos, _range, att0, att1, att2, diffuse, specular, ambient), umbra(_umbra),
      penumbra(_penumbra) {
    ltype = LT_SPOT;
    SetDirection(_dir);
}

void SpotLight::SetAperture(double _umbra, double _penumbra) {
    umbra = _umbra;
    penumbra = _penumbra;
}

// --- A vessel's lights ---

LightEmitter* VESSEL::AddPointLight(const VECTOR3& pos, double range, double att0, double att1, double att2,
                                    COLOUR4 diffuse, COLOUR4 specular, COLOUR4 ambient) const {
    SELF_OR(nullptr);
    CallTrace trace(v, __func__, pos, range, att0, att1, att2);
    v->emitters.push_back(
        std::make_shared<PointLight>(v, pos, range, att0, att1, att2, diffuse, specular, ambient));
    return trace.Result(v->emitters.back().get());
}

LightEmitter* VESSEL::AddSpotLight(const VECTOR3& pos, const VECTOR3& dir, double range, double att0,
                                   double att1, double att2, double umbra, double penumbra, COLOUR4 diffuse,
                                   COLOUR4 specular, COLOUR4 ambient) const {
    SELF_OR(nullptr);
    CallTrace trace(v, __func__, pos, dir, range, att0, att1, att2, umbra, penumbra);
    v->emitters.push_back(std::make_shared<SpotLight>(v, pos, dir, range, att0, att1, att2, umbra, penumbra,
                                                      diffuse, specular, ambient));
    return trace.Result(v->emitters.back().get());
}

int VESSEL::LightEmitterCount() const {
    SELF_OR(0);
    CallTrace trace(v, __func__);
    return trace.Result((int)v->emitters.size());
}

const LightEmitter* VESSEL::GetLightEmitter(int i) const {
    SELF_OR(nullptr);
    CallTrace trace(v, __func__, i);
    if (i < 0 || (size_t)i >= v->emitters.size()) return trace.Result(nullptr);
    return trace.Result(static_cast<const LightEmitter*>(v->emitters[i].get()));
}

// False for a light this vessel does not carry (the host's answer; not misuse).
bool VESSEL::DelLightEmitter(LightEmitter* le) const {
    SELF_OR(false);
    CallTrace trace(v, __func__, le);
    auto it = std::find_if(v->emitters.begin(), v->emitters.end(),
                           [le](const std::shared_ptr<LightEmitter>& e) { return e.get() == le; });
    if (it == v->emitters.end()) return trace.Result(false);
    v->emitters.erase(it);
    return trace.Result(true);
}

void VESSEL::ClearLightEmitters() const {
    SELF_OR();
    CallTrace trace(v, __func__);
    v->emitters.clear();
}
