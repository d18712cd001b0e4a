// The framework and the shell on real windows of this process, with the program's resources
// linked in. Each case notes what happened (handlers, boxes, quit codes) and compares.
#include "boucle.h"
#include "kervalen.h"
#include "mainfrm.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <map>

const char* CheminJournalNormales()
{
    return "NUL";
}   // the real frame's scene logs nowhere

namespace {
std::string g_vu;
void Noter(const std::string& s)
{
    g_vu += (g_vu.empty() ? "" : "|") + s;
}
std::string Vu()
{
    return std::exchange(g_vu, std::string());
}
std::string Texte(HWND h)
{
    char t[64] = "";
    return h && ::GetWindowTextA(h, t, sizeof t) ? t : "";
}
const AFX_MESSAGEBOX_FN g_boite =
    AfxSetMessageBoxFunction([](HWND o, LPCSTR t, LPCSTR c, UINT n) {   // noted, not shown
        return Noter("box[" + Texte(o) + "] " + c + ": " + t + " " + std::to_string(n)), IDOK;
    });
void Vider()   // dispatches the waiting messages, noting the quit codes
{
    for (MSG m; ::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE);)
        m.message == WM_QUIT ? Noter("quit " + std::to_string(m.wParam))
                             : void(::DispatchMessageA(&m));
}
// The menu h of w as its popups open: "text=id", "~" when grayed, "-" for a separator.
std::string Decrire(HWND w, HMENU h)
{
    ::SendMessageA(w, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(h), 0);
    std::string s;
    for (int i = 0; i < ::GetMenuItemCount(h); ++i) {
        char t[64] = "";
        const UINT etat = (::GetMenuStringA(h, i, t, sizeof t, MF_BYPOSITION),
                           ::GetMenuState(h, i, MF_BYPOSITION));
        s += (i ? "|" : "") + (::GetSubMenu(h, i) ? t + ("(" + Decrire(w, ::GetSubMenu(h, i)) + ")")
                               : (etat & MF_SEPARATOR)
                                   ? "-"
                                   : t + ("=" + std::to_string(::GetMenuItemID(h, i))) +
                                         (etat & MF_GRAYED ? "~" : ""));
    }
    return s;
}

