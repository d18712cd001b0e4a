// A pyramid on a square base, apex straight above the base centre along +z: a house's roof.
// Building one writes its four side normals to the normals log.
#pragma once

#include "IDessinable.h"

class Pyramide : public IDessinable
{
public:
    Pyramide(const D3DXVECTOR3& centre, float hauteur, IDirect3DDevice9* pDevice);
    ~Pyramide() override;

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

// (v - u) x (w - u), not normalised, written as one line of the normals log.
D3DXVECTOR3 CalculerNormale(const D3DXVECTOR3& u, const D3DXVECTOR3& v, const D3DXVECTOR3& w);
