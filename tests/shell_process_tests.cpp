// The built program as a process: the place and size it is started with, its square
// window, and the exit codes that end it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// The program's path as Wine's drive Z: sees the Unix path the build gives us.
std::string CheminProgramme()
{
    std::string chemin = "Z:" KERVALEN_EXE;
    for (char& c : chemin)
        if (c == '/')
            c = '\\';
    return chemin;
}

struct Recherche
{
    DWORD pid;
    HWND trouvee;
};

BOOL CALLBACK ChercherFenetre(HWND h, LPARAM l)
{
    Recherche* r = reinterpret_cast<Recherche*>(l);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(h, &pid);
    char titre[64] = "";
    ::GetWindowTextA(h, titre, sizeof titre);
    if (pid == r->pid && ::IsWindowVisible(h) && std::string(titre) == "Programme test") {
        r->trouvee = h;
        return FALSE;
    }
    return TRUE;
}

class Programme
{
public:
    // Started as the first window of a process may be placed: by its start-up information.
    Programme(int x, int y, int cx, int cy)
    {
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USEPOSITION | STARTF_USESIZE;
        si.dwX = static_cast<DWORD>(x);
        si.dwY = static_cast<DWORD>(y);
        si.dwXSize = static_cast<DWORD>(cx);
        si.dwYSize = static_cast<DWORD>(cy);
        std::string ligne = "\"" + CheminProgramme() + "\"";
        m_lance = ::CreateProcessA(nullptr, &ligne[0], nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &si, &m_pi) != FALSE;
    }
    ~Programme()
    {
        if (m_lance) {
            if (::WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT)
                ::TerminateProcess(m_pi.hProcess, 99);
            ::CloseHandle(m_pi.hThread);
            ::CloseHandle(m_pi.hProcess);
        }
    }
    bool Lance() const { return m_lance; }

    // The program's visible main window, once it is up (waits for it, at most 60 s).
    HWND Fenetre()
    {
        for (int i = 0; i < 600; ++i) {
            Recherche recherche = {m_pi.dwProcessId, nullptr};
            ::EnumWindows(&ChercherFenetre, reinterpret_cast<LPARAM>(&recherche));
            if (recherche.trouvee != nullptr)
                return recherche.trouvee;
            if (::WaitForSingleObject(m_pi.hProcess, 100) != WAIT_TIMEOUT)
                return nullptr;  // ended without a window
        }
        return nullptr;
    }

    // The exit code, once the program has ended (waits at most 60 s); -1 if it did not.
    long CodeDeSortie()
    {
        if (::WaitForSingleObject(m_pi.hProcess, 60000) != WAIT_OBJECT_0)
            return -1;
        DWORD code = 0;
        ::GetExitCodeProcess(m_pi.hProcess, &code);
        return static_cast<long>(code);
    }

    DWORD Thread() const { return m_pi.dwThreadId; }

private:
    PROCESS_INFORMATION m_pi = {};
    bool m_lance = false;
};

struct Placement
{
    RECT demande;
    RECT carre;
};

class Carre : public ::testing::TestWithParam<Placement>
{
};

TEST_P(Carre, MainWindowIsMadeSquareKeepingItsTopLeftCorner)
{
    const Placement& p = GetParam();
    Programme programme(p.demande.left, p.demande.top, p.demande.right - p.demande.left,
                        p.demande.bottom - p.demande.top);
    ASSERT_TRUE(programme.Lance());
    HWND hWnd = programme.Fenetre();
    ASSERT_NE(hWnd, nullptr);
    RECT r;
    ::GetWindowRect(hWnd, &r);
    EXPECT_EQ(r.left, p.carre.left);
    EXPECT_EQ(r.top, p.carre.top);
    EXPECT_EQ(r.right, p.carre.right);
    EXPECT_EQ(r.bottom, p.carre.bottom);

    ::PostMessageA(hWnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(programme.CodeDeSortie(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Exemples, Carre,
    ::testing::Values(Placement{{100, 80, 1100, 780}, {100, 80, 800, 780}},  // 1000 x 700
                      Placement{{100, 80, 700, 980}, {100, 80, 700, 680}},   // 600 x 900
                      Placement{{30, 40, 530, 540}, {30, 40, 530, 540}}),    // a tie
    [](const ::testing::TestParamInfo<Placement>& info) {
        const RECT& d = info.param.demande;
        return std::to_string(d.right - d.left) + "x" + std::to_string(d.bottom - d.top);
    });

TEST(Sortie, QuitSevenPostedToTheProgramBecomesItsExitCode)
{
    Programme programme(50, 50, 400, 400);
    ASSERT_TRUE(programme.Lance());
    ASSERT_NE(programme.Fenetre(), nullptr);
    ASSERT_TRUE(::PostThreadMessageA(programme.Thread(), WM_QUIT, 7, 0));
    EXPECT_EQ(programme.CodeDeSortie(), 7);
}

}  // namespace