// mode: what OnCreate answers (0 go on, -1 refuse), or 2: a menu the program lacks. As the
// loop's frame, the nth Animer posts g_scenario[n] (a command, WM_CLOSE or WM_QUIT) or stops
// (Arret).
enum { Arret = 1, Boites = WM_APP + 1 };
std::map<int, UINT> g_scenario;
struct Fenetre : CFrameWnd
{
    int m_mode, m_n = 0;
    explicit Fenetre(int mode = 0) : m_mode(mode)
    {
        Create(nullptr, "essai", WS_OVERLAPPEDWINDOW, rectDefault, nullptr,
               MAKEINTRESOURCEA(mode == 2 ? 9 : IDR_MAINFRAME));
    }
    ~Fenetre() override { Noter("~"); }
    int OnCreate(LPCREATESTRUCT cs)
    {
        return Noter("create"), CFrameWnd::OnCreate(cs) == -1 ? -1 : m_mode;
    }
    void OnDestroy() { Noter("destroy"), CFrameWnd::OnDestroy(); }
    void OnKeyDown(UINT c, UINT n, UINT f)
    {
        Noter("key " + std::to_string(c) + " " + std::to_string(n) + " " + std::to_string(f));
    }
    void OnNouveau() { Noter("new"); }
    void OnEnregistrer() { throw 3; }
    bool Animer()
    {
        const UINT quoi = (Noter("animer"), g_scenario[++m_n]);   // 0: nothing planned
        quoi == WM_QUIT
            ? ::PostQuitMessage(0)
            : void(quoi > Arret &&
                   ::PostMessageA(m_hWnd, quoi == WM_CLOSE ? quoi : WM_COMMAND, quoi, 0));
        return quoi != Arret;
    }
    LRESULT WindowProc(UINT m, WPARAM w, LPARAM l) override
    {
        if (m == WM_APP || m == WM_QUIT || m == WM_CHAR)
            Noter(m == WM_APP ? "app" : m == WM_QUIT ? "quit seen" : "char");
        if (m == Boites)   // the boxes of the window, then of the application
            MessageBox("u", "Titre"), MessageBox("u"), AfxMessageBox("t");
        if (m == WM_ENTERIDLE && w == MSGF_DIALOGBOX && g_vu.find("About") == std::string::npos) {
            const HWND d = reinterpret_cast<HWND>(l);   // the About box's own loop is idle
            RECT b, c;
            ::GetWindowRect(d, &b), ::GetWindowRect(m_hWnd, &c);
            const bool centre = std::abs(b.left + b.right - c.left - c.right) +
                                    std::abs(b.top + b.bottom - c.top - c.bottom) <=
                                3;
            Noter("About[" + Texte(d) + (centre ? "|centred" : "") +
                  (::GetDlgItem(d, IDOK) ? "|OK" : "") +
                  (::FindWindowExA(d, nullptr, "Static", "Kervalen Version 1.0") ? "|version]"
                                                                                 : "]")),
                ::PostMessageA(d, WM_COMMAND, IDOK, 0);
        }
        return CFrameWnd::WindowProc(m, w, l);
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(Fenetre, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_KEYDOWN()
    ON_COMMAND(ID_APP_EXIT, OnNouveau)
    ON_COMMAND(ID_FILE_MRU_FILE1, OnNouveau)
    ON_COMMAND(ID_FILE_SAVE, OnEnregistrer)
END_MESSAGE_MAP()

TEST(Framework, AFrameWhoseWindowIsRefusedOrClosedGetsOneDestroyIsDeletedAndLeavesTheLoopAlone)
{
    const struct
    {
        int mode;
        const char* vu;
    } cas[] = {{-1, "create|destroy|~|refused"}, {2, "~|refused"}, {0, "create|destroy|~"}};
    for (const auto& c : cas) {
        const UINT refus = AfxGetRefusedWindowCount();
        Fenetre* f = new Fenetre(c.mode);   // a refused frame is deleted at once
        AfxGetRefusedWindowCount() != refus ? Noter("refused")
                                            : void(::SendMessageA(f->m_hWnd, WM_CLOSE, 0, 0));
        EXPECT_EQ((Vider(), Vu()), c.vu);
    }
}

IDirect3D9* WINAPI SansDirect3D(UINT)
{
    return nullptr;
}

// Whatever rectangle the system gives (set by a hook as WM_CREATE comes), the frame keeps its
// corner and takes the smaller side.
TEST(Shell, TheFrameIsMadeSquareOnTheSmallerSideOfItsRectangle)
{
    static RECT d;
    const struct
    {
        RECT donne, carre;
    } cas[] = {{{100, 80, 1100, 780}, {100, 80, 800, 780}},
               {{100, 80, 700, 980}, {100, 80, 700, 680}},
               {{50, 60, 550, 560}, {50, 60, 550, 560}}};
    for (const auto& c : cas) {
        const HHOOK crochet =
            (d = c.donne, ::SetWindowsHookExA(
                              WH_CALLWNDPROC,
                              [](int code, WPARAM w, LPARAM l) -> LRESULT {
                                  if (const CWPSTRUCT* m = reinterpret_cast<const CWPSTRUCT*>(l);
                                      m->message == WM_CREATE && Texte(m->hwnd) == "Programme test")
                                      ::SetWindowPos(m->hwnd, nullptr, d.left, d.top,
                                                     d.right - d.left, d.bottom - d.top,
                                                     SWP_NOZORDER | SWP_NOACTIVATE);
                                  return ::CallNextHookEx(nullptr, code, w, l);
                              },
                              nullptr, ::GetCurrentThreadId()));
        CMainFrame* f = new CMainFrame;
        RECT r{};
        ::UnhookWindowsHookEx(crochet), ::GetWindowRect(f->m_hWnd, &r), f->DestroyWindow();
        EXPECT_TRUE(::EqualRect(&r, &c.carre))
            << r.left << "," << r.top << " " << r.right - r.left << "x" << r.bottom - r.top;
    }
}

TEST(Shell, StartUpShowsTheFrameOrEndsWithCodeOneWhenOleOrTheWindowFails)
{
    enum { Normal, SansOle, Refus };
    const struct
    {
        int cas, show;
        const char* vu;
    } cas[] = {
        {SansOle, SW_SHOWNORMAL, "box[] Kervalen: Erreur au chargement de OLE 48|code 1|quit 7"},
        {Refus, SW_SHOWNORMAL,
         "box[Programme test] Erreur: \xC9"
         "chec de l'op\xE9"
         "ration 0|code 1|quit 7"},
        {Normal, SW_SHOWMINIMIZED, "code 7|Programme test minimised|quit 0"},
        {Normal, SW_SHOWNORMAL,
         "code 7|Programme test shown|&Fichier(&Nouveau\tCtrl+N=57600~|&Ouvrir...\tCtrl+O="
         "57601~|&Enregistrer\tCtrl+S=57603~|Enregistrer &sous...=57604~|-|Fichier r\xE9"
         "cent=57616~|-|&quitter=57665)|&Edition("
         "&Annuler\tCtrl+Z=57643~|-|&Couper\tCtrl+X=57635~|C&opier\tCtrl+C=57634~|Co&ller\tCtrl+V="
         "57637~)|&Affichage("
         "&barre d'outils=59392~)|&Aide(&\xC0 propos de Kervalen...=57664)|quit 0"}};
    const auto creer = CMainFrame::CreerDirect3D;
    for (const auto& c : cas) {
        CKervalenApp app;
        CMainFrame::CreerDirect3D =
            c.cas == Refus ? &SansDirect3D : creer;   // the frame's window is then refused
        ASSERT_TRUE(c.cas != SansOle || ::CoInitializeEx(nullptr, COINIT_MULTITHREADED) == S_OK);
        ::PostQuitMessage(7);   // ends the loop at once; left waiting when start-up gives up
        Noter("code " +
              std::to_string(AfxWinMain(::GetModuleHandleA(nullptr), nullptr, nullptr, c.show)));
        if (c.cas == SansOle)
            ::CoUninitialize();
        if (const HWND h = app.m_pMainWnd ? app.m_pMainWnd->m_hWnd : nullptr) {
            Noter(Texte(h) + (::IsIconic(h)          ? " minimised"
                              : ::IsWindowVisible(h) ? " shown|" + Decrire(h, ::GetMenu(h))
                                                     : " hidden"));
            ::SendMessageA(h, WM_COMMAND, ID_APP_EXIT, 0);
        }
        EXPECT_EQ((Vider(), Vu()), c.vu);
    }
    CMainFrame::CreerDirect3D = creer;
}

TEST(Shell, LoopAnimatesOnlyWhenNoMessageWaitsAndEndsWithTheQuitCode)
{
    const struct
    {
        std::vector<std::pair<UINT, WPARAM>> avant;
        std::map<int, UINT> scenario;
        const char* vu;
    } cas[] = {{{{WM_KEYDOWN, 'A'}, {WM_QUIT, 7}},
                {},
                "key 65 1 30|quit seen|code 7|char|destroy|~|quit 0"},
               {{{WM_APP, 0}, {WM_APP, 0}, {WM_APP, 0}},
                {{4, WM_QUIT}},
                "app|app|app|animer|animer|animer|animer|code 0|destroy|~|quit 0"},
               {{{WM_APP, 5}}, {{1, Arret}}, "app|animer|code 5|destroy|~|quit 0"},
               {{}, {{2, WM_CLOSE}}, "animer|animer|destroy|~|code 0"},
               {{{Boites, 0},
                 {WM_KEYDOWN, VK_END},
                 {WM_COMMAND, ID_APP_EXIT},
                 {WM_COMMAND, ID_FILE_MRU_FILE1},
                 {WM_COMMAND, ID_FILE_SAVE_AS},
                 {WM_COMMAND, ID_FILE_SAVE},
                 {WM_CLOSE, 0}},
                {},
                "box[essai] Titre: u 0|box[essai] Kervalen: u 0|box[essai] Kervalen: t 48|"
                "key 35 1 79|new|new|box[essai] Kervalen: Erreur inattendue. 16|destroy|~|code 0"},
               {{},
                {{1, ID_APP_ABOUT}, {3, WM_QUIT}},
                "animer|About[\xC0 propos de Kervalen|centred|OK|version]|animer|animer|code "
                "0|destroy|~|quit 0"}};
    for (const auto& c : cas) {
        CKervalenApp app;   // its own About command, the loop with this frame
        AfxWinInit(::GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOWNORMAL);
        g_scenario = c.scenario, app.m_pMainWnd = new Fenetre;
        app.m_pMainWnd->ShowWindow(SW_SHOWNORMAL);
        Vider(), Vu();
        for (const auto& [m, w] : c.avant)
            ::PostMessageA(app.m_pMainWnd->m_hWnd, m, w,
                           MAKELPARAM(1, ::MapVirtualKeyA(static_cast<UINT>(w), MAPVK_VK_TO_VSC)));
        Noter("code " + std::to_string(BouclerMessages<Fenetre>(app)));
        Vider();
        if (app.m_pMainWnd != nullptr)
            app.m_pMainWnd->DestroyWindow();
        EXPECT_EQ((Vider(), Vu()), c.vu);
    }
}
}   // namespace
