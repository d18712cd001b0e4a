// Keeps Wine's desktop process alive for a whole test run. Wine ends that process a little
// after the desktop's last window goes, and the next process to make a window starts it
// again with its own output handles: CTest then waits on that test until the desktop ends.
// One hidden window, held from before the first test to the end, prevents both.
#include <windows.h>

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = hInstance;
    wc.lpszClassName = "KervalenGardeBureau";
    if (!::RegisterClassA(&wc))
        return 1;
    if (!::CreateWindowA(wc.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                         hInstance, nullptr))
        return 1;
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0)
        ::DispatchMessageA(&msg);
    return 0;
}
