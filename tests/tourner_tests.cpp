// The renderer's function objects over the scene list: Tourner, which turns each object
// about its own position, and Detruire, which deletes them.
#include "Detruire.h"
#include "Tourner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

// A scene object that draws nothing and tells when it is destroyed.
class Objet : public IDessinable
{
public:
    explicit Objet(const D3DXVECTOR3& position, int* detruits = nullptr)
        : IDessinable(position), m_detruits(detruits) {}
    ~Objet() override
    {
        if (m_detruits)
            ++*m_detruits;
    }
    void Afficher(IDirect3DDevice9*) override {}
    void Tracer(IDirect3DDevice9*) override {}

private:
    int* m_detruits;
};

bool MemesBits(const D3DMATRIX& a, const D3DMATRIX& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Element by element, so that a zero may come out of a product with either sign.
void ExpectEgales(const D3DMATRIX& attendue, const D3DMATRIX& obtenue)
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            EXPECT_EQ(obtenue.m[i][j], attendue.m[i][j]) << "entry " << i << "," << j;
}

// (x, y, z, 1) by m, row-vector convention.
D3DXVECTOR3 Transformer(const D3DMATRIX& m, const D3DXVECTOR3& v)
{
    float r[3];
    for (int j = 0; j < 3; ++j)
        r[j] = v.x * m.m[0][j] + v.y * m.m[1][j] + v.z * m.m[2][j] + m.m[3][j];
    return D3DXVECTOR3(r[0], r[1], r[2]);
}

void ExpectProche(const D3DXVECTOR3& attendu, const D3DXVECTOR3& obtenu, const char* quoi)
{
    EXPECT_NEAR(obtenu.x, attendu.x, 1e-5f) << quoi;
    EXPECT_NEAR(obtenu.y, attendu.y, 1e-5f) << quoi;
    EXPECT_NEAR(obtenu.z, attendu.z, 1e-5f) << quoi;
}

D3DXMATRIX Remplie(float valeur)
{
    D3DXMATRIX m;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            m.m[i][j] = valeur + static_cast<float>(4 * i + j);
    return m;
}

enum class Axe { X, Y, Z };

// Where a unit step from the centre along the two other axes ends up after a turn by `a`
// about `axe`, with the same sense as the left-handed rotation builders.
void ExpectTourneAutour(const D3DMATRIX& monde, const D3DXVECTOR3& centre, Axe axe, float a)
{
    const float co = std::cos(a), si = std::sin(a);
    ExpectProche(centre, Transformer(monde, centre), "the position is a fixed point");
    const D3DXVECTOR3 ex(1, 0, 0), ey(0, 1, 0), ez(0, 0, 1);
    switch (axe) {
    case Axe::X:
        ExpectProche(centre + ex, Transformer(monde, centre + ex), "the axis stays");
        ExpectProche(centre + D3DXVECTOR3(0, co, si), Transformer(monde, centre + ey), "y turns towards z");
        break;
    case Axe::Y:
        ExpectProche(centre + ey, Transformer(monde, centre + ey), "the axis stays");
        ExpectProche(centre + D3DXVECTOR3(si, 0, co), Transformer(monde, centre + ez), "z turns towards x");
        break;
    case Axe::Z:
        ExpectProche(centre + ez, Transformer(monde, centre + ez), "the axis stays");
        ExpectProche(centre + D3DXVECTOR3(co, si, 0), Transformer(monde, centre + ex), "x turns towards y");
        break;
    }
}

} // namespace

// ---------------------------------------------------------------------------------------
// Tourner

// The place in the list picks the axis: X, Y, Z for the first three, then the same turn
// again, so that no object is ever left with an undefined matrix.
TEST(Tourner, TurnsEachObjectAboutItsOwnPositionOnTheAxisOfItsPlace)
{
    const float angle = 0.7f;
    const Axe axes[] = {Axe::X, Axe::Y, Axe::Z, Axe::X, Axe::Y, Axe::Z, Axe::X};
    std::vector<IDessinable*> liste;
    for (int i = 0; i < 7; ++i)
        liste.push_back(new Objet(D3DXVECTOR3(1.5f * static_cast<float>(i) - 2, 3.0f - static_cast<float>(i), 0.25f * static_cast<float>(i) + 1)));

    Tourner fin = std::for_each(liste.begin(), liste.end(), Tourner(angle));
    EXPECT_EQ(fin.compteur, 7);

    for (size_t i = 0; i < liste.size(); ++i) {
        SCOPED_TRACE("element " + std::to_string(i));
        ExpectTourneAutour(liste[i]->ObtenirMonde(), liste[i]->ObtenirPosition(), axes[i], angle);
    }
    std::for_each(liste.begin(), liste.end(), Detruire());
}

