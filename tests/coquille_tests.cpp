// The shell on real windows of this process: the square frame, the menu by what acts, the loop,
// a dialog without memory, and what rounds of every user action leave behind.
#include "Harnais.h"
#include "kervalen.h"

#include "aboutdlg.h"

// Whatever rectangle the system gives (set as WM_CREATE comes), the frame keeps its corner and
// takes the smaller side.
TEST_F(Cadre, IsMadeSquareOnTheSmallerSideOfItsRectangle)
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
        Fermer();
        Ouvrir({.place = c.donne});
        RECT r{};
        ::GetWindowRect(fenetre, &r);
        EXPECT_TRUE(::EqualRect(&r, &c.carre))
            << r.left << "," << r.top << " " << r.right - r.left << "x" << r.bottom - r.top;
    }
}

// Of the menu's items the two that act are enabled and do what they say, About first: its box,
// then "quitter", which closes the frame. Every other item is greyed.
TEST_F(Cadre, OnlyTheMenuItemsThatActAreEnabled)
{
    CKervalenApp app;
    app.m_pMainWnd = cadre;
    std::vector<UINT> actifs;
    const HMENU menu = ::GetMenu(fenetre);
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        const HMENU popup = ::GetSubMenu(menu, i);
        ::SendMessageA(fenetre, WM_INITMENUPOPUP, WPARAM(popup), i);
        for (int j = 0; j < ::GetMenuItemCount(popup); ++j)
            if (!(::GetMenuState(popup, j, MF_BYPOSITION) & (MF_SEPARATOR | MF_GRAYED)))
                actifs.insert(actifs.begin(), ::GetMenuItemID(popup, j));
    }
    for (const UINT id : actifs)
        ::SendMessageA(fenetre, WM_COMMAND, id, 0);
    EXPECT_EQ(actifs, (std::vector<UINT>{ID_APP_ABOUT, ID_APP_EXIT}));
    EXPECT_EQ(g.vu, "shown | \xC0 propos de Kervalen | OK");
    EXPECT_FALSE(::IsWindow(fenetre));
}

// Nor can a dialog be tied to its object without memory: it ends before it shows, and says why.
TEST(Shell, ADialogWithoutMemoryEndsBeforeItShows)
{
    g = Etat();
    CAboutDlg apropos;
    g_reste = 0;
    const INT_PTR r = apropos.DoModal();
    g_reste = -1;
    EXPECT_EQ(r, -1);
    EXPECT_EQ(g.vu, ": M\xE9moire insuffisante. ! | OK");
}

// Rounds of every user action on the shown frame: after two rounds to settle, no round leaves more
// allocations, windows, Direct3D references, handles or GDI objects than the round before.
TEST_F(Cadre, RoundsOfUserActionsLeaveNothingBehind)
{
    CKervalenApp app;
    app.m_pMainWnd = cadre;
    std::vector<long> avant;
    DWORD temps = 100000;
    for (int tour = 0; tour < 6; ++tour) {
        Touches("ehlurda");
        const HMENU menu = ::GetMenu(fenetre);
        for (int i = 0; i < ::GetMenuItemCount(menu); ++i)
            ::SendMessageA(fenetre, WM_INITMENUPOPUP, WPARAM(::GetSubMenu(menu, i)), i);
        ::SendMessageA(fenetre, WM_COMMAND, ID_APP_ABOUT, 0);
        ::SetWindowPos(fenetre, nullptr, 10 * tour, 20, 320 + tour, 340, SWP_NOZORDER);
        Systeme(SC_MINIMIZE);
        Tic(temps += 51);
        Systeme(SC_RESTORE);
        for (int k = 0; k < 3; ++k)
            Tic(temps += 51);
        const std::vector<long> apres = Comptes();
        ASSERT_TRUE(apres[4] > 0 && apres[5] > 0) << "handles and GDI objects uncounted";
        const char* const noms[] = {
            "allocations",         "windows", "Direct3D object's references",
            "device's references", "handles", "GDI objects"};
        for (std::size_t i = 0; tour >= 2 && i < apres.size(); ++i)
            EXPECT_LE(apres[i], avant[i]) << noms[i] << ", round " << tour;
        avant = apres;
    }
}
