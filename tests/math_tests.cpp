#include "Math3D.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

const float kPi = 3.14159265358979f;

uint32_t Bits(float f)
{
    uint32_t b;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

bool MemesBits(const D3DXMATRIX& a, const D3DXMATRIX& b)
{
    return std::memcmp(a.m, b.m, sizeof a.m) == 0;
}

D3DXMATRIX Lignes(std::initializer_list<float> valeurs)
{
    D3DXMATRIX m;
    std::copy(valeurs.begin(), valeurs.end(), &m.m[0][0]);
    return m;
}

// Transforms the row vector (x, y, z, w) by m.
void Transformer(const D3DXMATRIX& m, const float in[4], float out[4])
{
    for (int j = 0; j < 4; ++j)
        out[j] = in[0] * m.m[0][j] + in[1] * m.m[1][j] + in[2] * m.m[2][j] + in[3] * m.m[3][j];
}

// Two matrices with no symmetry and no zeros, so any misplaced index shows.
const D3DXMATRIX kA = Lignes({1.5f, -2, 3.25f, 0.5f, 7, 0.125f, -1, 2, 3, 4, 5, -6, 0.75f, 9, -8, 1});
const D3DXMATRIX kB = Lignes({-0.5f, 2, 1, 3, 4, -1.25f, 0.5f, 6, 2, 8, -3, 0.25f, 1, 1.5f, 2.5f, -7});

void ExpectMatriceProche(const D3DXMATRIX& attendue, const D3DXMATRIX& obtenue, float tolerance)
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            EXPECT_NEAR(attendue.m[i][j], obtenue.m[i][j], tolerance) << "element " << i << "," << j;
}

D3DXMATRIX Identite()
{
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    return m;
}

} // namespace

TEST(Vector, OperatorsWorkComponentWise)
{
    const D3DXVECTOR3 a(1, 2, 3), b(0.5f, -4, 8);
    const D3DXVECTOR3 somme = a + b, difference = a - b, oppose = -a;
    EXPECT_EQ(1.5f, somme.x);   EXPECT_EQ(-2.0f, somme.y);      EXPECT_EQ(11.0f, somme.z);
    EXPECT_EQ(0.5f, difference.x); EXPECT_EQ(6.0f, difference.y); EXPECT_EQ(-5.0f, difference.z);
    EXPECT_EQ(-1.0f, oppose.x);  EXPECT_EQ(-2.0f, oppose.y);     EXPECT_EQ(-3.0f, oppose.z);

    D3DXVECTOR3 cumul(1, 1, 1);
    D3DXVECTOR3& retour = (cumul += b);
    EXPECT_EQ(&cumul, &retour);
    EXPECT_EQ(1.5f, cumul.x);    EXPECT_EQ(-3.0f, cumul.y);      EXPECT_EQ(9.0f, cumul.z);
}

TEST(Vector, DivisionMultipliesBySingleReciprocal)
{
    const D3DXVECTOR3 q = D3DXVECTOR3(5, 5, 5) / 3.0f;
    // One unit in the last place above the correctly rounded 5/3.
    EXPECT_EQ(1.6666667461395264, static_cast<double>(q.x));
    EXPECT_EQ(Bits(q.x), Bits(q.y));
    EXPECT_EQ(Bits(q.x), Bits(q.z));
    EXPECT_NE(Bits(5.0f / 3.0f), Bits(q.x));

    const D3DXVECTOR3 inf = D3DXVECTOR3(1, -1, 0) / 0.0f;
    EXPECT_TRUE(std::isinf(inf.x) && inf.x > 0);
    EXPECT_TRUE(std::isinf(inf.y) && inf.y < 0);
}

TEST(Vector, NormalizeHandlesZeroScalingAndNearUnit)
{
    D3DXVECTOR3 out(9, 9, 9);
    const D3DXVECTOR3 zero(0, 0, 0), deux(0, 0, 2), petit(1e-20f, 0, 0);
    D3DXVECTOR3* retour = D3DXVec3Normalize(&out, &zero);
    EXPECT_EQ(&out, retour);
    EXPECT_EQ(0.0f, out.x); EXPECT_EQ(0.0f, out.y); EXPECT_EQ(0.0f, out.z);

    D3DXVec3Normalize(&out, &deux);
    EXPECT_EQ(0.0f, out.x); EXPECT_EQ(0.0f, out.y); EXPECT_EQ(1.0f, out.z);

    // A squared length below the smallest normal float counts as zero, not as a direction.
    D3DXVec3Normalize(&out, &petit);
    EXPECT_EQ(0.0f, out.x);

    const D3DXVECTOR3 trois(3, 4, 12);
    D3DXVec3Normalize(&out, &trois);
    EXPECT_FLOAT_EQ(3.0f / 13, out.x);
    EXPECT_FLOAT_EQ(4.0f / 13, out.y);
    EXPECT_FLOAT_EQ(12.0f / 13, out.z);
}

