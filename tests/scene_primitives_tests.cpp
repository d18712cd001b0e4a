// The three primitives that own Direct3D buffers (box, pyramid, ground tile) against the
// recording device: buffer creation, the bytes written, the drawing calls, the releases,
// degenerate sizes and buffers that cannot be had.
#include "Bloc.h"
#include "Liberer.h"
#include "MorceauDePlan.h"
#include "Pyramide.h"
#include "RecordingDevice.h"
#include "SceneLecture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

using namespace kvtest;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

const std::uintptr_t kStride = 24;
const std::uintptr_t kFvf = D3DFVF_XYZ | D3DFVF_NORMAL;

struct Primitive
{
    std::string nom;
    std::function<IDessinable*(IDirect3DDevice9*)> construire;
    UINT sommets, index, triangles;
    D3DCOLORVALUE ambiante;
    std::vector<std::uint16_t> tableIndex;
};

std::vector<Primitive> Primitives()
{
    return {
        {"Bloc", [](IDirect3DDevice9* d) { return new Bloc(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(2, 2, 2), d); },
         24, 36, 12, {0.5f, 0, 0.5f, 1},
         {0, 1, 2, 0, 2, 3, 4, 5, 7, 5, 6, 7, 8, 9, 11, 9, 10, 11, 12, 13, 15, 13, 14, 15,
          16, 17, 18, 18, 19, 16, 21, 22, 23, 21, 23, 20}},
        {"Pyramide", [](IDirect3DDevice9* d) { return new Pyramide(D3DXVECTOR3(0, 0, 0), 1.0f, d); },
         16, 18, 6, {1, 0, 0, 1},
         {0, 1, 2, 0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
        {"MorceauDePlan", [](IDirect3DDevice9* d) { return new MorceauDePlan(D3DXVECTOR3(0, 0, -0.1f), d); },
         8, 12, 4, {0.25f, 0.75f, 0.25f, 1},
         {0, 1, 2, 0, 2, 3, 6, 5, 4, 7, 6, 4}},
    };
}

void PrintTo(const Primitive& p, std::ostream* os) { *os << p.nom; }

std::string NomDe(const ::testing::TestParamInfo<Primitive>& info) { return info.param.nom; }

bool EstIdentite(const D3DMATRIX& m)
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            if (m.m[i][j] != (i == j ? 1.0f : 0.0f))
                return false;
    return true;
}

class PrimitiveSurEnregistreur : public ::testing::TestWithParam<Primitive>
{
};

} // namespace

// ---------------------------------------------------------------------------------------
// What every primitive shares

TEST_P(PrimitiveSurEnregistreur, CreatesFillsAndUnlocksBothBuffersInOrder)
{
    const Primitive& p = GetParam();
    RecordingDevice device;
    std::unique_ptr<IDessinable> objet(p.construire(&device));

    const Journal& j = device.journal();
    ASSERT_THAT(j.methods(), ElementsAre("CreateVertexBuffer", "Lock", "Unlock",
                                         "CreateIndexBuffer", "Lock", "Unlock"));
    EXPECT_EQ(j[0].args[0], p.sommets * 24u);
    EXPECT_EQ(j[0].args[1], 0u);                                   // readable: no write-only
    EXPECT_EQ(j[0].args[2], kFvf);
    EXPECT_EQ(j[0].args[3], std::uintptr_t(D3DPOOL_DEFAULT));
    EXPECT_EQ(j[0].args[5], 0u);                                   // no shared handle
    EXPECT_THAT(j[3].args, ElementsAre(p.index * 2u, std::uintptr_t(D3DUSAGE_WRITEONLY),
                                       std::uintptr_t(D3DFMT_INDEX16), std::uintptr_t(D3DPOOL_DEFAULT),
                                       ::testing::_, 0u));
    for (std::size_t lock : {std::size_t(1), std::size_t(4)}) {
        EXPECT_EQ(j[lock].args[0], 0u);
        EXPECT_EQ(j[lock].args[1], 0u);
        EXPECT_EQ(j[lock].args[3], 0u);
    }
    EXPECT_EQ(j[1].object, j[0].created);
    EXPECT_EQ(j[4].object, j[3].created);

    ASSERT_EQ(device.indexBuffers().size(), 1u);
    const RecordingIndexBuffer& ib = *device.indexBuffers()[0];
    EXPECT_THAT(LireIndex(ib), ElementsAreArray(p.tableIndex));
    for (std::uint16_t i : LireIndex(ib))
        EXPECT_LT(i, p.sommets);
    EXPECT_FALSE(device.vertexBuffers()[0]->overrun());
    EXPECT_FALSE(ib.overrun());
    EXPECT_FALSE(device.vertexBuffers()[0]->locked());
    EXPECT_FALSE(ib.locked());
    EXPECT_EQ(device.addRefCalls() + device.releaseCalls(), 0);    // the device is only borrowed
}

