// The application's message loop. It polls instead of waiting: every waiting message is
// handled first, and an empty queue lets the main frame advance and draw.
#pragma once

#include <afxwin.h>

// TCadre is the main frame's class, which offers bool Animer(). The main window is read
// again on every pass: once the frame is gone, its WM_QUIT is always waiting, so Animer is
// never called on a cleared main window.
template <class TCadre>
int BouclerMessages(CWinApp& app)
{
    MSG msg = {};
    bool fin = false;
    while (!fin) {
        if (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                fin = true;
            // WM_QUIT too: a window it was posted to gets to see it.
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        } else if (!static_cast<TCadre*>(app.m_pMainWnd)->Animer()) {
            fin = true;
        }
    }
    return static_cast<int>(msg.wParam);
}
