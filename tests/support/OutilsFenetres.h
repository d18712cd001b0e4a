// Helpers for suites that create the program's windows in their own process: emptying the
// thread's queue, and capturing the framework's message boxes instead of showing them.
#pragma once

#include <afxwin.h>

#include <string>
#include <vector>

// Dispatches whatever waits in the thread's queue; returns the codes of the WM_QUITs taken.
inline std::vector<WPARAM> ViderFile()
{
    std::vector<WPARAM> quits;
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            quits.push_back(msg.wParam);
        else
            ::DispatchMessageA(&msg);
    }
    return quits;
}

struct Boite
{
    HWND owner;
    bool ownerVisible;
    std::string text;
    std::string caption;
    UINT type;
};
inline std::vector<Boite> g_boites;

inline int CapturerBoite(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    g_boites.push_back({owner, owner != nullptr && ::IsWindowVisible(owner) != FALSE, text,
                        caption, type});
    return IDOK;
}

// While it lives, every box of the framework is recorded in g_boites and answered with OK.
class BoitesCapturees
{
public:
    BoitesCapturees() : m_previous(AfxSetMessageBoxFunction(&CapturerBoite)) { g_boites.clear(); }
    ~BoitesCapturees() { AfxSetMessageBoxFunction(m_previous); }
    BoitesCapturees(const BoitesCapturees&) = delete;
    BoitesCapturees& operator=(const BoitesCapturees&) = delete;

private:
    AFX_MESSAGEBOX_FN m_previous;
};
