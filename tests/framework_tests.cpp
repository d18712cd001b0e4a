// The framework and the shell on real windows of this process, with the program's resources
// linked in. Each case notes what happened (handlers, boxes, quit codes) and compares.
#include "boucle.h"
#include "echec.h"
#include "kervalen.h"
#include "resource.h"
#include "verifier.h"

#include <objbase.h>
#include <gtest/gtest.h>

#include <map>

const char* CheminJournalNormales() { return "NUL"; }  // the real frame's scene logs nowhere

namespace {
std::string g_vu;
void Noter(const std::string& s) { g_vu += (g_vu.empty() ? "" : "|") + s; }
std::string Vu() { return std::exchange(g_vu, std::string()); }
std::string Texte(HWND h) { char t[64] = ""; return h && ::GetWindowTextA(h, t, sizeof t) ? t : ""; }
// Every box of the framework is noted, with its owner's caption, instead of being shown.
const AFX_MESSAGEBOX_FN g_boite = AfxSetMessageBoxFunction([](HWND o, LPCSTR t, LPCSTR c, UINT n) {
    return Noter("box[" + Texte(o) + "] " + c + ": " + t + " " + std::to_string(n)), IDOK; });
void Vider()  // dispatches the waiting messages, noting the quit codes
{
    for (MSG m; ::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE);)
        m.message == WM_QUIT ? Noter("quit " + std::to_string(m.wParam)) : (void)::DispatchMessageA(&m);
}
// The menu h of w as its popups open: "text=id", "~" when grayed, "-" for a separator.
std::string Decrire(HWND w, HMENU h, BOOL systeme = FALSE)
{
    ::SendMessageA(w, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(h), MAKELPARAM(0, systeme));
    std::string s;
    for (int i = 0; i < ::GetMenuItemCount(h); ++i) {
        char t[64] = "";
        ::GetMenuStringA(h, i, t, sizeof t, MF_BYPOSITION);
        const UINT etat = ::GetMenuState(h, i, MF_BYPOSITION);
        s += (i ? "|" : "") + (::GetSubMenu(h, i) ? t + ("(" + Decrire(w, ::GetSubMenu(h, i)) + ")")
            : (etat & MF_SEPARATOR) ? "-" : t + ("=" + std::to_string(::GetMenuItemID(h, i))) + (etat & MF_GRAYED ? "~" : ""));
    }
    return s;
}

