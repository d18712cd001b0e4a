// The main frame's renderer on the Direct3D test doubles: device set-up, scene set-up and
// release, the frame timing with a clock the tests drive, and the keys. The frames are real
// (hidden) windows; only Direct3D and the clock are replaced.
#include "mainfrm.h"

#include "Camera.h"
#include "FakeDirect3D.h"
#include "IDessinable.h"
#include "OutilsFenetres.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using kvtest::Call;
using kvtest::FakeDirect3D;
using kvtest::P;

namespace {

// ---------------------------------------------------------------------------------------
// Seams

FakeDirect3D* g_pDirect3D = nullptr;   // what CreerDirect3D hands out (its one reference)
UINT g_version = 0;
DWORD g_maintenant = 0;
const double kTour = 6.283185307179586;

IDirect3D9* WINAPI CreerFaux(UINT version)
{
    g_version = version;
    return g_pDirect3D;
}

IDirect3D9* WINAPI CreerRien(UINT version)
{
    g_version = version;
    return nullptr;
}

DWORD WINAPI HorlogeTest()
{
    return g_maintenant;
}

// A frame whose base handling of keys can be watched.
class CadreObserve : public CMainFrame
{
public:
    std::vector<WPARAM> touchesDeBase;

protected:
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_KEYDOWN)
            touchesDeBase.push_back(wParam);
        return CMainFrame::DefWindowProc(message, wParam, lParam);
    }
};

bool MemesBits(const D3DMATRIX& a, const D3DMATRIX& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

D3DXMATRIX RotationX(float angle)
{
    D3DXMATRIX m;
    D3DXMatrixRotationX(&m, angle);
    return m;
}

D3DXMATRIX Identite()
{
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    return m;
}

D3DXMATRIX Vue(const D3DXVECTOR3& oeil)
{
    const D3DXVECTOR3 cible(0, 0, 0), haut(0, 1, 0);
    D3DXMATRIX m;
    D3DXMatrixLookAtLH(&m, &oeil, &cible, &haut);
    return m;
}

class CadreRendu : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_direct3D = std::make_unique<FakeDirect3D>();
        g_pDirect3D = m_direct3D.get();
        g_version = 0;
        g_maintenant = 100000;
        m_creerDirect3D = CMainFrame::CreerDirect3D;
        m_horloge = CMainFrame::Horloge;
        CMainFrame::CreerDirect3D = &CreerFaux;
        CMainFrame::Horloge = &HorlogeTest;
    }

    void TearDown() override
    {
        if (m_pCadre && ::IsWindow(m_hWnd))
            m_pCadre->DestroyWindow();
        ViderFile();
        CMainFrame::CreerDirect3D = m_creerDirect3D;
        CMainFrame::Horloge = m_horloge;
    }

    // Builds the frame; its window and renderer come up inside the constructor.
    CadreObserve& Creer()
    {
        m_pCadre = new CadreObserve;
        m_hWnd = m_pCadre->m_hWnd;
        return *m_pCadre;
    }

    // Runs one tick at `temps` and tells whether it acted (presented a frame).
    bool Tic(DWORD temps)
    {
        g_maintenant = temps;
        const std::size_t avant = Journal().count("Present");
        m_pCadre->Animer();
        return Journal().count("Present") != avant;
    }

    kvtest::Journal& Journal() { return m_direct3D->journal(); }
    kvtest::RecordingDevice& Device() { return m_direct3D->device(); }

    // The world transform of the last image drawn.
    D3DMATRIX DernierMonde()
    {
        const std::vector<Call> mondes = Journal().named("SetTransform");
        for (auto it = mondes.rbegin(); it != mondes.rend(); ++it)
            if (it->args.at(0) == D3DTS_WORLD)
                return it->matrix;
        ADD_FAILURE() << "no world transform set";
        return {};
    }

    IDirect3D9* (WINAPI* m_creerDirect3D)(UINT) = nullptr;
    DWORD (WINAPI* m_horloge)() = nullptr;
    std::unique_ptr<FakeDirect3D> m_direct3D;
    CadreObserve* m_pCadre = nullptr;   // deleted by the framework with its window
    HWND m_hWnd = nullptr;
};

