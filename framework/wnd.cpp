// CObject, CCmdTarget and CWnd: attaching objects to their windows and dispatching
// messages through the message maps.
#include "afxwin.h"

#include <cstdio>
#include <memory>
#include <new>
#include <unordered_map>

namespace {
// The object whose window CreateWindowEx is making: its first message attaches it.
thread_local CWnd* t_pWndInit = nullptr;
// The message being processed, for Default().
thread_local MSG t_lastSent = {};
thread_local std::unordered_map<HWND, CWnd*>* t_pHandleMap = nullptr;
thread_local UINT t_nRefused = 0;

std::unordered_map<HWND, CWnd*>& HandleMap()
{
    // Allocated on first use and kept: windows may still be detached during thread exit.
    if (t_pHandleMap == nullptr)
        t_pHandleMap = new std::unordered_map<HWND, CWnd*>;
    return *t_pHandleMap;
}

// A Windows-1252 text in UTF-16, or nullptr for no text or when memory is short.
wchar_t* Depuis1252(LPCSTR psz)
{
    const int n = psz != nullptr ? ::MultiByteToWideChar(1252, 0, psz, -1, nullptr, 0) : 0;
    wchar_t* p = n > 0 ? new (std::nothrow) wchar_t[n] : nullptr;
    if (p != nullptr && ::MultiByteToWideChar(1252, 0, psz, -1, p, n) == 0) {
        delete[] p;
        p = nullptr;
    }
    return p;
}

}   // namespace

// The program's texts are Windows-1252 whatever the system's ANSI code page (1251 in
// Russia, UTF-8 on some Windows 10 and later), so they are widened from 1252 rather than
// handed to MessageBoxA. Without memory to widen them the 8-bit box still says something.
int AfxShowMessageBox(HWND hWndOwner, LPCSTR lpszText, LPCSTR lpszCaption, UINT nType)
{
    const std::unique_ptr<wchar_t[]> text(Depuis1252(lpszText));
    const std::unique_ptr<wchar_t[]> caption(Depuis1252(lpszCaption));
    if ((lpszText != nullptr && !text) || (lpszCaption != nullptr && !caption))
        return ::MessageBoxA(hWndOwner, lpszText, lpszCaption, nType);
    return ::MessageBoxW(hWndOwner, text.get(), caption.get(), nType);
}

CDumpContext afxDump;

CDumpContext& CDumpContext::operator<<(LPCSTR psz)
{
    ::OutputDebugStringA(psz != nullptr ? psz : "(null)");
    return *this;
}

CDumpContext& CDumpContext::operator<<(const void* p)
{
    char text[32];
    std::snprintf(text, sizeof text, "%p", p);
    return *this << text;
}

void CObject::AssertValid() const {}

void CObject::Dump(CDumpContext& dc) const
{
    dc << "object at " << static_cast<const void*>(this) << "\n";
}

// ---------------------------------------------------------------------------------------
// CCmdTarget

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void*, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr;
         map = map->pfnGetBaseMap != nullptr ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->nMessage != 0; ++e) {
            if (e->nMessage != WM_COMMAND || static_cast<int>(e->nCode) != nCode || nID < e->nID ||
                nID > e->nLastID)
                continue;
            if (pHandlerInfo != nullptr) {
                pHandlerInfo->pTarget = this;
                pHandlerInfo->pfn = e->pfn;
            } else {
                e->pfn(this, 0, 0);
            }
            return TRUE;
        }
    }
    return FALSE;
}