TEST_P(PrimitiveSurEnregistreur, AfficherSetsItsWorldMatrixThenTracerMakesTheFiveDrawingCalls)
{
    const Primitive& p = GetParam();
    RecordingDevice device;
    std::unique_ptr<IDessinable> objet(p.construire(&device));
    device.journal().clear();

    objet->Afficher(&device);

    const Journal& j = device.journal();
    ASSERT_THAT(j.methods(), ElementsAre("SetTransform", "SetMaterial", "SetStreamSource", "SetFVF",
                                         "SetIndices", "DrawIndexedPrimitive"));
    EXPECT_EQ(j[0].args[0], std::uintptr_t(D3DTS_WORLD));
    EXPECT_EQ(j[0].args[1], P(&objet->ObtenirMonde()));
    EXPECT_TRUE(EstIdentite(j[0].matrix));

    D3DMATERIAL9 attendu;
    std::memset(&attendu, 0, sizeof attendu);
    attendu.Ambient = p.ambiante;
    EXPECT_EQ(std::memcmp(&j[1].material, &attendu, sizeof attendu), 0) << "all 17 floats but Ambient are 0";

    EXPECT_THAT(j[2].args, ElementsAre(0u, P(device.vertexBuffers()[0].get()), 0u, kStride));
    EXPECT_THAT(j[3].args, ElementsAre(kFvf));
    EXPECT_THAT(j[4].args, ElementsAre(P(static_cast<IDirect3DIndexBuffer9*>(device.indexBuffers()[0].get()))));
    EXPECT_THAT(j[5].args, ElementsAre(std::uintptr_t(D3DPT_TRIANGLELIST), 0u, 0u, p.sommets, 0u, p.triangles));

    // Tracer alone never touches the world transform, and drawing changes nothing.
    const std::vector<std::uint8_t> avant = device.vertexBuffers()[0]->bytes();
    device.journal().clear();
    objet->Tracer(&device);
    EXPECT_EQ(device.journal().count("SetTransform"), 0u);
    EXPECT_EQ(device.journal().size(), 5u);
    EXPECT_EQ(device.vertexBuffers()[0]->bytes(), avant);
}

TEST_P(PrimitiveSurEnregistreur, DeletingReleasesEachBufferOnceVertexBufferFirst)
{
    RecordingDevice device;
    IDessinable* objet = GetParam().construire(&device);
    const void* vb = device.vertexBuffers()[0].get();
    const void* ib = static_cast<IDirect3DIndexBuffer9*>(device.indexBuffers()[0].get());
    device.journal().clear();

    delete objet;

    const Journal& j = device.journal();
    ASSERT_THAT(j.methods(), ElementsAre("Release", "Release"));
    EXPECT_EQ(j[0].object, vb);
    EXPECT_EQ(j[1].object, ib);
    EXPECT_EQ(device.vertexBuffers()[0]->references(), 0);
    EXPECT_EQ(device.indexBuffers()[0]->references(), 0);
    EXPECT_EQ(device.vertexBuffers()[0]->releaseCalls(), 1);
    EXPECT_EQ(device.indexBuffers()[0]->releaseCalls(), 1);
}

