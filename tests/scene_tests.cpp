// The scene on Wine's real Direct3D 9: what each draw finds bound, read back from the buffers,
// the picture, what deleting gives back, the log.
#include "Crochet.h"
#include "JournalNormales.h"
#include "Liberer.h"
#include "Peripherique.h"
#include "Village.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <tuple>

// The log goes to a file of this process's own.
const char* CheminJournalNormales()
{
    static const std::string chemin = [] {
        char dossier[MAX_PATH] = "";
        ::GetTempPathA(MAX_PATH, dossier);
        return dossier + ("kervalen-scene-" + std::to_string(::GetCurrentProcessId()));
    }();
    return chemin.c_str();
}

namespace {

// A DrawIndexedPrimitive's arguments and what it found bound on the device.
struct Trace
{
    std::vector<UINT> appel;
    std::vector<Sommet> sommets;
    std::vector<WORD> index;
    D3DVERTEXBUFFER_DESC vb{};
    D3DINDEXBUFFER_DESC ib{};
    D3DMATERIAL9 materiau{};
    D3DMATRIX monde{};
    DWORD fvf = 0;
    UINT pas = 0;
};
std::vector<Trace> traces;
HRESULT(WINAPI* dessinerVrai)(IDirect3DDevice9*, D3DPRIMITIVETYPE, INT, UINT, UINT, UINT, UINT);

template <class T, class Tampon>
std::vector<T> Lire(Tampon* tampon, UINT taille)
{
    std::vector<T> contenu;
    void* p = nullptr;
    if (SUCCEEDED(tampon->Lock(0, 0, &p, D3DLOCK_READONLY))) {
        contenu.assign(static_cast<T*>(p), static_cast<T*>(p) + taille / sizeof(T));
        tampon->Unlock();
    }
    return contenu;
}

HRESULT WINAPI Dessiner(IDirect3DDevice9* d, D3DPRIMITIVETYPE t, INT base, UINT mini, UINT n,
                        UINT debut, UINT nb)
{
    Trace tr;
    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DIndexBuffer9* ib = nullptr;
    UINT decalage = 0;
    d->GetStreamSource(0, &vb, &decalage, &tr.pas);
    d->GetIndices(&ib);
    d->GetFVF(&tr.fvf);
    d->GetMaterial(&tr.materiau);
    d->GetTransform(D3DTS_WORLD, &tr.monde);
    if (vb && ib && SUCCEEDED(vb->GetDesc(&tr.vb)) && SUCCEEDED(ib->GetDesc(&tr.ib))) {
        tr.sommets = Lire<Sommet>(vb, tr.vb.Size);
        tr.index = Lire<WORD>(ib, tr.ib.Size);
    }
    Liberer(vb);
    Liberer(ib);
    tr.appel = {UINT(t), UINT(base), mini, n, debut, nb};
    traces.push_back(tr);
    return dessinerVrai(d, t, base, mini, n, debut, nb);
}

bool Pres(const D3DVECTOR& v, const D3DXVECTOR3& attendu, float tolerance)
{
    return std::fabs(v.x - attendu.x) <= tolerance && std::fabs(v.y - attendu.y) <= tolerance &&
           std::fabs(v.z - attendu.z) <= tolerance;
}

class Scene : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(p.device) << "no Direct3D 9 device";
        dessinerVrai = Accrocher(p.device, Emplacement::DrawIndexedPrimitive, &Dessiner);
        references = References(p.device);
    }
    void TearDown() override
    {
        if (p.device)
            Accrocher(p.device, Emplacement::DrawIndexedPrimitive, dessinerVrai);
    }
    void Dessin(IDessinable& objet)
    {
        traces.clear();
        p.device->BeginScene();
        objet.Afficher(p.device);
        p.device->EndScene();
    }

    Peripherique p;
    ULONG references = 0;
};

}   // namespace

