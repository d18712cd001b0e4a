// The application shell: failure checks and their report, the main frame's window,
// start-up, and the polling loop with the About box. The program's resources are linked
// into this exe, so the frame finds its menu and the About box its template.
#include "aboutdlg.h"
#include "boucle.h"
#include "echec.h"
#include "kervalen.h"
#include "mainfrm.h"
#include "resource.h"
#include "verifier.h"

#include "OutilsFenetres.h"

#include <objbase.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------------------------------
// Helpers

// Frame windows of this thread (other test processes may have theirs on the same desktop).
BOOL CALLBACK CompterCadre(HWND h, LPARAM l)
{
    char classe[64] = "";
    ::GetClassNameA(h, classe, sizeof classe);
    if (std::string(classe) == "CFrameWnd")
        ++*reinterpret_cast<int*>(l);
    return TRUE;
}

int CadresDuFil()
{
    int n = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CompterCadre, reinterpret_cast<LPARAM>(&n));
    return n;
}

// While it lives, the system refuses every frame window this thread tries to create.
class CreationRefusee
{
public:
    CreationRefusee()
        : m_hHook(::SetWindowsHookExA(WH_CBT, &Crochet, nullptr, ::GetCurrentThreadId())) {}
    ~CreationRefusee() { ::UnhookWindowsHookEx(m_hHook); }
    bool Installe() const { return m_hHook != nullptr; }

private:
    static LRESULT CALLBACK Crochet(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code == HCBT_CREATEWND) {
            char classe[64] = "";
            ::GetClassNameA(reinterpret_cast<HWND>(wParam), classe, sizeof classe);
            if (std::string(classe) == "CFrameWnd")
                return 1;
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
    HHOOK m_hHook;
};

// ---------------------------------------------------------------------------------------
// Failure checks and their report

TEST(Verifier, PassesOnlyAnObjectAndTheZeroResult)
{
    IDirect3D9* objet = reinterpret_cast<IDirect3D9*>(static_cast<uintptr_t>(0x1000));
    EXPECT_NO_THROW(Verifier(objet));
    EXPECT_NO_THROW(Verifier(D3D_OK));

    try {
        Verifier(static_cast<IDirect3D9*>(nullptr));
        ADD_FAILURE() << "no failure for a null object";
    } catch (HRESULT hr) {
        EXPECT_EQ(hr, 0);
    }

    // Success codes above zero fail too; the value thrown is the result itself.
    const HRESULT echecs[] = {1, S_FALSE, D3DERR_NOTAVAILABLE, E_FAIL, D3DERR_INVALIDCALL,
                              static_cast<HRESULT>(0x80000000)};
    for (HRESULT attendu : echecs) {
        try {
            Verifier(attendu);
            ADD_FAILURE() << "no failure for " << attendu;
        } catch (HRESULT hr) {
            EXPECT_EQ(hr, attendu);
        }
    }
}

TEST(RapportEchec, TextIsWindows1252WithTheCodeInSignedDecimal)
{
    struct Cas
    {
        HRESULT hr;
        const char* attendu;  // bytes in code page 1252: 0xC9 for É, 0xE9 for é
    } const cas[] = {
        {0, "\xC9" "chec de l'op\xE9" "ration"},
        {D3DERR_NOTAVAILABLE, "\xC9" "chec de l'op\xE9" "ration, code -2005530518"},
        {1, "\xC9" "chec de l'op\xE9" "ration, code 1"},
        {E_FAIL, "\xC9" "chec de l'op\xE9" "ration, code -2147467259"},
        {INT_MAX, "\xC9" "chec de l'op\xE9" "ration, code 2147483647"},
    };
    for (const Cas& c : cas)
        EXPECT_EQ(std::string(MessageEchec(c.hr)), c.attendu) << "hr = " << c.hr;
}

// ---------------------------------------------------------------------------------------
// The main frame's window

class CadrePrincipal : public ::testing::Test
{
protected:
    void TearDown() override { ViderFile(); }
};

TEST_F(CadrePrincipal, WindowIsSquareAndHiddenWhenTheConstructorReturns)
{
    CMainFrame* pCadre = new CMainFrame;
    ASSERT_TRUE(::IsWindow(pCadre->m_hWnd));
    CRect r;
    pCadre->GetWindowRect(&r);
    EXPECT_GT(r.Width(), 0);
    EXPECT_EQ(r.Width(), r.Height());
    // Nothing is shown before start-up says so.
    EXPECT_FALSE(pCadre->IsWindowVisible());
    pCadre->DestroyWindow();
}

TEST_F(CadrePrincipal, CaptionStyleAndMenuAreTheFramesOwn)
{
    CMainFrame* pCadre = new CMainFrame;
    ASSERT_TRUE(::IsWindow(pCadre->m_hWnd));
    char titre[64] = "";
    ::GetWindowTextA(pCadre->m_hWnd, titre, sizeof titre);
    EXPECT_STREQ(titre, "Programme test");
    const LONG_PTR style = ::GetWindowLongPtrA(pCadre->m_hWnd, GWL_STYLE);
    EXPECT_EQ(style & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);
    HMENU hMenu = ::GetMenu(pCadre->m_hWnd);
    ASSERT_NE(hMenu, nullptr);
    EXPECT_EQ(::GetMenuItemCount(hMenu), 4);
    pCadre->DestroyWindow();
}

// ---------------------------------------------------------------------------------------
// Start-up

class Demarrage : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ViderFile();
        AfxWinInit(::GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOWNORMAL);
    }
    void TearDown() override
    {
        if (m_app.m_pMainWnd != nullptr)
            m_app.m_pMainWnd->DestroyWindow();
        ViderFile();
        AfxOleTerm();
    }
    CKervalenApp m_app;
};

