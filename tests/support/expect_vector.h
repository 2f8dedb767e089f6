// A host vector compared with its three expected components, in any suite.
#pragma once

#include "OrbiterAPI.h"

#include <gtest/gtest.h>

namespace testvec {

// Each component within tol of its expected value; `what` names the vector in a failure.
inline void ExpectVec(const VECTOR3& v, double x, double y, double z, const char* what = "",
                      double tol = 1e-9) {
    EXPECT_NEAR(v.x, x, tol) << what;
    EXPECT_NEAR(v.y, y, tol) << what;
    EXPECT_NEAR(v.z, z, tol) << what;
}

} // namespace testvec
