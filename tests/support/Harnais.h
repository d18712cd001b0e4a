// What the program's tests share: memory that runs out when a test says so, the real runtime's
// calls answered as a script says or watched through its method tables (Crochet.h), a clock the
// test drives, the system's own boxes read as they show and answered, the picture read back.
#pragma once

#include "mainfrm.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

// Allocation number g_reste fails (0: the next one; -1: none), with g_plusRien every one after it
// too; g_echecs counts the failures, g_vivantes the allocations not given back. The test's own
// code that runs meanwhile uses SansPanne.
extern long g_reste, g_echecs, g_vivantes;
extern bool g_plusRien;
struct SansPanne
{
    const long reste = g_reste;
    SansPanne() { g_reste = -1; }
    ~SansPanne() { g_reste = reste; }
};

// A request another program posts to the window that owns a box while the box is up.
struct Demande
{
    UINT message;
    WPARAM w;
};

// The buffer calls that fail, for every buffer.
enum class Refus { Aucun, CreerSommets, CreerIndex, VerrouillerSommets, VerrouillerIndex };

// Memory runs out from allocation n on, at n alone or at every later one too: at start-up, or in
// the rebuild once a real Reset has made way for it.
enum class Memoire { Suffit, AuDemarrage, UneFoisAuRetour, AuRetour };

// A run's script, and what the hooks saw. A scripted answer 0 lets the real call answer;
// Direct3DCreate9 gives no object for any other.
struct Etat
{
    DWORD temps = 100000;   // the frame's clock, ms
    DWORD pas = 0;          // added at each reading; the user closes the frame at the 100th
    std::deque<HRESULT> creer, mode, creation, present, tcl, reset;
    std::deque<D3DFORMAT> formats;   // the display's format, as the next readings give it
    Refus refus = Refus::Aucun;
    Demande demande{};             // posted while a box is up, before its OK
    UINT commande = 0;             // chosen in the menu as soon as the frame shows
    long memoire = -1;             // g_reste once a real Reset has succeeded
    RECT place{0, 0, 256, 256};    // the frame's, given as it is created
    bool ole = true;               // false: OLE cannot start
    int montrer = SW_SHOWNORMAL;   // the show command the program is given
    Memoire epuise = Memoire::Suffit;

    IDirect3D9* d3d = nullptr;   // the last ones handed out
    IDirect3DDevice9* device = nullptr;
    int objets = 0, peripheriques = 0;   // Direct3D objects and devices handed out
    std::string liberes;                 // as each reaches zero: D a Direct3D object, P a device
    int presents = 0, questions = 0, lectures = 0, dessins = 0;
    int liesAuReset = 0;    // buffers still bound when Reset came
    std::string fautes;     // the draws that break a relation every draw keeps
    std::string vu;         // what the user saw (Noter)
    HWND boite = nullptr;   // the last box shown
};
extern Etat g;

// Adds to g.vu, after " | ": "shown" as the frame shows, each box as it shows (caption: text, " !"
// with an icon), "OK" as its OK finds it up, "goes on" at the frame's first tick after it.
void Noter(const std::string& vu);

// Dispatches what waits; the code of the quit among it, -1 for none.
int Vider();

// The program from its own entry as g says; the clock runs by itself. Its exit code.
int Lancer();

// Render target 0 as 0x00RRGGBB pixels; empty when unreadable.
struct Image
{
    UINT largeur = 0, hauteur = 0;
    std::vector<std::uint32_t> pixels;
};
Image LireCible(IDirect3DDevice9* device);

// The windows of this thread; what the process holds with a frame up: C++ allocations, windows,
// references of the Direct3D object and of the device, handles and GDI objects.
long Fenetres();
std::vector<long> Comptes();

// The program's frame on a window of fixed size (g.place), shown, its clock driven by the test.
// The framework deletes it with its window.
class Cadre : public ::testing::Test
{
protected:
    void SetUp() override { Ouvrir(); }
    void TearDown() override { Fermer(); }
    void Ouvrir(const Etat& script = {});
    void Fermer();   // as the user closes it
    // One reading of the clock at `temps`; the images shown.
    int Tic(DWORD temps);
    // Keys held down (a repeat count of 5): End, Home, Left, Up, Right, Down as "ehlurd", any other
    // letter its own key.
    void Touches(const char* touches);
    void Systeme(WPARAM commande);   // of the system menu

    CMainFrame* cadre = nullptr;
    HWND fenetre = nullptr;
};
