// The benchmark's d3d9.dll (beside a copy of the exe, WINEDLLOVERRIDES=d3d9=n,b): the real
// runtime's objects, two entries of the device's method table swapped (Crochet.h), so that neither
// program carries timing code. With KERVALEN_D3D9_TEMPS set to a file, it writes there at unload
// "P ns" as each Present starts and "E ns" as each EndScene returns (Unix epoch).
#include <windows.h>
#include <d3d9.h>

#include <cstring>

#include "Crochet.h"

extern "C" WINBASEAPI VOID WINAPI GetSystemTimePreciseAsFileTime(LPFILETIME);

char g_Temps[MAX_PATH];   // a Windows path
LONG g_NbInstants;
struct Instant
{
    const char* genre;
    LONGLONG ft;
} g_Instants[1 << 18];   // no allocation
char g_Texte[1 << 23];
DWORD g_N;                                  // what unload writes, formatted here
void *g_Creer, *g_Presenter, *g_FinScene;   // the real entries we replaced
#define VRAI(entree, crochet) reinterpret_cast<decltype(&crochet)>(entree)

HRESULT Noter(const char* genre, HRESULT hr = D3D_OK)
{   // hands hr on, for EndScene's hook
    LONGLONG t, i = *g_Temps ? g_NbInstants++ : ARRAYSIZE(g_Instants);   // one drawing thread
    ::GetSystemTimePreciseAsFileTime(reinterpret_cast<FILETIME*>(&t));
    if (i < LONGLONG(ARRAYSIZE(g_Instants)))
        g_Instants[i] = {genre, t};
    return hr;
}
HRESULT STDMETHODCALLTYPE Presenter(IDirect3DDevice9* d, const RECT* s, const RECT* r, HWND w,
                                    const RGNDATA* z)
{
    Noter("P ");
    return VRAI(g_Presenter, Presenter)(d, s, r, w, z);
}
HRESULT STDMETHODCALLTYPE FinScene(IDirect3DDevice9* d)
{
    return Noter("E ", VRAI(g_FinScene, FinScene)(d));
}
HRESULT STDMETHODCALLTYPE Creer(IDirect3D9* o, UINT a, D3DDEVTYPE t, HWND w, DWORD f,
                                D3DPRESENT_PARAMETERS* pp, IDirect3DDevice9** dev)
{
    const HRESULT hr = VRAI(g_Creer, Creer)(o, a, t, w, f, pp, dev);
    if (SUCCEEDED(hr) && !g_Presenter) {   // hooked once: the table is shared
        g_Presenter = reinterpret_cast<void*>(Accrocher(*dev, Emplacement::Present, &Presenter));
        g_FinScene = reinterpret_cast<void*>(Accrocher(*dev, Emplacement::EndScene, &FinScene));
    }
    return hr;
}
void Chiffres(ULONGLONG v)
{
    if (v > 9)
        Chiffres(v / 10);
    g_Texte[g_N++] = char('0' + v % 10);
}

extern "C" __declspec(dllexport) IDirect3D9* WINAPI Direct3DCreate9(UINT version)
{
    char chemin[MAX_PATH + 16];   // the real one: its own module, same name
    UINT n = ::GetSystemDirectoryA(chemin, MAX_PATH);
    HMODULE reel = n && n < MAX_PATH ? ::LoadLibraryA(std::strcat(chemin, "\\d3d9.dll")) : nullptr;
    auto creer = reinterpret_cast<decltype(&Direct3DCreate9)>(
        reinterpret_cast<void*>(reel ? ::GetProcAddress(reel, "Direct3DCreate9") : nullptr));
    IDirect3D9* objet = creer ? creer(version) : nullptr;
    if (objet && !g_Creer)
        g_Creer = reinterpret_cast<void*>(Accrocher(objet, Emplacement::CreateDevice, &Creer));
    return objet;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD raison, LPVOID)
{
    if (raison == DLL_PROCESS_ATTACH) {
        ::GetEnvironmentVariableA("KERVALEN_D3D9_TEMPS", g_Temps, MAX_PATH);
    } else if (raison == DLL_PROCESS_DETACH && *g_Temps) {   // kernel32 alone at unload
        for (LONG i = 0; i < g_NbInstants && i < LONG(ARRAYSIZE(g_Instants)); ++i) {
            for (const char* c = g_Instants[i].genre; *c; ++c)
                g_Texte[g_N++] = *c;
            Chiffres(ULONGLONG(g_Instants[i].ft - 116444736000000000LL) * 100);   // 1601 to 1970
            g_Texte[g_N++] = '\n';
        }
        HANDLE f = ::CreateFileA(g_Temps, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (f != INVALID_HANDLE_VALUE) {
            ::WriteFile(f, g_Texte, g_N, &g_N, nullptr);
            ::CloseHandle(f);
        }
    }
    return TRUE;
}
