// A real Direct3D 9 device on a hidden window of known size, what a test reads back from it, and
// memory that runs out when a test says so.
#pragma once

#include <d3d9.h>

#include <cstdint>
#include <vector>

// Client area kCote x kCote; the device stays null when none can be had.
struct Peripherique
{
    static constexpr UINT kCote = 256;
    Peripherique();
    ~Peripherique();
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
        const bool dedans = x >= 0 && y >= 0 && UINT(x) < largeur && UINT(y) < hauteur;
        return dedans ? pixels[y * largeur + x] : kAucune;
    }
};
Image LireCible(IDirect3DDevice9* device);

// The reference count, as a matched AddRef/Release pair returns it.
inline ULONG References(IUnknown* objet)
{
    objet->AddRef();
    return objet->Release();
}

// Allocation number g_reste fails (0: the next one; -1: none), with g_plusRien every one after it
// too; g_echecs counts the failures. A test's own code that runs meanwhile uses SansPanne.
extern long g_reste, g_echecs;
extern bool g_plusRien;
struct SansPanne
{
    const long reste = g_reste;
    SansPanne() { g_reste = -1; }
    ~SansPanne() { g_reste = reste; }
};