// ---------------------------------------------------------------------------------------
// Device and scene set-up

TEST_F(CadreRendu, DeviceIsCreatedOnTheSquareWindowAsAsked)
{
    m_direct3D->displayMode.Format = D3DFMT_R5G6B5;   // a 16-bit desktop
    CadreObserve& cadre = Creer();
    ASSERT_TRUE(::IsWindow(m_hWnd));
    EXPECT_EQ(g_version, 31u);

    std::vector<std::string> debut = Journal().methods();
    debut.resize(3);
    EXPECT_EQ(debut, (std::vector<std::string>{"GetAdapterDisplayMode", "CreateDevice",
                                               "SetRenderState"}));
    const Call& mode = Journal()[0];
    EXPECT_EQ(mode.args.at(0), static_cast<std::uintptr_t>(D3DADAPTER_DEFAULT));

    const Call& creation = Journal()[1];
    EXPECT_EQ(creation.args.at(0), static_cast<std::uintptr_t>(D3DADAPTER_DEFAULT));
    EXPECT_EQ(creation.args.at(1), static_cast<std::uintptr_t>(D3DDEVTYPE_HAL));
    EXPECT_EQ(creation.args.at(2), P(m_hWnd));
    EXPECT_EQ(creation.args.at(3), static_cast<std::uintptr_t>(D3DCREATE_SOFTWARE_VERTEXPROCESSING));

    // Zero-filled, then exactly five fields; the back buffer follows the desktop's format.
    D3DPRESENT_PARAMETERS attendus;
    std::memset(&attendus, 0, sizeof attendus);
    attendus.BackBufferFormat = D3DFMT_R5G6B5;
    attendus.SwapEffect = D3DSWAPEFFECT_DISCARD;
    attendus.Windowed = TRUE;
    attendus.EnableAutoDepthStencil = TRUE;
    attendus.AutoDepthStencilFormat = D3DFMT_D16;
    EXPECT_EQ(0, std::memcmp(&attendus, &creation.presentParameters, sizeof attendus));

    const Call& profondeur = Journal()[2];
    EXPECT_EQ(profondeur.args, (std::vector<std::uintptr_t>{D3DRS_ZENABLE, D3DZB_TRUE}));
    EXPECT_EQ(cadre.m_pDevice, &Device());
    EXPECT_EQ(cadre.m_pD3D, m_direct3D.get());
}

TEST_F(CadreRendu, SceneLightCameraAndFirstImageFollowTheDevice)
{
    CadreObserve& cadre = Creer();
    ASSERT_EQ(cadre.m_Objets.size(), 1u);
    ASSERT_NE(cadre.m_pCamera, nullptr);

    // The village's 14 primitives fill their buffers before the light and the camera.
    const std::vector<Call> etats = Journal().named("SetRenderState");
    ASSERT_EQ(etats.size(), 2u);
    EXPECT_EQ(etats[1].args, (std::vector<std::uintptr_t>{D3DRS_AMBIENT, 0xFFFFFFFF}));
    EXPECT_EQ(Device().vertexBuffers().size(), 14u);
    EXPECT_EQ(Device().indexBuffers().size(), 14u);
    EXPECT_LT(Journal().named("CreateIndexBuffer").back().sequence, etats[1].sequence);

    // The camera's view and projection come next, before the first image.
    const std::size_t vue = Journal().find("SetTransform");
    EXPECT_GT(vue, etats[1].sequence);
    EXPECT_EQ(Journal()[vue].args.at(0), static_cast<std::uintptr_t>(D3DTS_VIEW));
    EXPECT_EQ(Journal()[vue + 1].args.at(0), static_cast<std::uintptr_t>(D3DTS_PROJECTION));

    // The first image is drawn into the back buffer, unrotated, and not yet presented.
    EXPECT_EQ(Journal().count("Present"), 0u);
    const std::size_t effacement = Journal().find("Clear");
    ASSERT_NE(effacement, kvtest::Journal::npos);
    const Call& clear = Journal()[effacement];
    EXPECT_EQ(clear.args.at(0), 0u);   // no rectangles: the whole target
    EXPECT_EQ(clear.args.at(1), 0u);
    EXPECT_EQ(clear.args.at(4), 0u);   // stencil
    EXPECT_EQ(clear.args.at(2), static_cast<std::uintptr_t>(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER));
    EXPECT_EQ(clear.args.at(3), 0xFF0000FFu);
    EXPECT_EQ(clear.real, 1.0f);
    EXPECT_LT(effacement, Journal().find("BeginScene"));
    EXPECT_EQ(Device().sceneDepth(), 0);
    EXPECT_TRUE(MemesBits(DernierMonde(), Identite()));
    // One SetTransform(world) by the village, then its 70 drawing calls.
    EXPECT_EQ(Journal().count("DrawIndexedPrimitive"), 14u);
}

