// A d3d9.dll for the tests (beside a copy of the exe, WINEDLLOVERRIDES=d3d9=n,b): the real
// runtime's objects, a few entries of their method tables swapped (Crochet.h). Environment:
// KERVALEN_D3D9_FAUTE "Direct3DCreate9" (no object), or GetAdapterDisplayMode, CreateDevice (no
//   device then) or Reset "=HR": that call answers HR (decimal or 0x; 0 is no fault).
// KERVALEN_D3D9_PERTE FILE: a Present that finds FILE loses the device: Present answers
//   D3DERR_DEVICELOST, TestCooperativeLevel D3DERR_DEVICENOTRESET, until a Reset succeeds and
//   deletes FILE.
// KERVALEN_D3D9_BILAN FILE, at unload: "objets N" (IDirect3D9 handed out), "vivants N" (those
//   not released down to zero: a device or buffer holds its object). KERVALEN_D3D9_TEMPS FILE,
//   at unload: "P ns" as a Present starts, "E ns" as an EndScene returns (Unix epoch).
#include <windows.h>
#include <d3d9.h>

#include <cstring>

#include "../Crochet.h"

extern "C" WINBASEAPI VOID WINAPI GetSystemTimePreciseAsFileTime(LPFILETIME);

enum Appel { Aucun, Creation, ModeAffichage, Peripherique, Remise } g_Appel = Aucun;
HRESULT g_Hr;
char g_Perte[MAX_PATH], g_Bilan[MAX_PATH], g_Temps[MAX_PATH];   // paths: Windows
LONG g_Objets, g_Morts, g_NbInstants;
bool g_Perdu;
struct Instant
{
    const char* genre;
    LONGLONG ft;
} g_Instants[1 << 18];   // no allocation
char g_Texte[1 << 23];
DWORD g_N;                     // what unload writes, formatted here
void *g_D3D[17], *g_Dev[43];   // the real entries we replaced, by slot
#define VRAI(table, slot, crochet) reinterpret_cast<decltype(&crochet)>(table[Emplacement::slot])
#define POSER(o, table, slot, crochet) \
    table[Emplacement::slot] = reinterpret_cast<void*>(Accrocher(o, Emplacement::slot, &crochet))

HRESULT Noter(const char* genre, HRESULT hr = D3D_OK)
{   // hands hr on, for EndScene's hook
    LONGLONG t, i = *g_Temps ? g_NbInstants++ : ARRAYSIZE(g_Instants);   // one drawing thread
    ::GetSystemTimePreciseAsFileTime(reinterpret_cast<FILETIME*>(&t));
    if (i < LONGLONG(ARRAYSIZE(g_Instants)))
        g_Instants[i] = {genre, t};
    return hr;
}
ULONG STDMETHODCALLTYPE Relacher(IUnknown* o)
{
    const ULONG reste = VRAI(g_D3D, Release, Relacher)(o);
    if (reste == 0)
        ::InterlockedIncrement(&g_Morts);
    return reste;
}
HRESULT STDMETHODCALLTYPE Mode(IDirect3D9* o, UINT a, D3DDISPLAYMODE* m)
{
    return g_Appel == ModeAffichage ? g_Hr : VRAI(g_D3D, GetAdapterDisplayMode, Mode)(o, a, m);
}
HRESULT STDMETHODCALLTYPE Presenter(IDirect3DDevice9* d, const RECT* s, const RECT* r, HWND w,
                                    const RGNDATA* z)
{
    Noter("P ");
    g_Perdu = g_Perdu || (*g_Perte && ::GetFileAttributesA(g_Perte) != INVALID_FILE_ATTRIBUTES);
    return g_Perdu ? D3DERR_DEVICELOST : VRAI(g_Dev, Present, Presenter)(d, s, r, w, z);
}
HRESULT STDMETHODCALLTYPE FinScene(IDirect3DDevice9* d)
{
    return Noter("E ", VRAI(g_Dev, EndScene, FinScene)(d));
}
HRESULT STDMETHODCALLTYPE Tester(IDirect3DDevice9* d)
{
    return g_Perdu ? D3DERR_DEVICENOTRESET : VRAI(g_Dev, TestCooperativeLevel, Tester)(d);
}
HRESULT STDMETHODCALLTYPE Remettre(IDirect3DDevice9* d, D3DPRESENT_PARAMETERS* pp)
{
    const HRESULT hr = g_Appel == Remise ? g_Hr : VRAI(g_Dev, Reset, Remettre)(d, pp);
    if (hr == D3D_OK && g_Perdu) {
        g_Perdu = false;
        ::DeleteFileA(g_Perte);
    }
    return hr;
}
HRESULT STDMETHODCALLTYPE Creer(IDirect3D9* o, UINT a, D3DDEVTYPE t, HWND w, DWORD f,
                                D3DPRESENT_PARAMETERS* pp, IDirect3DDevice9** dev)
{
    if (g_Appel == Peripherique) {   // even a success makes none
        if (dev)
            *dev = nullptr;
        return g_Hr;
    }
    HRESULT hr = VRAI(g_D3D, CreateDevice, Creer)(o, a, t, w, f, pp, dev);
    if (FAILED(hr) || g_Dev[Emplacement::Present])
        return hr;   // hooked once: the table is shared
    POSER(*dev, g_Dev, Present, Presenter);
    POSER(*dev, g_Dev, EndScene, FinScene);
    POSER(*dev, g_Dev, TestCooperativeLevel, Tester);
    POSER(*dev, g_Dev, Reset, Remettre);
    return hr;
}
void Chiffres(ULONGLONG v)
{
    if (v > 9)
        Chiffres(v / 10);
    g_Texte[g_N++] = char('0' + v % 10);
}
void Ajouter(const char* tete, ULONGLONG v)
{
    while (*tete)
        g_Texte[g_N++] = *tete++;
    Chiffres(v);
    g_Texte[g_N++] = '\n';
}
void Ecrire(const char* chemin)
{   // at unload, kernel32 alone; "" opens nothing
    HANDLE f = ::CreateFileA(chemin, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f != INVALID_HANDLE_VALUE) {
        ::WriteFile(f, g_Texte, g_N, &g_N, nullptr);
        ::CloseHandle(f);
    }
    g_N = 0;
}

