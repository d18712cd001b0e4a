// The village drawn by the real Direct3D 9 runtime on a hidden window, with the camera's
// view and projection computed by our own math, read back and checked at points we project
// ourselves: whatever our code asks of Direct3D must come out as the expected colours.
#include "Math3D.h"
#include "ReadBack.h"
#include "Village.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <memory>
#include <sstream>

using namespace kvtest;

namespace {

const UINT kCote = 256;                          // client area, square as the program's
const std::uint32_t kFond = 0x0000FF;            // the clear colour
const std::uint32_t kToit = 0xFF0000;            // ambient (1, 0, 0) under white light
const std::uint32_t kCorps = 0x800080;           // (0.5, 0, 0.5)
const std::uint32_t kSol = 0x40BF40;             // (0.25, 0.75, 0.25)
const int kTolerance = 2;
const float kQuartDeTourArriere = -1.5707964f;   // the scene's +z turned to the screen's up

struct Echantillon
{
    const char* quoi;
    D3DXVECTOR3 point;       // in the village's own coordinates, before Monde
    std::uint32_t couleur;
};

std::string Hex(std::uint32_t c)
{
    std::ostringstream t;
    t << "0x" << std::hex << c;
    return t.str();
}

class VillageReel : public ::testing::Test
{
protected:
    void SetUp() override
    {
        reel = std::make_unique<RealDevice>(kCote, kCote);
        if (!reel->ok())
            GTEST_SKIP() << "no Direct3D 9 HAL device: " << reel->why();
        const D3DXVECTOR3 oeil(0, 7.5f, -10), cible(0, 0, 0), haut(0, 1, 0);
        D3DXMatrixLookAtLH(&vue, &oeil, &cible, &haut);
        D3DXMatrixPerspectiveFovLH(&projection, 0.7853982f, 1.0f, 2.0f, 30.0f);
    }

    // One frame as the program draws it: blue background, depth test, white ambient light
    // with the default lighting, our view and projection, then the village.
    void Dessiner(Village& village)
    {
        IDirect3DDevice9* d = reel->device();
        d->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
        d->SetRenderState(D3DRS_AMBIENT, 0xFFFFFFFF);
        d->SetTransform(D3DTS_VIEW, &vue);
        d->SetTransform(D3DTS_PROJECTION, &projection);
        ASSERT_EQ(d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF0000FF, 1.0f, 0), D3D_OK);
        ASSERT_EQ(d->BeginScene(), D3D_OK);
        village.Afficher(d);
        ASSERT_EQ(d->EndScene(), D3D_OK);
        const HRESULT hr = copie.capture(d);
        ASSERT_EQ(hr, D3D_OK) << "read-back failed, hr " << Hex(static_cast<std::uint32_t>(hr));
        ASSERT_EQ(copie.width(), kCote);
        ASSERT_EQ(copie.height(), kCote);
    }

    // Pixel of a scene point under `monde`, the view and the projection.
    void Projeter(const D3DXVECTOR3& p, const D3DXMATRIX& monde, float& x, float& y)
    {
        const D3DXMATRIX m = monde * vue * projection;
        const float cx = p.x * m._11 + p.y * m._21 + p.z * m._31 + m._41;
        const float cy = p.x * m._12 + p.y * m._22 + p.z * m._32 + m._42;
        const float cw = p.x * m._14 + p.y * m._24 + p.z * m._34 + m._44;
        x = (cx / cw + 1.0f) / 2.0f * kCote;
        y = (1.0f - cy / cw) / 2.0f * kCote;
    }

    // The colour at each point, and at its eight neighbours: a point must lie well inside
    // its area, not on an edge that rasterisers may draw differently.
    void Verifier(const Echantillon* echantillons, std::size_t n, const D3DXMATRIX& monde)
    {
        for (std::size_t i = 0; i < n; ++i) {
            const Echantillon& e = echantillons[i];
            float fx, fy;
            Projeter(e.point, monde, fx, fy);
            const int x = static_cast<int>(std::floor(fx)), y = static_cast<int>(std::floor(fy));
            SCOPED_TRACE(::testing::Message() << e.quoi << " at pixel (" << x << ", " << y << ")");
            ASSERT_TRUE(x >= 4 && y >= 4 && x < int(kCote) - 4 && y < int(kCote) - 4) << "off screen";
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    EXPECT_TRUE(CloseColour(copie.at(x + dx, y + dy), e.couleur, kTolerance))
                        << Hex(copie.at(x + dx, y + dy)) << " instead of " << Hex(e.couleur)
                        << " at offset (" << dx << ", " << dy << ")";
        }
    }

    std::unique_ptr<RealDevice> reel;
    D3DXMATRIX vue, projection;
    BackBufferCopy copie;
};

} // namespace

// Untransformed, the ground stands as a wall facing the eye and hides the houses behind it.
TEST_F(VillageReel, IdentityFrameShowsTheGroundOnTheBackground)
{
    Village village(reel->device());
    ASSERT_NO_FATAL_FAILURE(Dessiner(village));
    copie.writeBmp("village_identite.bmp");

    const Echantillon echantillons[] = {
        {"tile 0 centre", D3DXVECTOR3(0, 0, -0.1f), kSol},
        {"tile 4", D3DXVECTOR3(2, 4, -0.1f), kSol},
        {"tile 0, right", D3DXVECTOR3(3, 1, -0.1f), kSol},
        {"left of the ground", D3DXVECTOR3(-4, 0, -0.1f), kFond},
        {"below the ground", D3DXVECTOR3(0, -4, -0.1f), kFond},
    };
    D3DXMATRIX identite;
    D3DXMatrixIdentity(&identite);
    Verifier(echantillons, std::size(echantillons), identite);
}

// A quarter turn about x stands the houses up on the ground, as the animation shows them.
TEST_F(VillageReel, RotatedFrameShowsRoofsBodiesAndGround)
{
    Village village(reel->device());
    D3DXMatrixRotationX(&village.ObtenirMonde(), kQuartDeTourArriere);
    ASSERT_NO_FATAL_FAILURE(Dessiner(village));
    copie.writeBmp("village_tourne.bmp");

    // The eye sees houses 0 and 2 (house 1 is off to the right), house 2 in front.
    const float m = std::sqrt(2.0f);
    const Echantillon echantillons[] = {
        // Roof sides toward +y, toward the eye once turned: the middle of their triangles.
        {"house 0 roof", D3DXVECTOR3(1, 1 + 2 * m / 3, 8.0f / 3), kToit},
        {"house 2 roof", D3DXVECTOR3(1, 6 + 2 * m / 3, 8.0f / 3), kToit},
        {"house 0 body", D3DXVECTOR3(1, 2, 1.2f), kCorps},
        {"tile 0, left of house 0", D3DXVECTOR3(-1.5f, 0.5f, -0.1f), kSol},
        {"tile 4, left of house 2", D3DXVECTOR3(-1.5f, 4.5f, -0.1f), kSol},
        {"above and behind the village", D3DXVECTOR3(-2, -4, 3), kFond},
    };
    Verifier(echantillons, std::size(echantillons), village.ObtenirMonde());
}

TEST_F(VillageReel, DeletingTheVillageGivesTheDeviceBackItsReferences)
{
    const ULONG depart = reel->references();
    Village* village = new Village(reel->device());
    EXPECT_GT(reel->references(), depart) << "the runtime's buffers hold the device";
    ASSERT_NO_FATAL_FAILURE(Dessiner(*village));
    delete village;
    EXPECT_EQ(reel->references(), depart);
}
