// Swaps one entry of a COM object's method table. Every object of the same class shares the
// table, so one swap watches or fails that call of the real runtime for the whole process,
// without wrapping an interface of a hundred methods.
#pragma once

#include <windows.h>

#include <cstddef>

// Slots in the interfaces' declaration order; IUnknown's three come first.
namespace Emplacement {
constexpr std::size_t Release = 2, GetAdapterDisplayMode = 8, CreateDevice = 16;   // IDirect3D9
constexpr std::size_t TestCooperativeLevel = 3, Reset = 16, Present = 17,   // IDirect3DDevice9
    CreateVertexBuffer = 26, CreateIndexBuffer = 27, EndScene = 42, DrawIndexedPrimitive = 82;
constexpr std::size_t Lock = 11;   // either buffer
}   // namespace Emplacement

// Puts remplacant in the slot and returns what was there, for the hook to call on.
template <class Fonction>
Fonction Accrocher(void* objet, std::size_t emplacement, Fonction remplacant)
{
    void** table = *static_cast<void***>(objet);
    DWORD protection = 0;
    ::VirtualProtect(&table[emplacement], sizeof(void*), PAGE_READWRITE, &protection);
    void* ancien = table[emplacement];
    table[emplacement] = reinterpret_cast<void*>(remplacant);
    ::VirtualProtect(&table[emplacement], sizeof(void*), protection, &protection);
    return reinterpret_cast<Fonction>(ancien);
}
