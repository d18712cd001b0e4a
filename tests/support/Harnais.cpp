#include "Harnais.h"

#include "Crochet.h"
#include "Liberer.h"
#include "kervalen.h"

#include <ole2.h>
#include <winternl.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

long g_reste = -1, g_echecs = 0, g_vivantes = 0;
bool g_plusRien = false;
Etat g;

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
    ++g_vivantes;
    return p;
}

void operator delete(void* p) noexcept
{
    g_vivantes -= p != nullptr;
    ::HeapFree(::GetProcessHeap(), 0, p);
}

void operator delete(void* p, std::size_t) noexcept
{
    operator delete(p);
}

namespace {

template <auto Crochet>
decltype(Crochet) o = nullptr;   // the runtime's function the hook stands in for

// Every object of a class shares one method table: each slot is hooked once for the process.
template <auto Crochet>
void Poser(void* objet, std::size_t place)
{
    if (!o<Crochet>)
        o<Crochet> = Accrocher(objet, place, Crochet);
}

template <class F>
HRESULT Suivant(std::deque<HRESULT>& script, F reel)
{
    const HRESULT hr = script.empty() ? D3D_OK : script.front();
    if (!script.empty())
        script.pop_front();
    return hr != D3D_OK ? hr : reel();
}

HRESULT WINAPI Present(IDirect3DDevice9* d, const RECT* a, const RECT* b, HWND h, const RGNDATA* r)
{
    ++g.presents;
    return Suivant(g.present, [&] { return o<&Present>(d, a, b, h, r); });
}

HRESULT WINAPI Tcl(IDirect3DDevice9* d)
{
    ++g.questions;
    return Suivant(g.tcl, [&] { return o<&Tcl>(d); });
}

// Windows keeps a reference to a bound buffer, and its Reset fails while the buffer lives. The
// Reset that succeeds arms the rebuild's memory failure.
HRESULT WINAPI Reset(IDirect3DDevice9* d, D3DPRESENT_PARAMETERS* pp)
{
    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DIndexBuffer9* ib = nullptr;
    UINT decalage = 0, pas = 0;
    d->GetStreamSource(0, &vb, &decalage, &pas);
    d->GetIndices(&ib);
    g.liesAuReset += (vb != nullptr) + (ib != nullptr);
    Liberer(vb);
    Liberer(ib);
    const HRESULT hr = Suivant(g.reset, [&] { return o<&Reset>(d, pp); });
    if (hr == D3D_OK)
        g_reste = g.memoire;
    return hr;
}

// What every draw of the scene keeps: an indexed triangle list from the start of buffers of the
// default pool, as many vertices as the vertex buffer holds at the size of a position and a
// normal, every index below that count, the vertex format and stride of the buffer.
HRESULT WINAPI Dessiner(IDirect3DDevice9* d, D3DPRIMITIVETYPE t, INT base, UINT mini, UINT n,
                        UINT debut, UINT nb)
{
    SansPanne s;
    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DIndexBuffer9* ib = nullptr;
    UINT decalage = 0, pas = 0;
    DWORD fvf = 0;
    D3DVERTEXBUFFER_DESC dv{};
    D3DINDEXBUFFER_DESC di{};
    void* p = nullptr;
    d->GetStreamSource(0, &vb, &decalage, &pas);
    d->GetIndices(&ib);
    d->GetFVF(&fvf);
    bool bon = vb && ib && SUCCEEDED(vb->GetDesc(&dv)) && SUCCEEDED(ib->GetDesc(&di)) &&
               SUCCEEDED(ib->Lock(0, 0, &p, D3DLOCK_READONLY));
    if (bon) {
        const UINT taille = 2 * sizeof(D3DVECTOR);
        const WORD* index = static_cast<const WORD*>(p);
        bon = t == D3DPT_TRIANGLELIST && base == 0 && mini == 0 && debut == 0 && decalage == 0 &&
              dv.Pool == D3DPOOL_DEFAULT && di.Pool == D3DPOOL_DEFAULT &&
              fvf == (D3DFVF_XYZ | D3DFVF_NORMAL) && dv.FVF == fvf && pas == taille &&
              n * taille == dv.Size && nb * 3 * sizeof(WORD) == di.Size &&
              std::all_of(index, index + nb * 3, [n](WORD i) { return i < n; });
        ib->Unlock();
    }
    ++g.dessins;
    if (!bon)
        g.fautes += "draw " + std::to_string(g.dessins) + " ";
    Liberer(vb);
    Liberer(ib);
    return o<&Dessiner>(d, t, base, mini, n, debut, nb);
}

template <class Tampon, Refus R>
HRESULT WINAPI Verrouiller(Tampon* t, UINT a, UINT n, void** pp, DWORD f)
{
    *pp = nullptr;
    return g.refus == R ? D3DERR_INVALIDCALL : o<&Verrouiller<Tampon, R>>(t, a, n, pp, f);
}

HRESULT WINAPI CreerSommets(IDirect3DDevice9* d, UINT n, DWORD u, DWORD f, D3DPOOL p,
                            IDirect3DVertexBuffer9** vb, HANDLE* h)
{
    *vb = nullptr;
    const HRESULT hr =
        g.refus == Refus::CreerSommets ? E_OUTOFMEMORY : o<&CreerSommets>(d, n, u, f, p, vb, h);
    if (*vb)
        Poser<&Verrouiller<IDirect3DVertexBuffer9, Refus::VerrouillerSommets>>(*vb,
                                                                               Emplacement::Lock);
    return hr;
}

HRESULT WINAPI CreerIndex(IDirect3DDevice9* d, UINT n, DWORD u, D3DFORMAT f, D3DPOOL p,
                          IDirect3DIndexBuffer9** ib, HANDLE* h)
{
    *ib = nullptr;
    const HRESULT hr =
        g.refus == Refus::CreerIndex ? E_OUTOFMEMORY : o<&CreerIndex>(d, n, u, f, p, ib, h);
    if (*ib)
        Poser<&Verrouiller<IDirect3DIndexBuffer9, Refus::VerrouillerIndex>>(*ib, Emplacement::Lock);
    return hr;
}

// A device goes to zero; a Direct3D object to the one reference Creer keeps.
template <int Reste>
ULONG WINAPI Lacher(IUnknown* objet)
{
    const ULONG n = o<&Lacher<Reste>>(objet);
    if (n == Reste)
        g.liberes += Reste ? 'D' : 'P';
    return n;
}

HRESULT WINAPI Mode(IDirect3D9* d3d, UINT a, D3DDISPLAYMODE* m)
{
    const HRESULT hr = Suivant(g.mode, [&] { return o<&Mode>(d3d, a, m); });
    if (hr == D3D_OK && !g.formats.empty()) {
        m->Format = g.formats.front();
        g.formats.pop_front();
    }
    return hr;
}

HRESULT WINAPI CreateDevice(IDirect3D9* d3d, UINT a, D3DDEVTYPE t, HWND h, DWORD f,
                            D3DPRESENT_PARAMETERS* pp, IDirect3DDevice9** pd)
{
    *pd = nullptr;
    const HRESULT hr =
        Suivant(g.creation, [&] { return o<&CreateDevice>(d3d, a, t, h, f, pp, pd); });
    if (!*pd)
        return hr;
    g.device = *pd;
    ++g.peripheriques;
    Poser<&Present>(g.device, Emplacement::Present);
    Poser<&Tcl>(g.device, Emplacement::TestCooperativeLevel);
    Poser<&Reset>(g.device, Emplacement::Reset);
    Poser<&Dessiner>(g.device, Emplacement::DrawIndexedPrimitive);
    Poser<&CreerSommets>(g.device, Emplacement::CreateVertexBuffer);
    Poser<&CreerIndex>(g.device, Emplacement::CreateIndexBuffer);
    Poser<&Lacher<0>>(g.device, Emplacement::Release);
    return hr;
}

// One Direct3D object for the whole process, as Direct3DCreate9 takes a third of a second.
IDirect3D9* WINAPI Creer(UINT version)
{
    static IDirect3D9* const d3d = ::Direct3DCreate9(version);
    if (Suivant(g.creer, [] { return D3D_OK; }) != D3D_OK)
        return nullptr;
    ++g.objets;
    d3d->AddRef();
    Poser<&Mode>(d3d, Emplacement::GetAdapterDisplayMode);
    Poser<&CreateDevice>(d3d, Emplacement::CreateDevice);
    Poser<&Lacher<1>>(d3d, Emplacement::Release);
    return g.d3d = d3d;
}

// The loop reads it only with its queue empty: two messages are posted as the frame shows.
DWORD WINAPI Horloge()
{
    MSG attente;
    if (g.pas && ::PeekMessageA(&attente, nullptr, WM_APP, WM_APP, PM_NOREMOVE))
        Noter("ticked with a message waiting");
    if (g.boite && !::IsWindow(g.boite)) {
        Noter("goes on");
        g.boite = nullptr;
    }
    if (g.pas && ++g.lectures == 100 && AfxGetMainWnd())
        ::PostMessageA(AfxGetMainWnd()->m_hWnd, WM_CLOSE, 0, 0);
    return std::exchange(g.temps, g.temps + g.pas);
}

std::string Ansi(const wchar_t* texte)
{
    char t[256] = "";
    ::WideCharToMultiByte(1252, 0, texte, -1, t, sizeof t, nullptr, nullptr);
    return t;
}

// A box as it shows, read back as the system drew it; then the row's request to its owner, then
// OK. Wine's boxes keep their text in control 0xFFFF, their icon in 1088.
void Boite(HWND boite)
{
    wchar_t titre[128] = L"", texte[128] = L"";
    ::GetWindowTextW(boite, titre, 128);
    ::GetDlgItemTextW(boite, 0xFFFF, texte, 128);
    const bool icone = ::SendDlgItemMessageW(boite, 1088, STM_GETICON, 0, 0);
    Noter(Ansi(titre) + (*texte ? ": " + Ansi(texte) : "") + (icone ? " !" : ""));
    g.boite = boite;
    if (g.demande.message)
        ::PostMessageA(::GetWindow(boite, GW_OWNER), g.demande.message, g.demande.w, 0);
    ::PostMessageA(boite, WM_COMMAND, IDOK, 0);
}

// The frame's place as it is created; what shows, the frame or a box; the row's command as soon
// as the frame shows.
LRESULT CALLBACK Fenetre(int code, WPARAM w, LPARAM l)
{
    const CWPSTRUCT* m = reinterpret_cast<const CWPSTRUCT*>(l);
    const bool montre = m->message == WM_WINDOWPOSCHANGED &&
                        reinterpret_cast<const WINDOWPOS*>(m->lParam)->flags & SWP_SHOWWINDOW;
    char classe[16] = "";
    if ((m->message == WM_CREATE || montre) && ::GetClassNameA(m->hwnd, classe, sizeof classe)) {
        SansPanne s;
        const RECT& r = g.place;
        const bool cadre = !std::strcmp(classe, "CFrameWnd");
        if (cadre && !montre)
            ::SetWindowPos(m->hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                           SWP_NOZORDER | SWP_NOACTIVATE);
        if (cadre && montre)
            Noter(::IsIconic(m->hwnd) ? "shown minimised" : "shown");
        if (cadre && montre && g.commande)
            ::PostMessageA(m->hwnd, WM_COMMAND, std::exchange(g.commande, 0), 0);
        for (int k = 0; cadre && montre && g.pas && k < 2; ++k)   // messages come first
            ::PostMessageA(m->hwnd, WM_APP, 0, 0);
        if (!std::strcmp(classe, "#32770") && montre)
            Boite(m->hwnd);
    }
    return ::CallNextHookEx(nullptr, code, w, l);
}

// The OK that finds its box still up.
LRESULT CALLBACK Message(int code, WPARAM w, LPARAM l)
{
    const MSG* m = reinterpret_cast<const MSG*>(l);
    if (code == HC_ACTION && w == PM_REMOVE && m->hwnd == g.boite && m->message == WM_COMMAND &&
        m->wParam == IDOK)
        Noter("OK");
    return ::CallNextHookEx(nullptr, code, w, l);
}

const bool kCrochets =
    ::SetWindowsHookExA(WH_CALLWNDPROC, &Fenetre, nullptr, ::GetCurrentThreadId()) &&
    ::SetWindowsHookExA(WH_GETMESSAGE, &Message, nullptr, ::GetCurrentThreadId());

BOOL CALLBACK Compter(HWND, LPARAM n)
{
    ++*reinterpret_cast<long*>(n);
    return TRUE;
}

long References(IUnknown* objet)
{
    objet->AddRef();
    return long(objet->Release());
}

}   // namespace

