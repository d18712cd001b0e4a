#include "Math3D.h"

#include <cfloat>
#include <cmath>
#include <cstring>

namespace {

// Fills all sixteen elements, row by row.
// clang-format off
D3DXMATRIX* Remplir(D3DXMATRIX* pOut,
                    float a11, float a12, float a13, float a14,
                    float a21, float a22, float a23, float a24,
                    float a31, float a32, float a33, float a34,
                    float a41, float a42, float a43, float a44)
// clang-format on
{
    const float valeurs[16] = {a11, a12, a13, a14, a21, a22, a23, a24,
                               a31, a32, a33, a34, a41, a42, a43, a44};
    std::memcpy(pOut->m, valeurs, sizeof valeurs);
    return pOut;
}

D3DXVECTOR3 Produit(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float Scalaire(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// cos and sin of the float argument, each rounded to float once.
void CosSin(float angle, float& co, float& si)
{
    co = static_cast<float>(std::cos(static_cast<double>(angle)));
    si = static_cast<float>(std::sin(static_cast<double>(angle)));
}

}   // namespace

// One reciprocal rounded to float, then three products: not three divisions.
D3DXVECTOR3 D3DXVECTOR3::operator/(float f) const
{
    const float inv = 1.0f / f;
    return {x * inv, y * inv, z * inv};
}

D3DXVECTOR3& D3DXVECTOR3::operator+=(const D3DXVECTOR3& v)
{
    x += v.x;
    y += v.y;
    z += v.z;
    return *this;
}

D3DXMATRIX D3DXMATRIX::operator*(const D3DXMATRIX& autre) const
{
    D3DXMATRIX matT;
    D3DXMatrixMultiply(&matT, this, &autre);
    return matT;
}

D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV)
{
    const float len2 = pV->x * pV->x + pV->y * pV->y + pV->z * pV->z;
    if (std::fabs(len2 - 1.0f) <= FLT_EPSILON) {
        if (pOut != pV)
            *pOut = *pV;
    } else if (len2 > FLT_MIN) {
        const float inv = 1.0f / std::sqrt(len2);
        *pOut = D3DXVECTOR3(pV->x * inv, pV->y * inv, pV->z * inv);
    } else {
        *pOut = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    }
    return pOut;
}

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* pOut)
{
    return Remplir(pOut, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
}

// The product goes through a local buffer so that pOut may be pM1, pM2 or both.
D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* pOut, const D3DXMATRIX* pM1, const D3DXMATRIX* pM2)
{
    float produit[4][4];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            produit[i][j] = pM1->m[i][0] * pM2->m[0][j] + pM1->m[i][1] * pM2->m[1][j] +
                            pM1->m[i][2] * pM2->m[2][j] + pM1->m[i][3] * pM2->m[3][j];
    std::memcpy(pOut->m, produit, sizeof produit);
    return pOut;
}

D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* pOut, float x, float y, float z)
{
    return Remplir(pOut, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1);
}

D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* pOut, float angle)
{
    float co, si;
    CosSin(angle, co, si);
    return Remplir(pOut, 1, 0, 0, 0, 0, co, si, 0, 0, -si, co, 0, 0, 0, 0, 1);
}

D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* pOut, float angle)
{
    float co, si;
    CosSin(angle, co, si);
    return Remplir(pOut, co, 0, -si, 0, 0, 1, 0, 0, si, 0, co, 0, 0, 0, 0, 1);
}

D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* pOut, float angle)
{
    float co, si;
    CosSin(angle, co, si);
    return Remplir(pOut, co, si, 0, 0, -si, co, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
}

D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* pOut, const D3DXVECTOR3* pEye, const D3DXVECTOR3* pAt,
                               const D3DXVECTOR3* pUp)
{
    D3DXVECTOR3 zaxis, xaxis;
    const D3DXVECTOR3 vue = *pAt - *pEye;
    D3DXVec3Normalize(&zaxis, &vue);
    const D3DXVECTOR3 cote = Produit(*pUp, zaxis);
    D3DXVec3Normalize(&xaxis, &cote);
    const D3DXVECTOR3 yaxis = Produit(zaxis, xaxis);   // unit already when the others are

    // clang-format off
    return Remplir(pOut,
                   xaxis.x, yaxis.x, zaxis.x, 0,
                   xaxis.y, yaxis.y, zaxis.y, 0,
                   xaxis.z, yaxis.z, zaxis.z, 0,
                   -Scalaire(xaxis, *pEye), -Scalaire(yaxis, *pEye), -Scalaire(zaxis, *pEye), 1);
    // clang-format on
}

D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* pOut, float fovy, float aspect, float zn,
                                       float zf)
{
    float co, si;
    CosSin(fovy * 0.5f, co, si);
    const float yScale = co / si;
    const float xScale = yScale / aspect;
    const float q = zf / (zf - zn);
    // clang-format off
    return Remplir(pOut,
                   xScale, 0, 0, 0,
                   0, yScale, 0, 0,
                   0, 0, q, 1,
                   0, 0, -zn * q, 0);
    // clang-format on
}