TEST_F(CadreRendu, ClosingReleasesSceneThenDeviceThenDirect3D)
{
    Creer();
    ASSERT_TRUE(m_pCadre->DestroyWindow());
    EXPECT_FALSE(::IsWindow(m_hWnd));

    const std::size_t device = Journal().find("Release", &Device());
    const std::size_t direct3D = Journal().find("Release", m_direct3D.get());
    ASSERT_NE(device, kvtest::Journal::npos);
    ASSERT_NE(direct3D, kvtest::Journal::npos);
    EXPECT_LT(device, direct3D);
    for (const auto& tampon : Device().vertexBuffers()) {
        EXPECT_EQ(tampon->releaseCalls(), 1);
        EXPECT_LT(Journal().find("Release", tampon.get()), device);
    }
    for (const auto& tampon : Device().indexBuffers()) {
        EXPECT_EQ(tampon->releaseCalls(), 1);
        EXPECT_LT(Journal().find("Release", tampon.get()), device);
    }
    EXPECT_EQ(Device().references(), 0);
    EXPECT_EQ(Device().releaseCalls(), 1);
    EXPECT_EQ(m_direct3D->references(), 0);
    EXPECT_EQ(m_direct3D->releaseCalls(), 1);
    EXPECT_EQ(ViderFile(), std::vector<WPARAM>{});   // not the main window: no quit
}

TEST_F(CadreRendu, ReleaseTwiceGivesBackOnceAndLeavesNothing)
{
    CadreObserve& cadre = Creer();
    cadre.LibererRessources();
    EXPECT_TRUE(cadre.m_Objets.empty());
    EXPECT_EQ(cadre.m_Objets.capacity(), 0u);
    EXPECT_EQ(cadre.m_pCamera, nullptr);
    EXPECT_EQ(cadre.m_pDevice, nullptr);
    EXPECT_EQ(cadre.m_pD3D, nullptr);
    // OnDestroy runs it again on nothing.
    const std::size_t avant = Journal().size();
    cadre.DestroyWindow();
    EXPECT_EQ(Journal().size(), avant);
    EXPECT_EQ(Device().releaseCalls(), 1);
    EXPECT_EQ(m_direct3D->releaseCalls(), 1);
}

