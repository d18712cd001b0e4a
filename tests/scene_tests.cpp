// The scene on Wine's real Direct3D 9: what each draw finds bound, the picture, what deleting gives
// back, the log.
#include "Crochet.h"
#include "JournalNormales.h"
#include "Peripherique.h"
#include "Tourner.h"
#include "Village.h"

#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <cstring>

// The log goes to a file of this process's own.
const char* CheminJournalNormales()
{
    static const std::string chemin = [] {
        char d[MAX_PATH] = "";
        ::GetTempPathA(MAX_PATH, d);
        return d + ("kervalen-scene-" + std::to_string(::GetCurrentProcessId()));
    }();
    return chemin.c_str();
}

namespace {

struct Trace
{   // a DrawIndexedPrimitive's arguments and what it found bound on the device
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
HRESULT WINAPI Dessiner(IDirect3DDevice9* d, D3DPRIMITIVETYPE t, INT base, UINT mini, UINT n,
                        UINT debut, UINT nb)
{
    Trace tr;
    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DIndexBuffer9* ib = nullptr;
    UINT decalage;
    void *s, *i;
    d->GetStreamSource(0, &vb, &decalage, &tr.pas), d->GetIndices(&ib), d->GetFVF(&tr.fvf),
        d->GetMaterial(&tr.materiau), d->GetTransform(D3DTS_WORLD, &tr.monde);
    if (vb && SUCCEEDED(vb->GetDesc(&tr.vb)) && SUCCEEDED(vb->Lock(0, 0, &s, D3DLOCK_READONLY)))
        tr.sommets.assign(static_cast<Sommet*>(s), static_cast<Sommet*>(s) + tr.vb.Size / 24),
            vb->Unlock(), vb->Release();
    if (ib && SUCCEEDED(ib->GetDesc(&tr.ib)) && SUCCEEDED(ib->Lock(0, 0, &i, D3DLOCK_READONLY)))
        tr.index.assign(static_cast<WORD*>(i), static_cast<WORD*>(i) + tr.ib.Size / 2),
            ib->Unlock(), ib->Release();
    tr.appel = {UINT(t), UINT(base), mini, n, debut, nb}, traces.push_back(tr);
    return dessinerVrai(d, t, base, mini, n, debut, nb);
}

void Proche(const D3DXVECTOR3& a, const D3DVECTOR& v, float tol, const std::string& quoi)
{
    EXPECT_TRUE(std::fabs(v.x - a.x) <= tol && std::fabs(v.y - a.y) <= tol &&
                std::fabs(v.z - a.z) <= tol)
        << quoi << ": " << v.x << "," << v.y << "," << v.z;
}
bool Ambiant(const D3DMATERIAL9& m, D3DCOLORVALUE c)
{
    D3DMATERIAL9 a{};
    a.Ambient = c;
    return !std::memcmp(&m, &a, sizeof a);
}
const D3DCOLORVALUE kViolet{0.5f, 0, 0.5f, 1}, kRouge{1, 0, 0, 1}, kVert{0.25f, 0.75f, 0.25f, 1};

std::string Nouveau()   // what the log received since the last call
{
    static std::size_t lu = 0;
    std::ifstream f(CheminJournalNormales(), std::ios::binary);
    const std::string tout((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    return tout.substr(std::min(std::exchange(lu, tout.size()), tout.size()));
}

class Scene : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!p.device)
            FAIL() << "no Direct3D 9 device";
        dessinerVrai = Accrocher(p.device, Emplacement::DrawIndexedPrimitive, &Dessiner),
        base = References(p.device);
    }
    void TearDown() override
    {
        if (p.device)
            Accrocher(p.device, Emplacement::DrawIndexedPrimitive, dessinerVrai);
    }
    void Dessin(IDessinable& o)
    {
        traces.clear(), p.device->BeginScene(), o.Afficher(p.device), p.device->EndScene();
    }
    Peripherique p;
    ULONG base = 0;
};

}   // namespace

