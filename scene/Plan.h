// The ground: rows along +y of tiles along +x, laid edge to edge from the first tile's centre.
#pragma once

#include "IDessinable.h"
#include "MorceauDePlan.h"

#include <vector>

class Plan : public IDessinable
{
public:
    Plan(const D3DXVECTOR3& origine, IDirect3DDevice9* pDevice, int nbRangees, int nbColonnes);
    ~Plan() override;

    void Afficher(IDirect3DDevice9* pDevice) override;
    void Tracer(IDirect3DDevice9* pDevice) override;

private:
    std::vector<MorceauDePlan*> Morceaux;   // row i, column j at i * NbColonnes + j; owned
    int NbRangees;
    int NbColonnes;
};
