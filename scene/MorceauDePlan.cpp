#include "MorceauDePlan.h"

#include "Liberer.h"
#include "Tampons.h"

#include <cstring>

const float MorceauDePlan::Longueur = 5.0f;
const float MorceauDePlan::Largeur = 5.0f;

namespace {
const UINT NbSommets = 8;
const UINT NbIndex = 12;
const UINT NbTriangles = 4;
}   // namespace

MorceauDePlan::MorceauDePlan(const D3DXVECTOR3& centre, IDirect3DDevice9* pDevice)
    : IDessinable(centre), TamponSommets(nullptr), TamponIndex(nullptr)
{
    std::memset(&Materiau, 0, sizeof Materiau);

    const float hx = Largeur / 2;
    const float hy = Longueur / 2;
    const D3DXVECTOR3 Normale(0, 0, 1);
    // The same four corners twice: once facing +z, once facing -z.
    // clang-format off
    const Sommet Sommets[NbSommets] = {
        {D3DXVECTOR3(-hx, -hy, 0) + centre, Normale},
        {D3DXVECTOR3(-hx, hy, 0) + centre, Normale},
        {D3DXVECTOR3(hx, hy, 0) + centre, Normale},
        {D3DXVECTOR3(hx, -hy, 0) + centre, Normale},
        {D3DXVECTOR3(-hx, -hy, 0) + centre, -Normale},
        {D3DXVECTOR3(-hx, hy, 0) + centre, -Normale},
        {D3DXVECTOR3(hx, hy, 0) + centre, -Normale},
        {D3DXVECTOR3(hx, -hy, 0) + centre, -Normale},
    };
    // clang-format on
    RemplirSommets(pDevice, Sommets, NbSommets, TamponSommets);

    CreerIndex(pDevice);
    InitialiserMateriau();
}

MorceauDePlan::~MorceauDePlan()
{
    Liberer(TamponSommets);
    Liberer(TamponIndex);
}

void MorceauDePlan::CreerIndex(IDirect3DDevice9* pDevice)
{
    // The underside winds the other way, so one pair faces the viewer whatever the culling.
    // clang-format off
    static const WORD SourceIndex[NbIndex] = {
        0, 1, 2, 0, 2, 3,
        6, 5, 4, 7, 6, 4,
    };
    // clang-format on
    RemplirIndex(pDevice, SourceIndex, NbIndex, TamponIndex);
}

void MorceauDePlan::InitialiserMateriau()
{
    std::memset(&Materiau, 0, sizeof Materiau);
    Materiau.Ambient = D3DCOLORVALUE{0.25f, 0.75f, 0.25f, 1.0f};
}

void MorceauDePlan::Afficher(IDirect3DDevice9* pDevice)
{
    pDevice->SetTransform(D3DTS_WORLD, &Monde);
    Tracer(pDevice);
}

void MorceauDePlan::Tracer(IDirect3DDevice9* pDevice)
{
    TracerPrimitive(pDevice, Materiau, TamponSommets, TamponIndex, NbSommets, NbTriangles);
}
