// The fault-injecting d3d9.dll that the end-to-end scripts put beside the program: each case
// runs the small client from the proxy's folder in a process of its own, as the program
// runs there, and reads what the client printed and what the proxy reported at unload.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

namespace {

using Lignes = std::map<std::string, std::string>;

struct Execution
{
    Lignes sortie;                 // what the client printed
    Lignes bilan;                  // what the proxy reported
    bool bilanEcrit = false;
};

std::string DossierProxy()
{
    char chemin[MAX_PATH];
    DWORD n = ::GetModuleFileNameA(nullptr, chemin, MAX_PATH);
    std::string dossier(chemin, n);
    return dossier.substr(0, dossier.find_last_of("\\/")) + "\\d3d9proxy";
}

Lignes Analyser(const std::string& texte)
{
    Lignes lignes;
    std::istringstream flux(texte);
    std::string ligne;
    while (std::getline(flux, ligne)) {
        if (!ligne.empty() && ligne.back() == '\r')
            ligne.pop_back();
        auto espace = ligne.find(' ');
        if (espace != std::string::npos)
            lignes[ligne.substr(0, espace)] = ligne.substr(espace + 1);
    }
    return lignes;
}

std::string LireFichier(const std::string& chemin, bool& trouve)
{
    HANDLE h = ::CreateFileA(chemin.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    trouve = h != INVALID_HANDLE_VALUE;
    std::string texte;
    if (!trouve)
        return texte;
    char tampon[512];
    DWORD lus = 0;
    while (::ReadFile(h, tampon, sizeof tampon, &lus, nullptr) && lus > 0)
        texte.append(tampon, lus);
    ::CloseHandle(h);
    return texte;
}

// Runs the client with the given fault (empty: none) and argument. The client inherits the
// environment; Wine's loader takes the d3d9 override from the one the test started with.
Execution Lancer(const char* faute, const char* argument = "complet")
{
    Execution r;
    char temp[MAX_PATH];
    char bilan[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    EXPECT_NE(::GetTempFileNameA(temp, "prx", 0, bilan), 0u);
    ::DeleteFileA(bilan);

    ::SetEnvironmentVariableA("KERVALEN_D3D9_FAUTE", *faute ? faute : nullptr);
    ::SetEnvironmentVariableA("KERVALEN_D3D9_BILAN", bilan);

    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE lecture = nullptr, ecriture = nullptr;
    EXPECT_TRUE(::CreatePipe(&lecture, &ecriture, &sa, 0));
    ::SetHandleInformation(lecture, HANDLE_FLAG_INHERIT, 0);

    std::string dossier = DossierProxy();
    std::string ligne = "\"" + dossier + "\\d3d9proxy_client.exe\" " + argument;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = ecriture;
    si.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    si.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi = {};
    BOOL lance = ::CreateProcessA(nullptr, &ligne[0], nullptr, nullptr, TRUE, 0, nullptr,
                                  dossier.c_str(), &si, &pi);
    ::CloseHandle(ecriture);
    EXPECT_TRUE(lance) << "cannot start " << ligne << ", error " << ::GetLastError();
    std::string texte;
    if (lance) {
        char tampon[512];
        DWORD lus = 0;
        while (::ReadFile(lecture, tampon, sizeof tampon, &lus, nullptr) && lus > 0)
            texte.append(tampon, lus);
        ::WaitForSingleObject(pi.hProcess, INFINITE);
        DWORD code = 1;
        ::GetExitCodeProcess(pi.hProcess, &code);
        EXPECT_EQ(code, 0u) << texte;
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
    }
    ::CloseHandle(lecture);
    r.sortie = Analyser(texte);
    r.bilan = Analyser(LireFichier(bilan, r.bilanEcrit));
    ::DeleteFileA(bilan);
    return r;
}

} // namespace

// Without a fault the client really draws on the system runtime through the proxy, and
// giving everything back leaves nothing alive.
TEST(D3d9Proxy, ForwardsToTheRealRuntimeAndCountsNothingAliveWhenAllIsReleased)
{
    Execution r = Lancer("");
    EXPECT_EQ(r.sortie["objet"], "1");
    EXPECT_EQ(r.sortie["mode"], "0");
    EXPECT_GT(std::stol(r.sortie["largeur"]), 0);
    EXPECT_EQ(r.sortie["peripherique"], "0");
    EXPECT_EQ(r.sortie["pointeur"], "1");
    EXPECT_EQ(r.sortie["tampon"], "1");
    // Wine names its own d3d9 after the file it replaced, so only the report proves that
    // the proxy was loaded.
    ASSERT_TRUE(r.bilanEcrit) << "the proxy was not loaded or wrote no report at unload";
    EXPECT_EQ(r.bilan["objets"], "1");
    EXPECT_EQ(r.bilan["vivants"], "0");
}

// Each injected fault reaches the caller as the start-up code sees it, touches nothing
// else, and leaves nothing alive once the client has given back what it had.
TEST(D3d9Proxy, InjectsEachStartUpFault)
{
    struct Cas
    {
        const char* faute;
        const char* objet;
        const char* mode;          // nullptr: the client never got that far
        const char* peripherique;
        const char* objets;
    };
    const Cas cas[] = {
        {"Direct3DCreate9", "0", nullptr, nullptr, "0"},
        {"GetAdapterDisplayMode=0x8876086A", "1", "-2005530518", nullptr, "1"},
        {"GetAdapterDisplayMode=1", "1", "1", nullptr, "1"},
        {"CreateDevice=-2005530518", "1", "0", "-2005530518", "1"},
        {"CreateDevice=0x8876086A", "1", "0", "-2005530518", "1"},
        {"CreateDevice=1", "1", "0", "1", "1"},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.faute);
        Execution r = Lancer(c.faute);
        EXPECT_EQ(r.sortie["objet"], c.objet);
        if (c.mode) {
            EXPECT_EQ(r.sortie["mode"], c.mode);
        }
        if (c.peripherique) {
            EXPECT_EQ(r.sortie["peripherique"], c.peripherique);
            EXPECT_EQ(r.sortie["pointeur"], "0") << "a failed CreateDevice must hand back no device";
            EXPECT_EQ(r.sortie.count("tampon"), 0u);
        }
        ASSERT_TRUE(r.bilanEcrit);
        EXPECT_EQ(r.bilan["objets"], c.objets);
        EXPECT_EQ(r.bilan["vivants"], "0");
    }
}

// A fault text the proxy cannot read injects nothing rather than some guessed fault, and a
// zero code lets the call through rather than answer success with nothing done.
TEST(D3d9Proxy, IgnoresAnUnreadableOrZeroFault)
{
    for (const char* faute : {"CreateDevice=", "CreateDevice=12abc", "Present=1", "Direct3DCreate",
                              "CreateDevice=0", "GetAdapterDisplayMode=0x0"}) {
        SCOPED_TRACE(faute);
        Execution r = Lancer(faute);
        EXPECT_EQ(r.sortie["objet"], "1");
        EXPECT_EQ(r.sortie["mode"], "0");
        EXPECT_GT(std::stol(r.sortie["largeur"]), 0) << "the display mode must be filled";
        EXPECT_EQ(r.sortie["peripherique"], "0");
        EXPECT_EQ(r.sortie["pointeur"], "1");
        EXPECT_EQ(r.bilan["vivants"], "0");
    }
}

// The count must see a leak wherever it is: the Direct3D object itself, the device, or
// only a buffer of the device.
TEST(D3d9Proxy, ReportsWhatIsLeftAlive)
{
    for (const char* argument : {"fuite-objet", "fuite-peripherique", "fuite-tampon"}) {
        SCOPED_TRACE(argument);
        Execution r = Lancer("", argument);
        EXPECT_EQ(r.sortie["peripherique"], "0");
        ASSERT_TRUE(r.bilanEcrit);
        EXPECT_EQ(r.bilan["objets"], "1");
        EXPECT_NE(r.bilan["vivants"], "0");
        EXPECT_FALSE(r.bilan["vivants"].empty());
    }
}