TEST_P(PrimitiveSurEnregistreur, WorldMatrixWrittenFromOutsideReachesTheDeviceButNotThePosition)
{
    RecordingDevice device;
    std::unique_ptr<IDessinable> objet(GetParam().construire(&device));
    const D3DXVECTOR3 position = objet->ObtenirPosition();
    D3DXMatrixRotationX(&objet->ObtenirMonde(), 0.5f);
    device.journal().clear();

    objet->Afficher(&device);

    D3DXMATRIX attendu;
    D3DXMatrixRotationX(&attendu, 0.5f);
    EXPECT_EQ(std::memcmp(&device.journal()[0].matrix, &attendu, sizeof attendu), 0);
    EXPECT_TRUE(MemesBits(objet->ObtenirPosition().x, position.x));
    EXPECT_TRUE(MemesBits(objet->ObtenirPosition().y, position.y));
    EXPECT_TRUE(MemesBits(objet->ObtenirPosition().z, position.z));
}

// A buffer that cannot be created or locked: nothing is written through a pointer that was
// not obtained, nothing is drawn with a missing buffer, and deleting still gives back
// exactly what was obtained.
struct Panne
{
    const char* nom;
    void (*preparer)(RecordingDevice&);
};

TEST_P(PrimitiveSurEnregistreur, SurvivesEveryBufferFailureAndDrawsNothing)
{
    const Panne pannes[] = {
        {"CreateVertexBuffer", [](RecordingDevice& d) { d.failCreateVertexBuffer.set(E_OUTOFMEMORY); }},
        {"CreateIndexBuffer", [](RecordingDevice& d) { d.failCreateIndexBuffer.set(D3DERR_OUTOFVIDEOMEMORY); }},
        {"Lock vertex buffer", [](RecordingDevice& d) { d.failLockVertexBuffer.set(D3DERR_INVALIDCALL); }},
        {"Lock index buffer", [](RecordingDevice& d) { d.failLockIndexBuffer.set(D3DERR_INVALIDCALL); }},
    };
    for (const Panne& panne : pannes) {
        SCOPED_TRACE(panne.nom);
        RecordingDevice device;
        panne.preparer(device);
        IDessinable* objet = GetParam().construire(&device);
        std::size_t verrous = 0;
        for (const Call& c : device.journal().named("Lock"))
            verrous += SUCCEEDED(c.result) ? 1 : 0;
        EXPECT_EQ(device.journal().count("Unlock"), verrous) << "Unlock only what was locked";

        device.journal().clear();
        objet->Afficher(&device);
        objet->Tracer(&device);
        EXPECT_THAT(device.journal().methods(), ElementsAre("SetTransform"));

        delete objet;
        for (const auto& vb : device.vertexBuffers()) {
            EXPECT_EQ(vb->releaseCalls(), 1);
            EXPECT_EQ(vb->references(), 0);
            EXPECT_FALSE(vb->overrun());
        }
        for (const auto& ib : device.indexBuffers()) {
            EXPECT_EQ(ib->releaseCalls(), 1);
            EXPECT_EQ(ib->references(), 0);
            EXPECT_FALSE(ib->overrun());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Scene, PrimitiveSurEnregistreur, ::testing::ValuesIn(Primitives()), NomDe);

// ---------------------------------------------------------------------------------------
// Box

TEST(Bloc, UnitBoxOfSizeTwoHasTheVerticesOfItsTables)
{
    RecordingDevice device;
    Bloc bloc(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(2, 2, 2), &device);

    EXPECT_EQ(bloc.ObtenirPosition().x, 1.0f);
    EXPECT_EQ(bloc.ObtenirPosition().y, 1.0f);
    EXPECT_EQ(bloc.ObtenirPosition().z, 1.0f);
    EXPECT_TRUE(MemesSommets(*device.vertexBuffers()[0], {
        {0, 0, 0, 0, 0, -1}, {0, 2, 0, 0, 0, -1}, {2, 2, 0, 0, 0, -1}, {2, 0, 0, 0, 0, -1},
        {2, 0, 2, 0, 0, 1},  {2, 2, 2, 0, 0, 1},  {0, 2, 2, 0, 0, 1},  {0, 0, 2, 0, 0, 1},
        {0, 0, 0, 0, -1, 0}, {2, 0, 0, 0, -1, 0}, {2, 0, 2, 0, -1, 0}, {0, 0, 2, 0, -1, 0},
        {0, 2, 0, 0, 1, 0},  {0, 2, 2, 0, 1, 0},  {2, 2, 2, 0, 1, 0},  {2, 2, 0, 0, 1, 0},
        {0, 0, 0, -1, 0, 0}, {0, 0, 2, -1, 0, 0}, {0, 2, 2, -1, 0, 0}, {0, 2, 0, -1, 0, 0},
        {2, 0, 0, 1, 0, 0},  {2, 2, 0, 1, 0, 0},  {2, 2, 2, 1, 0, 0},  {2, 0, 2, 1, 0, 0},
    }));
}

TEST(Bloc, CentreIsTheCornerPlusHalfTheSizeRoundedOnlyByTheAddition)
{
    RecordingDevice device;
    const D3DXVECTOR3 coin(0.1f, -3.3f, 1e7f);
    const D3DXVECTOR3 taille(0.7f, 3.0f, 1.0f);
    Bloc bloc(coin, taille, &device);
    EXPECT_TRUE(MemesBits(bloc.ObtenirPosition().x, 0.1f + 0.35f));
    EXPECT_TRUE(MemesBits(bloc.ObtenirPosition().y, -3.3f + 1.5f));
    EXPECT_TRUE(MemesBits(bloc.ObtenirPosition().z, 1e7f + 0.5f));   // rounds to 1e7
}

// Winding seen from outside: (v1 - v0) x (v2 - v0) against the direction out of the box.
// Clockwise (along it) for a positive size; each negative component mirrors the box and
// flips every triangle, and the stored normals never change.
TEST(Bloc, WindingFollowsTheSignsOfTheSizeAndZeroSizesGiveFlatFaces)
{
    struct Cas { D3DXVECTOR3 taille; int sens; int plats; };
    const Cas cas[] = {
        {D3DXVECTOR3(2, 2, 2), +1, 0},
        {D3DXVECTOR3(10, 0.5f, 3), +1, 0},
        {D3DXVECTOR3(-2, 2, 2), -1, 0},
        {D3DXVECTOR3(-2, -2, 2), +1, 0},
        {D3DXVECTOR3(2, -2, -2), +1, 0},
        {D3DXVECTOR3(-2, -2, -2), -1, 0},
        {D3DXVECTOR3(2, 0, 2), 0, 8},     // the four faces along y have no area
        {D3DXVECTOR3(0, 0, 2), 0, 12},
    };
    const float normales[6][3] = {{0, 0, -1}, {0, 0, 1}, {0, -1, 0}, {0, 1, 0}, {-1, 0, 0}, {1, 0, 0}};
    for (const Cas& c : cas) {
        SCOPED_TRACE(::testing::Message() << "size " << c.taille.x << "," << c.taille.y << "," << c.taille.z);
        RecordingDevice device;
        Bloc bloc(D3DXVECTOR3(1, 1, 1), c.taille, &device);
        const std::vector<Sommet6> s = LireSommets(*device.vertexBuffers()[0]);
        const std::vector<std::uint16_t> ix = LireIndex(*device.indexBuffers()[0]);
        double centre[3] = {0, 0, 0};
        for (const Sommet6& v : s)
            for (int k = 0; k < 3; ++k)
                centre[k] += v[k] / 24.0;
        int plats = 0;
        for (std::size_t t = 0; t < ix.size(); t += 3) {
            const Sommet6 &a = s[ix[t]], &b = s[ix[t + 1]], &d = s[ix[t + 2]];
            const double e1[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
            const double e2[3] = {d[0] - a[0], d[1] - a[1], d[2] - a[2]};
            const double n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                                 e1[0] * e2[1] - e1[1] * e2[0]};
            // Outward: from the box's centre to the centre of the triangle's face.
            const std::size_t face = ix[t] / 4 * 4;
            double dehors[3];
            for (int k = 0; k < 3; ++k)
                dehors[k] = (s[face][k] + s[face + 1][k] + s[face + 2][k] + s[face + 3][k]) / 4.0 - centre[k];
            const double sens = n[0] * dehors[0] + n[1] * dehors[1] + n[2] * dehors[2];
            if (n[0] == 0 && n[1] == 0 && n[2] == 0) {
                ++plats;
                continue;
            }
            if (c.sens != 0) {
                EXPECT_EQ(sens > 0 ? 1 : -1, c.sens) << "triangle " << t / 3;
            }
        }
        EXPECT_EQ(plats, c.plats);
        for (std::size_t v = 0; v < 24; ++v)   // the normals never depend on the size
            for (int k = 0; k < 3; ++k)
                EXPECT_EQ(s[v][3 + k], normales[v / 4][k]);
        device.journal().clear();
        bloc.Tracer(&device);
        EXPECT_EQ(device.journal().named("DrawIndexedPrimitive").at(0).args[5], 12u);
    }
}

// ---------------------------------------------------------------------------------------
// Pyramid

TEST(Pyramide, HeightsOneAndTwoPutTheBaseCornersHeightAwayAndTheApexAbove)
{
    struct Cas { float h; float n1y; float n1z; };
    const Cas cas[] = {{1.0f, -4.24264f, 3.0f}, {2.0f, -16.9706f, 12.0f}};
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.h);
        RecordingDevice device;
        Pyramide pyramide(D3DXVECTOR3(0, 0, 0), c.h, &device);
        const float d = static_cast<float>(std::sqrt(2.0 * double(c.h * c.h)));
        const float m = d / 2;
        const std::vector<Sommet6> s = LireSommets(*device.vertexBuffers()[0]);
        ASSERT_EQ(s.size(), 16u);
        const Sommet6 base[4] = {{-m, -m, 0, 0, 0, -1}, {-m, m, 0, 0, 0, -1}, {m, m, 0, 0, 0, -1}, {m, -m, 0, 0, 0, -1}};
        for (int v = 0; v < 4; ++v)
            for (int k = 0; k < 6; ++k)
                EXPECT_TRUE(MemesBits(s[v][k], base[v][k])) << "vertex " << v << " item " << k;
        // Points of each side face, in vertex order (apex = 4).
        const int points[12] = {4, 0, 3, 2, 4, 3, 1, 4, 2, 0, 4, 1};
        const float pt[5][3] = {{-m, -m, 0}, {-m, m, 0}, {m, m, 0}, {m, -m, 0}, {0, 0, c.h}};
        for (int v = 4; v < 16; ++v)
            for (int k = 0; k < 3; ++k)
                EXPECT_TRUE(MemesBits(s[v][k], pt[points[v - 4]][k])) << "vertex " << v;
        // Side normals: entries 1 and 3 outward, 2 and 4 inward, none normalised.
        const float attendues[4][3] = {{0, c.n1y, c.n1z}, {c.n1y, 0, -c.n1z}, {0, -c.n1y, c.n1z}, {-c.n1y, 0, -c.n1z}};
        for (int f = 0; f < 4; ++f)
            for (int v = 4 + 3 * f; v < 7 + 3 * f; ++v)
                for (int k = 0; k < 3; ++k)
                    EXPECT_NEAR(s[v][3 + k], attendues[f][k], 1e-4f * c.h * c.h) << "face " << f + 1;
    }
}

