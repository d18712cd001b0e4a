#include "Tampons.h"

#include "Liberer.h"

#include <algorithm>
#include <cstring>

void RemplirSommets(IDirect3DDevice9* pDevice, const Sommet* sommets, UINT n,
                    IDirect3DVertexBuffer9*& tampon)
{
    tampon = nullptr;
    IDirect3DVertexBuffer9* pNouveau = nullptr;
    if (FAILED(pDevice->CreateVertexBuffer(n * sizeof(Sommet), 0, Sommet::FVF, D3DPOOL_DEFAULT,
                                           &pNouveau, nullptr)) ||
        pNouveau == nullptr)
        return;
    void* pSommets = nullptr;
    if (FAILED(pNouveau->Lock(0, 0, &pSommets, 0)) || pSommets == nullptr) {
        Liberer(pNouveau);
        return;
    }
    std::memcpy(pSommets, sommets, n * sizeof(Sommet));
    pNouveau->Unlock();
    tampon = pNouveau;
}

void RemplirIndex(IDirect3DDevice9* pDevice, const WORD* index, UINT m,
                  IDirect3DIndexBuffer9*& tampon)
{
    tampon = nullptr;
    IDirect3DIndexBuffer9* pNouveau = nullptr;
    if (FAILED(pDevice->CreateIndexBuffer(m * sizeof(WORD), D3DUSAGE_WRITEONLY, D3DFMT_INDEX16,
                                          D3DPOOL_DEFAULT, &pNouveau, nullptr)) ||
        pNouveau == nullptr)
        return;
    void* pIndex = nullptr;
    if (FAILED(pNouveau->Lock(0, 0, &pIndex, 0)) || pIndex == nullptr) {
        Liberer(pNouveau);
        return;
    }
    std::copy(index, index + m, static_cast<WORD*>(pIndex));
    pNouveau->Unlock();
    tampon = pNouveau;
}

void TracerPrimitive(IDirect3DDevice9* pDevice, const D3DMATERIAL9& materiau,
                     IDirect3DVertexBuffer9* sommets, IDirect3DIndexBuffer9* index, UINT nbSommets,
                     UINT nbTriangles)
{
    if (sommets == nullptr || index == nullptr)
        return;
    pDevice->SetMaterial(&materiau);
    pDevice->SetStreamSource(0, sommets, 0, sizeof(Sommet));
    pDevice->SetFVF(Sommet::FVF);
    pDevice->SetIndices(index);
    pDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, nbSommets, 0, nbTriangles);
}