TEST_F(Demarrage, NameComesFromTheStringResource)
{
    ASSERT_NE(m_app.m_pszAppName, nullptr);
    EXPECT_STREQ(m_app.m_pszAppName, "Kervalen");
}

TEST_F(Demarrage, ShowsTheMainFrameAndItsCloseEndsTheLoopWithZero)
{
    ASSERT_TRUE(m_app.InitInstance());
    ASSERT_NE(m_app.m_pMainWnd, nullptr);
    HWND hWnd = m_app.m_pMainWnd->m_hWnd;
    EXPECT_TRUE(::IsWindowVisible(hWnd));

    ::SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(ID_APP_EXIT, 0), 0);
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(m_app.m_pMainWnd, nullptr);
    EXPECT_EQ(ViderFile(), std::vector<WPARAM>{0});
}

TEST_F(Demarrage, MinimisedShowCommandShowsTheFrameMinimised)
{
    m_app.m_nCmdShow = SW_SHOWMINIMIZED;
    ASSERT_TRUE(m_app.InitInstance());
    ASSERT_NE(m_app.m_pMainWnd, nullptr);
    EXPECT_TRUE(::IsIconic(m_app.m_pMainWnd->m_hWnd));
}

TEST_F(Demarrage, OleFailureShowsOneApplicationBoxAndCreatesNoWindow)
{
    BoitesCapturees capture;
    ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    const BOOL resultat = m_app.InitInstance();
    ::CoUninitialize();

    EXPECT_FALSE(resultat);
    EXPECT_EQ(m_app.m_pMainWnd, nullptr);
    EXPECT_EQ(CadresDuFil(), 0);
    ASSERT_EQ(g_boites.size(), 1u);
    EXPECT_EQ(g_boites[0].text, "Erreur au chargement de OLE");
    EXPECT_EQ(g_boites[0].caption, "Kervalen");
    EXPECT_EQ(g_boites[0].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(g_boites[0].owner, nullptr);
}

TEST_F(Demarrage, RefusedMainWindowEndsStartUpWithoutTouchingTheDeletedFrame)
{
    BoitesCapturees capture;
    CreationRefusee refus;
    ASSERT_TRUE(refus.Installe());
    EXPECT_FALSE(m_app.InitInstance());
    EXPECT_EQ(m_app.m_pMainWnd, nullptr);
    EXPECT_TRUE(g_boites.empty());
    // No quit request is left behind for a loop that will never run.
    EXPECT_TRUE(ViderFile().empty());
}

TEST_F(Demarrage, ProcessOfARefusedStartUpEndsWithCodeOne)
{
    CreationRefusee refus;
    ASSERT_TRUE(refus.Installe());
    EXPECT_EQ(AfxWinMain(::GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOWNORMAL), 1);
}

// ---------------------------------------------------------------------------------------
// The loop

// A main frame that counts the loop's calls and lets each test decide what they do.
class CadreCompteur : public CFrameWnd
{
public:
    CadreCompteur()
    {
        CreateEx(0, nullptr, "Compteur", WS_OVERLAPPEDWINDOW, 200, 150, 500, 400, nullptr,
                 nullptr);
    }

    bool Animer()
    {
        ++m_nAnimer;
        m_messagesVusAuxAppels.push_back(m_nMessages);
        return m_pfnAnimer != nullptr ? m_pfnAnimer(*this) : true;
    }

    int m_nAnimer = 0;
    int m_nMessages = 0;
    std::vector<int> m_messagesVusAuxAppels;
    bool (*m_pfnAnimer)(CadreCompteur&) = nullptr;
    std::vector<UINT> m_recus;        // WM_APP, WM_CHAR and WM_QUIT seen by the window
    int m_nAnimerPendantModal = -1;   // Animer's count when the dialog's loop went idle
    HWND m_hDialogue = nullptr;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case WM_APP:
            ++m_nMessages;
            break;
        case WM_CHAR:
        case WM_QUIT:
            m_recus.push_back(message);
            break;
        case WM_ENTERIDLE:
            // The About box's modal loop has nothing to do: the moment when a loop that
            // kept animating would have called Animer. Then the user presses OK.
            if (wParam == MSGF_DIALOGBOX && m_hDialogue == nullptr) {
                m_nAnimerPendantModal = m_nAnimer;
                m_hDialogue = reinterpret_cast<HWND>(lParam);
                ::PostMessageA(m_hDialogue, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            }
            break;
        }
        return CFrameWnd::WindowProc(message, wParam, lParam);
    }
};