// ---------------------------------------------------------------------------------------
// CWnd

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::~CWnd()
{
    if (m_hWnd != nullptr) {
        // The object goes before its window: messages from now on find no object and get
        // the system's handling, never a half-destroyed one.
        HWND hWnd = m_hWnd;
        Detach();
        ::DestroyWindow(hWnd);
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    if (t_pHandleMap == nullptr)
        return nullptr;
    const auto found = t_pHandleMap->find(hWnd);
    return found != t_pHandleMap->end() ? found->second : nullptr;
}

BOOL CWnd::Attach(HWND hWnd)
{
    // Called from window procedures, where an exception must not go: a failure is answered.
    try {
        HandleMap()[hWnd] = this;
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
    m_hWnd = hWnd;
    m_bDestroySeen = false;
    return TRUE;
}

void CWnd::Detach()
{
    if (m_hWnd != nullptr)
        HandleMap().erase(m_hWnd);
    m_hWnd = nullptr;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT&)
{
    return TRUE;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                    LPVOID lpParam)
{
    CREATESTRUCTA cs = {};
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = static_cast<LONG>(dwStyle);
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = nIDorHMenu;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = lpParam;

    if (!PreCreateWindow(cs)) {
        RefuseCreation();
        return FALSE;
    }

    t_pWndInit = this;
    HWND hWnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName,
                                  static_cast<DWORD>(cs.style), cs.x, cs.y, cs.cx, cs.cy,
                                  cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    // When a refused window had received messages, its last one has already ended the
    // object (a frame deletes itself): from here on only the thread's state may be used.
    const bool bNeverAttached = t_pWndInit != nullptr;
    t_pWndInit = nullptr;
    if (hWnd == nullptr) {
        if (bNeverAttached) {
            RefuseCreation();
        } else {
            ++t_nRefused;
        }
        return FALSE;
    }
    // A class whose procedure is not ours: attached here, so that the wrappers still work.
    if (bNeverAttached && !Attach(hWnd)) {
        ::DestroyWindow(hWnd);
        RefuseCreation();
        AfxReportException(true);
        return FALSE;
    }
    return TRUE;
}

BOOL CWnd::DestroyWindow()
{
    return m_hWnd != nullptr && ::DestroyWindow(m_hWnd);
}

int CWnd::MessageBox(LPCSTR lpszText, LPCSTR lpszCaption, UINT nType)
{
    if (lpszCaption == nullptr) {
        CWinApp* pApp = AfxGetApp();
        lpszCaption = pApp != nullptr && pApp->m_pszAppName != nullptr ? pApp->m_pszAppName : "";
    }
    return AfxShowMessageBox(m_hWnd, lpszText, lpszCaption, nType);
}

void CWnd::CenterWindow()
{
    HWND hOwner = ::GetWindow(m_hWnd, GW_OWNER);
    RECT rcWindow;
    ::GetWindowRect(m_hWnd, &rcWindow);
    MONITORINFO mi = {};
    mi.cbSize = sizeof mi;
    ::GetMonitorInfoA(
        ::MonitorFromWindow(hOwner != nullptr ? hOwner : m_hWnd, MONITOR_DEFAULTTONEAREST), &mi);
    RECT rcCentre = mi.rcWork;
    // A hidden or minimised owner gives no useful place: then the screen's work area.
    if (hOwner != nullptr && ::IsWindowVisible(hOwner) && !::IsIconic(hOwner))
        ::GetWindowRect(hOwner, &rcCentre);

    const int width = rcWindow.right - rcWindow.left;
    const int height = rcWindow.bottom - rcWindow.top;
    int x = (rcCentre.left + rcCentre.right) / 2 - width / 2;
    int y = (rcCentre.top + rcCentre.bottom) / 2 - height / 2;
    // Keep the whole dialog on the owner's screen.
    if (x + width > mi.rcWork.right)
        x = mi.rcWork.right - width;
    if (x < mi.rcWork.left)
        x = mi.rcWork.left;
    if (y + height > mi.rcWork.bottom)
        y = mi.rcWork.bottom - height;
    if (y < mi.rcWork.top)
        y = mi.rcWork.top;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWnd::AssertValid() const
{
    CCmdTarget::AssertValid();
    if (m_hWnd != nullptr && !::IsWindow(m_hWnd))
        afxDump << "CWnd: its window handle is no longer a window\n";
}

void CWnd::Dump(CDumpContext& dc) const
{
    CCmdTarget::Dump(dc);
    dc << "  m_hWnd = " << static_cast<const void*>(m_hWnd) << "\n";
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        *pResult = 0;
        return TRUE;
    }
    for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr;
         map = map->pfnGetBaseMap != nullptr ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->nMessage != 0; ++e) {
            if (e->nMessage == message && message != WM_COMMAND) {
                *pResult = e->pfn(this, wParam, lParam);
                return TRUE;
            }
        }
    }
    return FALSE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT nID = LOWORD(wParam);
    int nCode = HIWORD(wParam);
    // From a menu the code is 0, from an accelerator 1: both are the command itself.
    if (lParam == 0 && nCode == 1)
        nCode = CN_COMMAND;
    return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    return DefWindowProc(t_lastSent.message, t_lastSent.wParam, t_lastSent.lParam);
}

void CWnd::PostNcDestroy() {}

void CWnd::RefuseCreation()
{
    ++t_nRefused;
    PostNcDestroy();
}

