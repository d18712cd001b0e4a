// The framework layer on real windows: message maps, command routing, the main window's
// end, menus, message boxes and CString.
#include <afxwin.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include "OutilsFenetres.h"

#include <algorithm>
#include <climits>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------------------------------
// Helpers

const char kClasseEssai[] = "EssaiCWnd";

// A plain window class whose procedure is the framework's.
LPCSTR ClasseEssai()
{
    WNDCLASSA wc = {};
    if (!::GetClassInfoA(::GetModuleHandleA(nullptr), kClasseEssai, &wc)) {
        wc.lpfnWndProc = &AfxWndProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = kClasseEssai;
        ::RegisterClassA(&wc);
    }
    return kClasseEssai;
}

// ---------------------------------------------------------------------------------------
// Test windows: a base with handlers, a derived class that adds and overrides some.

std::vector<std::string> g_journal;

class FenetreBase : public CWnd
{
public:
    BOOL Creer()
    {
        return CreateEx(0, ClasseEssai(), "essai", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100,
                        nullptr, nullptr);
    }

    UINT m_nChar = 0, m_nRepCnt = 0, m_nFlags = 0;

protected:
    DECLARE_MESSAGE_MAP()

    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
    {
        m_nChar = nChar;
        m_nRepCnt = nRepCnt;
        m_nFlags = nFlags;
        g_journal.push_back("base.keydown");
    }
    void OnDestroy()
    {
        g_journal.push_back("base.destroy");
        CWnd::OnDestroy();
    }
    void OnCommun() { g_journal.push_back("base.commun"); }
    void OnBaseSeule() { g_journal.push_back("base.seule"); }
};

BEGIN_MESSAGE_MAP(FenetreBase, CWnd)
    ON_WM_KEYDOWN()
    ON_WM_DESTROY()
    ON_COMMAND(100, OnCommun)
    ON_COMMAND(101, OnBaseSeule)
END_MESSAGE_MAP()

class FenetreDerivee : public FenetreBase
{
public:
    HWND m_hWndVuDansOnCreate = nullptr;
    CWnd* m_pAttacheDansOnCreate = nullptr;
    std::string m_nomDansOnCreate;
    UINT m_premierMessage = 0;
    int m_resultatOnCreate = 0;
    bool* m_pDetruit = nullptr;

    ~FenetreDerivee() override
    {
        if (m_pDetruit != nullptr)
            *m_pDetruit = true;
    }

protected:
    DECLARE_MESSAGE_MAP()

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (m_premierMessage == 0)
            m_premierMessage = message;
        return FenetreBase::WindowProc(message, wParam, lParam);
    }

    int OnCreate(LPCREATESTRUCT lpCreateStruct)
    {
        m_hWndVuDansOnCreate = m_hWnd;
        m_pAttacheDansOnCreate = CWnd::FromHandlePermanent(m_hWnd);
        m_nomDansOnCreate = lpCreateStruct->lpszName;
        g_journal.push_back("derivee.create");
        if (FenetreBase::OnCreate(lpCreateStruct) == -1)
            return -1;
        return m_resultatOnCreate;
    }
    void OnCommun() { g_journal.push_back("derivee.commun"); }
};

BEGIN_MESSAGE_MAP(FenetreDerivee, FenetreBase)
    ON_WM_CREATE()
    ON_COMMAND(100, OnCommun)
END_MESSAGE_MAP()

class MessageMaps : public ::testing::Test
{
protected:
    void SetUp() override { g_journal.clear(); }
    void TearDown() override { ViderFile(); }
};

TEST_F(MessageMaps, ObjectIsAttachedFromFirstMessageSoOnCreateSeesIt)
{
    FenetreDerivee w;
    ASSERT_TRUE(w.Creer());
    EXPECT_NE(w.m_hWndVuDansOnCreate, nullptr);
    EXPECT_EQ(w.m_hWndVuDansOnCreate, w.m_hWnd);
    EXPECT_EQ(w.m_pAttacheDansOnCreate, &w);
    EXPECT_EQ(w.m_nomDansOnCreate, "essai");
    // The object saw the window's very first message, which comes before WM_CREATE.
    EXPECT_NE(w.m_premierMessage, 0u);
    EXPECT_NE(w.m_premierMessage, static_cast<UINT>(WM_CREATE));
    EXPECT_EQ(CWnd::FromHandlePermanent(w.m_hWnd), &w);
}

