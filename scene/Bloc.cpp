#include "Bloc.h"

#include "Liberer.h"
#include "Tampons.h"

#include <cstring>

namespace {
const UINT NbSommets = 24;
const UINT NbIndex = 36;
const UINT NbTriangles = 12;
}   // namespace

Bloc::Bloc(D3DXVECTOR3 coin, D3DXVECTOR3 taille, IDirect3DDevice9* pDevice)
    : IDessinable(coin + taille / 2), TamponSommets(nullptr), TamponIndex(nullptr)
{
    std::memset(&Materiau, 0, sizeof Materiau);

    const D3DXVECTOR3 extent = coin + taille;
    const float x1 = coin.x, y1 = coin.y, z1 = coin.z;
    const float x2 = extent.x, y2 = extent.y, z2 = extent.z;

    const D3DXVECTOR3 Normales[6] = {
        D3DXVECTOR3(0, 0, -1), D3DXVECTOR3(0, 0, 1),   // z = z1, z = z2
        D3DXVECTOR3(0, -1, 0), D3DXVECTOR3(0, 1, 0),   // y = y1, y = y2
        D3DXVECTOR3(-1, 0, 0), D3DXVECTOR3(1, 0, 0),   // x = x1, x = x2
    };
    const D3DXVECTOR3 Pt[8] = {
        D3DXVECTOR3(x1, y1, z1), D3DXVECTOR3(x1, y2, z1), D3DXVECTOR3(x2, y2, z1),
        D3DXVECTOR3(x2, y1, z1), D3DXVECTOR3(x2, y1, z2), D3DXVECTOR3(x2, y2, z2),
        D3DXVECTOR3(x1, y2, z2), D3DXVECTOR3(x1, y1, z2),
    };
    const Sommet Sommets[NbSommets] = {
        {Pt[0], Normales[0]}, {Pt[1], Normales[0]}, {Pt[2], Normales[0]}, {Pt[3], Normales[0]},
        {Pt[4], Normales[1]}, {Pt[5], Normales[1]}, {Pt[6], Normales[1]}, {Pt[7], Normales[1]},
        {Pt[0], Normales[2]}, {Pt[3], Normales[2]}, {Pt[4], Normales[2]}, {Pt[7], Normales[2]},
        {Pt[1], Normales[3]}, {Pt[6], Normales[3]}, {Pt[5], Normales[3]}, {Pt[2], Normales[3]},
        {Pt[0], Normales[4]}, {Pt[7], Normales[4]}, {Pt[6], Normales[4]}, {Pt[1], Normales[4]},
        {Pt[3], Normales[5]}, {Pt[2], Normales[5]}, {Pt[5], Normales[5]}, {Pt[4], Normales[5]},
    };
    RemplirSommets(pDevice, Sommets, NbSommets, TamponSommets);

    CreerIndex(pDevice);
    InitialiserMateriau();
}

Bloc::~Bloc()
{
    Liberer(TamponSommets);
    Liberer(TamponIndex);
}

void Bloc::CreerIndex(IDirect3DDevice9* pDevice)
{
    // Each triangle is clockwise seen from outside, so default culling shows the outside;
    // the diagonal splitting each face differs from face to face.
    // clang-format off
    static const WORD SourceIndex[NbIndex] = {
        0, 1, 2, 0, 2, 3,
        4, 5, 7, 5, 6, 7,
        8, 9, 11, 9, 10, 11,
        12, 13, 15, 13, 14, 15,
        16, 17, 18, 18, 19, 16,
        21, 22, 23, 21, 23, 20,
    };
    // clang-format on
    RemplirIndex(pDevice, SourceIndex, NbIndex, TamponIndex);
}

void Bloc::InitialiserMateriau()
{
    std::memset(&Materiau, 0, sizeof Materiau);
    Materiau.Ambient = D3DCOLORVALUE{0.5f, 0.0f, 0.5f, 1.0f};
}

void Bloc::ChangerMateriau(const D3DMATERIAL9& materiau)
{
    Materiau = materiau;
}

void Bloc::Afficher(IDirect3DDevice9* pDevice)
{
    pDevice->SetTransform(D3DTS_WORLD, &Monde);
    Tracer(pDevice);
}

void Bloc::Tracer(IDirect3DDevice9* pDevice)
{
    TracerPrimitive(pDevice, Materiau, TamponSommets, TamponIndex, NbSommets, NbTriangles);
}
