// The shell on real windows of this process, with the program's resources linked in: start-up
// through the program's own entry, the frame's side, its menu and About box, the loop.
#include "boucle.h"
#include "kervalen.h"
#include "mainfrm.h"

#include <gtest/gtest.h>

const char* CheminJournalNormales()
{
    return "NUL";   // the real frame's scene logs nowhere
}

namespace {

std::string Texte(HWND h)
{
    char t[64] = "";
    ::GetWindowTextA(h, t, sizeof t);
    return t;
}

// The menu as its popups show it: "text=id", "~" when grayed, "-" for a separator.
std::string Decrire(HWND w, HMENU h)
{
    ::SendMessageA(w, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(h), 0);
    std::string s;
    for (int i = 0; i < ::GetMenuItemCount(h); ++i) {
        char t[64] = "";
        ::GetMenuStringA(h, i, t, sizeof t, MF_BYPOSITION);
        const UINT etat = ::GetMenuState(h, i, MF_BYPOSITION);
        s += i ? "|" : "";
        if (HMENU sous = ::GetSubMenu(h, i))
            s += t + ("(" + Decrire(w, sous) + ")");
        else if (etat & MF_SEPARATOR)
            s += "-";
        else
            s += t + ("=" + std::to_string(::GetMenuItemID(h, i))) + (etat & MF_GRAYED ? "~" : "");
    }
    return s;
}

RECT g_donne;   // the rectangle the system gives the frame

LRESULT CALLBACK Placer(int code, WPARAM w, LPARAM l)
{
    const CWPSTRUCT* m = reinterpret_cast<const CWPSTRUCT*>(l);
    if (m->message == WM_CREATE && Texte(m->hwnd) == "Programme test")
        ::SetWindowPos(m->hwnd, nullptr, g_donne.left, g_donne.top, g_donne.right - g_donne.left,
                       g_donne.bottom - g_donne.top, SWP_NOZORDER | SWP_NOACTIVATE);
    return ::CallNextHookEx(nullptr, code, w, l);
}

std::string g_vu;   // what the boxes and the About box showed

void Vider()   // of the quit a loop left waiting, or a closed main window posted
{
    for (MSG m; ::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE);)
        ::DispatchMessageA(&m);
}

int Boite(HWND, LPCSTR texte, LPCSTR titre, UINT type)
{
    g_vu += std::string(titre) + ": " + texte + " " + std::to_string(type) + "|";
    return IDOK;
}

// The About box as it comes up: its title, OK button and version line; then OK.
LRESULT CALLBACK Lire(int code, WPARAM w, LPARAM l)
{
    const CWPRETSTRUCT* m = reinterpret_cast<const CWPRETSTRUCT*>(l);
    if (m->message == WM_INITDIALOG) {
        g_vu += Texte(m->hwnd) + (::GetDlgItem(m->hwnd, IDOK) ? ", OK" : "");
        g_vu +=
            ::FindWindowExA(m->hwnd, nullptr, "Static", "Kervalen Version 1.0") ? ", 1.0|" : "|";
        ::PostMessageA(m->hwnd, WM_COMMAND, IDOK, 0);
    }
    return ::CallNextHookEx(nullptr, code, w, l);
}

}   // namespace

// Whatever rectangle the system gives (set as WM_CREATE comes), the frame keeps its corner and
// takes the smaller side.
TEST(Shell, TheFrameIsMadeSquareOnTheSmallerSideOfItsRectangle)
{
    struct Cas
    {
        RECT donne, carre;
    } const cas[] = {
        {{100, 80, 1100, 780}, {100, 80, 800, 780}},
        {{100, 80, 700, 980}, {100, 80, 700, 680}},
        {{50, 60, 550, 560}, {50, 60, 550, 560}},
    };
    for (const Cas& c : cas) {
        g_donne = c.donne;
        const HHOOK crochet =
            ::SetWindowsHookExA(WH_CALLWNDPROC, &Placer, nullptr, ::GetCurrentThreadId());
        CMainFrame* f = new CMainFrame;
        ::UnhookWindowsHookEx(crochet);
        RECT r{};
        ::GetWindowRect(f->m_hWnd, &r);
        f->DestroyWindow();
        EXPECT_TRUE(::EqualRect(&r, &c.carre))
            << r.left << "," << r.top << " " << r.right - r.left << "x" << r.bottom - r.top;
    }
}

