// The composites (house, ground plane, village) against the recording device: where their
// parts stand, the order in which they are drawn and deleted, and what is given back.
#include "Maison.h"
#include "Plan.h"
#include "RecordingDevice.h"
#include "SceneLecture.h"
#include "Village.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>

using namespace kvtest;
using ::testing::ElementsAre;

namespace {

const void* Vb(const RecordingDevice& d, std::size_t i) { return static_cast<IDirect3DVertexBuffer9*>(d.vertexBuffers().at(i).get()); }
const void* Ib(const RecordingDevice& d, std::size_t i) { return static_cast<IDirect3DIndexBuffer9*>(d.indexBuffers().at(i).get()); }

// The vertex buffers named by the SetStreamSource calls of the journal, in order.
std::vector<const void*> TamponsTraces(const Journal& j)
{
    std::vector<const void*> tampons;
    for (const Call& c : j.named("SetStreamSource"))
        tampons.push_back(reinterpret_cast<const void*>(c.args.at(1)));
    return tampons;
}

// The buffers given back, in the order of their Release calls.
std::vector<const void*> TamponsLiberes(const Journal& j)
{
    std::vector<const void*> tampons;
    for (const Call& c : j.named("Release"))
        tampons.push_back(c.object);
    return tampons;
}

void ToutRenduUneFois(const RecordingDevice& device)
{
    for (const auto& b : device.vertexBuffers()) {
        EXPECT_EQ(b->releaseCalls(), 1);
        EXPECT_EQ(b->references(), 0);
    }
    for (const auto& b : device.indexBuffers()) {
        EXPECT_EQ(b->releaseCalls(), 1);
        EXPECT_EQ(b->references(), 0);
    }
    EXPECT_EQ(device.addRefCalls(), 0);
    EXPECT_EQ(device.releaseCalls(), 0);
}

// The five drawing calls of one primitive whose vertex buffer is `vb`.
const std::vector<std::string> kCinq = {"SetMaterial", "SetStreamSource", "SetFVF", "SetIndices",
                                        "DrawIndexedPrimitive"};

} // namespace

// ---------------------------------------------------------------------------------------
// House

TEST(Maison, BodyFromTheReferencePointAndRoofOnItsTopFace)
{
    RecordingDevice device;
    Maison maison(D3DXVECTOR3(0, 0, 0), &device);
    ASSERT_EQ(device.vertexBuffers().size(), 2u);
    const std::vector<Sommet6> corps = LireSommets(*device.vertexBuffers()[0]);
    const std::vector<Sommet6> toit = LireSommets(*device.vertexBuffers()[1]);
    ASSERT_EQ(corps.size(), 24u);
    ASSERT_EQ(toit.size(), 16u);
    EXPECT_EQ(maison.ObtenirPosition().x, 0.0f);
    float mini[3] = {1e9f, 1e9f, 1e9f}, maxi[3] = {-1e9f, -1e9f, -1e9f};
    for (const Sommet6& s : corps)
        for (int k = 0; k < 3; ++k) {
            mini[k] = std::min(mini[k], s[k]);
            maxi[k] = std::max(maxi[k], s[k]);
        }
    EXPECT_THAT(mini, ElementsAre(0.0f, 0.0f, 0.0f));
    EXPECT_THAT(maxi, ElementsAre(2.0f, 2.0f, 2.0f));
    EXPECT_THAT((std::array<float, 3>{toit[4][0], toit[4][1], toit[4][2]}), ElementsAre(1.0f, 1.0f, 4.0f));
    for (int v = 0; v < 4; ++v) {           // base corners: z = 2, sqrt(2) from (1, 1)
        EXPECT_EQ(toit[v][2], 2.0f);
        EXPECT_NEAR(std::hypot(toit[v][0] - 1.0f, toit[v][1] - 1.0f), 2.0f, 1e-6);
    }
}

TEST(Maison, HouseAtFiveIsTheHouseAtTheOriginMovedAlongX)
{
    RecordingDevice device;
    Maison ici(D3DXVECTOR3(0, 0, 0), &device);
    Maison la(D3DXVECTOR3(5, 0, 0), &device);
    for (std::size_t part = 0; part < 2; ++part) {
        const std::vector<Sommet6> a = LireSommets(*device.vertexBuffers()[part]);
        const std::vector<Sommet6> b = LireSommets(*device.vertexBuffers()[part + 2]);
        ASSERT_EQ(a.size(), b.size());
        for (std::size_t v = 0; v < a.size(); ++v) {
            EXPECT_NEAR(b[v][0], a[v][0] + 5.0f, 1e-5f) << "part " << part << " vertex " << v;
            for (int k = 1; k < 6; ++k)
                EXPECT_NEAR(b[v][k], a[v][k], 1e-4f) << "part " << part << " vertex " << v;
        }
    }
}