// Stood up as the program shows it: each draw's buffers, then the picture at points our own math
// projects.
TEST_F(Scene, VillageDrawsItsPrimitivesInTheirColoursAtTheirPlacesAndGivesEveryBufferBack)
{
    const float m = std::sqrt(2.0f), r = 16.97056f;
    const struct
    {
        std::vector<D3DXVECTOR3> pts;
        const char* sur;
        std::vector<D3DXVECTOR3> normales;
        const char* selon;
        std::vector<WORD> index;
        D3DCOLORVALUE c;
    } formes[] = {
        // about a house's corner or a tile's centre
        {{{0, 0, 0}, {0, 2, 0}, {2, 2, 0}, {2, 0, 0}, {2, 0, 2}, {2, 2, 2}, {0, 2, 2}, {0, 0, 2}},
         "012345670347165207613254",
         {{0, 0, -1}, {0, 0, 1}, {0, -1, 0}, {0, 1, 0}, {-1, 0, 0}, {1, 0, 0}},
         "000011112222333344445555",
         {0,  1,  2,  0,  2,  3,  4,  5,  7,  5,  6,  7,  8,  9,  11, 9,  10, 11,
          12, 13, 15, 13, 14, 15, 16, 17, 18, 18, 19, 16, 21, 22, 23, 21, 23, 20},
         kViolet},
        {{{1 - m, 1 - m, 2}, {1 - m, 1 + m, 2}, {1 + m, 1 + m, 2}, {1 + m, 1 - m, 2}, {1, 1, 4}},
         "0123403243142041",
         {{0, 0, -1}, {0, -r, 12}, {-r, 0, -12}, {0, r, 12}, {r, 0, -12}},
         "0000111222333444",   // 2 and 4 point inward
         {0, 1, 2, 0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15},
         kRouge},
        {{{-2.5f, -2.5f, 0}, {-2.5f, 2.5f, 0}, {2.5f, 2.5f, 0}, {2.5f, -2.5f, 0}},
         "01230123",
         {{0, 0, 1}, {0, 0, -1}},
         "00001111",
         {0, 1, 2, 0, 2, 3, 6, 5, 4, 7, 6, 4},
         kVert}};
    Village* v = new Village(p.device);
    D3DXMatrixRotationX(&v->ObtenirMonde(), -1.5707964f);
    const D3DXVECTOR3 oeil(0, 7.5f, -10), cible(0, 0, 0), haut(0, 1, 0);
    D3DXMATRIX vue, projection;
    p.device->SetTransform(D3DTS_VIEW, D3DXMatrixLookAtLH(&vue, &oeil, &cible, &haut));
    p.device->SetTransform(D3DTS_PROJECTION,
                           D3DXMatrixPerspectiveFovLH(&projection, 0.7853982f, 1.0f, 2.0f, 30.0f));
    p.device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE),
        p.device->SetRenderState(D3DRS_AMBIENT, 0xFFFFFFFF);
    p.device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF0000FF, 1.0f, 0);
    Dessin(*v);
    const Image im = LireCible(p.device);
    ASSERT_EQ(traces.size(), 14u);
    for (int i = 0; i < 14; ++i) {   // body and roof of houses 0, 1, 2, then the tiles row by row
        const auto& f = formes[i < 6 ? i % 2 : 2];
        const D3DXVECTOR3 o = i < 6 ? D3DXVECTOR3(i / 2 == 1 ? 5.f : 0.f, i / 2 == 2 ? 5.f : 0.f, 0)
                                    : D3DXVECTOR3(5.f * ((i - 6) % 4), 5.f * ((i - 6) / 4), -0.1f);
        const Trace& t = traces[i];
        const UINT n = UINT(std::strlen(f.sur));
        SCOPED_TRACE("draw " + std::to_string(i));
        EXPECT_EQ(t.appel,
                  (std::vector<UINT>{D3DPT_TRIANGLELIST, 0, 0, n, 0, UINT(f.index.size() / 3)}));
        EXPECT_TRUE(t.vb.Pool == D3DPOOL_DEFAULT && t.vb.FVF == Sommet::FVF &&
                    t.fvf == Sommet::FVF && t.pas == 24 && t.ib.Pool == D3DPOOL_DEFAULT &&
                    t.ib.Format == D3DFMT_INDEX16);
        EXPECT_TRUE(Ambiant(t.materiau, f.c));
        EXPECT_EQ(0, std::memcmp(&t.monde, &v->ObtenirMonde(), 64));
        EXPECT_EQ(t.index, f.index);
        ASSERT_EQ(t.sommets.size(), n);
        for (UINT k = 0; k < n; ++k)
            Proche(o + f.pts[f.sur[k] - '0'], t.sommets[k].Position, 1e-5f,
                   "position " + std::to_string(k)),
                Proche(f.normales[f.selon[k] - '0'], t.sommets[k].Normale, 1e-3f,
                       "normal " + std::to_string(k));
    }
    const struct
    {
        D3DXVECTOR3 q;
        std::uint32_t couleur;
    } points[] = {// house 1 is off to the right
                  {{1, 1 + 2 * m / 3, 8.0f / 3}, 0xFF0000},
                  {{1, 6 + 2 * m / 3, 8.0f / 3}, 0xFF0000},
                  {{1, 2, 1.2f}, 0x800080},
                  {{-1.5f, 0.5f, -0.1f}, 0x40BF40},
                  {{-1.5f, 4.5f, -0.1f}, 0x40BF40},
                  {{-2, -4, 3}, 0x0000FF}};
    const D3DXMATRIX t = v->ObtenirMonde() * vue * projection;
    for (const auto& c : points) {
        const float w = c.q.x * t._14 + c.q.y * t._24 + c.q.z * t._34 + t._44;
        const int x = int((1 + (c.q.x * t._11 + c.q.y * t._21 + c.q.z * t._31 + t._41) / w) * 128);
        const int y = int((1 - (c.q.x * t._12 + c.q.y * t._22 + c.q.z * t._32 + t._42) / w) * 128);
        for (int k = 0; k < 27; ++k)   // the pixel and its eight neighbours, channel by channel
            EXPECT_NEAR(int(im.pixel(x + k % 3 - 1, y + k / 3 % 3 - 1) >> k / 9 * 8 & 0xFF),
                        int(c.couleur >> k / 9 * 8 & 0xFF), 2)
                << x << "," << y;
    }
    delete v;
    EXPECT_EQ(References(p.device), base);
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

