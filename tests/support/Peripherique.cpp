#include "Peripherique.h"

#include <new>

long g_reste = -1, g_echecs = 0;
bool g_plusRien = false;
void* operator new(std::size_t n)
{
    const bool echec = g_reste == 0;
    if (g_reste > 0 || (echec && !g_plusRien))
        --g_reste;
    void* p = echec ? nullptr : ::HeapAlloc(::GetProcessHeap(), 0, n ? n : 1);
    if (p == nullptr) {
        ++g_echecs;
        throw std::bad_alloc();
    }
    return p;
}
void operator delete(void* p) noexcept
{
    if (p)
        ::HeapFree(::GetProcessHeap(), 0, p);
}

Peripherique::Peripherique()
{
    // A popup has no frame: its client area is the whole window.
    fenetre = ::CreateWindowA("STATIC", "", WS_POPUP, 0, 0, kCote, kCote, 0, 0, 0, 0);
    d3d = ::Direct3DCreate9(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS pp{.BackBufferWidth = kCote,
                             .BackBufferHeight = kCote,
                             .BackBufferFormat = D3DFMT_X8R8G8B8,
                             .SwapEffect = D3DSWAPEFFECT_DISCARD,
                             .Windowed = TRUE,
                             .EnableAutoDepthStencil = TRUE,
                             .AutoDepthStencilFormat = D3DFMT_D16};
    if (fenetre && d3d &&
        FAILED(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, fenetre,
                                 D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &device)))
        device = nullptr;
}

Peripherique::~Peripherique()
{
    if (device)
        device->Release();
    if (d3d)
        d3d->Release();
    if (fenetre)
        ::DestroyWindow(fenetre);
}

Image LireCible(IDirect3DDevice9* device)
{
    Image im;
    IDirect3DSurface9 *cible = nullptr, *copie = nullptr;
    D3DSURFACE_DESC d{};
    D3DLOCKED_RECT v{};
    if (SUCCEEDED(device->GetRenderTarget(0, &cible)) && SUCCEEDED(cible->GetDesc(&d)) &&
        d.Format == D3DFMT_X8R8G8B8 &&
        SUCCEEDED(device->CreateOffscreenPlainSurface(d.Width, d.Height, d.Format,
                                                      D3DPOOL_SYSTEMMEM, &copie, 0)) &&
        SUCCEEDED(device->GetRenderTargetData(cible, copie)) &&
        SUCCEEDED(copie->LockRect(&v, 0, D3DLOCK_READONLY))) {
        im.largeur = d.Width;
        im.hauteur = d.Height;
        for (UINT y = 0; y < d.Height; ++y)   // rows by pitch; the X byte is not a colour
            for (UINT x = 0; x < d.Width; ++x)
                im.pixels.push_back(
                    static_cast<const std::uint32_t*>(v.pBits)[y * (v.Pitch / 4) + x] & 0xFFFFFF);
        copie->UnlockRect();
    }
    if (copie)
        copie->Release();
    if (cible)
        cible->Release();
    return im;
}
