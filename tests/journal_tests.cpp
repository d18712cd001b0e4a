// The normals log: its exact lines, what writes to it and what does not, a folder that does
// not exist, the emptying at start, and its life around the program's static objects.
#include "Bloc.h"
#include "JournalNormales.h"
#include "MorceauDePlan.h"
#include "Pyramide.h"
#include "RecordingDevice.h"
#include "SceneLecture.h"
#include "Village.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

using namespace kvtest;

namespace {

std::string DossierTemporaire()
{
    char dossier[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, dossier);
    return dossier;
}

// A name of its own for each test and each process: the suites run in parallel.
std::string NomUnique(const char* suffixe)
{
    const ::testing::TestInfo* t = ::testing::UnitTest::GetInstance()->current_test_info();
    std::ostringstream nom;
    nom << "kervalen-" << ::GetCurrentProcessId() << "-" << t->name() << suffixe;
    return nom.str();
}

bool Existe(const std::string& chemin)
{
    return ::GetFileAttributesA(chemin.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Lire(const std::string& chemin)
{
    std::ifstream f(chemin, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// Points the process's log at a file of the test's own, and back to nowhere after it.
class JournalFichier : public ::testing::Test
{
protected:
    void SetUp() override
    {
        chemin = DossierTemporaire() + NomUnique(".txt");
        LeJournalNormales().Rouvrir(chemin.c_str());
    }
    void TearDown() override
    {
        LeJournalNormales().Rouvrir("NUL");
        ::DeleteFileA(chemin.c_str());
    }
    // Read while the log is still open: every line must already be in the file.
    std::string Contenu() const { return Lire(chemin); }

    std::string chemin;
};

const char* const kHauteurDeux =
    "Normale: 0,-16.9706,12\r\n"
    "Normale: -16.9706,0,-12\r\n"
    "Normale: 0,16.9706,12\r\n"
    "Normale: 16.9706,0,-12\r\n";

} // namespace

TEST_F(JournalFichier, EachPyramidWritesItsFourSideNormalsInOrder)
{
    struct Cas { float hauteur; const char* lignes; };
    const Cas cas[] = {
        {1.0f, "Normale: 0,-4.24264,3\r\nNormale: -4.24264,0,-3\r\nNormale: 0,4.24264,3\r\nNormale: 4.24264,0,-3\r\n"},
        {2.0f, kHauteurDeux},
        {0.0f, "Normale: 0,0,0\r\nNormale: 0,0,0\r\nNormale: 0,0,0\r\nNormale: 0,0,0\r\n"},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.hauteur);
        LeJournalNormales().Rouvrir(chemin.c_str());
        RecordingDevice device;
        Pyramide pyramide(D3DXVECTOR3(0, 0, 0), c.hauteur, &device);
        EXPECT_EQ(Contenu(), c.lignes);
    }
}

// Each line is "Normale: " and the three components in the stream's default format (%g,
// six significant digits, two exponent digits), computed in double from the float inputs
// and rounded once.
TEST_F(JournalFichier, CalculerNormaleWritesAndReturnsTheUnnormalisedCrossProduct)
{
    const float eps = std::ldexp(1.0f, -23);
    const float unPeu = 1.0f + std::ldexp(1.0f, -12);
    const float grand = std::ldexp(1.0f, 30);
    const float minuscule = std::ldexp(1.0f, -30);
    struct Cas
    {
        const char* quoi;
        D3DXVECTOR3 u, v, w;
        float x, y, z;
        const char* ligne;
    };
    const Cas cas[] = {
        {"exponent form", {0, 0, 0}, {0, eps, 0}, {0, 0, 1}, eps, 0, 0, "Normale: 1.19209e-07,0,0"},
        {"large value", {0, 0, 0}, {0, 1234567, 0}, {0, 0, 1}, 1234567, 0, 0, "Normale: 1.23457e+06,0,0"},
        {"negative zero", {0, 0, 0}, {1, 0, 0}, {0, 0, -1}, -0.0f, 1, 0, "Normale: -0,1,0"},
        // (1 + 2^-12)^2 - 1 needs double products: float ones would give 2^-11.
        {"double products", {0, 0, 0}, {0, unPeu, 1}, {0, 1, unPeu},
         std::ldexp(1.0f, -11) + std::ldexp(1.0f, -24), 0, 0, "Normale: 0.000488341,0,0"},
        // 1 - 2^-30 survives as a double difference (it would be 1 in float, and the
        // products would then cancel to 0).
        {"double differences", {0, minuscule, 0}, {0, 1, 1}, {0, grand, grand}, -1, 0, 0, "Normale: -1,0,0"},
    };
    std::string attendu;
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.quoi);
        const D3DXVECTOR3 n = CalculerNormale(c.u, c.v, c.w);
        EXPECT_TRUE(MemesBits(n.x, c.x)) << n.x;
        EXPECT_TRUE(MemesBits(n.y, c.y)) << n.y;
        EXPECT_TRUE(MemesBits(n.z, c.z)) << n.z;
        attendu += std::string(c.ligne) + "\r\n";
        EXPECT_EQ(Contenu(), attendu);
    }
}

TEST_F(JournalFichier, VillageWritesTwelveLinesFourPerRoofAndNothingFromTheGround)
{
    RecordingDevice device;
    {
        Plan sol(D3DXVECTOR3(0, 0, -0.1f), &device, 2, 4);
        MorceauDePlan morceau(D3DXVECTOR3(0, 0, 0), &device);
        Bloc bloc(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(2, 2, 2), &device);
    }
    EXPECT_EQ(Contenu(), "");
    Village village(&device);
    EXPECT_EQ(Contenu(), std::string(kHauteurDeux) + kHauteurDeux + kHauteurDeux);
}

TEST_F(JournalFichier, RoofWhoseBuffersCannotBeMadeStillLogsItsNormals)
{
    RecordingDevice device;
    device.failCreateVertexBuffer.set(E_OUTOFMEMORY);
    device.failCreateIndexBuffer.set(E_OUTOFMEMORY);
    Pyramide pyramide(D3DXVECTOR3(0, 0, 0), 2.0f, &device);
    EXPECT_EQ(Contenu(), kHauteurDeux);
}

TEST_F(JournalFichier, WithoutTheFolderNothingIsWrittenAndTheSceneIsTheSame)
{
    const std::string dossier = DossierTemporaire() + NomUnique("-absent");
    const std::string absent = dossier + "\\Normales.txt";
    ASSERT_FALSE(Existe(dossier));

    RecordingDevice avec;
    Village reference(&avec);

    LeJournalNormales().Rouvrir(absent.c_str());
    RecordingDevice sans;
    Village village(&sans);
    EXPECT_FALSE(Existe(dossier));
    EXPECT_FALSE(Existe(absent));
    ASSERT_EQ(sans.vertexBuffers().size(), avec.vertexBuffers().size());
    for (std::size_t i = 0; i < avec.vertexBuffers().size(); ++i)
        EXPECT_EQ(sans.vertexBuffers()[i]->bytes(), avec.vertexBuffers()[i]->bytes()) << "buffer " << i;
    EXPECT_EQ(sans.journal().methods(), avec.journal().methods());

    // The log is usable again as soon as it points somewhere that exists.
    LeJournalNormales().Rouvrir(chemin.c_str());
    Pyramide pyramide(D3DXVECTOR3(0, 0, 0), 2.0f, &sans);
    EXPECT_EQ(Contenu(), kHauteurDeux);
}

TEST_F(JournalFichier, OpeningTheLogEmptiesTheFileBeforeAnythingIsWritten)
{
    const std::string ancien = DossierTemporaire() + NomUnique("-ancien.txt");
    {
        std::ofstream f(ancien);
        f << "Normale: 1,2,3\nNormale: 4,5,6\n";
    }
    ASSERT_NE(Lire(ancien), "");
    {
        JournalNormales journal(ancien.c_str());
        EXPECT_EQ(Lire(ancien), "");
    }
    EXPECT_TRUE(Existe(ancien));
    EXPECT_EQ(Lire(ancien), "");
    ::DeleteFileA(ancien.c_str());
}

// The probe's static objects write to the log from their constructors and destructors; it
// exits cleanly only if the log outlives both.
TEST(JournalOrdre, LogIsBuiltBeforeAndDestroyedAfterTheStaticObjectsOfAnIncludingFile)
{
    char module[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string sonde(module);
    sonde = sonde.substr(0, sonde.find_last_of("\\/") + 1) + "journal_order_probe.exe";
    const std::string journal = sonde + ".log";
    ::DeleteFileA(journal.c_str());

    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string ligne = "\"" + sonde + "\"";
    ASSERT_TRUE(::CreateProcessA(sonde.c_str(), &ligne[0], nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &si, &pi))
        << ::GetLastError();
    ::WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 1;
    ::GetExitCodeProcess(pi.hProcess, &code);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    EXPECT_EQ(code, 0u);

    const std::string contenu = Lire(journal);
    ::DeleteFileA(journal.c_str());
    const std::size_t c1 = contenu.find("construction avant"), c2 = contenu.find("construction apres");
    const std::size_t d1 = contenu.find("destruction avant"), d2 = contenu.find("destruction apres");
    ASSERT_NE(c1, std::string::npos) << contenu;
    ASSERT_NE(c2, std::string::npos) << contenu;
    ASSERT_NE(d1, std::string::npos) << contenu;
    ASSERT_NE(d2, std::string::npos) << contenu;
    EXPECT_LT(std::max(c1, c2), std::min(d1, d2)) << contenu;
}