TEST_F(Scene, BufferThatCannotBeMadeOrLockedIsNeitherWrittenNorDrawnNorKept)
{
    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DIndexBuffer9* ib = nullptr;
    ASSERT_EQ(p.device->CreateVertexBuffer(24, 0, 0, D3DPOOL_DEFAULT, &vb, nullptr) |
                  p.device->CreateIndexBuffer(2, 0, D3DFMT_INDEX16, D3DPOOL_DEFAULT, &ib, nullptr),
              D3D_OK);
    base = References(p.device);
    using namespace Emplacement;
    const struct
    {
        void* objet;
        std::size_t emplacement;
        void* crochet;
    } pannes[] = {{p.device, CreateVertexBuffer, (void*)&CreationRefusee},
                  {p.device, CreateIndexBuffer, (void*)&CreationRefusee},
                  {vb, Lock, (void*)&VerrouRefuse},
                  {ib, Lock, (void*)&VerrouRefuse}};
    for (const auto& panne : pannes)
        for (int k = 0; k < 3; ++k) {
            void* vrai = Accrocher(panne.objet, panne.emplacement, panne.crochet);
            IDessinable* o =
                k == 0   ? static_cast<IDessinable*>(new Bloc({0, 0, 0}, {2, 2, 2}, p.device))
                : k == 1 ? static_cast<IDessinable*>(new Pyramide({0, 0, 0}, 2, p.device))
                         : new MorceauDePlan({0, 0, 0}, p.device);
            Accrocher(panne.objet, panne.emplacement, vrai);
            Dessin(*o);
            EXPECT_TRUE(traces.empty()) << "slot " << panne.emplacement << ", primitive " << k;
            delete o;
            EXPECT_EQ(References(p.device), base)
                << "slot " << panne.emplacement << ", primitive " << k;
        }
    vb->Release(), ib->Release();
}

TEST_F(Scene, NormalsLogHoldsFourLinesPerRoofWrittenAsItIsBuilt)
{
    Pyramide pyramide({0, 0, 0}, 0.001f, p.device);
    EXPECT_EQ(Nouveau(),
              "Normale: 0,-4.24264e-06,3e-06\r\nNormale: -4.24264e-06,0,-3e-06\r\nNormale: "
              "0,4.24264e-06,3e-06\r\nNormale: 4.24264e-06,0,-3e-06\r\n");
    const float unPeu = 1 + std::ldexp(1.0f, -12), grand = std::ldexp(1.0f, 30);
    const struct
    {
        D3DXVECTOR3 u, v, w;
        const char* ligne;
    } cas[] = {// products, then differences, in double: 2^-11 and 0 in float
               {{0, 0, 0}, {0, unPeu, 1}, {0, 1, unPeu}, "Normale: 0.000488341,0,0\r\n"},
               {{0, 1 / grand, 0}, {0, 1, 1}, {0, grand, grand}, "Normale: -1,0,0\r\n"}};
    for (const auto& c : cas)
        EXPECT_EQ((CalculerNormale(c.u, c.v, c.w), Nouveau()), c.ligne);
}

// A quarter turn about each object's position, on X, Y, Z by place (kept by a missing object).
TEST_F(Scene, TournerTurnsEachObjectAboutItsOwnPositionOnTheAxisOfItsPlace)
{
    MorceauDePlan a({1, 2, 3}, p.device), b({-4, 0, 5}, p.device), c({0, 6, -1}, p.device),
        d({7, 0, 2}, p.device);
    IDessinable* liste[] = {&a, nullptr, &b, &c, &d};
    std::for_each(std::begin(liste), std::end(liste), Tourner(1.5707964f));
    const D3DXVECTOR3 e[] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (int i = 0; i < 5; ++i)
        for (int k = 0; liste[i] && k < 2; ++k) {
            const D3DXVECTOR3 q = liste[i]->ObtenirPosition() + e[(i + k) % 3];
            const D3DXMATRIX& m = liste[i]->ObtenirMonde();
            const D3DXVECTOR3 vu(q.x * m._11 + q.y * m._21 + q.z * m._31 + m._41,
                                 q.x * m._12 + q.y * m._22 + q.z * m._32 + m._42,
                                 q.x * m._13 + q.y * m._23 + q.z * m._33 + m._43);
            Proche(liste[i]->ObtenirPosition() + e[(i + 2 * k) % 3], vu, 1e-5f,
                   "place " + std::to_string(i) + ", point " + std::to_string(k));
        }
}
