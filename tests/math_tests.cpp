// The math against values worked out by hand, for the arguments the program passes; the roofs'
// normals as the log writes them.
#include "Harnais.h"
#include "JournalNormales.h"
#include "Math3D.h"
#include "Pyramide.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <string>

// Row vectors times the matrix: each builder's effect on points (w = 1), with the program's
// arguments: the turn about x, the view from where the eye starts and from the up line through
// the origin (ten End presses), where the x and y axes normalise to zero, the projection.
TEST(Matrice, TransformsTurnViewAndProjectLeftHanded)
{
    D3DXMATRIX rx, vue, vueLoin, vueHaute, proj;
    const D3DXVECTOR3 oeil(0, 0, -1), loin(0, 7.5f, -10), zero(0, 0, 0), haut(0, 1, 0);
    const D3DXVECTOR3 enHaut(0, 7.5f, 0);
    const float bord = 2 * std::tan(0.7853982f / 2);   // at depth 2, the edge of the field
    struct Cas
    {
        const D3DXMATRIX* m;
        float de[4], vers[4];
    } const cas[] = {
        {D3DXMatrixRotationX(&rx, 3.14159265f / 2), {0, 1, 0, 1}, {0, 0, 1, 1}},
        {D3DXMatrixLookAtLH(&vue, &oeil, &zero, &haut), {0, 0, 0, 1}, {0, 0, 1, 1}},
        {&vue, {1, 1, -1, 1}, {1, 1, 0, 1}},
        {D3DXMatrixLookAtLH(&vueLoin, &loin, &zero, &haut), {0, 7.5f, -10, 1}, {0, 0, 0, 1}},
        {&vueLoin, {0, 0, 0, 1}, {0, 0, 12.5f, 1}},
        {D3DXMatrixLookAtLH(&vueHaute, &enHaut, &zero, &haut), {1, 2, 3, 1}, {0, 0, 5.5f, 1}},
        {D3DXMatrixPerspectiveFovLH(&proj, 0.7853982f, 1, 2, 30), {bord, bord, 2, 1}, {2, 2, 0, 2}},
        {&proj, {0, 0, 30, 1}, {0, 0, 30, 30}},
    };
    for (const Cas& c : cas)
        for (int j = 0; j < 4; ++j) {
            float v = 0;
            for (int i = 0; i < 4; ++i)
                v += c.de[i] * c.m->m[i][j];
            EXPECT_NEAR(v, c.vers[j], 2e-6f) << "row " << &c - cas << ", column " << j;
        }
}

// Each normal is computed in double from the float corners and rounded once, then logged in a
// line of its own. In float, the first product would be 2^-11 and the second difference 0.
TEST(Normale, ComputedInDoubleAndLoggedOneALine)
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
    if (!(*LeJournalNormales()).is_open())   // a frame started in this process has closed it
        (*LeJournalNormales()).open(CheminJournalNormales(), std::ios::app);
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