void Noter(const std::string& vu)
{
    SansPanne s;
    g.vu += (g.vu.empty() ? "" : " | ") + vu;
}

int Vider()
{
    int code = -1;
    for (MSG m; ::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE); ::DispatchMessageA(&m))
        code = m.message == WM_QUIT ? int(m.wParam) : code;
    return code;
}

int Lancer()
{
    CMainFrame::CreerDirect3D = &Creer;
    CMainFrame::Horloge = &Horloge;
    g.pas = 10;
    g_echecs = 0;
    g_plusRien = g.epuise == Memoire::AuDemarrage || g.epuise == Memoire::AuRetour;
    if (g.epuise == Memoire::AuDemarrage)
        g_reste = std::exchange(g.memoire, -1);
    const bool sansOle = !g.ole && ::CoInitializeEx(nullptr, COINIT_MULTITHREADED) == S_OK;
    CKervalenApp app;
    const int code = AfxWinMain(::GetModuleHandleA(nullptr), nullptr, nullptr, g.montrer);
    g_reste = -1;
    g_plusRien = false;
    if (sansOle)
        ::CoUninitialize();
    Vider();   // the quit of a start-up that gave up
    return code;
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
        im = {d.Width, d.Height};
        for (UINT k = 0; k < d.Width * d.Height; ++k)   // rows by pitch; the X byte is no colour
            im.pixels.push_back(static_cast<const std::uint32_t*>(
                                    v.pBits)[k / d.Width * (v.Pitch / 4) + k % d.Width] &
                                0xFFFFFF);
        copie->UnlockRect();
    }
    Liberer(copie);
    Liberer(cible);
    return im;
}