TEST(Maison, DrawsBodyThenRoofUnderOneTransformAndIsLeftAsItWas)
{
    RecordingDevice device;
    std::unique_ptr<IDessinable> maison(new Maison(D3DXVECTOR3(0, 5, 0), &device));
    const std::vector<std::uint8_t> corps = device.vertexBuffers()[0]->bytes();
    device.journal().clear();

    maison->Afficher(&device);
    const std::vector<Call> premier = device.journal().calls();
    device.journal().clear();
    maison->Afficher(&device);

    std::vector<std::string> attendu = {"SetTransform"};
    attendu.insert(attendu.end(), kCinq.begin(), kCinq.end());
    attendu.insert(attendu.end(), kCinq.begin(), kCinq.end());
    EXPECT_EQ(device.journal().methods(), attendu);
    EXPECT_THAT(TamponsTraces(device.journal()), ElementsAre(Vb(device, 0), Vb(device, 1)));
    ASSERT_EQ(premier.size(), device.journal().size());
    for (std::size_t i = 0; i < premier.size(); ++i)
        EXPECT_EQ(premier[i].args, device.journal()[i].args) << "call " << i;
    EXPECT_EQ(device.vertexBuffers()[0]->bytes(), corps);
}

TEST(Maison, DeletingThroughTheInterfaceGivesBackTheRoofThenTheBody)
{
    RecordingDevice device;
    IDessinable* maison = new Maison(D3DXVECTOR3(0, 0, 0), &device);
    device.journal().clear();
    delete maison;
    EXPECT_THAT(TamponsLiberes(device.journal()),
                ElementsAre(Vb(device, 1), Ib(device, 1), Vb(device, 0), Ib(device, 0)));
    ToutRenduUneFois(device);
}

// ---------------------------------------------------------------------------------------
// Ground plane

TEST(Plan, VillageGroundHasEightTilesRowByRow)
{
    RecordingDevice device;
    Plan plan(D3DXVECTOR3(0, 0, -0.1f), &device, 2, 4);
    const float centres[8][2] = {{0, 0}, {5, 0}, {10, 0}, {15, 0}, {0, 5}, {5, 5}, {10, 5}, {15, 5}};
    ASSERT_EQ(device.vertexBuffers().size(), 8u);
    float mini[2] = {1e9f, 1e9f}, maxi[2] = {-1e9f, -1e9f};
    for (std::size_t t = 0; t < 8; ++t) {
        const std::vector<Sommet6> s = LireSommets(*device.vertexBuffers()[t]);
        EXPECT_EQ(s[0][0], centres[t][0] - 2.5f) << "tile " << t;
        EXPECT_EQ(s[0][1], centres[t][1] - 2.5f) << "tile " << t;
        EXPECT_EQ(s[2][0], centres[t][0] + 2.5f) << "tile " << t;
        EXPECT_EQ(s[2][1], centres[t][1] + 2.5f) << "tile " << t;
        for (const Sommet6& v : s) {
            EXPECT_EQ(v[2], -0.1f);
            for (int k = 0; k < 2; ++k) {
                mini[k] = std::min(mini[k], v[k]);
                maxi[k] = std::max(maxi[k], v[k]);
            }
        }
    }
    EXPECT_THAT(mini, ElementsAre(-2.5f, -2.5f));
    EXPECT_THAT(maxi, ElementsAre(17.5f, 7.5f));
    EXPECT_EQ(plan.ObtenirPosition().z, -0.1f);
}

TEST(Plan, OneByOneFromAnOffsetOrigin)
{
    RecordingDevice device;
    Plan plan(D3DXVECTOR3(1, 2, 3), &device, 1, 1);
    ASSERT_EQ(device.vertexBuffers().size(), 1u);
    const std::vector<Sommet6> s = LireSommets(*device.vertexBuffers()[0]);
    EXPECT_THAT((std::array<float, 3>{s[0][0], s[0][1], s[0][2]}), ElementsAre(-1.5f, -0.5f, 3.0f));
    EXPECT_THAT((std::array<float, 3>{s[2][0], s[2][1], s[2][2]}), ElementsAre(3.5f, 4.5f, 3.0f));
}

TEST(Plan, NoTileForZeroOrNegativeCountsButAfficherStillSetsTheTransform)
{
    const int comptes[][2] = {{0, 4}, {2, 0}, {-1, 4}, {2, -3}, {-2, -2}, {0, 0}};
    for (const auto& c : comptes) {
        SCOPED_TRACE(::testing::Message() << c[0] << " x " << c[1]);
        RecordingDevice device;
        IDessinable* plan = new Plan(D3DXVECTOR3(0, 0, 0), &device, c[0], c[1]);
        EXPECT_EQ(device.journal().size(), 0u);
        plan->Tracer(&device);
        EXPECT_EQ(device.journal().size(), 0u);
        plan->Afficher(&device);
        EXPECT_THAT(device.journal().methods(), ElementsAre("SetTransform"));
        delete plan;
        EXPECT_EQ(device.journal().size(), 1u);
    }
}

