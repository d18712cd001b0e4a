// The main frame on Wine's real Direct3D 9 with a driven clock. Hooks in the runtime's method
// tables script a lost or failing device, count what is shown and see the last references go.
#include "aboutdlg.h"
#include "kervalen.h"
#include "mainfrm.h"

#include "Crochet.h"
#include "Liberer.h"
#include "Math3D.h"
#include "Peripherique.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <deque>
#include <fstream>
#include <functional>
#include <numeric>
#include <string>
#include <tuple>

const char* CheminJournalNormales()
{
    return "cadre_tests_normales.txt";
}

namespace {

struct Etat
{
    DWORD temps = 100000;   // the frame's clock, ms
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    int presents = 0;
    int questions = 0;                         // TestCooperativeLevel
    std::deque<HRESULT> present, tcl, reset;   // answers given before the real calls'
    std::vector<HRESULT> resetsReels;
    int liesAuReset = 0;          // buffers the device still held when Reset came
    std::vector<void*> liberes;   // given back, in order (see Lacher)
    std::string boites;
    long memoire = -1;   // g_reste once a Reset has succeeded
} g;

template <class F>
HRESULT Suivant(std::deque<HRESULT>& script, F reel)
{
    if (script.empty())
        return reel();
    const HRESULT hr = script.front();
    script.pop_front();
    return hr;
}

template <auto Crochet>
decltype(Crochet) o = nullptr;   // the runtime's function the hook stands in for

// Every device shares one method table, every Direct3D object another: each slot is hooked once.
template <auto Crochet>
void Poser(void* objet, std::size_t place)
{
    if (!o<Crochet>)
        o<Crochet> = Accrocher(objet, place, Crochet);
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
    const HRESULT hr = Suivant(g.reset, [&] {
        g.resetsReels.push_back(o<&Reset>(d, pp));
        return g.resetsReels.back();
    });
    if (hr == D3D_OK)
        g_reste = g.memoire;
    return hr;
}

// Table 0 is the devices', 1 the Direct3D objects': a device given back goes to zero, the
// Direct3D object to the one reference Creer keeps.
template <int Table>
ULONG WINAPI Lacher(IUnknown* objet)
{
    SansPanne s;
    const ULONG n = o<&Lacher<Table>>(objet);
    if (n == Table)
        g.liberes.push_back(objet);
    return n;
}

HRESULT WINAPI CreateDevice(IDirect3D9* d3d, UINT a, D3DDEVTYPE t, HWND h, DWORD f,
                            D3DPRESENT_PARAMETERS* pp, IDirect3DDevice9** pd)
{
    const HRESULT hr = o<&CreateDevice>(d3d, a, t, h, f, pp, pd);
    g.device = SUCCEEDED(hr) ? *pd : nullptr;
    if (g.device) {
        Poser<&Present>(g.device, Emplacement::Present);
        Poser<&Tcl>(g.device, Emplacement::TestCooperativeLevel);
        Poser<&Reset>(g.device, Emplacement::Reset);
        Poser<&Lacher<0>>(g.device, Emplacement::Release);
    }
    return hr;
}

// One Direct3D object for every frame, as Direct3DCreate9 takes a third of a second.
IDirect3D9* WINAPI Creer(UINT version)
{
    static IDirect3D9* const d3d = ::Direct3DCreate9(version);
    d3d->AddRef();
    g.d3d = d3d;
    Poser<&CreateDevice>(g.d3d, Emplacement::CreateDevice);
    Poser<&Lacher<1>>(g.d3d, Emplacement::Release);
    return g.d3d;
}

DWORD WINAPI Horloge()
{
    return g.temps;
}

int Boite(HWND, LPCSTR texte, LPCSTR titre, UINT)
{
    SansPanne s;
    g.boites += std::string(titre) + ": " + texte;
    return IDOK;
}

D3DMATRIX Transformee(D3DTRANSFORMSTATETYPE t)
{
    D3DMATRIX m{};
    g.device->GetTransform(t, &m);
    return m;
}

bool Egales(const D3DMATRIX& a, const D3DMATRIX& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

D3DXMATRIX Vue(D3DXVECTOR3 oeil)
{
    D3DXMATRIX m;
    const D3DXVECTOR3 cible(0, 0, 0), haut(0, 1, 0);
    return *D3DXMatrixLookAtLH(&m, &oeil, &cible, &haut);
}

// The world's turn about x, and how far a - b is from the turn of ms, within one turn.
double Ecart(double a, double b, double ms)
{
    return std::remainder(a - b - 2.0943952 * ms / 1000, 6.283185307179586);
}

double AngleX()
{
    const D3DMATRIX m = Transformee(D3DTS_WORLD);
    return std::atan2(m._23, m._22);
}

std::string Journal()
{
    std::ifstream f(CheminJournalNormales(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

class Cadre : public ::testing::Test
{
protected:
    void SetUp() override { Ouvrir(); }
    void TearDown() override { Fermer(); }

    // The frame is deleted by the framework with its window.
    void Ouvrir(DWORD depart = 100000)
    {
        g = Etat();
        g.temps = depart;
        g_reste = -1;
        g_plusRien = false;
        CMainFrame::CreerDirect3D = &Creer;
        CMainFrame::Horloge = &Horloge;
        AfxSetMessageBoxFunction(&Boite);
        cadre = new CMainFrame;
        fenetre = cadre->m_hWnd;
    }
    // As the user closes it.
    void Fermer()
    {
        if (::IsWindow(fenetre))
            cadre->DestroyWindow();
        Vider();
    }
    // Dispatches what waits; the code of the quit among it, -1 for none.
    static int Vider()
    {
        int code = -1;
        for (MSG m; ::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE);) {
            if (m.message == WM_QUIT)
                code = int(m.wParam);
            ::DispatchMessageA(&m);
        }
        return code;
    }
    // The number of images shown.
    int Tic(DWORD temps)
    {
        g.temps = temps;
        const int avant = g.presents;
        if (::IsWindow(fenetre))
            cadre->Animer();
        return g.presents - avant;
    }
    void Montrer(WPARAM commande)
    {
        ::SendMessageA(fenetre, WM_SYSCOMMAND, commande, 0);
        Vider();
    }

    CMainFrame* cadre = nullptr;
    HWND fenetre = nullptr;
};

// Rows are ticks: ms after start-up, images shown, the real time the turn follows. Run from
// before each wrap of the clock, then after a month of daily ticks (from the fourth row on).
TEST_F(Cadre, TicksActPastTheDueTimeAndTurnByTheRealTime)
{
    struct Tick
    {
        DWORD depuis;
        int images;
        double ms;
    } const ticks[] = {
        {0, 0, 0},       {~999u, 0, 0}, {1, 1, 1},     {51, 0, 0},   {52, 1, 51},
        {103, 1, 51},    {154, 1, 51},  {205, 1, 51},  {256, 1, 51}, {307, 1, 51},
        {2307, 1, 2000}, {2357, 0, 0},  {2358, 1, 51},
    };
    const DWORD jour = 86400000;
    const DWORD mois = 30 * jour;
    for (const DWORD debut : {0xFFFFFF00u, 0x7FFFFF00u, 0u}) {
        Fermer();
        Ouvrir(debut);
        const Tick* t = ticks;
        DWORD depart = debut;
        if (debut == 0) {
            for (DWORD jours = jour; jours <= mois; jours += jour)
                ASSERT_EQ(Tic(jours), 1);
            t += 3;
            depart = mois - 1;
        }
        for (; t != std::end(ticks); ++t) {
            SCOPED_TRACE(testing::Message() << std::hex << depart << " + " << t->depuis);
            const double avant = AngleX();
            EXPECT_EQ(Tic(depart + t->depuis), t->images);
            EXPECT_NEAR(Ecart(AngleX(), avant, t->ms), 0, 1e-5);
        }
    }
}

// The device as created: windowed, the desktop's format, a 16-bit depth buffer. The image
// in the four flat colours alone. Each key moves the eye one unit whatever its repeat count,
// other keys nothing; the projection stays square, 45 degrees, 2 to 30.
TEST_F(Cadre, ImageIsInFlatColoursAndSixKeysMoveTheEye)
{
    D3DDEVICE_CREATION_PARAMETERS creation{};
    D3DDISPLAYMODE mode{};
    D3DPRESENT_PARAMETERS pp{};
    IDirect3DSwapChain9* chaine = nullptr;
    g.device->GetCreationParameters(&creation);
    g.d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode);
    g.device->GetSwapChain(0, &chaine);
    chaine->GetPresentParameters(&pp);
    Liberer(chaine);
    EXPECT_EQ(creation.BehaviorFlags, DWORD(D3DCREATE_SOFTWARE_VERTEXPROCESSING));
    EXPECT_EQ(std::tie(pp.Windowed, pp.SwapEffect, pp.BackBufferFormat, pp.EnableAutoDepthStencil,
                       pp.AutoDepthStencilFormat),
              std::make_tuple(TRUE, D3DSWAPEFFECT_DISCARD, mode.Format, TRUE, D3DFMT_D16));

    Tic(g.temps + 2250);   // three quarters of a turn: the houses stand up
    const Image im = LireCible(g.device);
    std::size_t plates = 0;   // the flat ambient colours of the sky, bodies, roofs and ground
    for (const std::uint32_t couleur : {0x0000FFu, 0x800080u, 0xFF0000u, 0x40BF40u}) {
        const std::size_t n = std::count(im.pixels.begin(), im.pixels.end(), couleur);
        EXPECT_GT(n, 0u) << std::hex << couleur;
        plates += n;
    }
    EXPECT_GE(plates * 100, im.pixels.size() * 99);

    struct Touche
    {
        WPARAM vk;
        D3DXVECTOR3 oeil;   // after the key
    } const touches[] = {
        {VK_END, {0, 7.5f, -9}},    {VK_HOME, {0, 7.5f, -10}},  {VK_LEFT, {0, 8.5f, -10}},
        {VK_RIGHT, {0, 7.5f, -10}}, {VK_UP, {1, 7.5f, -10}},    {VK_DOWN, {0, 7.5f, -10}},
        {'A', {0, 7.5f, -10}},      {VK_DOWN, {-1, 7.5f, -10}},
    };
    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, 0.7853982f, 1, 2, 30);
    for (const Touche& t : touches) {
        ::SendMessageA(fenetre, WM_KEYDOWN, t.vk, 5);
        EXPECT_TRUE(Egales(Transformee(D3DTS_VIEW), Vue(t.oeil))) << t.vk;
        EXPECT_TRUE(Egales(Transformee(D3DTS_PROJECTION), projection)) << t.vk;
    }
}

// Lost at the first Present, the device first stays lost, then can be reset. Minimised before
// the loss, during it or never: while the window has no client area no Reset is tried; the device
// is asked once a tick. Then the real Reset (refused while a buffer lives or is bound) takes the
// client's size, the eye stays where a key moved it meanwhile, the log untouched; two whole
// turns on, the first picture again. Closing gives back the device, then the Direct3D object.
TEST_F(Cadre, ALostDeviceComesBackOnceItCanBeResetAndTheWindowHasAClientArea)
{
    enum Minimise { Jamais, Avant, Pendant };
    for (const Minimise quand : {Jamais, Avant, Pendant}) {
        SCOPED_TRACE(quand == Jamais ? "never minimised" : quand == Avant ? "before" : "during");
        Fermer();
        Ouvrir();
        cadre->ShowWindow(SW_SHOWNORMAL);
        g.present = {D3DERR_DEVICELOST};
        g.tcl = {D3DERR_DEVICELOST, D3DERR_DEVICENOTRESET, D3DERR_DEVICENOTRESET,
                 D3DERR_DEVICENOTRESET};
        if (quand == Jamais)
            g.reset = {D3DERR_DEVICELOST};   // lost again in the first Reset
        const Image premiere = LireCible(g.device);
        const std::string journal = Journal();
        if (quand == Avant)
            Montrer(SC_MINIMIZE);
        EXPECT_EQ(Tic(100001), 1);
        if (quand == Pendant)
            Montrer(SC_MINIMIZE);
        ::SendMessageA(fenetre, WM_KEYDOWN, VK_UP, 1);
        for (DWORD t = 100052; t < 100200; t += 51)
            EXPECT_EQ(Tic(t), 0);
        EXPECT_EQ(g.questions, 3);
        EXPECT_EQ(g.resetsReels.size(), quand == Jamais ? 1u : 0u);
        if (quand != Jamais)
            Montrer(SC_RESTORE);
        Tic(103000);
        ASSERT_TRUE(::IsWindow(fenetre)) << g.boites;
        EXPECT_EQ(g.resetsReels, std::vector<HRESULT>{D3D_OK});
        EXPECT_EQ(g.liesAuReset, 0);
        EXPECT_TRUE(Egales(Transformee(D3DTS_VIEW), Vue({1, 7.5f, -10})));
        ::SendMessageA(fenetre, WM_KEYDOWN, VK_DOWN, 1);
        Tic(106000);
        RECT client{};
        ::GetClientRect(fenetre, &client);
        const Image im = LireCible(g.device);
        EXPECT_EQ(im.largeur, UINT(client.right));
        EXPECT_EQ(im.hauteur, UINT(client.bottom));
        ASSERT_EQ(im.pixels.size(), premiere.pixels.size());
        const int differents =
            std::inner_product(im.pixels.begin(), im.pixels.end(), premiere.pixels.begin(), 0,
                               std::plus<>(), std::not_equal_to<>());
        EXPECT_LE(differents, int(im.pixels.size() / 1000));
        EXPECT_EQ(Journal(), journal);
        const std::vector<void*> faits = {g.device, g.d3d};
        Fermer();
        EXPECT_EQ(g.liberes, faits);
    }
}

// The frame's end on a failure: one box, the program's exit code 1, no window left, the device
// (and so every buffer it made) and then the Direct3D object given back. The device fails
// through answers scripted from the first tick on; memory runs out from allocation n on (at
// n alone, or at n and every later one), for each n until none runs out: at start-up through
// the program's own entry, or in the rebuild once a real Reset has made way for it.
enum class Memoire { Suffit, AuDemarrage, UneFoisAuRetour, AuRetour };
struct Ligne
{
    const char* nom;
    std::deque<HRESULT> present, tcl;
    Memoire memoire;
    std::string boite;
};
const std::string kEchec = "Erreur: \xC9"
                           "chec de l'op\xE9"
                           "ration";
const HRESULT kPanne = D3DERR_DRIVERINTERNALERROR, kPerdu = D3DERR_DEVICELOST;
const Ligne kLignes[] = {
    {"PresentFails", {kPanne}, {}, Memoire::Suffit, kEchec + ", code -2005530585"},
    {"TestCooperativeLevelFails",
     {kPerdu},
     {kPanne},
     Memoire::Suffit,
     kEchec + ", code -2005530585"},
    {"MemoryRunsOutAtStartUp", {}, {}, Memoire::AuDemarrage, "Kervalen: M\xE9moire insuffisante."},
    {"MemoryRunsOutOnceInTheRebuild",
     {kPerdu},
     {D3DERR_DEVICENOTRESET},
     Memoire::UneFoisAuRetour,
     kEchec + ", code -2147024882"},
    {"MemoryRunsOutInTheRebuild", {kPerdu}, {D3DERR_DEVICENOTRESET}, Memoire::AuRetour, kEchec},
};

void PrintTo(const Ligne& ligne, std::ostream* os)   // a failing row says its name
{
    *os << ligne.nom;
}

class Fin : public Cadre, public ::testing::WithParamInterface<Ligne>
{
};

TEST_P(Fin, EndsWithOneBoxAndGivesEverythingBack)
{
    const Ligne& l = GetParam();
    long n = 0;
    for (bool manque = true; manque && !HasFailure(); ++n) {
        SCOPED_TRACE(testing::Message() << "allocation " << n);
        Fermer();
        int code = 0;
        if (l.memoire == Memoire::AuDemarrage) {
            g = Etat();
            CKervalenApp app;
            ::PostQuitMessage(7);   // ends the loop at once; left waiting when start-up gives up
            g_echecs = 0;
            g_plusRien = true;
            g_reste = n;
            code = AfxWinMain(::GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOWNORMAL);
            cadre = static_cast<CMainFrame*>(app.m_pMainWnd);
            fenetre = cadre ? cadre->m_hWnd : nullptr;
        } else {
            Ouvrir();
            g.present = l.present;
            g.tcl = l.tcl;
            g.memoire = l.memoire == Memoire::Suffit ? -1 : n;
            g_echecs = 0;
            g_plusRien = l.memoire == Memoire::AuRetour;
            Tic(100001);
            Tic(100052);
            code = Vider();
        }
        g_reste = -1;
        manque = g_echecs > 0;
        const bool echec = manque || (l.memoire == Memoire::Suffit && !l.boite.empty());
        EXPECT_EQ(code, echec ? 1 : l.memoire == Memoire::AuDemarrage ? 7 : -1);
        EXPECT_EQ(g.boites, echec ? l.boite : "");
        EXPECT_EQ(::FindWindowA("CFrameWnd", nullptr) == nullptr, echec);
        std::vector<void*> faits;
        for (void* objet : {static_cast<void*>(g.device), static_cast<void*>(g.d3d)})
            if (objet)
                faits.push_back(objet);
        Fermer();
        EXPECT_EQ(g.liberes, faits);
    }
    EXPECT_TRUE(l.memoire == Memoire::Suffit || n > 20) << "the village alone allocates more";
}

INSTANTIATE_TEST_SUITE_P(Cadre, Fin, ::testing::ValuesIn(kLignes),
                         [](const auto& ligne) { return std::string(ligne.param.nom); });

// Nor can a dialog be tied to its object without memory: it ends before it shows.
TEST_F(Cadre, AnAboutBoxWithoutMemoryEndsBeforeItShows)
{
    CAboutDlg apropos;
    g_reste = 0;
    const INT_PTR r = apropos.DoModal();
    g_reste = -1;
    EXPECT_EQ(r, -1);
    EXPECT_EQ(g.boites, ": M\xE9moire insuffisante.");
}

}   // namespace
