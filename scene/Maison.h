// A house: a 2 x 2 x 2 box body with a pyramid roof of height 2 standing on it.
#pragma once

#include "Bloc.h"
#include "IDessinable.h"
#include "Pyramide.h"

class Maison : public IDessinable
{
public:
    Maison(const D3DXVECTOR3& position, IDirect3DDevice9* pDevice);
    ~Maison() override;

    void Afficher(IDirect3DDevice9* pDevice) override;
    void Tracer(IDirect3DDevice9* pDevice) override;

private:
    Bloc* Corps;
    Pyramide* Toit;
};
