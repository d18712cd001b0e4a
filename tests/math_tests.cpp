// The math against values worked out by hand, bit for bit where the rounding is what the
// builders promise.
#include "Math3D.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

bool MemesBits(const void* a, const void* b, std::size_t n)
{
    return std::memcmp(a, b, n) == 0;
}

const float kPi = 3.14159265f;

}   // namespace

// A squared length within 2^-23 of one leaves the vector bit for bit; below the smallest
// normal float it gives zero. In place or not, the same.
TEST(Vecteur, NormalisationAndDivisionRoundAsPromised)
{
    struct Cas
    {
        D3DXVECTOR3 v, unitaire;
    } const cas[] = {
        {{0, 0, 0}, {0, 0, 0}},
        {{1e-20f, 0, 0}, {0, 0, 0}},
        {{0, 0, 2}, {0, 0, 1}},
        {{1.0001f, 0, 0}, {1, 0, 0}},
        {{3, 4, 12}, {3.0f / 13, 4.0f / 13, 12.0f / 13}},
        {{0.6f, 0.8f, 0}, {0.6f, 0.8f, 0}},
        {{0.99999994f, 0, 0}, {0.99999994f, 0, 0}},
        {{0.57735026f, 0.57735026f, 0.57735026f}, {0.57735026f, 0.57735026f, 0.57735026f}},
    };
    for (const Cas& c : cas) {
        D3DXVECTOR3 ailleurs(9, 9, 9);
        D3DXVECTOR3 surPlace = c.v;
        EXPECT_EQ(D3DXVec3Normalize(&ailleurs, &c.v), &ailleurs);
        D3DXVec3Normalize(&surPlace, &surPlace);
        for (const D3DXVECTOR3& n : {ailleurs, surPlace}) {
            SCOPED_TRACE(testing::Message() << c.v.x << "," << c.v.y << "," << c.v.z);
            EXPECT_NEAR(n.x, c.unitaire.x, 1e-7f);
            EXPECT_NEAR(n.y, c.unitaire.y, 1e-7f);
            EXPECT_NEAR(n.z, c.unitaire.z, 1e-7f);
            EXPECT_TRUE(!MemesBits(&c.v, &c.unitaire, 12) || MemesBits(&n, &c.v, 12));
        }
    }
    // One reciprocal, then products: 5 * (1/3) is one ulp above 5/3.
    const D3DXVECTOR3 q = D3DXVECTOR3(5, 5, 5) / 3.0f;
    EXPECT_EQ(q.x, 1.6666667461395264f);
    EXPECT_EQ(q.z, 1.6666667461395264f);
}

// Row vectors times the matrix: each builder's effect on points (w = 1) and directions (w = 0).
TEST(Matrice, TransformsMoveTurnAndProjectLeftHanded)
{
    D3DXMATRIX t, rx, ry, rz, vue, vueLoin, proj, large;
    const D3DXVECTOR3 oeil(0, 0, -1), loin(0, 7.5f, -10), zero(0, 0, 0), haut(0, 1, 0);
    struct Cas
    {
        const D3DXMATRIX* m;
        float de[4], vers[4];
    } const cas[] = {
        {D3DXMatrixTranslation(&t, 3, -4.5f, 0.25f), {0, 0, 0, 1}, {3, -4.5f, 0.25f, 1}},
        {&t, {1, 2, 3, 0}, {1, 2, 3, 0}},
        {D3DXMatrixRotationX(&rx, kPi / 2), {0, 1, 0, 1}, {0, 0, 1, 1}},
        {D3DXMatrixRotationY(&ry, kPi / 2), {0, 0, 1, 1}, {1, 0, 0, 1}},
        {D3DXMatrixRotationZ(&rz, kPi / 2), {1, 0, 0, 1}, {0, 1, 0, 1}},
        {D3DXMatrixLookAtLH(&vue, &oeil, &zero, &haut), {0, 0, 0, 1}, {0, 0, 1, 1}},
        {&vue, {1, 1, -1, 1}, {1, 1, 0, 1}},
        {D3DXMatrixLookAtLH(&vueLoin, &loin, &zero, &haut), {0, 7.5f, -10, 1}, {0, 0, 0, 1}},
        {&vueLoin, {0, 0, 0, 1}, {0, 0, 12.5f, 1}},
        {D3DXMatrixPerspectiveFovLH(&proj, kPi / 2, 1, 2, 30), {2, 2, 2, 1}, {2, 2, 0, 2}},
        {&proj, {0, 0, 30, 1}, {0, 0, 30, 30}},
        {D3DXMatrixPerspectiveFovLH(&large, kPi / 2, 2, 2, 30), {2, 2, 2, 1}, {1, 2, 0, 2}},
    };
    for (const Cas& c : cas)
        for (int j = 0; j < 4; ++j) {
            float v = 0;
            for (int i = 0; i < 4; ++i)
                v += c.de[i] * c.m->m[i][j];
            EXPECT_NEAR(v, c.vers[j], 2e-6f) << "row " << &c - cas << ", column " << j;
        }
}