// As the program shows it: each draw's buffers, then the picture at points our own math
// projects, then every buffer given back.
TEST_F(Scene, VillageDrawsItsPrimitivesInTheirColoursAtTheirPlacesAndGivesEveryBufferBack)
{
    const float m = std::sqrt(2.0f);
    const float r = 16.97056f;
    // About a house's corner or a tile's centre. Each vertex names its corner and its normal by
    // their place in the lists.
    struct Forme
    {
        std::vector<D3DXVECTOR3> coins;
        const char* coinDe;
        std::vector<D3DXVECTOR3> normales;
        const char* normaleDe;
        std::vector<WORD> index;
        D3DCOLORVALUE ambiant;
    } const corps = {
        {{0, 0, 0}, {0, 2, 0}, {2, 2, 0}, {2, 0, 0}, {2, 0, 2}, {2, 2, 2}, {0, 2, 2}, {0, 0, 2}},
        "012345670347165207613254",
        {{0, 0, -1}, {0, 0, 1}, {0, -1, 0}, {0, 1, 0}, {-1, 0, 0}, {1, 0, 0}},
        "000011112222333344445555",
        {0,  1,  2,  0,  2,  3,  4,  5,  7,  5,  6,  7,  8,  9,  11, 9,  10, 11,
         12, 13, 15, 13, 14, 15, 16, 17, 18, 18, 19, 16, 21, 22, 23, 21, 23, 20},
        {0.5f, 0, 0.5f, 1},
    };
    const Forme toit = {
        {{1 - m, 1 - m, 2}, {1 - m, 1 + m, 2}, {1 + m, 1 + m, 2}, {1 + m, 1 - m, 2}, {1, 1, 4}},
        "0123403243142041",
        {{0, 0, -1}, {0, -r, 12}, {-r, 0, -12}, {0, r, 12}, {r, 0, -12}},   // 2 and 4 inward
        "0000111222333444",
        {0, 1, 2, 0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15},
        {1, 0, 0, 1},
    };
    const Forme dalle = {
        {{-2.5f, -2.5f, 0}, {-2.5f, 2.5f, 0}, {2.5f, 2.5f, 0}, {2.5f, -2.5f, 0}},
        "01230123",
        {{0, 0, 1}, {0, 0, -1}},
        "00001111",
        {0, 1, 2, 0, 2, 3, 6, 5, 4, 7, 6, 4},
        {0.25f, 0.75f, 0.25f, 1},
    };
    Village* village = new Village(p.device);
    D3DXMatrixRotationX(&village->ObtenirMonde(), -1.5707964f);
    const D3DXVECTOR3 oeil(0, 7.5f, -10), cible(0, 0, 0), haut(0, 1, 0);
    D3DXMATRIX vue, projection;
    p.device->SetTransform(D3DTS_VIEW, D3DXMatrixLookAtLH(&vue, &oeil, &cible, &haut));
    p.device->SetTransform(D3DTS_PROJECTION,
                           D3DXMatrixPerspectiveFovLH(&projection, 0.7853982f, 1, 2, 30));
    p.device->SetRenderState(D3DRS_AMBIENT, 0xFFFFFFFF);
    p.device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF0000FF, 1, 0);
    Dessin(*village);
    const Image im = LireCible(p.device);
    ASSERT_EQ(traces.size(), 14u);
    for (std::size_t i = 0; i < traces.size(); ++i) {
        SCOPED_TRACE("draw " + std::to_string(i));
        // Body and roof of the houses at (0, 0), (5, 0), (0, 5), then the tiles row by row.
        const D3DXVECTOR3 maisons[] = {{0, 0, 0}, {5, 0, 0}, {0, 5, 0}};
        const Forme& f = i >= 6 ? dalle : i % 2 ? toit : corps;
        const D3DXVECTOR3 origine =
            i < 6 ? maisons[i / 2] : D3DXVECTOR3(5.0f * ((i - 6) % 4), 5.0f * ((i - 6) / 4), -0.1f);
        const Trace& t = traces[i];
        const UINT n = UINT(std::strlen(f.coinDe));
        D3DMATERIAL9 materiau{};
        materiau.Ambient = f.ambiant;
        EXPECT_EQ(t.appel,
                  (std::vector<UINT>{D3DPT_TRIANGLELIST, 0, 0, n, 0, UINT(f.index.size() / 3)}));
        EXPECT_EQ(std::tie(t.vb.Pool, t.ib.Pool, t.vb.FVF, t.fvf, t.pas, t.ib.Format),
                  std::make_tuple(D3DPOOL_DEFAULT, D3DPOOL_DEFAULT, Sommet::FVF, Sommet::FVF, 24u,
                                  D3DFMT_INDEX16));
        EXPECT_EQ(std::memcmp(&t.materiau, &materiau, sizeof materiau), 0);
        EXPECT_EQ(std::memcmp(&t.monde, &village->ObtenirMonde(), 64), 0);
        EXPECT_EQ(t.index, f.index);
        ASSERT_EQ(t.sommets.size(), n);
        for (UINT k = 0; k < n; ++k) {
            const Sommet& s = t.sommets[k];
            EXPECT_TRUE(Pres(s.Position, origine + f.coins[f.coinDe[k] - '0'], 1e-5f))
                << "position " << k;
            EXPECT_TRUE(Pres(s.Normale, f.normales[f.normaleDe[k] - '0'], 1e-3f)) << "normal " << k;
        }
    }
    struct Point
    {
        D3DXVECTOR3 q;
        std::uint32_t couleur;
    } const points[] = {
        {{1, 1 + 2 * m / 3, 8.0f / 3}, 0xFF0000},   // the roofs of houses 0 and 1
        {{1, 6 + 2 * m / 3, 8.0f / 3}, 0xFF0000}, {{1, 2, 1.2f}, 0x800080},   // house 0's body
        {{-1.5f, 0.5f, -0.1f}, 0x40BF40},                                     // two tiles
        {{-1.5f, 4.5f, -0.1f}, 0x40BF40},         {{-2, -4, 3}, 0x0000FF},    // the sky
    };
    const D3DXMATRIX tout = village->ObtenirMonde() * vue * projection;
    for (const Point& c : points) {
        const float w = c.q.x * tout._14 + c.q.y * tout._24 + c.q.z * tout._34 + tout._44;
        const float x = c.q.x * tout._11 + c.q.y * tout._21 + c.q.z * tout._31 + tout._41;
        const float y = c.q.x * tout._12 + c.q.y * tout._22 + c.q.z * tout._32 + tout._42;
        const int px = int((1 + x / w) * Peripherique::kCote / 2);
        const int py = int((1 - y / w) * Peripherique::kCote / 2);
        for (int k = 0; k < 27; ++k) {   // the pixel and its eight neighbours, channel by channel
            const std::uint32_t vu = im.pixel(px + k % 3 - 1, py + k / 3 % 3 - 1);
            EXPECT_NEAR(int(vu >> k / 9 * 8 & 0xFF), int(c.couleur >> k / 9 * 8 & 0xFF), 2)
                << px << "," << py;
        }
    }
    delete village;
    EXPECT_EQ(References(p.device), references);
}

