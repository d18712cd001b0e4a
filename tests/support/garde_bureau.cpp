// Keeps Wine's desktop process alive for a whole test run: Wine ends it soon after the last
// window goes, and the next test to make a window would start it again with its own output
// handles, so that CTest would wait on that test until the desktop ended.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    if (!::CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr))
        return 1;
    for (MSG msg; ::GetMessageA(&msg, nullptr, 0, 0) > 0;)
        ::DispatchMessageA(&msg);
    return 0;
}
