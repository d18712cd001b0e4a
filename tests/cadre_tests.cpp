// The main frame on Wine's real Direct3D 9 with a driven clock: the timing, the keys, the picture
// against its reference, and the device that is lost or cannot hold its buffers.
#include "Harnais.h"
#include "Math3D.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

// The log goes to a file of this process's own: a run of several cases at once shares no file.
const char* CheminJournalNormales()
{
    static const std::string chemin =
        std::getenv("TEMP") + ("\\kervalen-" + std::to_string(::GetCurrentProcessId()));
    return chemin.c_str();
}

namespace {

std::string Journal()
{
    std::ifstream f(CheminJournalNormales(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

D3DMATRIX Transformee(D3DTRANSFORMSTATETYPE t)
{
    D3DMATRIX m{};
    g.device->GetTransform(t, &m);
    return m;
}

// ---------------------------------------------------------------------------------------
// The picture as the reference keeps it: for each cell of 8 x 8 pixels the letter of the flat
// colour all its pixels have, + for any other; and the pixels of each flat colour.

const UINT kCellule = 8;
const char kLettres[] = "SBRG+";   // sky, body, roof, ground

// The letter's place in kLettres. The body's ambient 0.5 is 127.5 levels, which a rasteriser may
// round either way.
int Couleur(std::uint32_t pixel)
{
    const std::uint32_t plates[] = {0x0000FF, 0x800080, 0xFF0000, 0x40BF40, 0x7F007F};
    const int n = int(std::find(plates, std::end(plates), pixel) - plates);
    return n == 4 ? 1 : std::min(n, 4);
}

struct Releve
{
    std::vector<std::string> cellules;   // a row of cells a string
    long pixels[5];                      // of each flat colour (and of any other)
};

Releve Relever(const Image& im)
{
    Releve r{};
    for (UINT y = 0; y + kCellule <= im.hauteur; y += kCellule) {
        r.cellules.emplace_back();
        for (UINT x = 0; x + kCellule <= im.largeur; x += kCellule) {
            const std::uint32_t* p = &im.pixels[y * im.largeur + x];
            int c = Couleur(*p);
            for (UINT k = 0; k < kCellule * kCellule; ++k)
                c = Couleur(p[k / kCellule * im.largeur + k % kCellule]) == c ? c : 4;
            r.cellules.back() += kLettres[c];
        }
    }
    for (const std::uint32_t p : im.pixels)
        ++r.pixels[Couleur(p)];
    return r;
}

// The poses that between them show every face a user can see: a quarter turn, three quarters,
// three quarters again with the eye moved by the keys to either side along x, then up and nearer.
struct Pose
{
    DWORD ms;              // after start-up
    const char* touches;   // pressed before the tick: End, Home, Left, Up, Right, Down as "ehlurd"
    D3DXVECTOR3 oeil;      // where they take the eye
} const kPoses[] = {{750, "", {0, 7.5f, -10}},
                    {2250, "", {0, 7.5f, -10}},
                    {5250, "uuuuuuuu", {8, 7.5f, -10}},
                    {8250, "dddddddddddddddd", {-8, 7.5f, -10}},
                    {11250, "eellhra", {-8, 8.5f, -9}}};

// A line of each pose's pixels of S, B, R, G, then the rows of cells, the poses side by side.
// KERVALEN_ENREGISTRER=1 records the file again from the live pictures.
std::vector<Releve> Reference()
{
    std::vector<Releve> r(std::size(kPoses));
    std::ifstream f(KERVALEN_REFERENCE);
    std::string ligne;
    while (std::getline(f, ligne) && ligne[0] == '#') {
    }
    std::istringstream pixels(ligne);
    for (std::size_t k = 0; k < 4 * r.size(); ++k)
        pixels >> r[k / 4].pixels[k % 4];
    while (std::getline(f, ligne)) {
        std::istringstream cellules(ligne);
        for (Releve& pose : r)
            cellules >> pose.cellules.emplace_back();
    }
    return r;
}

void Enregistrer(const std::vector<Releve>& poses)
{
    std::ofstream f(KERVALEN_REFERENCE);
    f << "# The poses of tests/cadre_tests.cpp. Pixels of sky, body, roof, ground; then a letter\n"
         "# for each 8 x 8 cell whose pixels all have that flat colour (S, B, R, G), + else.\n";
    for (std::size_t k = 0; k < 4 * poses.size(); ++k)
        f << (k == 0 ? "" : k % 4 ? " " : "   ") << poses[k / 4].pixels[k % 4];
    for (std::size_t y = 0; y < poses[0].cellules.size(); ++y)
        for (const Releve& pose : poses)
            f << (&pose == &poses[0] ? '\n' : ' ') << pose.cellules[y];
    f << '\n';
}

// No flat cell may change, nor a colour's pixels by more than a fiftieth; cells on the shapes'
// edges may, one in a hundred, so that a rasteriser's update does not fail it for nothing.
void Comparer(const Releve& vu, const Releve& attendu)
{
    ASSERT_EQ(vu.cellules.size(), attendu.cellules.size());
    int plats = 0, bords = 0, cellules = 0;
    std::string ou;
    for (std::size_t y = 0; y < vu.cellules.size(); ++y)
        for (std::size_t x = 0; x < vu.cellules[y].size(); ++x, ++cellules) {
            const char a = vu.cellules[y][x], b = attendu.cellules[y].at(x);
            const bool plat = a != b && a != '+' && b != '+';
            ou += plat && ++plats <= 5 ? " " + std::to_string(x) + "," + std::to_string(y) : "";
            bords += a != b && !plat;
        }
    EXPECT_EQ(plats, 0) << "flat cells changed at" << ou;
    EXPECT_LE(bords * 100, cellules) << bords << " cells on edges differ";
    for (int c = 0; c < 4; ++c)
        EXPECT_NEAR(vu.pixels[c], attendu.pixels[c], attendu.pixels[c] / 50 + 32) << kLettres[c];
}

// Points of the scene projected by our own math, apart from the reference, each where the picture
// has its colour. Three quarters of a turn about x take (x, y, z) to (x, z, -y): the houses stand
// up, house 2 in front of house 0.
void Projeter(const Image& im, const Pose& pose)
{
    const float m = std::sqrt(2.0f);
    struct Point
    {
        DWORD pose;   // its time
        D3DXVECTOR3 q;
        char couleur;
    } const points[] = {
        {2250, {1, 1 + 2 * m / 3, 8.0f / 3}, 'R'},   // the roofs of houses 0 and 2, facing us
        {2250, {1, 6 + 2 * m / 3, 8.0f / 3}, 'R'},
        {2250, {1, 2, 1.2f}, 'B'},   // house 0's body: its faces at y = 2, x = 2, x = 0
        {5250, {2, 1.5f, 0.8f}, 'B'},
        {8250, {0, 1.5f, 0.8f}, 'B'},
        {11250, {0, 1.5f, 0.8f}, 'B'},
        {2250, {-1.5f, 4.5f, -0.1f}, 'G'},
        {2250, {-1.5f, -1.5f, -0.1f}, 'G'},
        {2250, {-2, -4, 3}, 'S'},
    };
    D3DXMATRIX monde, vue, projection;
    const D3DXVECTOR3 cible(0, 0, 0), haut(0, 1, 0);
    D3DXMatrixRotationX(&monde, 2.0943952f * pose.ms / 1000);
    D3DXMatrixLookAtLH(&vue, &pose.oeil, &cible, &haut);
    D3DXMatrixPerspectiveFovLH(&projection, 0.7853982f, 1, 2, 30);
    const D3DXMATRIX t = monde * vue * projection;
    for (const Point& c : points) {
        if (c.pose != pose.ms)
            continue;
        const float w = c.q.x * t._14 + c.q.y * t._24 + c.q.z * t._34 + t._44;
        const float x = c.q.x * t._11 + c.q.y * t._21 + c.q.z * t._31 + t._41;
        const float y = c.q.x * t._12 + c.q.y * t._22 + c.q.z * t._32 + t._42;
        const UINT px = UINT((1 + x / w) * im.largeur / 2), py = UINT((1 - y / w) * im.hauteur / 2);
        ASSERT_TRUE(px < im.largeur && py < im.hauteur) << px << "," << py;
        EXPECT_EQ(kLettres[Couleur(im.pixels[py * im.largeur + px])], c.couleur) << px << "," << py;
    }
}

}   // namespace

// Rows are readings of the clock: ms after the one before, images shown, the real time the turn
// follows, within what the elapsed seconds hold as a float. Run from before a wrap of the clock
// and from before its middle, so that the stalls of 2^31 - 1 and 2^31 + 1 ms past the due time
// each end once across a wrap: a signed reading took the second for a time before the due time.
TEST_F(Cadre, TicksActPastTheDueTimeAndTurnByTheRealTime)
{
    const DWORD sous = 0x80000000u + 49, sur = 0x80000000u + 51;   // the stalls
    struct Tick
    {
        DWORD apres;
        int images;
        double ms;
    } const ticks[] = {
        {0, 0, 0},   {1, 1, 1},       {50, 0, 0},    {1, 1, 51},  {51, 1, 51},
        {51, 1, 51}, {2000, 1, 2000}, {50, 0, 0},    {1, 1, 51},  {sous, 1, sous},
        {50, 0, 0},  {1, 1, 51},      {sur, 1, sur}, {51, 1, 51},
    };
    for (const DWORD debut : {0xFFFFFF00u, 0x7FFFFF00u}) {
        Fermer();
        Ouvrir({.temps = debut});
        DWORD temps = debut;
        for (const Tick& t : ticks) {
            SCOPED_TRACE(testing::Message() << std::hex << debut << " to " << temps + t.apres);
            const D3DMATRIX avant = Transformee(D3DTS_WORLD);
            EXPECT_EQ(Tic(temps += t.apres), t.images);
            const D3DMATRIX apres = Transformee(D3DTS_WORLD);
            const double tour = std::atan2(apres._23, apres._22) - std::atan2(avant._23, avant._22);
            EXPECT_NEAR(std::remainder(tour - 2.0943952 * t.ms / 1000, 6.283185307179586), 0,
                        2.1 * t.ms / 1000 * 0x1p-24 + 1e-5);
        }
    }
}

// The frame's own pictures at the poses, every draw keeping its relations, against the reference:
// each key moves the eye one unit whatever its repeat count, other keys nothing.
TEST_F(Cadre, PictureIsTheReferenceAtEveryPose)
{
    const std::vector<Releve> reference = Reference();
    std::vector<Releve> vus;
    D3DDEVICE_CREATION_PARAMETERS creation{};
    g.device->GetCreationParameters(&creation);
    EXPECT_EQ(creation.BehaviorFlags, DWORD(D3DCREATE_SOFTWARE_VERTEXPROCESSING));
    for (const Pose& pose : kPoses) {
        SCOPED_TRACE(testing::Message() << "pose at " << pose.ms << " ms");
        Touches(pose.touches);
        Tic(100000 + pose.ms);
        const Image im = LireCible(g.device);
        Projeter(im, pose);
        vus.push_back(Relever(im));
        if (!std::getenv("KERVALEN_ENREGISTRER"))
            Comparer(vus.back(), reference[vus.size() - 1]);
    }
    if (std::getenv("KERVALEN_ENREGISTRER"))
        Enregistrer(vus);
    EXPECT_EQ(g.fautes, "");
}

// A buffer that cannot be made or locked is neither written through nor drawn with, nor kept: the
// frame shows the sky alone and its device goes to zero at close, before the Direct3D object.
TEST_F(Cadre, BuffersThatCannotBeMadeOrLockedAreNeitherDrawnNorKept)
{
    for (const Refus refus : {Refus::CreerSommets, Refus::CreerIndex, Refus::VerrouillerSommets,
                              Refus::VerrouillerIndex}) {
        SCOPED_TRACE(int(refus));
        Fermer();
        Ouvrir({.refus = refus});
        Tic(100001);
        const Image im = LireCible(g.device);
        EXPECT_EQ(Relever(im).pixels[0], long(im.pixels.size()));
        EXPECT_EQ(g.dessins, 0);
        Fermer();
        EXPECT_EQ(g.liberes, "PD");
    }
}

// A device lost, or failing otherwise, comes back with the picture of the eye as the keys left it
// meanwhile, the turn caught up with the clock, the log as it was. Lost, it is asked once an
// interval whether it can be reset; failing otherwise, it is made again with the Direct3D object
// that makes it, each given back first (P a device, D a Direct3D object); a device that comes lost
// is asked for again. Neither is tried while the window has no client area (minimised before, or
// during the loss). The real Reset, refused while a buffer lives or is bound, takes the client's
// size and the desktop's current format.
TEST_F(Cadre, ADeviceLostOrFailingComesBackWithThePictureOfTheEyeAsItWas)
{
    const HRESULT P = D3DERR_DEVICELOST, N = D3DERR_DEVICENOTRESET;         // lost, can be reset
    const HRESULT F = D3DERR_DRIVERINTERNALERROR, I = D3DERR_INVALIDCALL;   // failures
    enum Minimise { Jamais, Avant, Pendant };
    struct Retour
    {
        const char* nom;
        Etat script;
        Minimise quand;
        int images;            // shown over three intervals
        int questions;         // TestCooperativeLevel meanwhile
        const char* liberes;   // reached zero, the close included
    } const retours[] = {
        {"LostAgainInReset", {.present = {P}, .tcl = {P, N, N}, .reset = {P}}, Jamais, 0, 3, "PD"},
        {"LostWhileMinimised", {.present = {P}, .tcl = {P, N, N, N}}, Avant, 0, 3, "PD"},
        {"MinimisedWhileLost", {.present = {P}, .tcl = {P, N, N, N}}, Pendant, 0, 3, "PD"},
        {"PresentFails", {.present = {F}}, Jamais, 3, 0, "PDPD"},
        {"PresentFailsWhileMinimised", {.present = {F}}, Avant, 0, 0, "PDPD"},
        {"MadeAgainLost", {.creation = {0, P}, .present = {F}}, Jamais, 2, 0, "PDDPD"},
        {"ResetFails", {.present = {P}, .tcl = {N}, .reset = {I}}, Jamais, 2, 1, "PDPD"},
        {"Format", {.present = {P}, .tcl = {N}, .formats = {D3DFMT_R5G6B5}}, Jamais, 2, 1, "PD"},
    };
    for (const Retour& r : retours) {
        SCOPED_TRACE(r.nom);
        Fermer();
        Ouvrir(r.script);
        const std::string journal = Journal();
        if (r.quand == Avant)
            Systeme(SC_MINIMIZE);
        EXPECT_EQ(Tic(100001), 1);
        if (r.quand == Pendant)
            Systeme(SC_MINIMIZE);
        Touches(kPoses[2].touches);
        int images = 0;
        for (DWORD t = 100052; t < 100200; t += 51) {
            images += Tic(t);
            EXPECT_EQ(Tic(t + 50), 0);   // within the interval: not asked
        }
        EXPECT_EQ(images, r.images);
        EXPECT_EQ(g.questions, r.questions);
        if (r.quand != Jamais)
            Systeme(SC_RESTORE);
        Tic(103000);
        Tic(100000 + kPoses[2].ms + 3000);
        ASSERT_TRUE(::IsWindow(fenetre)) << g.vu;
        Comparer(Relever(LireCible(g.device)), Reference()[2]);   // read in the desktop's format
        EXPECT_EQ(g.liesAuReset, 0);
        EXPECT_EQ(Journal(), journal);
        Fermer();
        EXPECT_EQ(g.liberes, r.liberes);
        EXPECT_EQ(std::count(g.liberes.begin(), g.liberes.end(), 'P'), g.peripheriques);
        EXPECT_EQ(std::count(g.liberes.begin(), g.liberes.end(), 'D'), g.objets);
    }
}