TEST_F(MessageMaps, DerivedEntryWinsAndBaseEntriesAreReachedThroughTheChain)
{
    FenetreDerivee w;
    ASSERT_TRUE(w.Creer());
    g_journal.clear();

    // Repeat count 3 in the low word of lParam, flags 0x1E in the high word.
    ::SendMessageA(w.m_hWnd, WM_KEYDOWN, VK_END, MAKELPARAM(3, 0x1E));
    ::SendMessageA(w.m_hWnd, WM_COMMAND, MAKEWPARAM(100, 0), 0);
    ::SendMessageA(w.m_hWnd, WM_COMMAND, MAKEWPARAM(101, 0), 0);
    ::SendMessageA(w.m_hWnd, WM_COMMAND, MAKEWPARAM(102, 0), 0);  // nobody's

    EXPECT_EQ(g_journal, (std::vector<std::string>{"base.keydown", "derivee.commun",
                                                   "base.seule"}));
    EXPECT_EQ(w.m_nChar, static_cast<UINT>(VK_END));
    EXPECT_EQ(w.m_nRepCnt, 3u);
    EXPECT_EQ(w.m_nFlags, 0x1Eu);
}

TEST_F(MessageMaps, UnmappedMessagesGetTheSystemsHandling)
{
    FenetreDerivee w;
    ASSERT_TRUE(w.Creer());
    ::SendMessageA(w.m_hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("nouveau titre"));
    char titre[64] = "";
    ::GetWindowTextA(w.m_hWnd, titre, sizeof titre);
    EXPECT_STREQ(titre, "nouveau titre");
}

TEST_F(MessageMaps, RefusedCreationFailsCreateAndDetachesTheObject)
{
    bool detruit = false;
    FenetreDerivee w;
    w.m_pDetruit = &detruit;
    w.m_resultatOnCreate = -1;
    const UINT refusesAvant = AfxGetRefusedWindowCount();
    EXPECT_FALSE(w.Creer());
    EXPECT_EQ(w.m_hWnd, nullptr);
    EXPECT_EQ(AfxGetRefusedWindowCount(), refusesAvant + 1);
    // A plain CWnd is not deleted by the framework; only frames are.
    EXPECT_FALSE(detruit);
    // OnDestroy runs once, so what OnCreate built can be given back, whether or not the
    // system sends WM_DESTROY to a window refused in WM_CREATE.
    EXPECT_EQ(std::count(g_journal.begin(), g_journal.end(), "base.destroy"), 1);
}

// Handlers that throw: no exception may cross the system's code.
class FenetreQuiLance : public FenetreBase
{
public:
    bool m_bLanceALaCreation = false;

protected:
    DECLARE_MESSAGE_MAP()

    int OnCreate(LPCREATESTRUCT)
    {
        if (m_bLanceALaCreation)
            throw std::bad_alloc();
        return 0;
    }
    void OnKeyDown(UINT, UINT, UINT) { throw std::runtime_error("touche"); }
};

BEGIN_MESSAGE_MAP(FenetreQuiLance, FenetreBase)
    ON_WM_CREATE()
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

TEST_F(MessageMaps, ExceptionInAHandlerIsReportedAndRefusesOnlyACreation)
{
    BoitesCapturees boites;
    FenetreQuiLance refusee;
    refusee.m_bLanceALaCreation = true;
    const UINT refusesAvant = AfxGetRefusedWindowCount();
    EXPECT_FALSE(refusee.Creer());
    EXPECT_EQ(AfxGetRefusedWindowCount(), refusesAvant + 1);
    ASSERT_EQ(g_boites.size(), 1u);
    EXPECT_EQ(g_boites[0].text, "M\xE9moire insuffisante.");
    EXPECT_EQ(g_boites[0].type, static_cast<UINT>(MB_OK | MB_ICONSTOP));

    FenetreQuiLance w;
    ASSERT_TRUE(w.Creer());
    EXPECT_EQ(::SendMessageA(w.m_hWnd, WM_KEYDOWN, VK_END, 1), 0);
    ASSERT_EQ(g_boites.size(), 2u);
    EXPECT_EQ(g_boites[1].text, "Erreur inattendue.");
    EXPECT_TRUE(::IsWindow(w.m_hWnd));
}