HRESULT WINAPI CreationRefusee(void*, UINT, DWORD, DWORD, D3DPOOL, void** pp, HANDLE*)
{
    *pp = nullptr;
    return E_OUTOFMEMORY;
}

HRESULT WINAPI VerrouRefuse(void*, UINT, UINT, void** pp, DWORD)
{
    *pp = nullptr;
    return D3DERR_INVALIDCALL;
}

// A primitive whose buffer cannot be made or locked neither draws nor keeps anything.
TEST_F(Scene, BufferThatCannotBeMadeOrLockedIsNeitherWrittenNorDrawnNorKept)
{
    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DIndexBuffer9* ib = nullptr;
    ASSERT_EQ(p.device->CreateVertexBuffer(24, 0, 0, D3DPOOL_DEFAULT, &vb, nullptr), D3D_OK);
    ASSERT_EQ(p.device->CreateIndexBuffer(2, 0, D3DFMT_INDEX16, D3DPOOL_DEFAULT, &ib, nullptr),
              D3D_OK);
    references = References(p.device);
    struct Panne
    {
        void* objet;   // whose method table: every buffer of a kind shares one
        std::size_t place;
        void* crochet;
    } const pannes[] = {
        {p.device, Emplacement::CreateVertexBuffer, reinterpret_cast<void*>(&CreationRefusee)},
        {p.device, Emplacement::CreateIndexBuffer, reinterpret_cast<void*>(&CreationRefusee)},
        {vb, Emplacement::Lock, reinterpret_cast<void*>(&VerrouRefuse)},
        {ib, Emplacement::Lock, reinterpret_cast<void*>(&VerrouRefuse)},
    };
    for (const Panne& panne : pannes)
        for (int k = 0; k < 3; ++k) {
            SCOPED_TRACE(testing::Message() << "slot " << panne.place << ", primitive " << k);
            void* vrai = Accrocher(panne.objet, panne.place, panne.crochet);
            IDessinable* o =
                k == 0   ? static_cast<IDessinable*>(new Bloc({0, 0, 0}, {2, 2, 2}, p.device))
                : k == 1 ? static_cast<IDessinable*>(new Pyramide({0, 0, 0}, 2, p.device))
                         : new MorceauDePlan({0, 0, 0}, p.device);
            Accrocher(panne.objet, panne.place, vrai);
            Dessin(*o);
            EXPECT_TRUE(traces.empty());
            delete o;
            EXPECT_EQ(References(p.device), references);
        }
    vb->Release();
    ib->Release();
}

// Each normal is computed in double from the float corners and rounded once, then logged in a
// line of its own. In float, the first product would be 2^-11 and the second difference 0.
TEST_F(Scene, NormalsAreComputedInDoubleAndLoggedOneALine)
{
    const float unPeu = 1 + std::ldexp(1.0f, -12);
    const float grand = std::ldexp(1.0f, 30);
    struct Cas
    {
        D3DXVECTOR3 u, v, w;
        const char* ligne;
    } const cas[] = {
        {{0, 0, 0}, {0, unPeu, 1}, {0, 1, unPeu}, "Normale: 0.000488341,0,0\r\n"},
        {{0, 1 / grand, 0}, {0, 1, 1}, {0, grand, grand}, "Normale: -1,0,0\r\n"},
    };
    for (const Cas& c : cas) {
        std::ifstream avant(CheminJournalNormales(), std::ios::binary | std::ios::ate);
        const std::streamoff lu = avant ? std::streamoff(avant.tellg()) : 0;
        CalculerNormale(c.u, c.v, c.w);
        std::ifstream apres(CheminJournalNormales(), std::ios::binary);
        const std::string tout((std::istreambuf_iterator<char>(apres)),
                               std::istreambuf_iterator<char>());
        EXPECT_EQ(tout.substr(std::size_t(lu)), c.ligne);
    }
}