// Each checked call that fails is reported in a box owned by the hidden frame, the window is
// refused and whatever Direct3D had handed out is given back.
TEST_F(CadreRendu, FailedStartUpIsReportedAndReleasesOnlyWhatExists)
{
    struct Cas
    {
        const char* nom;
        IDirect3D9* (WINAPI* creer)(UINT);
        HRESULT mode;
        HRESULT device;
        const char* texte;   // Windows-1252
        bool direct3DDonne;
    } const cas[] = {
        {"no object", &CreerRien, D3D_OK, D3D_OK, "\xC9" "chec de l'op\xE9" "ration", false},
        {"display mode", &CreerFaux, 1, D3D_OK, "\xC9" "chec de l'op\xE9" "ration, code 1", true},
        {"device", &CreerFaux, D3D_OK, D3DERR_NOTAVAILABLE,
         "\xC9" "chec de l'op\xE9" "ration, code -2005530518", true},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        m_direct3D = std::make_unique<FakeDirect3D>();
        g_pDirect3D = m_direct3D.get();
        m_direct3D->displayModeResult = c.mode;
        m_direct3D->createDeviceResult = c.device;
        CMainFrame::CreerDirect3D = c.creer;

        BoitesCapturees boites;
        const UINT refusees = AfxGetRefusedWindowCount();
        new CMainFrame;   // refused: the framework deletes it before the constructor returns
        EXPECT_EQ(AfxGetRefusedWindowCount(), refusees + 1);

        ASSERT_EQ(g_boites.size(), 1u);
        EXPECT_EQ(g_boites[0].text, c.texte);
        EXPECT_EQ(g_boites[0].caption, "Erreur");
        EXPECT_EQ(g_boites[0].type, static_cast<UINT>(MB_OK));
        EXPECT_NE(g_boites[0].owner, nullptr);
        EXPECT_FALSE(g_boites[0].ownerVisible);
        EXPECT_FALSE(::IsWindow(g_boites[0].owner));

        EXPECT_EQ(m_direct3D->releaseCalls(), c.direct3DDonne ? 1 : 0);
        EXPECT_EQ(m_direct3D->references(), c.direct3DDonne ? 0 : 1);
        EXPECT_TRUE(m_direct3D->device().journal().on(&m_direct3D->device()).empty());
        EXPECT_EQ(Journal().count("CreateDevice"), c.mode == D3D_OK && c.direct3DDonne ? 1u : 0u);
        ViderFile();
    }
}

// ---------------------------------------------------------------------------------------
// Timing

TEST_F(CadreRendu, TickActsOnlyOncePastTheDueTime)
{
    Creer();
    const std::size_t avant = Journal().size();
    EXPECT_FALSE(Tic(100000));
    EXPECT_FALSE(Tic(99000));             // an earlier reading does nothing either
    EXPECT_EQ(Journal().size(), avant);   // nothing at all happened
    EXPECT_TRUE(Tic(100001));
    EXPECT_FALSE(Tic(100051));            // due 50 ms after the acting tick, not before
    EXPECT_TRUE(Tic(100052));
    EXPECT_TRUE(m_pCadre->Animer());   // the loop always goes on
}

TEST_F(CadreRendu, FirstActingTickPresentsTheUnrotatedImage)
{
    Creer();
    EXPECT_TRUE(MemesBits(DernierMonde(), Identite()));
    ASSERT_TRUE(Tic(100003));

    // Present comes first and shows what was drawn before it; then the new image is drawn
    // rotated by the 3 ms elapsed.
    const std::size_t present = Journal().find("Present");
    EXPECT_EQ(Journal()[present].args, std::vector<std::uintptr_t>(4, 0));
    const std::vector<Call> apres(Journal().calls().begin() + present + 1, Journal().calls().end());
    ASSERT_FALSE(apres.empty());
    EXPECT_EQ(apres.front().method, "Clear");
    EXPECT_EQ(Journal().calls()[present - 1].method, "EndScene");
    EXPECT_FLOAT_EQ(m_pCadre->m_Angle, 2.0943952f * 0.003f);
    EXPECT_TRUE(MemesBits(DernierMonde(), RotationX(m_pCadre->m_Angle)));
}

TEST_F(CadreRendu, AngleFollowsRealElapsedTimeNotTickCount)
{
    Creer();
    ASSERT_TRUE(Tic(102000));   // a modal loop held the thread for 2 s
    EXPECT_FLOAT_EQ(m_pCadre->m_Angle, 4.1887904f);
    // The next due time counts from that tick: a late tick is not made up for.
    EXPECT_FALSE(Tic(102050));

    DWORD t = 102000;
    for (int i = 0; i < 5; ++i) {
        const float avant = m_pCadre->m_Angle;
        ASSERT_TRUE(Tic(t += 51));
        EXPECT_NEAR(m_pCadre->m_Angle - avant, 0.1068, 1e-4);
        EXPECT_TRUE(MemesBits(DernierMonde(), RotationX(m_pCadre->m_Angle)));
    }
}

