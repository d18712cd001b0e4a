// The main frame on Wine's real Direct3D 9 with a driven clock. Hooks in the runtime's method
// tables count calls, script a lost device and see the last references go.
#include "aboutdlg.h"
#include "kervalen.h"
#include "mainfrm.h"

#include "Crochet.h"
#include "Math3D.h"
#include "Peripherique.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numeric>
#include <cstring>
#include <deque>
#include <string>

const char* CheminJournalNormales()
{
    return "cadre_tests_normales.txt";
}

namespace {

struct Etat
{
    DWORD temps = 100000;
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    int presents = 0, scenes = 0, questions = 0;
    std::deque<HRESULT> present, tcl, reset;   // scripted results, then the real calls'
    std::vector<HRESULT> resetsReels;
    std::vector<void*> liberes;
    std::string boites, creation;   // adapter, type, flags
    D3DPRESENT_PARAMETERS pp{};
    long memoire = -1;   // as CreateDevice was given them; g_reste after a real Reset
} g;
template <class F>
HRESULT Suivant(std::deque<HRESULT>& s, F reel)
{
    if (s.empty())
        return reel();
    const HRESULT hr = s.front();
    s.pop_front();
    return hr;
}

template <auto Crochet>
decltype(Crochet) o = nullptr;   // the runtime's function a hook stands in for
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
HRESULT WINAPI BeginScene(IDirect3DDevice9* d)
{
    ++g.scenes;
    return o<&BeginScene>(d);
}
HRESULT WINAPI Tcl(IDirect3DDevice9* d)
{
    ++g.questions;
    return Suivant(g.tcl, [&] { return o<&Tcl>(d); });
}
HRESULT WINAPI Reset(IDirect3DDevice9* d, D3DPRESENT_PARAMETERS* pp)
{
    const HRESULT hr = Suivant(g.reset, [&] {
        SansPanne s;
        g.resetsReels.push_back(o<&Reset>(d, pp));
        return g.resetsReels.back();
    });
    return g_reste = hr ? g_reste : g.memoire, hr;
}
template <int N>
ULONG WINAPI Lacher(IUnknown* x)
{
    SansPanne s;
    const ULONG n = o<&Lacher<N>>(x);
    if (!n)
        g.liberes.push_back(x);
    return n;
}

// Every device shares one method table, every Direct3D object another: each slot is hooked once.
HRESULT WINAPI CreateDevice(IDirect3D9* d3d, UINT a, D3DDEVTYPE t, HWND h, DWORD f,
                            D3DPRESENT_PARAMETERS* pp, IDirect3DDevice9** pd)
{
    SansPanne s;
    g.creation = std::to_string(a) + " " + std::to_string(t) + " " + std::to_string(f), g.pp = *pp;
    const HRESULT hr = o<&CreateDevice>(d3d, a, t, h, f, pp, pd);
    if (IDirect3DDevice9* d = g.device = SUCCEEDED(hr) ? *pd : nullptr)
        Poser<&Present>(d, Emplacement::Present), Poser<&BeginScene>(d, Emplacement::BeginScene),
            Poser<&Tcl>(d, Emplacement::TestCooperativeLevel), Poser<&Reset>(d, Emplacement::Reset),
            Poser<&Lacher<0>>(d, Emplacement::Release);
    return hr;
}
IDirect3D9* WINAPI Creer(UINT version)
{
    Poser<&CreateDevice>(g.d3d = ::Direct3DCreate9(version), Emplacement::CreateDevice);
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
double AngleX()
{
    const D3DMATRIX m = Transformee(D3DTS_WORLD);
    return std::atan2(m._23, m._22);
}
double Tours(double a, double b)
{
    return std::remainder(a - b, 6.283185307179586);
}   // a - b within a turn
double Angle(double ms)
{
    return 2.0943952 * ms / 1000;
}   // one turn in 3 s
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

struct Cadre : ::testing::Test
{
    void SetUp() override { Ouvrir(100000); }
    void TearDown() override
    {
        if (::IsWindow(fenetre))
            cadre->DestroyWindow();
        Quitte();
    }
    void Ouvrir(DWORD depart)   // the frame is deleted by the framework with its window
    {
        g = Etat(), g.temps = depart, CMainFrame::CreerDirect3D = &Creer,
        CMainFrame::Horloge = &Horloge;
        AfxSetMessageBoxFunction(&Boite), fenetre = (cadre = new CMainFrame)->m_hWnd;
    }
    int Tic(DWORD temps)
    {
        g.temps = temps;
        const int n = g.presents;
        if (::IsWindow(fenetre))
            cadre->Animer();
        return g.presents - n;
    }                        // images shown
    static WPARAM Quitte()   // the code of the WM_QUIT waiting, ~0 for none
    {
        MSG m;
        WPARAM n = ~WPARAM(0);
        while (::PeekMessageA(&m, 0, 0, 0, PM_REMOVE))
            if (m.message == WM_QUIT)
                n = m.wParam;
        return n;
    }
    CMainFrame* cadre = nullptr;
    HWND fenetre = nullptr;
};

// Rows are ticks: ms after start-up, images shown and drawn, real time the angle follows. Run
// from before each wrap of the clock, then after a month of daily ticks (the last one as {1}).
TEST_F(Cadre, TicksActPastTheDueTimeAndTurnByTheRealTime)
{
    struct Tick
    {
        DWORD depuis;
        int images;
        double ms;
    } const ticks[] = {{0, 0, 0},       {~999u, 0, 0}, {1, 1, 1},    {51, 0, 0},   {52, 1, 51},
                       {103, 1, 51},    {154, 1, 51},  {205, 1, 51}, {256, 1, 51}, {307, 1, 51},
                       {2307, 1, 2000}, {2357, 0, 0},  {2358, 1, 51}};
    const DWORD jour = 86400000, mois = 30 * jour;
    for (const DWORD debut : {0xFFFFFF00u, 0x7FFFFF00u, 0u}) {
        TearDown(), Ouvrir(debut);
        for (DWORD t = jour; debut == 0 && t <= mois; t += jour)
            ASSERT_EQ(Tic(t), 1);
        const DWORD depart = debut == 0 ? mois - 1 : debut;
        for (const Tick* t = ticks + (debut == 0 ? 3 : 0); t != std::end(ticks); ++t) {
            SCOPED_TRACE(testing::Message() << std::hex << depart << " + " << t->depuis);
            const double avant = AngleX();
            const int scenes = g.scenes;
            EXPECT_EQ(Tic(depart + t->depuis), t->images);
            EXPECT_EQ(g.scenes - scenes, t->images);
            EXPECT_NEAR(Tours(AngleX() - avant, Angle(t->ms)), 0, 1e-5);
        }
    }
}

// The image is blue where the village is not. Each key moves the eye one unit, whatever the
// repeat count, and aims the view at the origin again; other keys move nothing. The projection
// stays square, 45 degrees, 2 to 30.
TEST_F(Cadre, ImageIsBlueAroundTheVillageAndSixKeysMoveTheEye)
{
    Tic(g.temps + 1);
    const Image im = LireCible(g.device);
    EXPECT_EQ(im.pixel(im.largeur / 2, im.hauteur * 7 / 8), 0x0000FFu);
    EXPECT_NE(im.pixel(im.largeur * 3 / 4, im.hauteur / 4), 0x0000FFu);
    D3DPRESENT_PARAMETERS pp;
    D3DDISPLAYMODE mode{};
    DWORD z = 0;   // a windowed device of the desktop's format, 16-bit depth
    ::ZeroMemory(&pp, sizeof pp), g.d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode),
        g.device->GetRenderState(D3DRS_ZENABLE, &z);
    pp.Windowed = TRUE, pp.SwapEffect = D3DSWAPEFFECT_DISCARD, pp.BackBufferFormat = mode.Format,
    pp.EnableAutoDepthStencil = TRUE, pp.AutoDepthStencilFormat = D3DFMT_D16;
    EXPECT_TRUE(!std::memcmp(&g.pp, &pp, sizeof pp) && g.creation == "0 1 32" && z == D3DZB_TRUE)
        << g.creation << " z " << z;
    struct Touche
    {
        WPARAM vk;
        D3DXVECTOR3 oeil;
    } const touches[] = {{VK_END, {0, 7.5f, -9}},   {VK_HOME, {0, 7.5f, -10}},
                         {VK_LEFT, {0, 8.5f, -10}}, {VK_RIGHT, {0, 7.5f, -10}},
                         {VK_UP, {1, 7.5f, -10}},   {VK_DOWN, {0, 7.5f, -10}},
                         {'A', {0, 7.5f, -10}},     {VK_DOWN, {-1, 7.5f, -10}}};
    D3DXMATRIX projection, *p = D3DXMatrixPerspectiveFovLH(&projection, 0.7853982f, 1, 2, 30);
    for (const Touche& t : touches) {
        ::SendMessageA(fenetre, WM_KEYDOWN, t.vk, 5);
        EXPECT_TRUE(Egales(Transformee(D3DTS_VIEW), Vue(t.oeil))) << t.vk;
        EXPECT_TRUE(Egales(Transformee(D3DTS_PROJECTION), *p)) << t.vk;
    }
}

// Lost: nothing shown nor drawn, the device asked once a tick; then the real Reset (refused while a
// buffer lives) succeeds, with the eye moved meanwhile and the time caught up (the states: next
// test).
TEST_F(Cadre, ALostDeviceIsWaitedForThenResetWithItsSceneAndEye)
{
    g.present = {D3DERR_DEVICELOST}, g.reset = {D3DERR_DEVICELOST};   // lost again in Reset
    g.tcl = {D3DERR_DEVICELOST, D3DERR_DEVICENOTRESET, D3DERR_DEVICENOTRESET};
    struct Tick
    {
        DWORD depuis;
        int presents, scenes, questions;
    } const ticks[] = {{1, 1, 0, 0},   {52, 0, 0, 1},  {53, 0, 0, 0},
                       {103, 0, 0, 1}, {154, 0, 1, 1}, {205, 1, 1, 0}};
    for (const Tick& t : ticks) {
        const int scenes = g.scenes, questions = g.questions;
        ASSERT_TRUE(::IsWindow(fenetre)) << g.boites;   // a refused Reset gives up on the device
        EXPECT_EQ(Tic(100000 + t.depuis), t.presents) << t.depuis;
        EXPECT_EQ(g.scenes - scenes, t.scenes) << t.depuis;
        EXPECT_EQ(g.questions - questions, t.questions) << t.depuis;
        if (t.depuis == 53)
            ::SendMessageA(fenetre, WM_KEYDOWN, VK_UP, 1);
    }
    EXPECT_EQ(g.resetsReels, std::vector<HRESULT>{D3D_OK});
    EXPECT_TRUE(Egales(Transformee(D3DTS_VIEW), Vue({1, 7.5f, -10})));
    EXPECT_NEAR(Tours(AngleX(), Angle(205)), 0, 1e-5);   // the time of the loss caught up
}

// Lost while minimised, or minimised while lost: the device, ready for Reset, waits, asked once a
// tick, for the window to be restored. Then the real Reset takes the client's size and, one turn
// on, the first picture comes back.
TEST_F(Cadre, ALostDeviceWaitsForAMinimisedWindowAndComesBackAtItsRestoredSize)
{
    const auto montrer = [&](WPARAM sc) {
        ::SendMessageA(fenetre, WM_SYSCOMMAND, sc, 0);
        for (MSG m; ::PeekMessageA(&m, 0, 0, 0, PM_REMOVE);)
            ::DispatchMessageA(&m);
    };
    for (const bool avant : {true, false}) {
        TearDown(), Ouvrir(100000), cadre->ShowWindow(SW_SHOWNORMAL),
            g.present = {D3DERR_DEVICELOST}, g.tcl.assign(4, D3DERR_DEVICENOTRESET);
        const Image premiere = LireCible(g.device);
        avant ? montrer(SC_MINIMIZE) : void(), Tic(100001),
            avant ? void() : montrer(SC_MINIMIZE);   // lost at this Present
        for (DWORD t = 100052; t < 100200; t += 51)
            EXPECT_EQ(Tic(t), 0) << avant;
        ASSERT_TRUE(::IsIconic(fenetre) && g.resetsReels.empty() && g.questions == 3 &&
                    g.scenes == 1)
            << avant << g.boites;
        montrer(SC_RESTORE), Tic(103000);
        ASSERT_TRUE(::IsWindow(fenetre) && g.resetsReels == std::vector<HRESULT>{D3D_OK} &&
                    g.questions == 4 && g.scenes == 2)
            << avant << g.boites;
        RECT client{};
        const Image im = LireCible(g.device);
        ASSERT_TRUE(::GetClientRect(fenetre, &client) && im.largeur == UINT(client.right) &&
                    im.hauteur == UINT(client.bottom) && im.pixels.size() == premiere.pixels.size())
            << avant << ": " << im.largeur << "x" << im.hauteur << " for " << premiere.largeur
            << "x" << premiere.hauteur;
        EXPECT_LE(std::inner_product(im.pixels.begin(), im.pixels.end(), premiere.pixels.begin(), 0,
                                     std::plus<>(), std::not_equal_to<>()),
                  int(im.pixels.size() / 1000))
            << avant;
    }
}

// The device fails (Present, TestCooperativeLevel or Reset answer an error other than a loss), or
// memory runs out (E_OUTOFMEMORY) at allocation n and every later one, for every n: through the
// program's entry, or in the rebuild once a real Reset has made way for it (there also at n alone).
// One box, a failure's code, no window left. Failed or closed by the user, the frame gives back the
// device (and so every buffer it made), then the Direct3D object.
TEST_F(Cadre, AFailureOfTheDeviceOrOfMemoryEndsWithABoxAndGivesEverythingBack)
{
    const HRESULT panne = D3DERR_DRIVERINTERNALERROR, perdu = D3DERR_DEVICELOST,
                  pret = D3DERR_DEVICENOTRESET;
    const std::string erreur = "Erreur: \xC9"
                               "chec de l'op\xE9"
                               "ration";
    const struct
    {
        bool entree, plusRien;
        std::deque<HRESULT> present, tcl, reset;
        HRESULT hr;
    } cas[] = {{false, false, {}, {}, {}, 0},
               {false, false, {panne}, {}, {}, panne},
               {false, false, {perdu}, {panne}, {}, panne},
               {false, false, {perdu}, {pret}, {panne}, panne},
               {true, true, {}, {}, {}, E_OUTOFMEMORY},
               {false, false, {perdu}, {pret}, {}, E_OUTOFMEMORY},
               {false, true, {perdu}, {pret}, {}, E_OUTOFMEMORY}};
    for (const auto& c : cas) {
        const bool memoire = c.hr == E_OUTOFMEMORY;
        const std::string boite = c.entree     ? "Kervalen: M\xE9moire insuffisante."
                                  : c.plusRien ? erreur
                                               : erreur + ", code " + std::to_string(c.hr);
        long n = 0;
        int code = 0;
        for (bool encore = true; encore && !HasFailure();
             ++n) {   // until memory no longer runs out
            TearDown(), g = Etat(), g_echecs = 0, g_plusRien = c.plusRien;
            if (!c.entree) {   // lost (or failing) at the first Present, back at the next tick
                Ouvrir(100000), g.present = c.present, g.tcl = c.tcl, g.reset = c.reset,
                                g.memoire = n;
                Tic(100001), Tic(100052), g_reste = -1, code = int(Quitte());
            } else {   // the program's own application object and entry
                CKervalenApp app;
                ::PostQuitMessage(7);
                g_reste = n,
                code = AfxWinMain(::GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOWNORMAL),
                g_reste = -1;
                cadre = static_cast<CMainFrame*>(app.m_pMainWnd),
                fenetre = cadre ? cadre->m_hWnd : nullptr;
            }
            const bool echec = (encore = g_echecs > 0) || (c.hr && !memoire);
            EXPECT_TRUE(code == (echec      ? 1
                                 : c.entree ? 7
                                            : -1) &&
                        g.boites == (echec ? boite : ""))
                << n << ": code " << code << ", " << g.boites;
            EXPECT_EQ(::FindWindowA("CFrameWnd", nullptr) == nullptr, echec) << n;
            std::vector<void*> faits;
            for (void* o : {static_cast<void*>(g.device), static_cast<void*>(g.d3d)})
                if (o)
                    faits.push_back(o);
            EXPECT_EQ((TearDown(), g.liberes), faits) << n;   // the user closes what is left
        }
        EXPECT_TRUE(HasFailure() || n > (memoire ? 20 : 0))
            << n;   // the village alone makes more allocations
    }
    CAboutDlg apropos;   // nor can a dialog be tied to its object: it ends before it shows
    g_plusRien = false, g.boites.clear(), g_reste = 0;
    const INT_PTR r = apropos.DoModal();
    g_reste = -1;
    EXPECT_TRUE(r == -1 && g.boites == ": M\xE9moire insuffisante.") << r << g.boites;
}

}   // namespace
