// Memory running out while a house, plane or village builds its parts: each allocation in
// turn is made to fail; what was already built must be given back (memory and Direct3D
// buffers), and the exception must reach the caller.
//
// This executable replaces the global operator new and delete. The test doubles allocate
// under an AllocationShield, because a real Direct3D call never throws.
#include "AllocationShield.h"
#include "Maison.h"
#include "Plan.h"
#include "RecordingDevice.h"
#include "Village.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <new>
#include <ostream>

namespace {

long g_avantEchec = -1;   // allocations still allowed before one fails; -1: never fail
long g_vivantes = 0;      // allocations outside the shield that are not yet freed

// Each block starts with a header that says whether it was counted.
const std::size_t kEntete = 16;

void* Allouer(std::size_t taille, bool lancer)
{
    const bool compte = kvtest::g_allocationShield == 0;
    if (compte && g_avantEchec >= 0) {
        if (g_avantEchec == 0) {
            g_avantEchec = -1;     // one failure; the unwinding that follows may allocate
            if (lancer)
                throw std::bad_alloc();
            return nullptr;
        }
        --g_avantEchec;
    }
    char* bloc = static_cast<char*>(std::malloc(taille + kEntete));
    if (bloc == nullptr) {
        if (lancer)
            throw std::bad_alloc();
        return nullptr;
    }
    *reinterpret_cast<bool*>(bloc) = compte;
    if (compte)
        ++g_vivantes;
    return bloc + kEntete;
}

void Rendre(void* p) noexcept
{
    if (p == nullptr)
        return;
    char* bloc = static_cast<char*>(p) - kEntete;
    if (*reinterpret_cast<bool*>(bloc))
        --g_vivantes;
    std::free(bloc);
}

} // namespace

void* operator new(std::size_t taille) { return Allouer(taille, true); }
void* operator new[](std::size_t taille) { return Allouer(taille, true); }
void* operator new(std::size_t taille, const std::nothrow_t&) noexcept { return Allouer(taille, false); }
void* operator new[](std::size_t taille, const std::nothrow_t&) noexcept { return Allouer(taille, false); }
void operator delete(void* p) noexcept { Rendre(p); }
void operator delete[](void* p) noexcept { Rendre(p); }
void operator delete(void* p, std::size_t) noexcept { Rendre(p); }
void operator delete[](void* p, std::size_t) noexcept { Rendre(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Rendre(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Rendre(p); }

namespace {

struct Composite
{
    const char* nom;
    std::function<IDessinable*(IDirect3DDevice9*)> construire;
    int minimum;   // at least this many allocations can fail
};

void PrintTo(const Composite& c, std::ostream* os) { *os << c.nom; }

class MemoireEpuisee : public ::testing::TestWithParam<Composite>
{
};

} // namespace

TEST_P(MemoireEpuisee, EveryFailedAllocationGivesBackWhatWasBuiltAndReachesTheCaller)
{
    const Composite& c = GetParam();
    int echecs = 0;
    for (long n = 0;; ++n) {
        SCOPED_TRACE(::testing::Message() << "allocation " << n << " fails");
        kvtest::RecordingDevice device;
        const long avant = g_vivantes;
        IDessinable* objet = nullptr;
        bool lance = false;
        g_avantEchec = n;
        try {
            objet = c.construire(&device);
        } catch (const std::bad_alloc&) {
            lance = true;
        }
        const bool injecte = g_avantEchec == -1;
        g_avantEchec = -1;

        if (!lance) {
            EXPECT_FALSE(injecte) << "a failed allocation was swallowed";
            delete objet;
        }
        EXPECT_EQ(g_vivantes, avant) << "memory kept";
        for (const auto& b : device.vertexBuffers())
            EXPECT_EQ(b->releaseCalls(), 1) << "vertex buffer";
        for (const auto& b : device.indexBuffers())
            EXPECT_EQ(b->releaseCalls(), 1) << "index buffer";
        if (!lance)
            break;
        ++echecs;
        if (::testing::Test::HasFailure() || n > 10000)
            break;
    }
    EXPECT_GE(echecs, c.minimum);
}

INSTANTIATE_TEST_SUITE_P(
    Scene, MemoireEpuisee,
    ::testing::Values(
        Composite{"Maison", [](IDirect3DDevice9* d) -> IDessinable* { return new Maison(D3DXVECTOR3(0, 0, 0), d); }, 3},
        Composite{"Plan", [](IDirect3DDevice9* d) -> IDessinable* { return new Plan(D3DXVECTOR3(0, 0, 0), d, 2, 4); }, 9},
        Composite{"Village", [](IDirect3DDevice9* d) -> IDessinable* { return new Village(d); }, 14}),
    [](const ::testing::TestParamInfo<Composite>& info) { return std::string(info.param.nom); });