long Fenetres()
{
    long n = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), &Compter, reinterpret_cast<LPARAM>(&n));
    return n;
}

// Wine answers GetProcessHandleCount and GetGuiResources with 0: the handles are counted in the
// system's list (a count, then entries that start with the process id), the GDI objects in the
// table whose address the PEB holds (entries in use have a type).
std::vector<long> Comptes()
{
    SansPanne s;
    const bool x64 = sizeof(void*) == 8;
    // Both kinds of entry happen to be 24 bytes on x64, 16 on i686.
    const std::size_t placeTable = x64 ? 0xF8 : 0x94, pas = x64 ? 24 : 16, type = x64 ? 14 : 10;
    std::vector<char> t(16 << 20);
    PROCESS_BASIC_INFORMATION pbi{};
    NtQuerySystemInformation(SYSTEM_INFORMATION_CLASS(16), t.data(), t.size(), nullptr);
    NtQueryInformationProcess(::GetCurrentProcess(), ProcessBasicInformation, &pbi, sizeof pbi,
                              nullptr);
    long handles = 0, gdi = 0;
    for (ULONG i = 0; i < *reinterpret_cast<const ULONG*>(t.data()); ++i)
        handles +=
            *reinterpret_cast<const ULONG*>(&t[sizeof(void*) + i * pas]) == ::GetCurrentProcessId();
    const char* table = *reinterpret_cast<char* const*>(
        reinterpret_cast<const char*>(pbi.PebBaseAddress) + placeTable);
    for (int i = 0; i < 65536; ++i)
        gdi += table[i * pas + type] != 0;
    return {g_vivantes, Fenetres(), References(g.d3d), References(g.device), handles, gdi};
}

void Cadre::Ouvrir(const Etat& script)
{
    g = script;
    g_reste = -1;
    g_plusRien = false;
    CMainFrame::CreerDirect3D = &Creer;
    CMainFrame::Horloge = &Horloge;
    cadre = new CMainFrame;
    fenetre = cadre->m_hWnd;
    cadre->ShowWindow(SW_SHOWNORMAL);
}

void Cadre::Fermer()
{
    if (::IsWindow(fenetre))
        cadre->DestroyWindow();
    Vider();
}

int Cadre::Tic(DWORD temps)
{
    g.temps = temps;
    const int avant = g.presents;
    if (::IsWindow(fenetre))
        cadre->Animer();
    return g.presents - avant;
}

void Cadre::Touches(const char* touches)
{
    const char* const fleches = "ehlurd";   // VK_END to VK_DOWN follow one another
    for (const char* t = touches; *t; ++t) {
        const char* f = std::strchr(fleches, *t);
        ::SendMessageA(fenetre, WM_KEYDOWN, f ? VK_END + (f - fleches) : ::toupper(*t), 5);
    }
}

void Cadre::Systeme(WPARAM commande)
{
    ::SendMessageA(fenetre, WM_SYSCOMMAND, commande, 0);
    Vider();
}
