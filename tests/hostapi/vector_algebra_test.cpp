// Tests of the inline vector and matrix algebra and the angle wrappers.
#include "Orbitersdk.h"
#include "expect_vector.h"

#include <gtest/gtest.h>
#include <type_traits>
#include <utility>

namespace {

constexpr double EPS = 1e-12;

void ExpectVec(const VECTOR3& v, double x, double y, double z) {
    testvec::ExpectVec(v, x, y, z, "", EPS);
}

template <class A, class B, class = void> struct HasMul : std::false_type {};
template <class A, class B>
struct HasMul<A, B, std::void_t<decltype(std::declval<A>() * std::declval<B>())>> : std::true_type {};

} // namespace

// Code built here must also build against the host, which has only vector * scalar.
static_assert(HasMul<VECTOR3, double>::value, "vector * scalar exists");
static_assert(!HasMul<double, VECTOR3>::value, "scalar * vector must not exist");
static_assert(std::is_trivially_default_constructible<VECTOR3>::value, "VECTOR3 has no constructor");

TEST(VectorAlgebra, AggregateInitialisationFillsComponentsAndDataInOrder) {
    VECTOR3 v = {{1.0, 2.0, 3.0}};
    EXPECT_EQ(v.x, 1.0);
    EXPECT_EQ(v.data[1], 2.0);
    EXPECT_EQ(v.z, 3.0);
    VECTOR3 w = _V(4.0, 5.0, 6.0);
    EXPECT_EQ(w.data[0], 4.0);
    EXPECT_EQ(w.data[2], 6.0);
}

TEST(VectorAlgebra, ArithmeticOperatorsWorkComponentwise) {
    VECTOR3 a = _V(1, 2, 3), b = _V(4, -5, 6);
    ExpectVec(a + b, 5, -3, 9);
    ExpectVec(a - b, -3, 7, -3);
    ExpectVec(a * 2.0, 2, 4, 6);
    ExpectVec(b / 2.0, 2, -2.5, 3);
    ExpectVec(-a, -1, -2, -3);
    VECTOR3 c = a;
    c += b;
    ExpectVec(c, 5, -3, 9);
    c -= b;
    ExpectVec(c, 1, 2, 3);
    c *= 3.0;
    ExpectVec(c, 3, 6, 9);
    c /= 3.0;
    ExpectVec(c, 1, 2, 3);
    VECTOR3 d;
    veccpy(d, b);
    ExpectVec(d, 4, -5, 6);
}

TEST(VectorAlgebra, CrossProductFollowsTheRightHandRuleAndAnticommutes) {
    ExpectVec(crossp(_V(1, 0, 0), _V(0, 1, 0)), 0, 0, 1);
    ExpectVec(crossp(_V(0, 1, 0), _V(0, 0, 1)), 1, 0, 0);
    VECTOR3 a = _V(1, 2, 3), b = _V(-2, 0.5, 4);
    VECTOR3 ab = crossp(a, b), ba = crossp(b, a);
    ExpectVec(ab + ba, 0, 0, 0);
    EXPECT_NEAR(dotp(ab, a), 0.0, EPS);
    EXPECT_NEAR(dotp(ab, b), 0.0, EPS);
}

TEST(VectorAlgebra, LengthsDistanceAndUnitVector) {
    VECTOR3 a = _V(3, 4, 12);
    EXPECT_DOUBLE_EQ(length(a), 13.0);
    EXPECT_DOUBLE_EQ(length2(a), 169.0);
    EXPECT_DOUBLE_EQ(dist(a, _V(3, 4, 0)), 12.0);
    ExpectVec(unit(a), 3.0 / 13, 4.0 / 13, 12.0 / 13);
    normalise(a);
    EXPECT_NEAR(length(a), 1.0, EPS);
}

TEST(MatrixAlgebra, RotmAboutZByQuarterTurnTakesXToYAndAnyRotmIsOrthonormalWithTmulItsInverse) {
    MATRIX3 R = rotm(_V(0, 0, 1), PI05);
    ExpectVec(mul(R, _V(1, 0, 0)), 0, 1, 0);
    ExpectVec(mul(R, _V(0, 1, 0)), -1, 0, 0);
    ExpectVec(mul(R, _V(0, 0, 1)), 0, 0, 1);
    R = rotm(unit(_V(1, 2, -0.5)), 0.7);
    VECTOR3 v = _V(0.3, -8, 2.5);
    VECTOR3 back = tmul(R, mul(R, v));
    ExpectVec(back, v.x, v.y, v.z);
    EXPECT_NEAR(length(mul(R, v)), length(v), EPS);
    // Rows of a rotation are orthonormal: R * R^T = I, checked through tmul on the basis.
    MATRIX3 I = identity();
    for (int c = 0; c < 3; c++) {
        VECTOR3 e = _V(I.data[c], I.data[3 + c], I.data[6 + c]);
        VECTOR3 r = mul(R, tmul(R, e));
        ExpectVec(r, e.x, e.y, e.z);
    }
}

