// CWinApp and the process-wide entry points: the one application object, start-up,
// OLE, and the application's message box.
#include "afxwin.h"

#include <ole2.h>

#include <new>

namespace {
CWinApp* g_pApp = nullptr;
HINSTANCE g_hInstance = nullptr;
bool g_bOleInitialised = false;

// Gives back what AfxOleInit took, once AfxWinMain is done.
void AfxOleTerm()
{
    if (g_bOleInitialised) {
        g_bOleInitialised = false;
        ::OleUninitialize();
    }
}
}   // namespace

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
    ON_COMMAND(ID_APP_EXIT, OnAppExit)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCSTR lpszAppName)
{
    if (lpszAppName != nullptr) {
        m_strAppName = lpszAppName;
        m_pszAppName = m_strAppName;
    }
    // One application object per process: the last one constructed is the one in charge.
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::Run()
{
    MSG msg = {};
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

int CWinApp::DoMessageBox(LPCSTR lpszPrompt, UINT nType, UINT)
{
    // A box that names no icon gets the one that fits its buttons.
    if ((nType & MB_ICONMASK) == 0) {
        switch (nType & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL:
            nType |= MB_ICONEXCLAMATION;
            break;
        case MB_YESNO:
        case MB_YESNOCANCEL:
            nType |= MB_ICONQUESTION;
            break;
        default:
            break;
        }
    }
    HWND hWndOwner = m_pMainWnd != nullptr ? m_pMainWnd->m_hWnd : nullptr;
    return AfxShowMessageBox(hWndOwner, lpszPrompt, m_pszAppName != nullptr ? m_pszAppName : "",
                             nType);
}

// The framework's answer to ID_APP_EXIT: close the main window as its close box would.
void CWinApp::OnAppExit()
{
    if (m_pMainWnd != nullptr)
        m_pMainWnd->SendMessage(WM_CLOSE);
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

HINSTANCE AfxGetInstanceHandle()
{
    return g_hInstance != nullptr ? g_hInstance : ::GetModuleHandleA(nullptr);
}

CWnd* AfxGetMainWnd()
{
    return g_pApp != nullptr ? g_pApp->m_pMainWnd : nullptr;
}

BOOL AfxWinInit(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow)
{
    g_hInstance = hInstance;
    CWinApp* pApp = g_pApp;
    if (pApp == nullptr)
        return FALSE;
    pApp->m_nCmdShow = nCmdShow;
    if (pApp->m_pszAppName == nullptr) {
        char name[256] = "";
        if (::LoadStringA(hInstance, AFX_IDS_APP_TITLE, name, sizeof name) > 0) {
            pApp->m_strAppName = name;
        } else {
            // No title in the resources: the program's file name is the next best name.
            char path[MAX_PATH] = "";
            ::GetModuleFileNameA(hInstance, path, MAX_PATH);
            const char* base = path;
            for (const char* p = path; *p != '\0'; ++p)
                if (*p == '\\' || *p == '/')
                    base = p + 1;
            pApp->m_strAppName = base;
        }
        pApp->m_pszAppName = pApp->m_strAppName;
    }
    return TRUE;
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow)
{
    int code = 1;
    bool bRan = false;
    // An exception that start-up or the loop lets through ends the program with a box and a
    // failure's code, not with an abort.
    try {
        if (AfxWinInit(hInstance, hPrevInstance, lpCmdLine, nCmdShow) &&
            AfxGetApp()->InitInstance()) {
            code = AfxGetApp()->Run();
            bRan = true;
        }
    } catch (const std::bad_alloc&) {
        AfxReportException(true);
    } catch (...) {
        AfxReportException(false);
    }
    // A start-up that gave up must not look like a normal end to whoever started us, and
    // its window goes the way a closed one does.
    CWinApp* pApp = AfxGetApp();
    if (!bRan && pApp != nullptr && pApp->m_pMainWnd != nullptr &&
        ::IsWindow(pApp->m_pMainWnd->m_hWnd))
        pApp->m_pMainWnd->DestroyWindow();
    AfxOleTerm();
    return code;
}

BOOL AfxOleInit()
{
    if (g_bOleInitialised)
        return TRUE;
    // S_FALSE (already initialised on this thread) also counts and is balanced the same.
    if (FAILED(::OleInitialize(nullptr)))
        return FALSE;
    g_bOleInitialised = true;
    return TRUE;
}

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT nIDHelp)
{
    if (CWinApp* pApp = AfxGetApp())
        return pApp->DoMessageBox(lpszText, nType, nIDHelp);
    return AfxShowMessageBox(nullptr, lpszText, "", nType);
}
