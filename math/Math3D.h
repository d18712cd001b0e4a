// Vector and matrix value types and the left-handed transform builders.
// Row vectors (p' = p·M), translation in the fourth row, angles in radians.
// The types derive from the SDK's own so that a D3DXMATRIX* goes straight to
// IDirect3DDevice9::SetTransform and a D3DXVECTOR3 array can be copied into a
// locked vertex buffer.
#pragma once

#include <d3d9.h>

struct D3DXVECTOR3 : public D3DVECTOR
{
    D3DXVECTOR3() = default;   // left uninitialised, as the SDK's
    D3DXVECTOR3(float fx, float fy, float fz) : D3DVECTOR{fx, fy, fz} {}

    D3DXVECTOR3 operator+(const D3DXVECTOR3& v) const { return {x + v.x, y + v.y, z + v.z}; }
    D3DXVECTOR3 operator-(const D3DXVECTOR3& v) const { return {x - v.x, y - v.y, z - v.z}; }
    D3DXVECTOR3 operator-() const { return {-x, -y, -z}; }
    D3DXVECTOR3 operator/(float f) const;
    D3DXVECTOR3& operator+=(const D3DXVECTOR3& v);
};

struct D3DXMATRIX : public D3DMATRIX
{
    D3DXMATRIX() = default;   // left uninitialised, as the SDK's

    D3DXMATRIX operator*(const D3DXMATRIX& autre) const;
};

static_assert(sizeof(D3DXVECTOR3) == 12, "D3DXVECTOR3 must keep the layout of D3DVECTOR");
static_assert(sizeof(D3DXMATRIX) == 64, "D3DXMATRIX must keep the layout of D3DMATRIX");

D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV);

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* pOut);
D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* pOut, const D3DXMATRIX* pM1, const D3DXMATRIX* pM2);
D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* pOut, float x, float y, float z);
D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* pOut, float angle);
D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* pOut, float angle);
D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* pOut, float angle);
D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* pOut, const D3DXVECTOR3* pEye, const D3DXVECTOR3* pAt,
                               const D3DXVECTOR3* pUp);
D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* pOut, float fovy, float aspect, float zn,
                                       float zf);