TEST(Pyramide, ZeroAndNegativeHeights)
{
    RecordingDevice device;
    Pyramide plate(D3DXVECTOR3(3, 4, 5), 0.0f, &device);
    for (const Sommet6& s : LireSommets(*device.vertexBuffers()[0])) {
        EXPECT_EQ(s[0], 3.0f);
        EXPECT_EQ(s[1], 4.0f);
        EXPECT_EQ(s[2], 5.0f);
    }
    const std::vector<Sommet6> sp = LireSommets(*device.vertexBuffers()[0]);
    EXPECT_EQ(sp[0][5], -1.0f);
    for (int v = 4; v < 16; ++v)
        EXPECT_THAT((std::array<float, 3>{sp[v][3], sp[v][4], sp[v][5]}), ElementsAre(0.0f, 0.0f, 0.0f));
    device.journal().clear();
    plate.Tracer(&device);
    EXPECT_EQ(device.journal().named("DrawIndexedPrimitive").size(), 1u);

    Pyramide haute(D3DXVECTOR3(1, 1, 2), 2.0f, &device);
    Pyramide renversee(D3DXVECTOR3(1, 1, 2), -2.0f, &device);
    const std::vector<Sommet6> h = LireSommets(*device.vertexBuffers()[1]);
    const std::vector<Sommet6> r = LireSommets(*device.vertexBuffers()[2]);
    for (int v = 0; v < 4; ++v)
        for (int k = 0; k < 6; ++k)
            EXPECT_TRUE(MemesBits(h[v][k], r[v][k])) << "the base does not depend on the sign";
    EXPECT_EQ(r[4][2], 0.0f);   // apex at 2 - 2
    EXPECT_EQ(h[4][2], 4.0f);
}