TEST_F(MessageMaps, DestroyedWindowSeesOnDestroyOnce)
{
    FenetreDerivee w;
    ASSERT_TRUE(w.Creer());
    g_journal.clear();
    EXPECT_TRUE(w.DestroyWindow());
    EXPECT_EQ(g_journal, std::vector<std::string>{"base.destroy"});
    EXPECT_EQ(w.m_hWnd, nullptr);
}

TEST_F(MessageMaps, ObjectDestroyedBeforeItsWindowTakesTheWindowAlong)
{
    HWND hWnd = nullptr;
    {
        FenetreDerivee w;
        ASSERT_TRUE(w.Creer());
        hWnd = w.m_hWnd;
    }
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
}

// ---------------------------------------------------------------------------------------
// Frames, the application and command routing

constexpr UINT ID_CADRE = 300;
constexpr UINT ID_DES_DEUX = 301;
constexpr UINT ID_SANS_MAITRE = 302;

class AppEssai : public CWinApp
{
public:
    AppEssai() : CWinApp("Essai") {}

protected:
    DECLARE_MESSAGE_MAP()
    void OnAppAbout() { g_journal.push_back("app.about"); }
    void OnDesDeux() { g_journal.push_back("app.desdeux"); }
};

BEGIN_MESSAGE_MAP(AppEssai, CWinApp)
    ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
    ON_COMMAND(ID_DES_DEUX, OnDesDeux)
END_MESSAGE_MAP()

int g_cadresDetruits = 0;

class CadreEssai : public CFrameWnd
{
public:
    explicit CadreEssai(HMENU hMenu = nullptr)
    {
        // PreCreateWindow gives the frame the framework's class.
        CreateEx(0, nullptr, "Cadre essai", WS_OVERLAPPEDWINDOW, 20, 20, 300, 200, nullptr,
                 hMenu);
    }
    ~CadreEssai() override { ++g_cadresDetruits; }

protected:
    DECLARE_MESSAGE_MAP()
    void OnCadre() { g_journal.push_back("cadre.cadre"); }
    void OnDesDeux() { g_journal.push_back("cadre.desdeux"); }
};

BEGIN_MESSAGE_MAP(CadreEssai, CFrameWnd)
    ON_COMMAND(ID_CADRE, OnCadre)
    ON_COMMAND(ID_DES_DEUX, OnDesDeux)
END_MESSAGE_MAP()

class Routage : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_journal.clear();
        g_cadresDetruits = 0;
        ViderFile();
    }
    void TearDown() override
    {
        if (m_app.m_pMainWnd != nullptr)
            m_app.m_pMainWnd->DestroyWindow();
        ViderFile();
    }
    AppEssai m_app;
};

TEST_F(Routage, MenuCommandGoesThroughFrameThenApplication)
{
    CadreEssai* pCadre = new CadreEssai;
    ASSERT_NE(pCadre->m_hWnd, nullptr);
    m_app.m_pMainWnd = pCadre;

    ::SendMessageA(pCadre->m_hWnd, WM_COMMAND, MAKEWPARAM(ID_APP_ABOUT, 0), 0);
    ::SendMessageA(pCadre->m_hWnd, WM_COMMAND, MAKEWPARAM(ID_CADRE, 0), 0);
    ::SendMessageA(pCadre->m_hWnd, WM_COMMAND, MAKEWPARAM(ID_DES_DEUX, 0), 0);
    ::SendMessageA(pCadre->m_hWnd, WM_COMMAND, MAKEWPARAM(ID_SANS_MAITRE, 0), 0);

    EXPECT_EQ(g_journal, (std::vector<std::string>{"app.about", "cadre.cadre",
                                                   "cadre.desdeux"}));
}

TEST_F(Routage, AppExitClosesTheMainFrameWhichPostsQuitZeroAndIsDeleted)
{
    CadreEssai* pCadre = new CadreEssai;
    HWND hWnd = pCadre->m_hWnd;
    m_app.m_pMainWnd = pCadre;

    ::SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(ID_APP_EXIT, 0), 0);

    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(m_app.m_pMainWnd, nullptr);
    EXPECT_EQ(g_cadresDetruits, 1);
    EXPECT_EQ(ViderFile(), std::vector<WPARAM>{0});
}

