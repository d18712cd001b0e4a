#include "Pyramide.h"

#include "JournalNormales.h"
#include "Liberer.h"
#include "Tampons.h"

#include <cmath>
#include <cstring>
#include <ostream>

namespace {
const UINT NbSommets = 16;
const UINT NbIndex = 18;
const UINT NbTriangles = 6;
}   // namespace

D3DXVECTOR3 CalculerNormale(const D3DXVECTOR3& u, const D3DXVECTOR3& v, const D3DXVECTOR3& w)
{
    // Differences, products and their difference all in double from the float inputs, one
    // rounding to float at the end.
    const double ax = double(v.x) - u.x, ay = double(v.y) - u.y, az = double(v.z) - u.z;
    const double bx = double(w.x) - u.x, by = double(w.y) - u.y, bz = double(w.z) - u.z;
    const D3DXVECTOR3 Resultat(static_cast<float>(ay * bz - by * az),
                               static_cast<float>(az * bx - ax * bz),
                               static_cast<float>(ax * by - bx * ay));

    // std::endl: every line is in the file even if the process ends abruptly later.
    *LeJournalNormales() << "Normale: " << Resultat.x << "," << Resultat.y << "," << Resultat.z
                         << std::endl;
    return Resultat;
}

Pyramide::Pyramide(const D3DXVECTOR3& centre, float hauteur, IDirect3DDevice9* pDevice)
    : IDessinable(centre), TamponSommets(nullptr), TamponIndex(nullptr)
{
    std::memset(&Materiau, 0, sizeof Materiau);

    // d = sqrt(2 h^2): each base corner lies |h| away from the centre.
    const float carre = hauteur * hauteur;
    const float d = static_cast<float>(std::sqrt(static_cast<double>(2 * carre)));
    const float m = d / 2;

    const D3DXVECTOR3 Pt[5] = {
        centre + D3DXVECTOR3(-m, -m, 0),     centre + D3DXVECTOR3(-m, m, 0),
        centre + D3DXVECTOR3(m, m, 0),       centre + D3DXVECTOR3(m, -m, 0),
        centre + D3DXVECTOR3(0, 0, hauteur),
    };
    // The log receives the side normals in this order, whatever happens to the buffers.
    const D3DXVECTOR3 Normales[5] = {
        D3DXVECTOR3(0, 0, -1),
        CalculerNormale(Pt[4] - Pt[0], Pt[0] - Pt[3], Pt[3] - Pt[4]),
        CalculerNormale(Pt[2] - Pt[4], Pt[3] - Pt[2], Pt[4] - Pt[3]),
        CalculerNormale(Pt[4] - Pt[1], Pt[2] - Pt[4], Pt[1] - Pt[2]),
        CalculerNormale(Pt[1] - Pt[0], Pt[4] - Pt[1], Pt[0] - Pt[4]),
    };
    // clang-format off
    const Sommet Sommets[NbSommets] = {
        {Pt[0], Normales[0]}, {Pt[1], Normales[0]}, {Pt[2], Normales[0]}, {Pt[3], Normales[0]},
        {Pt[4], Normales[1]}, {Pt[0], Normales[1]}, {Pt[3], Normales[1]},
        {Pt[2], Normales[2]}, {Pt[4], Normales[2]}, {Pt[3], Normales[2]},
        {Pt[1], Normales[3]}, {Pt[4], Normales[3]}, {Pt[2], Normales[3]},
        {Pt[0], Normales[4]}, {Pt[4], Normales[4]}, {Pt[1], Normales[4]},
    };
    // clang-format on
    RemplirSommets(pDevice, Sommets, NbSommets, TamponSommets);

    CreerIndex(pDevice);
    InitialiserMateriau();
}

Pyramide::~Pyramide()
{
    Liberer(TamponSommets);
    Liberer(TamponIndex);
}

void Pyramide::CreerIndex(IDirect3DDevice9* pDevice)
{
    // clang-format off
    static const WORD SourceIndex[NbIndex] = {
        0, 1, 2, 0, 2, 3,
        4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15,
    };
    // clang-format on
    RemplirIndex(pDevice, SourceIndex, NbIndex, TamponIndex);
}

void Pyramide::InitialiserMateriau()
{
    std::memset(&Materiau, 0, sizeof Materiau);
    Materiau.Ambient = D3DCOLORVALUE{1.0f, 0.0f, 0.0f, 1.0f};
}

void Pyramide::ChangerMateriau(const D3DMATERIAL9& materiau)
{
    Materiau = materiau;
}

void Pyramide::Afficher(IDirect3DDevice9* pDevice)
{
    pDevice->SetTransform(D3DTS_WORLD, &Monde);
    Tracer(pDevice);
}

void Pyramide::Tracer(IDirect3DDevice9* pDevice)
{
    TracerPrimitive(pDevice, Materiau, TamponSommets, TamponIndex, NbSommets, NbTriangles);
}