int CWnd::OnCreate(LPCREATESTRUCT)
{
    return static_cast<int>(Default());
}

void CWnd::OnDestroy()
{
    Default();
}

void CWnd::OnKeyDown(UINT, UINT, UINT)
{
    Default();
}

LRESULT CWnd::CallWndProc(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                          bool* pHandled)
{
    // Wine ends a window refused in WM_CREATE with WM_NCDESTROY alone, where Windows sends
    // WM_DESTROY first. Every object gets its WM_DESTROY, so that OnDestroy gives back
    // whatever OnCreate had built before refusing.
    if (message == WM_DESTROY) {
        pWnd->m_bDestroySeen = true;
    } else if (message == WM_NCDESTROY && !pWnd->m_bDestroySeen) {
        bool bIgnored = false;
        CallWndProc(pWnd, hWnd, WM_DESTROY, 0, 0, pHandled != nullptr ? &bIgnored : nullptr);
    }

    const MSG saved = t_lastSent;
    t_lastSent = MSG{hWnd, message, wParam, lParam, 0, {0, 0}};
    LRESULT result = 0;
    int nEchec = 0;   // 1: memory ran out, 2: any other exception
    try {
        if (pHandled != nullptr) {
            *pHandled = pWnd->OnWndMsg(message, wParam, lParam, &result) != FALSE;
        } else {
            result = pWnd->WindowProc(message, wParam, lParam);
        }
    } catch (const std::bad_alloc&) {
        nEchec = 1;
    } catch (...) {
        nEchec = 2;
    }
    if (nEchec != 0) {
        // An exception must not unwind through the system's code: the user is told, a
        // window whose creation threw is refused, any other message counts as handled.
        AfxReportException(nEchec == 1);
        result = message == WM_CREATE ? -1 : 0;
        if (pHandled != nullptr)
            *pHandled = true;
    }
    t_lastSent = saved;

    if (message == WM_NCDESTROY) {
        // The application's main window is gone: the loop may end.
        CWinApp* pApp = AfxGetApp();
        if (pApp != nullptr && pApp->m_pMainWnd == pWnd) {
            pApp->m_pMainWnd = nullptr;
            ::PostQuitMessage(0);
        }
        pWnd->Detach();
        pWnd->PostNcDestroy();
    }
    return result;
}

// The window procedure of every class the framework registers.
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (pWnd == nullptr) {
        pWnd = t_pWndInit;
        if (pWnd == nullptr)
            return ::DefWindowProcA(hWnd, message, wParam, lParam);
        // The first message of a window being created: from now on, and already for
        // WM_CREATE, the object receives its messages. Without memory to attach it, the
        // system handles the messages and the next one tries again; WM_NCCREATE refuses the
        // window, which then ends with an unattached WM_NCDESTROY.
        if (message == WM_NCDESTROY)
            return ::DefWindowProcA(hWnd, message, wParam, lParam);
        if (!pWnd->Attach(hWnd)) {
            if (message != WM_NCCREATE)
                return ::DefWindowProcA(hWnd, message, wParam, lParam);
            AfxReportException(true);
            return FALSE;
        }
        t_pWndInit = nullptr;
    }
    return CWnd::CallWndProc(pWnd, hWnd, message, wParam, lParam, nullptr);
}

// The dialog procedure of every CDialog: FALSE leaves a message to the dialog manager.
INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (pWnd == nullptr) {
        // DoModal hands the object over with WM_INITDIALOG; what comes before (the font)
        // is the dialog manager's business.
        if (message != WM_INITDIALOG || lParam == 0)
            return FALSE;
        pWnd = reinterpret_cast<CDialog*>(lParam);
        if (!pWnd->Attach(hWnd)) {
            // No memory to give the dialog its object: it ends before it shows, DoModal gives -1.
            AfxReportException(true);
            ::EndDialog(hWnd, -1);
            return FALSE;
        }
    }
    bool handled = false;
    const LRESULT result = CWnd::CallWndProc(pWnd, hWnd, message, wParam, lParam, &handled);
    if (!handled)
        return FALSE;
    // The one message whose answer is the procedure's own result: whether to set the focus.
    if (message == WM_INITDIALOG)
        return result;
    ::SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}

UINT AfxGetRefusedWindowCount()
{
    return t_nRefused;
}

void AfxReportException(bool bMemory)
{
    AfxMessageBox(bMemory ? "Mémoire insuffisante." : "Erreur inattendue.", MB_OK | MB_ICONSTOP);
}