TEST_F(Routage, OnlyTheMainFrameEndsTheLoop)
{
    CadreEssai* pPrincipal = new CadreEssai;
    CadreEssai* pAutre = new CadreEssai;
    m_app.m_pMainWnd = pPrincipal;

    pAutre->DestroyWindow();
    EXPECT_EQ(g_cadresDetruits, 1);
    EXPECT_EQ(m_app.m_pMainWnd, pPrincipal);
    EXPECT_TRUE(ViderFile().empty());

    ::SendMessageA(pPrincipal->m_hWnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(g_cadresDetruits, 2);
    EXPECT_EQ(m_app.m_pMainWnd, nullptr);
    EXPECT_EQ(ViderFile(), std::vector<WPARAM>{0});
}

TEST_F(Routage, FrameWhoseWindowIsRefusedIsDeletedAndPostsNoQuit)
{
    // No menu resource of that name: the frame cannot be what it was asked to be.
    class CadreSansMenu : public CFrameWnd
    {
    public:
        CadreSansMenu()
        {
            Create(nullptr, "x", WS_OVERLAPPEDWINDOW, rectDefault, nullptr,
                   MAKEINTRESOURCEA(999));
        }
        ~CadreSansMenu() override { ++g_cadresDetruits; }
    };
    const UINT refusesAvant = AfxGetRefusedWindowCount();
    new CadreSansMenu;
    EXPECT_EQ(g_cadresDetruits, 1);
    EXPECT_EQ(AfxGetRefusedWindowCount(), refusesAvant + 1);
    EXPECT_TRUE(ViderFile().empty());
}

TEST_F(Routage, MenuItemsWithoutHandlerAreGrayedWhenTheirPopupOpens)
{
    HMENU hBarre = ::CreateMenu();
    HMENU hPopup = ::CreatePopupMenu();
    ::AppendMenuA(hPopup, MF_STRING, ID_APP_ABOUT, "app");
    ::AppendMenuA(hPopup, MF_STRING | MF_GRAYED, ID_CADRE, "cadre, gris dans le menu");
    ::AppendMenuA(hPopup, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(hPopup, MF_STRING, ID_SANS_MAITRE, "personne");
    ::AppendMenuA(hPopup, MF_STRING | MF_GRAYED, ID_FILE_MRU_FILE1, "récent");
    ::AppendMenuA(hBarre, MF_POPUP, reinterpret_cast<UINT_PTR>(hPopup), "popup");
    CadreEssai* pCadre = new CadreEssai(hBarre);
    m_app.m_pMainWnd = pCadre;

    ::SendMessageA(pCadre->m_hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hPopup),
                   MAKELPARAM(0, FALSE));

    auto grise = [&](UINT id) {
        return (::GetMenuState(hPopup, id, MF_BYCOMMAND) & MF_GRAYED) != 0;
    };
    EXPECT_FALSE(grise(ID_APP_ABOUT));
    EXPECT_FALSE(grise(ID_CADRE));
    EXPECT_TRUE(grise(ID_SANS_MAITRE));
    EXPECT_TRUE(grise(ID_FILE_MRU_FILE1));
    EXPECT_EQ(::GetMenuState(hPopup, 2, MF_BYPOSITION) & MF_SEPARATOR,
              static_cast<UINT>(MF_SEPARATOR));
}

TEST_F(Routage, SystemMenuIsLeftAlone)
{
    HMENU hBarre = ::CreateMenu();
    HMENU hPopup = ::CreatePopupMenu();
    ::AppendMenuA(hPopup, MF_STRING, ID_SANS_MAITRE, "personne");
    ::AppendMenuA(hBarre, MF_POPUP, reinterpret_cast<UINT_PTR>(hPopup), "popup");
    CadreEssai* pCadre = new CadreEssai(hBarre);
    m_app.m_pMainWnd = pCadre;

    ::SendMessageA(pCadre->m_hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hPopup),
                   MAKELPARAM(0, TRUE));
    EXPECT_EQ(::GetMenuState(hPopup, ID_SANS_MAITRE, MF_BYCOMMAND) & MF_GRAYED, 0u);
}

// ---------------------------------------------------------------------------------------
// Message boxes

