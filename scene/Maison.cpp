#include "Maison.h"

Maison::Maison(const D3DXVECTOR3& position, IDirect3DDevice9* pDevice)
    : IDessinable(position), Corps(nullptr), Toit(nullptr)
{
    Corps = new Bloc(position, D3DXVECTOR3(2, 2, 2), pDevice);
    try {
        Toit = new Pyramide(position + D3DXVECTOR3(1, 1, 2), 2.0f, pDevice);
    } catch (...) {
        // The destructor does not run for a house that was never finished.
        delete Corps;
        Corps = nullptr;
        throw;
    }
}

Maison::~Maison()
{
    if (Toit != nullptr)
        delete Toit;
    if (Corps != nullptr)
        delete Corps;
}

void Maison::Afficher(IDirect3DDevice9* pDevice)
{
    pDevice->SetTransform(D3DTS_WORLD, &Monde);
    Tracer(pDevice);
}

void Maison::Tracer(IDirect3DDevice9* pDevice)
{
    Corps->Tracer(pDevice);
    Toit->Tracer(pDevice);
}