// The world matrix is built from the rotation builders of the math library through the
// position, exactly as the drawing will use it.
TEST(Tourner, WorldMatrixIsTheRotationThroughThePosition)
{
    const D3DXVECTOR3 position(2, -1, 0.5f);
    D3DXMATRIX (*const constructeurs[])(float) = {
        [](float a) { D3DXMATRIX m; D3DXMatrixRotationX(&m, a); return m; },
        [](float a) { D3DXMATRIX m; D3DXMatrixRotationY(&m, a); return m; },
        [](float a) { D3DXMATRIX m; D3DXMatrixRotationZ(&m, a); return m; },
    };
    D3DXMATRIX versOrigine, versPosition;
    D3DXMatrixTranslation(&versOrigine, -position.x, -position.y, -position.z);
    D3DXMatrixTranslation(&versPosition, position.x, position.y, position.z);

    Tourner t(2.5f);
    for (int k = 0; k < 6; ++k) {
        SCOPED_TRACE("element " + std::to_string(k));
        Objet objet(position);
        t(&objet);
        ExpectEgales(versOrigine * constructeurs[k % 3](2.5f) * versPosition, objet.ObtenirMonde());
    }
}

// At the origin both translations vanish: the first object's world is the bare rotation
// about X, as the village's is.
TEST(Tourner, AtTheOriginTheFirstObjectGetsTheBareRotationAboutX)
{
    for (float angle : {0.0f, 0.1068f, 3.14159265f, 6.2f, -1.0f}) {
        SCOPED_TRACE(angle);
        Objet village(D3DXVECTOR3(0, 0, 0));
        Tourner t(angle);
        t(&village);
        D3DXMATRIX rotation;
        D3DXMatrixRotationX(&rotation, angle);
        ExpectEgales(rotation, village.ObtenirMonde());
    }
}

TEST(Tourner, AngleZeroGivesTheIdentityWhereverTheObjectStands)
{
    D3DXMATRIX identite;
    D3DXMatrixIdentity(&identite);
    Tourner t(0.0f);
    for (int k = 0; k < 4; ++k) {
        Objet objet(D3DXVECTOR3(3.5f, -7.25f, 0.125f));
        objet.ObtenirMonde() = Remplie(9);
        t(&objet);
        SCOPED_TRACE("element " + std::to_string(k));
        ExpectEgales(identite, objet.ObtenirMonde());
    }
}

// The angle is the total one: the old world matrix is replaced, never multiplied into, so
// two updates leave the rotation by the second angle alone.
TEST(Tourner, OverwritesTheWorldMatrix)
{
    Objet objet(D3DXVECTOR3(1, 2, 3));
    objet.ObtenirMonde() = Remplie(-4);
    Tourner premier(0.9f);
    premier(&objet);

    Tourner second(0.3f);
    second(&objet);

    Objet neuf(D3DXVECTOR3(1, 2, 3));
    Tourner reference(0.3f);
    reference(&neuf);
    EXPECT_TRUE(MemesBits(objet.ObtenirMonde(), neuf.ObtenirMonde()));
    ExpectTourneAutour(objet.ObtenirMonde(), objet.ObtenirPosition(), Axe::X, 0.3f);
}

// A missing object is passed over without a crash, and the objects after it keep the axes
// of their places.
TEST(Tourner, PassesOverANullElementKeepingThePlaces)
{
    Objet a(D3DXVECTOR3(0, 0, 0)), c(D3DXVECTOR3(1, 1, 1));
    std::vector<IDessinable*> liste = {&a, nullptr, &c};
    Tourner fin = std::for_each(liste.begin(), liste.end(), Tourner(0.5f));
    EXPECT_EQ(fin.compteur, 3);
    ExpectTourneAutour(a.ObtenirMonde(), a.ObtenirPosition(), Axe::X, 0.5f);
    ExpectTourneAutour(c.ObtenirMonde(), c.ObtenirPosition(), Axe::Z, 0.5f);
}

// ---------------------------------------------------------------------------------------
// Detruire

TEST(Detruire, DeletesThroughTheVirtualDestructorAndSkipsNull)
{
    int detruits = 0;
    std::vector<IDessinable*> liste = {new Objet(D3DXVECTOR3(0, 0, 0), &detruits), nullptr,
                                       new Objet(D3DXVECTOR3(1, 0, 0), &detruits)};
    std::for_each(liste.begin(), liste.end(), Detruire());
    EXPECT_EQ(detruits, 2);

    Detruire detruire;
    detruire(nullptr);
    EXPECT_EQ(detruits, 2);
}