// Through the program's entry: OLE that cannot start ends it with a box and code 1, before any
// window; otherwise the frame is shown as asked, its menu grays what nothing answers, the About
// box comes, and the loop ends with the quit's code.
TEST(Shell, StartUpShowsTheFrameOrEndsWithCodeOneWhenOleFails)
{
    struct Cas
    {
        bool sansOle;
        int montrer;   // the show command the program is given
        const char* vu;
    } const cas[] = {
        {true, SW_SHOWNORMAL, "Kervalen: Erreur au chargement de OLE 48|code 1"},
        {false, SW_SHOWMINIMIZED, "code 7|Programme test minimised"},
        {false, SW_SHOWNORMAL,
         "code 7|Programme test shown|&Fichier(&Nouveau\tCtrl+N=57600~|&Ouvrir...\tCtrl+O=57601~|"
         "&Enregistrer\tCtrl+S=57603~|Enregistrer &sous...=57604~|-|Fichier r\xE9"
         "cent=57616~|-|&quitter=57665)|&Edition(&Annuler\tCtrl+Z=57643~|-|&Couper\tCtrl+X=57635~|"
         "C&opier\tCtrl+C=57634~|Co&ller\tCtrl+V=57637~)|&Affichage(&barre d'outils=59392~)|"
         "&Aide(&\xC0 propos de Kervalen...=57664)|\xC0 propos de Kervalen, OK, 1.0|"},
    };
    AfxSetMessageBoxFunction(&Boite);
    for (const Cas& c : cas) {
        g_vu.clear();
        CKervalenApp app;
        ASSERT_TRUE(!c.sansOle || ::CoInitializeEx(nullptr, COINIT_MULTITHREADED) == S_OK);
        ::PostQuitMessage(7);   // ends the loop at once
        const int code = AfxWinMain(::GetModuleHandleA(nullptr), nullptr, nullptr, c.montrer);
        g_vu += "code " + std::to_string(code);
        if (c.sansOle)
            ::CoUninitialize();
        Vider();
        if (const HWND h = app.m_pMainWnd ? app.m_pMainWnd->m_hWnd : nullptr) {
            g_vu += "|" + Texte(h) + (::IsIconic(h) ? " minimised" : " shown");
            if (c.montrer == SW_SHOWNORMAL) {
                g_vu += "|" + Decrire(h, ::GetMenu(h)) + "|";
                const HHOOK crochet =
                    ::SetWindowsHookExA(WH_CALLWNDPROCRET, &Lire, nullptr, ::GetCurrentThreadId());
                ::SendMessageA(h, WM_COMMAND, ID_APP_ABOUT, 0);
                ::UnhookWindowsHookEx(crochet);
            }
            ::SendMessageA(h, WM_COMMAND, ID_APP_EXIT, 0);
            EXPECT_FALSE(::IsWindow(h));
            Vider();
        }
        EXPECT_EQ(g_vu, c.vu);
    }
}

// A frame whose Animer notes whether a message was waiting, and after three calls posts a quit.
struct Anime : CFrameWnd
{
    Anime() { Create(nullptr, "essai"); }
    bool Animer()
    {
        attendait = attendait || HIWORD(::GetQueueStatus(QS_ALLINPUT)) != 0;
        if (++appels == 3)
            ::PostQuitMessage(5);
        return true;
    }
    int appels = 0;
    bool attendait = false;
};

TEST(Shell, TheLoopAnimatesOnlyWhenNoMessageWaitsAndEndsWithTheQuitCode)
{
    CKervalenApp app;
    Anime* cadre = new Anime;
    app.m_pMainWnd = cadre;
    for (int i = 0; i < 3; ++i)
        ::PostMessageA(cadre->m_hWnd, WM_APP, 0, 0);
    EXPECT_EQ(BouclerMessages<Anime>(app), 5);
    EXPECT_EQ(cadre->appels, 3);
    EXPECT_FALSE(cadre->attendait);
    cadre->DestroyWindow();
    Vider();
}
