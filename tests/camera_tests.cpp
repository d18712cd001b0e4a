// The camera against the recording device: the transforms it sets and how the eye moves.
#include "Camera.h"
#include "RecordingDevice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using kvtest::RecordingDevice;

namespace {

// The six key movements of the frame, one unit along one world axis.
const D3DXVECTOR3 kFin(0, 0, 1);
const D3DXVECTOR3 kDebut(0, 0, -1);
const D3DXVECTOR3 kGauche(0, 1, 0);
const D3DXVECTOR3 kHaut(1, 0, 0);
const D3DXVECTOR3 kDroite(0, -1, 0);
const D3DXVECTOR3 kBas(-1, 0, 0);

bool MemesBits(const D3DMATRIX& a, const D3DMATRIX& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool MemesBits(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// (x, y, z, 1) by m, row-vector convention.
void Transformer(const D3DMATRIX& m, float x, float y, float z, float out[4])
{
    for (int j = 0; j < 4; ++j)
        out[j] = x * m.m[0][j] + y * m.m[1][j] + z * m.m[2][j] + m.m[3][j];
}

int Compter(const RecordingDevice& device, D3DTRANSFORMSTATETYPE etat)
{
    int n = 0;
    for (const kvtest::Call& c : device.journal().named("SetTransform"))
        if (c.args.at(0) == static_cast<std::uintptr_t>(etat))
            ++n;
    return n;
}

} // namespace

// ---------------------------------------------------------------------------------------
// Construction

TEST(Camera, ConstructionSetsTheViewThenTheProjectionAndNothingElse)
{
    RecordingDevice device;
    Camera camera(&device);

    const auto& appels = device.journal().calls();
    ASSERT_EQ(appels.size(), 2u);
    EXPECT_EQ(appels[0].method, "SetTransform");
    EXPECT_EQ(appels[0].args.at(0), static_cast<std::uintptr_t>(D3DTS_VIEW));
    EXPECT_EQ(appels[1].method, "SetTransform");
    EXPECT_EQ(appels[1].args.at(0), static_cast<std::uintptr_t>(D3DTS_PROJECTION));
    EXPECT_EQ(device.references(), 1) << "the camera must not keep the device";
    EXPECT_EQ(device.addRefCalls(), 0);
}

// The eye (0, 7.5, -10) is 12.5 from the origin along (0, -0.6, 0.8): the view turns the
// world about x so that this direction becomes +z, and puts the origin 12.5 ahead.
TEST(Camera, InitialViewLooksFromTheEyeAtTheOrigin)
{
    RecordingDevice device;
    Camera camera(&device);
    EXPECT_TRUE(MemesBits(camera.Oeil, D3DXVECTOR3(0, 7.5f, -10)));
    const float attendue[4][4] = {
        {1, 0, 0, 0},
        {0, 0.8f, -0.6f, 0},
        {0, 0.6f, 0.8f, 0},
        {0, 0, 12.5f, 1},
    };
    const D3DMATRIX vue = device.transform(D3DTS_VIEW);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            EXPECT_NEAR(vue.m[i][j], attendue[i][j], 1e-6f) << "element " << i << "," << j;
    EXPECT_TRUE(MemesBits(vue, camera.MatriceVue)) << "the device must get the matrix the camera keeps";

    float p[4];
    Transformer(vue, 0, 7.5f, -10, p);
    EXPECT_NEAR(p[0], 0, 1e-5f);
    EXPECT_NEAR(p[1], 0, 1e-5f);
    EXPECT_NEAR(p[2], 0, 1e-5f);
    Transformer(vue, 0, 0, 0, p);
    EXPECT_NEAR(p[2], 12.5f, 1e-5f) << "the origin is straight ahead";
}

// 45 degrees vertically, square, clipped at 2 and 30.
TEST(Camera, ProjectionIsTheFixedSquarePerspective)
{
    RecordingDevice device;
    Camera camera(&device);
    const D3DMATRIX proj = device.transform(D3DTS_PROJECTION);

    const float cotangente = 1.0f / std::tan(3.14159265f / 8);
    EXPECT_NEAR(proj._11, cotangente, 1e-5f);
    EXPECT_NEAR(proj._22, cotangente, 1e-5f);
    EXPECT_EQ(proj._11, proj._22) << "aspect 1";
    EXPECT_EQ(proj._34, 1.0f);
    EXPECT_EQ(proj._44, 0.0f);

    struct { float profondeur; float z; } plans[] = {{2.0f, 0.0f}, {30.0f, 1.0f}};
    for (const auto& plan : plans) {
        float p[4];
        Transformer(proj, 0, 0, plan.profondeur, p);
        EXPECT_NEAR(p[2] / p[3], plan.z, 1e-6f) << "depth " << plan.profondeur;
    }

    D3DXMATRIX reference;
    D3DXMatrixPerspectiveFovLH(&reference, 0.7853982f, 1.0f, 2.0f, 30.0f);
    EXPECT_TRUE(MemesBits(proj, reference));
}

// Without a device there is nothing to set, but the view is still computed.
TEST(Camera, WithoutADeviceStillComputesItsView)
{
    Camera camera(nullptr);
    RecordingDevice device;
    Camera reference(&device);
    EXPECT_TRUE(MemesBits(camera.MatriceVue, reference.MatriceVue));

    camera.Deplacer(kFin, nullptr);
    EXPECT_TRUE(MemesBits(camera.Oeil, D3DXVECTOR3(0, 7.5f, -9)));
}

// ---------------------------------------------------------------------------------------
// Moving the eye

TEST(Camera, EachMoveAddsToTheEyeAndSetsBothTransformsAgain)
{
    RecordingDevice device;
    Camera camera(&device);
    const D3DMATRIX projection = device.transform(D3DTS_PROJECTION);
    device.journal().clear();

    camera.Deplacer(D3DXVECTOR3(0.5f, -2, 3), &device);

    EXPECT_TRUE(MemesBits(camera.Oeil, D3DXVECTOR3(0.5f, 5.5f, -7)));
    EXPECT_TRUE(MemesBits(camera.Cible, D3DXVECTOR3(0, 0, 0))) << "the point looked at stays";
    EXPECT_TRUE(MemesBits(camera.Haut, D3DXVECTOR3(0, 1, 0)));
    EXPECT_EQ(Compter(device, D3DTS_VIEW), 1);
    EXPECT_EQ(Compter(device, D3DTS_PROJECTION), 1);
    EXPECT_EQ(device.journal().size(), 2u);
    EXPECT_TRUE(MemesBits(device.transform(D3DTS_PROJECTION), projection)) << "the projection never changes";

    D3DXMATRIX vue;
    D3DXMatrixLookAtLH(&vue, &camera.Oeil, &camera.Cible, &camera.Haut);
    EXPECT_TRUE(MemesBits(device.transform(D3DTS_VIEW), vue));
    EXPECT_TRUE(MemesBits(camera.MatriceVue, vue));
}

// A move and its opposite land on exactly the same eye and the same view, bit for bit.
TEST(Camera, OppositeMovesComeBackExactly)
{
    struct Cas { const char* nom; D3DXVECTOR3 aller; D3DXVECTOR3 retour; };
    const Cas cas[] = {
        {"Up then Down", kHaut, kBas},
        {"Down then Up", kBas, kHaut},
        {"End then Home", kFin, kDebut},
        {"Home then End", kDebut, kFin},
        {"Left then Right", kGauche, kDroite},
        {"Right then Left", kDroite, kGauche},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        RecordingDevice device;
        Camera camera(&device);
        const D3DXVECTOR3 oeil = camera.Oeil;
        const D3DMATRIX vue = device.transform(D3DTS_VIEW);

        camera.Deplacer(c.aller, &device);
        EXPECT_FALSE(MemesBits(device.transform(D3DTS_VIEW), vue)) << "the move must change the view";
        camera.Deplacer(c.retour, &device);

        EXPECT_TRUE(MemesBits(camera.Oeil, oeil));
        EXPECT_TRUE(MemesBits(device.transform(D3DTS_VIEW), vue));
        EXPECT_EQ(Compter(device, D3DTS_VIEW), 3);
    }
}

// Ten steps along +z put the eye straight above the origin along the up direction: the
// view's x and y axes become zero, and nothing can be seen until the eye leaves the line.
TEST(Camera, TenEndPressesPutTheEyeOnTheUpLine)
{
    RecordingDevice device;
    Camera camera(&device);
    for (int i = 0; i < 10; ++i)
        camera.Deplacer(kFin, &device);

    EXPECT_TRUE(MemesBits(camera.Oeil, D3DXVECTOR3(0, 7.5f, 0)));
    const D3DMATRIX vue = device.transform(D3DTS_VIEW);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(vue.m[i][0], 0.0f) << "row " << i;
        EXPECT_EQ(vue.m[i][1], 0.0f) << "row " << i;
    }
    EXPECT_NEAR(vue._23, -1.0f, 1e-6f) << "still looking down at the origin";
    EXPECT_TRUE(std::isfinite(vue._43));

    camera.Deplacer(kFin, &device);
    const D3DMATRIX apres = device.transform(D3DTS_VIEW);
    EXPECT_NE(apres._11, 0.0f) << "one more step leaves the line and the view is whole again";
    EXPECT_NE(apres._22, 0.0f);
}

TEST(Camera, TenHomePressesAfterTenEndPressesComeBackExactly)
{
    RecordingDevice device;
    Camera camera(&device);
    const D3DMATRIX vue = device.transform(D3DTS_VIEW);
    for (int i = 0; i < 10; ++i)
        camera.Deplacer(kFin, &device);
    for (int i = 0; i < 10; ++i)
        camera.Deplacer(kDebut, &device);
    EXPECT_TRUE(MemesBits(camera.Oeil, D3DXVECTOR3(0, 7.5f, -10)));
    EXPECT_TRUE(MemesBits(device.transform(D3DTS_VIEW), vue));
}
