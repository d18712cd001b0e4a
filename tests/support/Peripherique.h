// A real Direct3D 9 device on a hidden window of known size, and what a test reads back from it.
#pragma once
#include <d3d9.h>
#include <cstdint>
#include <vector>

struct Peripherique
{   // client area cote x cote; device stays null when none can be had
    explicit Peripherique(UINT cote = 256);
    ~Peripherique()
    {
        if (device)
            device->Release();
        if (d3d)
            d3d->Release();
        if (fenetre)
            ::DestroyWindow(fenetre);
    }
    HWND fenetre = nullptr;
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
};

// Render target 0 as 0x00RRGGBB pixels, read in one copy; kAucune outside it or when unreadable.
struct Image
{
    static constexpr std::uint32_t kAucune = 0xDEADBEEF;
    UINT largeur = 0, hauteur = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t pixel(int x, int y) const
    {
        return x < 0 || y < 0 || UINT(x) >= largeur || UINT(y) >= hauteur ? kAucune
                                                                          : pixels[y * largeur + x];
    }
};
Image LireCible(IDirect3DDevice9* device);

// The reference count, as a matched AddRef/Release pair returns it.
inline ULONG References(IUnknown* objet)
{
    objet->AddRef();
    return objet->Release();
}

// Memory runs out: allocation number g_reste fails (0: the next one; -1: none), with g_plusRien
// every one after it too. A test's own code that runs meanwhile (a hook, a box) uses SansPanne.
extern long g_reste, g_echecs;
extern bool g_plusRien;
struct SansPanne
{
    const long reste = g_reste;
    SansPanne() { g_reste = -1; }
    ~SansPanne() { g_reste = reste; }
};
