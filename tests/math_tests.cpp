#include "Math3D.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

static D3DXMATRIX Lignes(std::initializer_list<float> v)
{
    D3DXMATRIX m;
    std::copy(v.begin(), v.end(), &m.m[0][0]);
    return m;
}
static bool MemesBits(const void* a, const void* b, std::size_t n)
{
    return std::memcmp(a, b, n) == 0;
}
static const float kPi = 3.14159265f;

TEST(Vecteur, OperatorsDivisionByOneReciprocalAndNormalisation)
{
    D3DXVECTOR3 a = D3DXVECTOR3(1, 2, 3) + D3DXVECTOR3(0.5f, -4, 8) - D3DXVECTOR3(1, 1, 1), b = -a;
    EXPECT_EQ(&(b += D3DXVECTOR3(1, 1, 1)), &b);
    EXPECT_TRUE(a.x == 0.5f && a.y == -3 && a.z == 10 && b.x == 0.5f && b.y == 4 && b.z == -9);
    const D3DXVECTOR3 q = D3DXVECTOR3(5, 5, 5) / 3.0f;   // 5 * (1/3) is one ulp above 5/3
    EXPECT_TRUE(q.x == 1.6666667461395264f && q.y == q.x && q.z == q.x && q.x != 5.0f / 3.0f);
    // A squared length within 2^-23 of one is left bit for bit; below the smallest normal it is
    // zero.
    const struct
    {
        D3DXVECTOR3 v, attendu;
    } cas[] = {{{0, 0, 0}, {0, 0, 0}},
               {{1e-20f, 0, 0}, {0, 0, 0}},
               {{0, 0, 2}, {0, 0, 1}},
               {{1.0001f, 0, 0}, {1, 0, 0}},
               {{3, 4, 12}, {3.0f / 13, 4.0f / 13, 12.0f / 13}},
               {{0.6f, 0.8f, 0}, {0.6f, 0.8f, 0}},
               {{0.99999994f, 0, 0}, {0.99999994f, 0, 0}},
               {{0.57735026f, 0.57735026f, 0.57735026f}, {0.57735026f, 0.57735026f, 0.57735026f}}};
    for (const auto& c : cas) {
        D3DXVECTOR3 hors(9, 9, 9), sur = c.v;
        EXPECT_EQ(D3DXVec3Normalize(&hors, &c.v), &hors);
        D3DXVec3Normalize(&sur, &sur);
        for (const D3DXVECTOR3& n : {hors, sur})
            EXPECT_TRUE(std::fabs(n.x - c.attendu.x) <= 1e-7f &&
                        std::fabs(n.y - c.attendu.y) <= 1e-7f &&
                        std::fabs(n.z - c.attendu.z) <= 1e-7f &&
                        (!MemesBits(&c.v, &c.attendu, 12) || MemesBits(&n, &c.v, 12)))
                << c.v.x << "," << c.v.y << "," << c.v.z << " gave " << n.x << "," << n.y << ","
                << n.z;
    }
}

TEST(Matrice, ProductRowByColumnWhateverTheAliasing)
{
    const D3DXMATRIX a =
        Lignes({1.5f, -2, 3.25f, 0.5f, 7, 0.125f, -1, 2, 3, 4, 5, -6, 0.75f, 9, -8, 1});
    const D3DXMATRIX b =
        Lignes({-0.5f, 2, 1, 3, 4, -1.25f, 0.5f, 6, 2, 8, -3, 0.25f, 1, 1.5f, 2.5f, -7});
    const D3DXMATRIX ab = Lignes({-1.75f, 32.25f, -8, -10.1875f, -3, 8.84375f, 15.0625f, 7.5f,
                                  18.5f, 32, -25, 76.25f, 20.625f, -72.25f, 31.75f, 47.25f});
    D3DXMATRIX p, surA = a, surB = b, i, carre, surLesDeux = a;
    EXPECT_EQ(D3DXMatrixMultiply(&p, &a, &b), &p);
    D3DXMatrixMultiply(&surA, &surA, &b), D3DXMatrixMultiply(&surB, &a, &surB),
        D3DXMatrixMultiply(&carre, &a, &a);
    D3DXMatrixMultiply(&surLesDeux, &surLesDeux, &surLesDeux), D3DXMatrixIdentity(&i);
    for (const D3DXMATRIX& m : {p, surA, surB, a * b})
        EXPECT_TRUE(MemesBits(&m, &ab, 64));
    const D3DXMATRIX ia = i * a, ai = a * i;
    EXPECT_TRUE(MemesBits(&carre, &surLesDeux, 64) && MemesBits(&ia, &a, 64) &&
                MemesBits(&ai, &a, 64));
    EXPECT_EQ((b * a)._11, 18.5f);
}

// Row vectors times the matrix: the transforms' effect on points (w = 1) and directions (w = 0).
TEST(Matrice, TransformsMoveTurnAndProjectLeftHanded)
{
    D3DXMATRIX t, rx, ry, rz, vue, vueLoin, proj, large;
    const D3DXVECTOR3 oeil(0, 0, -1), loin(0, 7.5f, -10), zero(0, 0, 0), haut(0, 1, 0);
    const struct
    {
        D3DXMATRIX* m;
        float de[4], vers[4];
    } cas[] = {{D3DXMatrixTranslation(&t, 3, -4.5f, 0.25f), {0, 0, 0, 1}, {3, -4.5f, 0.25f, 1}},
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
               {D3DXMatrixPerspectiveFovLH(&large, kPi / 2, 2, 2, 30), {2, 2, 2, 1}, {1, 2, 0, 2}}};
    for (const auto& c : cas)
        for (int j = 0; j < 4; ++j)
            EXPECT_NEAR(c.de[0] * c.m->m[0][j] + c.de[1] * c.m->m[1][j] + c.de[2] * c.m->m[2][j] +
                            c.de[3] * c.m->m[3][j],
                        c.vers[j], 2e-6f)
                << &c - cas << ", column " << j;
    D3DXMatrixRotationX(&rx, 1.0f);   // sine and cosine rounded to float once each
    EXPECT_TRUE(rx._22 == float(std::cos(1.0)) && rx._23 == float(std::sin(1.0)) &&
                rx._32 == -float(std::sin(1.0)));
    const D3DXVECTOR3 dessus(0, 7.5f, 0), dessous(0, -3, 0),
        ici(1, 2, 3);   // degenerate views: zero axes, no NaN
    for (const D3DXVECTOR3* e : {&dessus, &dessous, &ici}) {
        D3DXMatrixLookAtLH(&vue, e, e == &ici ? &ici : &zero, &haut);
        for (int k = 0; k < 16; ++k)
            EXPECT_TRUE(k % 4 > 1 || k > 11 ? !std::isnan(vue.m[k / 4][k % 4])
                                            : vue.m[k / 4][k % 4] == 0)
                << k;
    }
}