TEST(Plan, DrawsAndDeletesItsTilesFirstToLast)
{
    RecordingDevice device;
    IDessinable* plan = new Plan(D3DXVECTOR3(0, 0, 0), &device, 2, 3);
    device.journal().clear();
    plan->Tracer(&device);
    EXPECT_EQ(device.journal().size(), 30u);
    EXPECT_EQ(device.journal().count("SetTransform"), 0u);
    std::vector<const void*> ordre, liberes;
    for (std::size_t t = 0; t < 6; ++t) {
        ordre.push_back(Vb(device, t));
        liberes.push_back(Vb(device, t));
        liberes.push_back(Ib(device, t));
    }
    EXPECT_EQ(TamponsTraces(device.journal()), ordre);

    device.journal().clear();
    delete plan;
    EXPECT_EQ(TamponsLiberes(device.journal()), liberes);
    ToutRenduUneFois(device);
}

// ---------------------------------------------------------------------------------------
// Village

TEST(Village, BuildsTheGroundFirstThenHousesZeroOneTwo)
{
    RecordingDevice device;
    Village village(&device);
    ASSERT_EQ(device.vertexBuffers().size(), 14u);
    ASSERT_EQ(device.indexBuffers().size(), 14u);
    for (std::size_t t = 0; t < 8; ++t)
        EXPECT_EQ(device.vertexBuffers()[t]->length(), 192u) << "tile " << t;
    const float maisons[3][2] = {{0, 0}, {5, 0}, {0, 5}};
    for (std::size_t m = 0; m < 3; ++m) {
        const std::vector<Sommet6> corps = LireSommets(*device.vertexBuffers()[8 + 2 * m]);
        const std::vector<Sommet6> toit = LireSommets(*device.vertexBuffers()[9 + 2 * m]);
        ASSERT_EQ(corps.size(), 24u);
        ASSERT_EQ(toit.size(), 16u);
        EXPECT_THAT((std::array<float, 3>{corps[0][0], corps[0][1], corps[0][2]}),
                    ElementsAre(maisons[m][0], maisons[m][1], 0.0f)) << "house " << m;
        EXPECT_THAT((std::array<float, 3>{toit[4][0], toit[4][1], toit[4][2]}),
                    ElementsAre(maisons[m][0] + 1, maisons[m][1] + 1, 4.0f)) << "house " << m;
    }
    EXPECT_EQ(LireSommets(*device.vertexBuffers()[0])[0][2], -0.1f);
    EXPECT_EQ(village.ObtenirPosition().x, 0.0f);
}

TEST(Village, AfficherMakesSeventyOneCallsUnderTheVillageMatrixOnly)
{
    RecordingDevice device;
    Village village(&device);
    D3DXMatrixRotationX(&village.ObtenirMonde(), 1.25f);
    device.journal().clear();

    village.Afficher(&device);

    const Journal& j = device.journal();
    ASSERT_EQ(j.size(), 71u);
    EXPECT_EQ(j.count("SetTransform"), 1u);
    EXPECT_EQ(j[0].method, "SetTransform");
    EXPECT_EQ(j[0].args[0], std::uintptr_t(D3DTS_WORLD));
    EXPECT_EQ(std::memcmp(&j[0].matrix, &village.ObtenirMonde(), sizeof(D3DMATRIX)), 0);
    for (std::size_t i = 1; i < 71; ++i)
        EXPECT_EQ(j[i].method, kCinq[(i - 1) % 5]) << "call " << i;
    // Houses 0, 1, 2 (body, roof), then the eight tiles.
    std::vector<const void*> ordre;
    for (std::size_t p = 8; p < 14; ++p)
        ordre.push_back(Vb(device, p));
    for (std::size_t p = 0; p < 8; ++p)
        ordre.push_back(Vb(device, p));
    EXPECT_EQ(TamponsTraces(j), ordre);
}

TEST(Village, DeletingGivesBackHousesInOrderThenTheGroundEveryBufferOnce)
{
    RecordingDevice device;
    IDessinable* village = new Village(&device);
    device.journal().clear();
    delete village;

    std::vector<const void*> attendu;
    for (std::size_t m = 0; m < 3; ++m) {       // each house: roof, then body
        attendu.push_back(Vb(device, 9 + 2 * m));
        attendu.push_back(Ib(device, 9 + 2 * m));
        attendu.push_back(Vb(device, 8 + 2 * m));
        attendu.push_back(Ib(device, 8 + 2 * m));
    }
    for (std::size_t t = 0; t < 8; ++t) {
        attendu.push_back(Vb(device, t));
        attendu.push_back(Ib(device, t));
    }
    EXPECT_EQ(TamponsLiberes(device.journal()), attendu);
    EXPECT_EQ(device.journal().size(), 28u);
    ToutRenduUneFois(device);
}

TEST(Village, WithMissingBuffersItDrawsOnlyWholePrimitivesAndDeletesCleanly)
{
    RecordingDevice device;
    device.failLockVertexBuffer.set(D3DERR_INVALIDCALL, 3);   // only the first three tiles fill theirs
    device.failCreateIndexBuffer.set(E_OUTOFMEMORY, 1, 1);    // tile 1 gets no index buffer
    IDessinable* village = new Village(&device);
    device.journal().clear();
    village->Afficher(&device);
    EXPECT_EQ(device.journal().size(), 1u + 5u * 2u);
    EXPECT_THAT(TamponsTraces(device.journal()), ElementsAre(Vb(device, 0), Vb(device, 2)));
    delete village;
    ToutRenduUneFois(device);
}