TEST_F(Routage, ApplicationBoxCarriesTheNameAndTheIconThatFitsItsButtons)
{
    BoitesCapturees capture;
    struct Cas
    {
        UINT demande;
        UINT montre;
    } const cas[] = {
        {MB_OK, MB_OK | MB_ICONEXCLAMATION},
        {MB_OKCANCEL, MB_OKCANCEL | MB_ICONEXCLAMATION},
        {MB_YESNO, MB_YESNO | MB_ICONQUESTION},
        {MB_OK | MB_ICONSTOP, MB_OK | MB_ICONSTOP},  // an icon asked for is kept
    };
    for (const Cas& c : cas)
        AfxMessageBox("texte", c.demande);
    ASSERT_EQ(g_boites.size(), 4u);
    for (size_t i = 0; i < g_boites.size(); ++i) {
        EXPECT_EQ(g_boites[i].type, cas[i].montre) << "box " << i;
        EXPECT_EQ(g_boites[i].caption, "Essai");
        EXPECT_EQ(g_boites[i].text, "texte");
        EXPECT_EQ(g_boites[i].owner, nullptr);  // no main window yet
    }
}

TEST_F(Routage, WindowBoxIsOwnedByItsWindowAndDefaultsToTheApplicationName)
{
    BoitesCapturees capture;
    CadreEssai* pCadre = new CadreEssai;
    pCadre->MessageBox("un", "Titre", MB_OK);
    pCadre->MessageBox("deux");
    ASSERT_EQ(g_boites.size(), 2u);
    EXPECT_EQ(g_boites[0].owner, pCadre->m_hWnd);
    EXPECT_EQ(g_boites[0].caption, "Titre");
    EXPECT_EQ(g_boites[0].type, static_cast<UINT>(MB_OK));  // no icon added here
    EXPECT_EQ(g_boites[1].caption, "Essai");
    pCadre->DestroyWindow();
}

// ---------------------------------------------------------------------------------------
// Start-up

TEST(AfxWinMain, StartUpThatGivesUpEndsWithCodeOneAndOneThatRunsWithRunsCode)
{
    struct AppQuiRefuse : CWinApp
    {
        BOOL InitInstance() override { return FALSE; }
        int Run() override { return 0; }
    };
    struct AppQuiTourne : CWinApp
    {
        BOOL InitInstance() override { return TRUE; }
        int Run() override { return 42; }
    };
    {
        AppQuiRefuse app;
        EXPECT_EQ(AfxWinMain(::GetModuleHandleA(nullptr), nullptr, nullptr, SW_HIDE), 1);
    }
    {
        AppQuiTourne app;
        EXPECT_EQ(AfxWinMain(::GetModuleHandleA(nullptr), nullptr, nullptr, SW_HIDE), 42);
        EXPECT_EQ(app.m_nCmdShow, SW_HIDE);
    }
}

TEST(AfxOleInit, FailsOnAThreadAlreadyInTheMultithreadedApartment)
{
    ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    EXPECT_FALSE(AfxOleInit());
    ::CoUninitialize();
    EXPECT_TRUE(AfxOleInit());
    AfxOleTerm();
}

// ---------------------------------------------------------------------------------------
// CString

TEST(CString, FormatGivesSignedDecimalForEveryValue)
{
    struct Cas
    {
        int valeur;
        const char* attendu;
    } const cas[] = {
        {0, "code 0"},
        {1, "code 1"},
        {-1, "code -1"},
        {static_cast<int>(0x8876086A), "code -2005530518"},
        {INT_MIN, "code -2147483648"},
        {INT_MAX, "code 2147483647"},
    };
    for (const Cas& c : cas) {
        CString s;
        s.Format("code %d", c.valeur);
        EXPECT_STREQ(static_cast<LPCSTR>(s), c.attendu);
        EXPECT_EQ(s.GetLength(), static_cast<int>(std::string(c.attendu).size()));
    }
}

TEST(CString, FormatReplacesThePreviousTextWhateverItsLength)
{
    CString s("ancien texte bien plus long que le nouveau");
    const std::string long_(5000, 'x');
    s.Format("%s|%d", long_.c_str(), 7);
    EXPECT_EQ(std::string(s), long_ + "|7");
    s.Format("%d", 3);
    EXPECT_STREQ(s, "3");
}

}  // namespace