TEST(MatrixAlgebra, ProductOfRotationsAboutOneAxisAddsTheirAngles) {
    VECTOR3 axis = unit(_V(0.2, 1, 0.4));
    MATRIX3 AB = mul(rotm(axis, 0.4), rotm(axis, 1.1));
    MATRIX3 C = rotm(axis, 1.5);
    for (int i = 0; i < 9; i++)
        EXPECT_NEAR(AB.data[i], C.data[i], EPS) << "element " << i;
}

TEST(MatrixAlgebra, MatrixProductIsRowByColumn) {
    MATRIX3 A = _M(1, 2, 3, 4, 5, 6, 7, 8, 9);
    MATRIX3 B = _M(0, 1, 0, 0, 0, 1, 1, 0, 0); // cyclic permutation
    MATRIX3 P = mul(A, B);
    const double expected[9] = {3, 1, 2, 6, 4, 5, 9, 7, 8};
    for (int i = 0; i < 9; i++)
        EXPECT_DOUBLE_EQ(P.data[i], expected[i]) << "element " << i;
    EXPECT_DOUBLE_EQ(A.m23, 6.0);
    EXPECT_DOUBLE_EQ(A.m31, 7.0);
}

TEST(MatrixAlgebra, ScalarOperatorsAndOuterProduct) {
    MATRIX3 A = _M(1, 2, 3, 4, 5, 6, 7, 8, 9);
    EXPECT_DOUBLE_EQ((A * 2.0).m33, 18.0);
    EXPECT_DOUBLE_EQ((A / 2.0).m12, 1.0);
    EXPECT_DOUBLE_EQ((A + 1.0).m21, 5.0);
    EXPECT_DOUBLE_EQ((A - 1.0).m11, 0.0);
    A *= 3.0;
    EXPECT_DOUBLE_EQ(A.m22, 15.0);
    A /= 5.0;
    EXPECT_DOUBLE_EQ(A.m22, 3.0);
    MATRIX3 O = outerp(_V(1, 2, 3), _V(4, 5, 6));
    EXPECT_DOUBLE_EQ(O.m11, 4.0);
    EXPECT_DOUBLE_EQ(O.m23, 12.0);
    EXPECT_DOUBLE_EQ(O.m32, 15.0);
}

// The upper ends belong to the other side: the ranges are [-pi, pi) and [0, 2 pi).
TEST(AngleWrap, NormangleMapsIntoMinusPiToPiAndPosangleIntoZeroToTwoPi) {
    EXPECT_NEAR(normangle(1.5 * PI), -0.5 * PI, EPS);
    EXPECT_NEAR(normangle(-1.5 * PI), 0.5 * PI, EPS);
    EXPECT_NEAR(normangle(7.0 * PI2 + 0.25), 0.25, 1e-9);
    EXPECT_NEAR(normangle(0.3), 0.3, EPS);
    EXPECT_NEAR(normangle(PI), -PI, EPS);
    EXPECT_NEAR(posangle(-0.5 * PI), 1.5 * PI, EPS);
    EXPECT_NEAR(posangle(PI2), 0.0, EPS);
    EXPECT_NEAR(posangle(5.0 * PI2 + 1.0), 1.0, 1e-9);
    // A remainder just below zero would round up to exactly 2 pi.
    EXPECT_LT(posangle(-1e-18), PI2);
    EXPECT_GE(posangle(-1e-18), 0.0);
    for (double a = -20.0; a < 20.0; a += 0.37) {
        const double n = normangle(a), p = posangle(a);
        EXPECT_GE(n, -PI);
        EXPECT_LT(n, PI);
        EXPECT_NEAR(cos(n), cos(a), 1e-9);
        EXPECT_GE(p, 0.0);
        EXPECT_LT(p, PI2);
        EXPECT_NEAR(sin(p), sin(a), 1e-9);
    }
}

TEST(AngleWrap, ConstantsHaveTheHostValues) {
    EXPECT_DOUBLE_EQ(RAD * 180.0, PI);
    EXPECT_DOUBLE_EQ(DEG * PI, 180.0);
    EXPECT_DOUBLE_EQ(PI05 * 2.0, PI);
    EXPECT_DOUBLE_EQ(G, 9.81);
    EXPECT_DOUBLE_EQ(ATMP, 101.4e3);
    EXPECT_DOUBLE_EQ(ATMD, 1.293);
}
