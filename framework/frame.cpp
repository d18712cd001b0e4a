// CFrameWnd: a top-level window with a menu, which routes its commands on to the
// application and goes away with its window.
#include "afxwin.h"

namespace {
const char kFrameClass[] = "CFrameWnd";

// Registers the framework's frame window class once per process.
LPCSTR FrameClass()
{
    HINSTANCE hInstance = AfxGetInstanceHandle();
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    if (!::GetClassInfoExA(hInstance, kFrameClass, &wc)) {
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = &AfxWndProc;
        wc.hInstance = hInstance;
        wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = kFrameClass;
        if (!::RegisterClassExA(&wc))
            return nullptr;
    }
    return kFrameClass;
}
}   // namespace

const CRect CFrameWnd::rectDefault(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_CLOSE()
END_MESSAGE_MAP()

BOOL CFrameWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, LPCSTR lpszMenuName, DWORD dwExStyle, CCreateContext*)
{
    HMENU hMenu = nullptr;
    if (lpszMenuName != nullptr) {
        hMenu = ::LoadMenuA(AfxGetInstanceHandle(), lpszMenuName);
        if (hMenu == nullptr) {
            // Without its menu the frame is not what the caller asked for.
            RefuseCreation();
            return FALSE;
        }
    }

    // rectDefault leaves both place and size to the system; computing a width from it
    // would overflow.
    int x = CW_USEDEFAULT, y = CW_USEDEFAULT, cx = CW_USEDEFAULT, cy = CW_USEDEFAULT;
    if (rect.left != CW_USEDEFAULT) {
        x = rect.left;
        y = rect.top;
        cx = rect.right - rect.left;
        cy = rect.bottom - rect.top;
    }
    if (!CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, x, y, cx, cy,
                  pParentWnd != nullptr ? pParentWnd->m_hWnd : nullptr, hMenu)) {
        // A window that existed, however briefly, took its menu with it.
        if (hMenu != nullptr && ::IsMenu(hMenu))
            ::DestroyMenu(hMenu);
        return FALSE;
    }
    return TRUE;
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (cs.lpszClass == nullptr) {
        cs.lpszClass = FrameClass();
        if (cs.lpszClass == nullptr)
            return FALSE;
    }
    return CWnd::PreCreateWindow(cs);
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    CWinApp* pApp = AfxGetApp();
    return pApp != nullptr && pApp->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

LRESULT CFrameWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // HIWORD(lParam) is TRUE for the window's system menu, which is left alone.
    if (message == WM_INITMENUPOPUP && !HIWORD(lParam))
        OnInitMenuPopup(reinterpret_cast<HMENU>(wParam));
    return CWnd::WindowProc(message, wParam, lParam);
}

void CFrameWnd::OnInitMenuPopup(HMENU hMenu)
{
    const int count = ::GetMenuItemCount(hMenu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU;
        if (!::GetMenuItemInfoA(hMenu, static_cast<UINT>(i), TRUE, &info))
            continue;
        if ((info.fType & MFT_SEPARATOR) != 0 || info.hSubMenu != nullptr)
            continue;
        AFX_CMDHANDLERINFO handler = {};
        const BOOL bHandled = OnCmdMsg(info.wID, CN_COMMAND, nullptr, &handler);
        ::EnableMenuItem(hMenu, static_cast<UINT>(i),
                         MF_BYPOSITION | (bHandled ? MF_ENABLED : MF_GRAYED));
    }
}

void CFrameWnd::PostNcDestroy()
{
    delete this;
}

int CFrameWnd::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    return CWnd::OnCreate(lpCreateStruct);
}

void CFrameWnd::OnDestroy()
{
    CWnd::OnDestroy();
}

void CFrameWnd::OnClose()
{
    DestroyWindow();
}

void CFrameWnd::AssertValid() const
{
    CWnd::AssertValid();
}

void CFrameWnd::Dump(CDumpContext& dc) const
{
    CWnd::Dump(dc);
}