// ---------------------------------------------------------------------------------------
// Ground tile

TEST(MorceauDePlan, TileBelowTheOriginHasBothFacesOverTheSameCorners)
{
    RecordingDevice device;
    MorceauDePlan morceau(D3DXVECTOR3(0, 0, -0.1f), &device);
    const float z = -0.1f;
    EXPECT_TRUE(MemesSommets(*device.vertexBuffers()[0], {
        {-2.5f, -2.5f, z, 0, 0, 1}, {-2.5f, 2.5f, z, 0, 0, 1}, {2.5f, 2.5f, z, 0, 0, 1}, {2.5f, -2.5f, z, 0, 0, 1},
        {-2.5f, -2.5f, z, -0.0f, -0.0f, -1}, {-2.5f, 2.5f, z, -0.0f, -0.0f, -1},
        {2.5f, 2.5f, z, -0.0f, -0.0f, -1}, {2.5f, -2.5f, z, -0.0f, -0.0f, -1},
    }));
    EXPECT_EQ(device.vertexBuffers()[0]->length(), 192u);
    EXPECT_EQ(device.indexBuffers()[0]->length(), 24u);
    EXPECT_EQ(MorceauDePlan::Longueur, 5.0f);
    EXPECT_EQ(MorceauDePlan::Largeur, 5.0f);
}

// ---------------------------------------------------------------------------------------
// Liberer

TEST(Liberer, ReleasesOnceAndForgetsThePointerAndIgnoresNull)
{
    RecordingDevice device;
    IDirect3DVertexBuffer9* vb = nullptr;
    ASSERT_EQ(device.CreateVertexBuffer(24, 0, 0, D3DPOOL_DEFAULT, &vb, nullptr), D3D_OK);
    IDirect3DVertexBuffer9* copie = vb;
    Liberer(vb);
    EXPECT_EQ(vb, nullptr);
    Liberer(vb);
    EXPECT_EQ(device.asVertexBuffer(copie)->releaseCalls(), 1);
    EXPECT_EQ(device.asVertexBuffer(copie)->references(), 0);
}