// The application with the real message map (About) and the loop on the counting frame.
class AppBoucle : public CKervalenApp
{
public:
    int Run() override { return BouclerMessages<CadreCompteur>(*this); }
};

class Boucle : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ViderFile();
        AfxWinInit(::GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOWNORMAL);
        m_pCadre = new CadreCompteur;
        m_app.m_pMainWnd = m_pCadre;
        m_pCadre->ShowWindow(SW_SHOWNORMAL);
        // Painted and settled: each test starts with an empty queue of its own.
        m_pCadre->UpdateWindow();
        ViderFile();
    }
    void TearDown() override
    {
        if (m_app.m_pMainWnd != nullptr)
            m_app.m_pMainWnd->DestroyWindow();
        ViderFile();
    }
    AppBoucle m_app;
    CadreCompteur* m_pCadre = nullptr;
};

TEST_F(Boucle, QuitSevenIsTranslatedAndDispatchedAndEndsTheLoopWithSeven)
{
    HWND hWnd = m_pCadre->m_hWnd;
    const UINT scan = ::MapVirtualKeyA('A', MAPVK_VK_TO_VSC);
    ::PostMessageA(hWnd, WM_KEYDOWN, 'A', MAKELPARAM(1, scan));
    // Posted to the window, so that dispatching it can be seen.
    ::PostMessageA(hWnd, WM_QUIT, 7, 0);

    EXPECT_EQ(m_app.Run(), 7);
    EXPECT_EQ(m_pCadre->m_nAnimer, 0);  // a message was always waiting
    EXPECT_EQ(m_pCadre->m_recus, std::vector<UINT>{WM_QUIT});
    // Translating the key posted its character behind the quit message.
    MSG msg;
    EXPECT_TRUE(::PeekMessageA(&msg, hWnd, WM_CHAR, WM_CHAR, PM_REMOVE));
}