TEST(Vector, NormalizeReturnsNearUnitVectorsBitForBit)
{
    // Squared lengths within 2^-23 of one: a rescaling would move the last bits.
    const D3DXVECTOR3 cas[] = {
        {0.6f, 0.8f, 0.0f},
        {0.99999994f, 0.0f, 0.0f},
        {0.57735026f, 0.57735026f, 0.57735026f},
    };
    for (const D3DXVECTOR3& v : cas) {
        D3DXVECTOR3 out(0, 0, 0);
        D3DXVec3Normalize(&out, &v);
        EXPECT_EQ(0, std::memcmp(&v, &out, sizeof v)) << v.x << "," << v.y << "," << v.z;
        D3DXVECTOR3 sur = v;
        D3DXVec3Normalize(&sur, &sur);
        EXPECT_EQ(0, std::memcmp(&v, &sur, sizeof v));
    }
    // Just outside the tolerance the vector is rescaled.
    const D3DXVECTOR3 loin(1.0001f, 0, 0);
    D3DXVECTOR3 out;
    D3DXVec3Normalize(&out, &loin);
    EXPECT_NE(Bits(loin.x), Bits(out.x));
}

TEST(Matrix, MultiplyGivesSameBitsWhateverTheAliasing)
{
    D3DXMATRIX attendu;
    D3DXMatrixMultiply(&attendu, &kA, &kB);
    EXPECT_EQ(-0.5f * 1.5f + 4 * -2 + 2 * 3.25f + 1 * 0.5f, attendu._11);

    D3DXMATRIX surPremier = kA;
    EXPECT_EQ(&surPremier, D3DXMatrixMultiply(&surPremier, &surPremier, &kB));
    EXPECT_TRUE(MemesBits(attendu, surPremier));

    D3DXMATRIX surSecond = kB;
    D3DXMatrixMultiply(&surSecond, &kA, &surSecond);
    EXPECT_TRUE(MemesBits(attendu, surSecond));

    D3DXMATRIX carre, surLesDeux = kA;
    D3DXMatrixMultiply(&carre, &kA, &kA);
    D3DXMatrixMultiply(&surLesDeux, &surLesDeux, &surLesDeux);
    EXPECT_TRUE(MemesBits(carre, surLesDeux));

    EXPECT_TRUE(MemesBits(attendu, kA * kB));
    EXPECT_FALSE(MemesBits(attendu, kB * kA));
}

TEST(Matrix, IdentityIsNeutralOnEitherSide)
{
    const D3DXMATRIX i = Identite();
    EXPECT_TRUE(MemesBits(kA, i * kA));
    EXPECT_TRUE(MemesBits(kA, kA * i));
    EXPECT_EQ(1.0f, i._11); EXPECT_EQ(1.0f, i._44); EXPECT_EQ(0.0f, i._41); EXPECT_EQ(0.0f, i._14);
}

TEST(Matrix, TranslationMovesTheOrigin)
{
    D3DXMATRIX t;
    EXPECT_EQ(&t, D3DXMatrixTranslation(&t, 3, -4.5f, 0.25f));
    const float origine[4] = {0, 0, 0, 1};
    float p[4];
    Transformer(t, origine, p);
    EXPECT_EQ(3.0f, p[0]); EXPECT_EQ(-4.5f, p[1]); EXPECT_EQ(0.25f, p[2]); EXPECT_EQ(1.0f, p[3]);
    // Directions (w = 0) are not moved.
    const float direction[4] = {1, 2, 3, 0};
    Transformer(t, direction, p);
    EXPECT_EQ(1.0f, p[0]); EXPECT_EQ(2.0f, p[1]); EXPECT_EQ(3.0f, p[2]); EXPECT_EQ(0.0f, p[3]);
}

TEST(Matrix, RotationsByZeroAreTheIdentity)
{
    D3DXMATRIX (*const constructeurs[])(float) = {
        [](float a) { D3DXMATRIX m; D3DXMatrixRotationX(&m, a); return m; },
        [](float a) { D3DXMATRIX m; D3DXMatrixRotationY(&m, a); return m; },
        [](float a) { D3DXMATRIX m; D3DXMatrixRotationZ(&m, a); return m; },
    };
    for (auto construire : constructeurs) {
        const D3DXMATRIX r = construire(0.0f);
        // -0 from -sin(0) compares equal to 0, as it must.
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                EXPECT_EQ(i == j ? 1.0f : 0.0f, r.m[i][j]);
    }
}