extern "C" __declspec(dllexport) IDirect3D9* WINAPI Direct3DCreate9(UINT version)
{
    char chemin[MAX_PATH + 16];   // the real one: its own module, same name
    UINT n = g_Appel == Creation ? 0 : ::GetSystemDirectoryA(chemin, MAX_PATH);
    HMODULE reel = n && n < MAX_PATH ? ::LoadLibraryA(std::strcat(chemin, "\\d3d9.dll")) : nullptr;
    auto creer = reinterpret_cast<decltype(&Direct3DCreate9)>(
        reinterpret_cast<void*>(reel ? ::GetProcAddress(reel, "Direct3DCreate9") : nullptr));
    IDirect3D9* objet = creer ? creer(version) : nullptr;
    if (objet && ::InterlockedIncrement(&g_Objets) == 1) {   // hooked once: the table is shared
        POSER(objet, g_D3D, Release, Relacher);
        POSER(objet, g_D3D, GetAdapterDisplayMode, Mode);
        POSER(objet, g_D3D, CreateDevice, Creer);
    }
    return objet;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD raison, LPVOID)
{
    const char* noms[] = {"", "Direct3DCreate9", "GetAdapterDisplayMode", "CreateDevice", "Reset"};
    char f[128] = "", *egal;
    if (raison == DLL_PROCESS_ATTACH) {
        ::GetEnvironmentVariableA("KERVALEN_D3D9_PERTE", g_Perte, MAX_PATH);
        ::GetEnvironmentVariableA("KERVALEN_D3D9_BILAN", g_Bilan, MAX_PATH);
        ::GetEnvironmentVariableA("KERVALEN_D3D9_TEMPS", g_Temps, MAX_PATH);
        ::GetEnvironmentVariableA("KERVALEN_D3D9_FAUTE", f, sizeof f);
        if ((egal = std::strchr(f, '=')) != nullptr) {   // 32 bits: 0x8876086A is -2005530518
            *egal = 0;
            g_Hr = HRESULT(static_cast<unsigned long>(std::strtoll(egal + 1, 0, 0)));
        }
        for (int i = 1; i < 5; ++i)   // an unreadable code reads 0: no fault
            if (!std::strcmp(f, noms[i]) && (i == Creation || g_Hr))
                g_Appel = Appel(i);
    } else if (raison == DLL_PROCESS_DETACH) {
        Ajouter("objets ", g_Objets);
        Ajouter("vivants ", g_Objets - g_Morts);
        Ecrire(g_Bilan);
        for (LONG i = 0; i < g_NbInstants && i < LONG(ARRAYSIZE(g_Instants)); ++i)   // 1601 to 1970
            Ajouter(g_Instants[i].genre, ULONGLONG(g_Instants[i].ft - 116444736000000000LL) * 100);
        Ecrire(g_Temps);
    }
    return TRUE;
}