// mode: what OnCreate answers (0 go on, -1 refuse, 1 throw), or 2: a menu the program lacks.
// As the loop's frame, at its nth call Animer posts g_scenario[n] (a command or WM_QUIT) or stops (0).
std::map<int, UINT> g_scenario;
struct Fenetre : CFrameWnd {
    int m_mode, m_n = 0;
    explicit Fenetre(int mode = 0) : m_mode(mode)
    { Create(nullptr, "essai", WS_OVERLAPPEDWINDOW, rectDefault, nullptr, MAKEINTRESOURCEA(mode == 2 ? 9 : IDR_MAINFRAME)); }
    ~Fenetre() override { Noter("~"); }
    int OnCreate(LPCREATESTRUCT cs)
    {
        Noter(FromHandlePermanent(m_hWnd) == this ? "create" : "create unattached");  // attached already
        return m_mode == 1 ? throw std::bad_alloc() : CFrameWnd::OnCreate(cs) == -1 ? -1 : m_mode;
    }
    void OnDestroy() { Noter("destroy"), CFrameWnd::OnDestroy(); }
    void OnKeyDown(UINT c, UINT n, UINT f) { Noter("key " + std::to_string(c) + " " + std::to_string(n) + " " + std::to_string(f)); }
    void OnNouveau() { Noter("new"); }
    void OnEnregistrer() { throw 3; }
    bool Animer()
    {
        Noter("animer");
        const UINT quoi = g_scenario.count(++m_n) ? g_scenario[m_n] : ~0u;
        if (quoi != 0 && quoi != ~0u)
            quoi == WM_QUIT ? ::PostQuitMessage(0) : void(::PostMessageA(m_hWnd, WM_COMMAND, quoi, 0));
        return quoi != 0;
    }
    LRESULT WindowProc(UINT m, WPARAM w, LPARAM l) override
    {
        if (m == WM_APP || m == WM_QUIT || m == WM_CHAR)
            Noter(m == WM_APP ? "app" : m == WM_QUIT ? "quit seen" : "char");
        if (m == WM_ENTERIDLE && w == MSGF_DIALOGBOX && g_vu.find("About") == std::string::npos) {
            const HWND d = reinterpret_cast<HWND>(l);  // the About box's own loop is idle
            RECT b, c;
            ::GetWindowRect(d, &b), ::GetWindowRect(m_hWnd, &c);
            const bool centre = std::abs(b.left + b.right - c.left - c.right) + std::abs(b.top + b.bottom - c.top - c.bottom) <= 3;
            Noter("About[" + Texte(d) + (centre ? "|centred" : "") + (::GetDlgItem(d, IDOK) ? "|OK" : "")
                  + (::FindWindowExA(d, nullptr, "Static", "Kervalen Version 1.0") ? "|version]" : "]"));
            ::PostMessageA(d, WM_COMMAND, IDOK, 0);
        }
        return CFrameWnd::WindowProc(m, w, l);
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(Fenetre, CFrameWnd)
    ON_WM_CREATE() ON_WM_DESTROY() ON_WM_KEYDOWN() ON_COMMAND(ID_FILE_MRU_FILE1, OnNouveau) ON_COMMAND(ID_FILE_SAVE, OnEnregistrer)
END_MESSAGE_MAP()
struct Derivee : Fenetre {  // its entry comes before its base's and the application's
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(Derivee, Fenetre) ON_COMMAND(ID_APP_ABOUT, OnNouveau) END_MESSAGE_MAP()

TEST(Framework, AFrameRoutesToItselfThenTheApplicationGetsOneDestroyAndEndsTheLoopWhenMain)
{
    CKervalenApp app;  // its map: About, then the framework's Exit
    AfxWinInit(::GetModuleHandleA(nullptr), nullptr, nullptr, SW_HIDE);
    for (UINT t : {MB_OK, MB_YESNO, MB_OK | MB_ICONSTOP, MB_RETRYCANCEL})
        AfxMessageBox("t", t);
    EXPECT_EQ(Vu(), "box[] Kervalen: t 48|box[] Kervalen: t 36|box[] Kervalen: t 16|box[] Kervalen: t 5");
    enum { Boites = WM_USER, Menu, Supprimer };  // what the test does, besides sending messages
    const struct { int mode; bool principal; std::vector<std::pair<UINT, WPARAM>> envois; const char* vu; } cas[] = {
        {-1, false, {}, "create|destroy|~|refused"}, {2, false, {}, "~|refused"},
        {1, false, {}, "create|box[] Kervalen: M\xE9moire insuffisante. 16|destroy|~|refused"},
        {0, false, {{WM_CLOSE, 0}}, "create|destroy|~"}, {0, false, {{Supprimer, 0}}, "create|~"},
        {0, true, {{Boites, 0}, {WM_KEYDOWN, VK_END}, {WM_COMMAND, ID_APP_ABOUT}, {WM_COMMAND, ID_FILE_MRU_FILE1},
            {WM_COMMAND, ID_FILE_SAVE_AS}, {WM_COMMAND, ID_FILE_SAVE}, {Menu, 0}, {WM_COMMAND, ID_APP_EXIT}},
         "create|box[essai] Titre: u 0|box[essai] Kervalen: u 0|box[essai] Kervalen: t 48|key 35 3 30|new|new|"
         "box[essai] Kervalen: Erreur inattendue. 16|&barre d'outils=59392|&Nouveau\tCtrl+N=57600~|&Ouvrir...\tCtrl+O=57601~"
         "|&Enregistrer\tCtrl+S=57603|Enregistrer &sous...=57604~|-|Fichier r\xE9" "cent=57616|-|&quitter=57665|destroy|~|quit 0"}};
    for (const auto& c : cas) {
        const UINT refus = AfxGetRefusedWindowCount();
        Fenetre* f = c.principal ? new Derivee : new Fenetre(c.mode);  // a refused frame is deleted at once
        const HWND h = AfxGetRefusedWindowCount() != refus ? (Noter("refused"), nullptr) : f->m_hWnd;
        app.m_pMainWnd = c.principal ? f : nullptr;
        for (const auto& [m, w] : c.envois)
            if (m == Boites)
                f->MessageBox("u", "Titre"), f->MessageBox("u"), AfxMessageBox("t");
            else if (m == Menu)  // grayed where no handler answers, unless opened as a system menu
                Noter(Decrire(h, ::GetSubMenu(::GetMenu(h), 2), TRUE) + "|" + Decrire(h, ::GetSubMenu(::GetMenu(h), 0)));
            else
                m == Supprimer ? delete f : void(::SendMessageA(h, m, w, m == WM_KEYDOWN ? MAKELPARAM(3, 0x1E) : 0));
        Vider();
        EXPECT_EQ(Vu(), c.vu);
        EXPECT_TRUE(!::IsWindow(h) && app.m_pMainWnd == nullptr) << c.vu;
    }
}

TEST(Shell, ChecksFailOnEveryResultButZeroAndTheReportGivesItInSignedDecimal)
{
    const struct { HRESULT hr; const char* code; } cas[] = {{0, ""}, {1, ", code 1"}, {D3DERR_NOTAVAILABLE, ", code -2005530518"},
        {0x7FFFFFFF, ", code 2147483647"}, {static_cast<HRESULT>(0x80000000), ", code -2147483648"}};
    for (const auto& c : cas) {
        HRESULT lance = 42;  // 0 is thrown for a call that returned no object
        try { c.hr ? Verifier(c.hr) : Verifier(static_cast<IDirect3D9*>(nullptr)); } catch (HRESULT hr) { lance = hr; }
        EXPECT_EQ(std::to_string(lance) + MessageEchec(c.hr).operator LPCSTR(), std::to_string(c.hr) + "\xC9" "chec de l'op\xE9" "ration" + c.code);
    }
    EXPECT_NO_THROW((Verifier(D3D_OK), Verifier(reinterpret_cast<IDirect3D9*>(&g_vu))));
}

bool g_refuser = false;  // the system refuses the frame windows of this thread
LRESULT CALLBACK Crochet(int code, WPARAM w, LPARAM l)
{
    char k[16] = "";
    const bool cadre = code == HCBT_CREATEWND && ::GetClassNameA(reinterpret_cast<HWND>(w), k, 16) && std::string(k) == "CFrameWnd";
    return cadre ? (Noter("frame"), g_refuser) : ::CallNextHookEx(nullptr, code, w, l);
}

TEST(Shell, StartUpShowsTheFrameOrEndsWithCodeOneWhenOleOrTheWindowFails)
{
    enum { Normal, SansOle, Refus };
    const struct { int cas, show; const char* vu; } cas[] = {
        {SansOle, SW_SHOWNORMAL, "box[] Kervalen: Erreur au chargement de OLE 48|code 1|quit 7"},
        {Refus, SW_SHOWNORMAL, "frame|code 1|quit 7"}, {Normal, SW_SHOWMINIMIZED, "frame|code 7|Programme test minimised|quit 0"},
        {Normal, SW_SHOWNORMAL, "frame|code 7|Programme test shown|&Fichier(&Nouveau\tCtrl+N=57600~|&Ouvrir...\tCtrl+O=57601~|"
            "&Enregistrer\tCtrl+S=57603~|Enregistrer &sous...=57604~|-|Fichier r\xE9" "cent=57616~|-|&quitter=57665)|&Edition("
            "&Annuler\tCtrl+Z=57643~|-|&Couper\tCtrl+X=57635~|C&opier\tCtrl+C=57634~|Co&ller\tCtrl+V=57637~)|&Affichage("
            "&barre d'outils=59392~)|&Aide(&\xC0 propos de Kervalen...=57664)|quit 0"}};
    const HHOOK crochet = ::SetWindowsHookExA(WH_CBT, &Crochet, nullptr, ::GetCurrentThreadId());
    for (const auto& c : cas) {
        CKervalenApp app;
        g_refuser = c.cas == Refus;
        ASSERT_TRUE(c.cas != SansOle || ::CoInitializeEx(nullptr, COINIT_MULTITHREADED) == S_OK);
        ::PostQuitMessage(7);  // ends the loop at once; left waiting when start-up gives up
        Noter("code " + std::to_string(AfxWinMain(::GetModuleHandleA(nullptr), nullptr, nullptr, c.show)));
        if (c.cas == SansOle) ::CoUninitialize();
        if (const HWND h = app.m_pMainWnd ? app.m_pMainWnd->m_hWnd : nullptr) {
            Noter(Texte(h) + (::IsIconic(h) ? " minimised" : ::IsWindowVisible(h) ? " shown|" + Decrire(h, ::GetMenu(h)) : " hidden"));
            ::SendMessageA(h, WM_COMMAND, ID_APP_EXIT, 0);
            EXPECT_TRUE(!::IsWindow(h) && app.m_pMainWnd == nullptr);
        }
        Vider();
        EXPECT_EQ(Vu(), c.vu);
    }
    ::UnhookWindowsHookEx(crochet);
}

TEST(Shell, LoopAnimatesOnlyWhenNoMessageWaitsAndEndsWithTheQuitCode)
{
    const struct { std::vector<std::pair<UINT, WPARAM>> avant; std::map<int, UINT> scenario; const char* vu; } cas[] = {
        {{{WM_KEYDOWN, 'A'}, {WM_QUIT, 7}}, {}, "key 65 1 30|quit seen|code 7|char|destroy|~|quit 0"},
        {{{WM_APP, 0}, {WM_APP, 0}, {WM_APP, 0}}, {{4, WM_QUIT}}, "app|app|app|animer|animer|animer|animer|code 0|destroy|~|quit 0"},
        {{{WM_APP, 5}}, {{1, 0}}, "app|animer|code 5|destroy|~|quit 0"}, {{}, {{2, ID_APP_EXIT}}, "animer|animer|destroy|~|code 0"},
        {{}, {{1, ID_APP_ABOUT}, {3, WM_QUIT}}, "animer|About[\xC0 propos de Kervalen|centred|OK|version]|animer|animer|code 0|destroy|~|quit 0"}};
    for (const auto& c : cas) {
        CKervalenApp app;  // its own About command, the loop with this frame
        g_scenario = c.scenario;
        app.m_pMainWnd = new Fenetre;
        app.m_pMainWnd->ShowWindow(SW_SHOWNORMAL);
        Vider(), Vu();
        for (const auto& [m, w] : c.avant)
            ::PostMessageA(app.m_pMainWnd->m_hWnd, m, w, MAKELPARAM(1, ::MapVirtualKeyA(static_cast<UINT>(w), MAPVK_VK_TO_VSC)));
        Noter("code " + std::to_string(BouclerMessages<Fenetre>(app)));
        Vider();
        if (app.m_pMainWnd != nullptr) app.m_pMainWnd->DestroyWindow(), Vider();
        EXPECT_EQ(Vu(), c.vu);
    }
}
}  // namespace