// The millisecond count wraps past 0xFFFFFFFF, and turns negative past 0x7FFFFFFF when read
// as a signed value: ticks go on every 51 ms across both, each by its true elapsed time.
TEST_F(CadreRendu, ClockWrapNeitherFreezesNorJumps)
{
    for (const DWORD depart : {0xFFFFFF00u, 0x7FFFFF00u}) {
        SCOPED_TRACE(depart);
        m_direct3D = std::make_unique<FakeDirect3D>();
        g_pDirect3D = m_direct3D.get();
        g_maintenant = depart;
        CMainFrame* pCadre = &Creer();
        DWORD t = depart + 1;
        ASSERT_TRUE(Tic(t));
        for (int i = 0; i < 10; ++i) {   // 510 ms, across the boundary
            t += 51;
            EXPECT_FALSE(Tic(t - 1)) << "at " << (t - 1);
            const float avant = pCadre->m_Angle;
            ASSERT_TRUE(Tic(t)) << "at " << t;
            const double pas = std::remainder(pCadre->m_Angle - avant, kTour);
            EXPECT_NEAR(pas, 0.051 * 2.0943952, 1e-4) << "at " << t;
        }
        EXPECT_LT(t - depart, 0x1000u);
        EXPECT_GT(t - depart, 0x100u);   // the boundary was crossed
        pCadre->DestroyWindow();
    }
}

TEST_F(CadreRendu, SpeedStaysExactAfterAMonthOfRunning)
{
    Creer();
    DWORD t = 100000;
    const DWORD heure = 3600 * 1000;
    for (int i = 0; i < 30 * 24; ++i) {
        ASSERT_TRUE(Tic(t += heure));
        Journal().clear();   // 30 days of calls would only fill memory
    }
    for (int i = 0; i < 20; ++i) {
        const float avant = m_pCadre->m_Angle;
        ASSERT_TRUE(Tic(t += 51));
        const double pas = std::remainder(m_pCadre->m_Angle - avant, kTour);
        EXPECT_NEAR(pas, 0.1068, 1e-4) << "step " << i;
        EXPECT_GE(m_pCadre->m_Angle, 0.0f);
        EXPECT_LT(m_pCadre->m_Angle, 6.2831855f);
    }
}

// ---------------------------------------------------------------------------------------
// Keys

TEST_F(CadreRendu, SixKeysMoveTheEyeAndEveryKeyReachesTheBase)
{
    struct Cas { WPARAM touche; D3DXVECTOR3 oeil; } const cas[] = {
        {VK_END, {0, 7.5f, -9}},  {VK_HOME, {0, 7.5f, -11}}, {VK_LEFT, {0, 8.5f, -10}},
        {VK_UP, {1, 7.5f, -10}},  {VK_RIGHT, {0, 6.5f, -10}}, {VK_DOWN, {-1, 7.5f, -10}},
    };
    CadreObserve& cadre = Creer();
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.touche);
        const D3DXVECTOR3 depart = cadre.m_pCamera->Oeil;
        // A repeat count of 5 still moves one unit.
        ::SendMessageA(m_hWnd, WM_KEYDOWN, c.touche, 5);
        EXPECT_EQ(cadre.m_pCamera->Oeil.x, c.oeil.x);
        EXPECT_EQ(cadre.m_pCamera->Oeil.y, c.oeil.y);
        EXPECT_EQ(cadre.m_pCamera->Oeil.z, c.oeil.z);
        EXPECT_TRUE(MemesBits(Device().transform(D3DTS_VIEW), Vue(c.oeil)));
        EXPECT_EQ(cadre.touchesDeBase.back(), c.touche);
        cadre.m_pCamera->Deplacer(depart - cadre.m_pCamera->Oeil, &Device());
    }
    EXPECT_EQ(cadre.touchesDeBase.size(), 6u);

    // Any other key changes nothing on the device and still reaches the base.
    const std::size_t avant = Journal().size();
    ::SendMessageA(m_hWnd, WM_KEYDOWN, 'A', 1);
    ::SendMessageA(m_hWnd, WM_KEYDOWN, VK_F5, 1);
    EXPECT_EQ(Journal().size(), avant);
    EXPECT_EQ(cadre.touchesDeBase, (std::vector<WPARAM>{VK_END, VK_HOME, VK_LEFT, VK_UP,
                                                        VK_RIGHT, VK_DOWN, 'A', VK_F5}));
}

} // namespace
