// One 5 x 5 square of the ground in a plane of constant z, visible from both sides.
#pragma once

#include "IDessinable.h"

class MorceauDePlan : public IDessinable
{
public:
    static const float Longueur;   // along y
    static const float Largeur;    // along x

    MorceauDePlan(const D3DXVECTOR3& centre, IDirect3DDevice9* pDevice);
    ~MorceauDePlan() override;

    void Afficher(IDirect3DDevice9* pDevice) override;
    void Tracer(IDirect3DDevice9* pDevice) override;

private:
    void CreerIndex(IDirect3DDevice9* pDevice);
    void InitialiserMateriau();

    IDirect3DVertexBuffer9* TamponSommets;
    IDirect3DIndexBuffer9* TamponIndex;
    D3DMATERIAL9 Materiau;
};
