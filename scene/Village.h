// The whole scene: three houses on a ground of 2 x 4 tiles, drawn under one world matrix.
#pragma once

#include "IDessinable.h"
#include "Maison.h"
#include "Plan.h"

#include <vector>

class Village : public IDessinable
{
public:
    explicit Village(IDirect3DDevice9* pDevice);
    ~Village() override;

    void Afficher(IDirect3DDevice9* pDevice) override;
    void Tracer(IDirect3DDevice9* pDevice) override;

private:
    std::vector<Maison*> Maisons;   // owned
    Plan* Sol;                      // owned
};
