// The one interface of every scene object, and the vertex record of the primitives.
#pragma once

#include "Math3D.h"

#include <d3d9.h>

#include <cstddef>
#include <type_traits>

// One vertex as the fixed-function pipeline reads it with the format FVF: position, then
// normal, nothing else. The bytes are copied whole into the vertex buffers.
struct Sommet
{
    static constexpr DWORD FVF = D3DFVF_XYZ | D3DFVF_NORMAL;

    Sommet(D3DXVECTOR3 position, D3DXVECTOR3 normale) : Position(position), Normale(normale) {}

    D3DXVECTOR3 Position;
    D3DXVECTOR3 Normale;
};

static_assert(Sommet::FVF == 18, "position and normal only");
static_assert(sizeof(Sommet) == 24, "the stride given to SetStreamSource");
static_assert(offsetof(Sommet, Position) == 0 && offsetof(Sommet, Normale) == 12,
              "D3DFVF_XYZ | D3DFVF_NORMAL reads the position first, the normal at byte 12");
static_assert(std::is_trivially_copyable<Sommet>::value, "copied byte for byte into a buffer");

// Afficher draws a top-level object under its own world matrix; Tracer draws under
// whatever world transform is current, which is how containers draw their children.
class IDessinable
{
public:
    explicit IDessinable(const D3DXVECTOR3& position) : Position(position)
    {
        D3DXMatrixIdentity(&Monde);
    }
    // Scene objects own Direct3D buffers or other objects through raw pointers: a copy
    // would give them back twice.
    IDessinable(const IDessinable&) = delete;
    IDessinable& operator=(const IDessinable&) = delete;

    virtual void Afficher(IDirect3DDevice9* pDevice) = 0;
    virtual void Tracer(IDirect3DDevice9* pDevice) = 0;
    virtual ~IDessinable() {}

    D3DXVECTOR3 ObtenirPosition() const { return Position; }
    D3DXMATRIX& ObtenirMonde() { return Monde; }

protected:
    D3DXMATRIX Monde;
    D3DXVECTOR3 Position;
};