TEST_F(Boucle, EmptyQueueCallsAnimerAndWaitingMessagesComeFirst)
{
    for (int i = 0; i < 3; ++i)
        ::PostMessageA(m_pCadre->m_hWnd, WM_APP, 0, 0);
    m_pCadre->m_pfnAnimer = [](CadreCompteur& cadre) {
        if (cadre.m_nAnimer == 4)
            ::PostQuitMessage(0);
        return true;
    };

    EXPECT_EQ(m_app.Run(), 0);
    EXPECT_EQ(m_pCadre->m_nAnimer, 4);
    // The first call came only once all three messages had been handled.
    EXPECT_EQ(m_pCadre->m_messagesVusAuxAppels, (std::vector<int>{3, 3, 3, 3}));
}

TEST_F(Boucle, AnimerFalseEndsTheLoopWithTheLastMessagesCode)
{
    ::PostMessageA(m_pCadre->m_hWnd, WM_APP, 5, 0);
    m_pCadre->m_pfnAnimer = [](CadreCompteur&) { return false; };
    EXPECT_EQ(m_app.Run(), 5);
    EXPECT_EQ(m_pCadre->m_nAnimer, 1);
}

TEST_F(Boucle, ClosingTheMainFrameEndsTheLoopWithZeroWithoutAnimatingIt)
{
    m_pCadre->m_pfnAnimer = [](CadreCompteur& cadre) {
        if (cadre.m_nAnimer == 2)
            cadre.PostMessage(WM_COMMAND, MAKEWPARAM(ID_APP_EXIT, 0), 0);
        return true;
    };
    EXPECT_EQ(m_app.Run(), 0);
    EXPECT_EQ(m_app.m_pMainWnd, nullptr);
}

TEST_F(Boucle, AboutBoxRunsModallyCentredOverTheFrameAndNoFrameIsDrawnMeanwhile)
{
    static bool s_ouverte = false;
    s_ouverte = false;
    m_pCadre->m_pfnAnimer = [](CadreCompteur& cadre) {
        if (cadre.m_nAnimer == 1)
            cadre.PostMessage(WM_COMMAND, MAKEWPARAM(ID_APP_ABOUT, 0), 0);
        if (cadre.m_nAnimer == 3)
            ::PostQuitMessage(0);
        return true;
    };
    // Checks the dialog while it is up, from inside its modal loop.
    static RECT s_rcDialogue, s_rcCadre;
    static char s_titre[64];
    struct Sonde
    {
        static LRESULT CALLBACK Crochet(int code, WPARAM wParam, LPARAM lParam)
        {
            const CWPSTRUCT* cwp = reinterpret_cast<const CWPSTRUCT*>(lParam);
            if (code == HC_ACTION && cwp->message == WM_ENTERIDLE && !s_ouverte) {
                s_ouverte = true;
                HWND hDlg = reinterpret_cast<HWND>(cwp->lParam);
                ::GetWindowRect(hDlg, &s_rcDialogue);
                ::GetWindowRect(cwp->hwnd, &s_rcCadre);
                ::GetWindowTextA(hDlg, s_titre, sizeof s_titre);
            }
            return ::CallNextHookEx(nullptr, code, wParam, lParam);
        }
    };
    HHOOK hHook = ::SetWindowsHookExA(WH_CALLWNDPROC, &Sonde::Crochet, nullptr,
                                      ::GetCurrentThreadId());
    ASSERT_NE(hHook, nullptr);
    const int code = m_app.Run();
    ::UnhookWindowsHookEx(hHook);

    EXPECT_EQ(code, 0);
    ASSERT_TRUE(s_ouverte) << "the About box never went idle";
    EXPECT_EQ(m_pCadre->m_nAnimerPendantModal, 1);
    EXPECT_EQ(m_pCadre->m_nAnimer, 3);  // drawing resumed once the box was closed
    EXPECT_STREQ(s_titre, "\xC0 propos de Kervalen");
    const int dx = (s_rcDialogue.left + s_rcDialogue.right) - (s_rcCadre.left + s_rcCadre.right);
    const int dy = (s_rcDialogue.top + s_rcDialogue.bottom) - (s_rcCadre.top + s_rcCadre.bottom);
    EXPECT_LE(std::abs(dx), 2) << "dialog not centred horizontally over the frame";
    EXPECT_LE(std::abs(dy), 2) << "dialog not centred vertically over the frame";
    EXPECT_FALSE(::IsWindow(m_pCadre->m_hDialogue));
}

}  // namespace