TEST(Matrix, QuarterTurnsMapAxesLeftHanded)
{
    struct Cas { D3DXMATRIX* (*rotation)(D3DXMATRIX*, float); float de[4]; float vers[4]; };
    const Cas cas[] = {
        {D3DXMatrixRotationX, {0, 1, 0, 1}, {0, 0, 1, 1}},
        {D3DXMatrixRotationY, {0, 0, 1, 1}, {1, 0, 0, 1}},
        {D3DXMatrixRotationZ, {1, 0, 0, 1}, {0, 1, 0, 1}},
    };
    for (const Cas& c : cas) {
        D3DXMATRIX r;
        EXPECT_EQ(&r, c.rotation(&r, kPi / 2));
        float p[4];
        Transformer(r, c.de, p);
        for (int k = 0; k < 4; ++k)
            EXPECT_NEAR(c.vers[k], p[k], 1e-7f) << k;
    }
    // Sine and cosine are each rounded to float once.
    D3DXMATRIX r;
    D3DXMatrixRotationX(&r, 1.0f);
    EXPECT_EQ(static_cast<float>(std::cos(1.0)), r._22);
    EXPECT_EQ(static_cast<float>(std::sin(1.0)), r._23);
    EXPECT_EQ(-static_cast<float>(std::sin(1.0)), r._32);
}

TEST(Matrix, LookAtFromBehindTheOrigin)
{
    const D3DXVECTOR3 oeil(0, 0, -1), cible(0, 0, 0), haut(0, 1, 0);
    D3DXMATRIX vue;
    EXPECT_EQ(&vue, D3DXMatrixLookAtLH(&vue, &oeil, &cible, &haut));
    D3DXMATRIX attendue = Identite();
    attendue._43 = 1.0f;
    // Exact values; the translation row may hold -0 from negating a zero dot product.
    ExpectMatriceProche(attendue, vue, 0.0f);
}

TEST(Matrix, DegenerateLookAtGivesZeroAxesNotNaN)
{
    struct Cas { D3DXVECTOR3 oeil, cible, haut; bool zNul; };
    const Cas cas[] = {
        {{1, 2, 3}, {1, 2, 3}, {0, 1, 0}, true},      // eye on the target
        {{0, 7.5f, 0}, {0, 0, 0}, {0, 1, 0}, false},  // up along the view direction
        {{0, -3, 0}, {0, 0, 0}, {0, 1, 0}, false},    // up against it
    };
    for (const Cas& c : cas) {
        D3DXMATRIX vue;
        D3DXMatrixLookAtLH(&vue, &c.oeil, &c.cible, &c.haut);
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                EXPECT_FALSE(std::isnan(vue.m[i][j])) << i << "," << j;
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(0.0f, vue.m[i][0]) << "x axis, row " << i;
            EXPECT_EQ(0.0f, vue.m[i][1]) << "y axis, row " << i;
        }
        EXPECT_EQ(c.zNul, vue._13 == 0 && vue._23 == 0 && vue._33 == 0);
    }
}

TEST(Matrix, PerspectiveMapsNearToZeroAndFarToOne)
{
    D3DXMATRIX p;
    EXPECT_EQ(&p, D3DXMatrixPerspectiveFovLH(&p, kPi / 2, 1.0f, 2.0f, 30.0f));
    EXPECT_FLOAT_EQ(1.0f, p._11);
    EXPECT_FLOAT_EQ(1.0f, p._22);
    EXPECT_EQ(1.0f, p._34);
    EXPECT_EQ(0.0f, p._44);

    const float proche[4] = {0, 0, 2, 1}, loin[4] = {0, 0, 30, 1}, milieu[4] = {0, 0, 10, 1};
    float q[4];
    Transformer(p, proche, q);
    EXPECT_EQ(0.0f, q[2] / q[3]);
    Transformer(p, loin, q);
    EXPECT_FLOAT_EQ(1.0f, q[2] / q[3]);
    Transformer(p, milieu, q);
    EXPECT_GT(q[2] / q[3], 0.0f);
    EXPECT_LT(q[2] / q[3], 1.0f);

    // The aspect ratio only narrows x.
    D3DXMATRIX large;
    D3DXMatrixPerspectiveFovLH(&large, kPi / 2, 2.0f, 2.0f, 30.0f);
    EXPECT_FLOAT_EQ(p._11 / 2, large._11);
    EXPECT_EQ(p._22, large._22);
}
