// An axis-aligned box from a corner and a size: the body of a house.
#pragma once

#include "IDessinable.h"

class Bloc : public IDessinable
{
public:
    Bloc(D3DXVECTOR3 coin, D3DXVECTOR3 taille, IDirect3DDevice9* pDevice);
    ~Bloc() override;

    void Afficher(IDirect3DDevice9* pDevice) override;
    void Tracer(IDirect3DDevice9* pDevice) override;
    void ChangerMateriau(const D3DMATERIAL9& materiau);

private:
    void CreerIndex(IDirect3DDevice9* pDevice);
    void InitialiserMateriau();

    IDirect3DVertexBuffer9* TamponSommets;
    IDirect3DIndexBuffer9* TamponIndex;
    D3DMATERIAL9 Materiau;
};
