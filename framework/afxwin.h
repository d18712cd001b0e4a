// The application framework: windows, frames, dialogs, the application object and the
// message maps that route window messages and commands to member functions.
#pragma once

#include <windows.h>

#include "afxres.h"
#include "afxstr.h"

class CCmdTarget;
class CWnd;
class CWinApp;
struct CCreateContext;

// ---------------------------------------------------------------------------------------
// Rectangles

class CRect : public RECT
{
public:
    CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    BOOL IsRectEmpty() const { return ::IsRectEmpty(this); }
};

// ---------------------------------------------------------------------------------------
// Diagnostics

// Receives the text of Dump; it goes to the debugger's output.
class CDumpContext
{
public:
    CDumpContext& operator<<(LPCSTR psz);
    CDumpContext& operator<<(const void* p);
};

extern CDumpContext afxDump;

class CObject
{
public:
    virtual ~CObject() = default;
    virtual void AssertValid() const;
    virtual void Dump(CDumpContext& dc) const;

protected:
    CObject() = default;
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
};

// ---------------------------------------------------------------------------------------
// Message maps

// Every handler is reached through one of these: a function made for the handler's exact
// signature, which unpacks wParam and lParam and calls the member function.
typedef LRESULT (*AFX_PMSGTHUNK)(CCmdTarget* pTarget, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY
{
    UINT nMessage;   // window message, WM_COMMAND for commands, 0 at the end
    UINT nCode;      // notification code of a command
    UINT nID;        // first command id
    UINT nLastID;    // last command id
    AFX_PMSGTHUNK pfn;
};

struct AFX_MSGMAP
{
    const AFX_MSGMAP* (*pfnGetBaseMap)();   // null for the root of the chain
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// What a command-handler search found: the handler is not called.
struct AFX_CMDHANDLERINFO
{
    CCmdTarget* pTarget;
    AFX_PMSGTHUNK pfn;
};

#define CN_COMMAND 0

namespace afx {
// Each thunk converts the named member to the exact pointer type of its message: a handler
// of another signature does not compile. A handler inherited from a base class is accepted.
template <class T, auto F>
LRESULT OnCreateThunk(CCmdTarget* p, WPARAM, LPARAM lParam)
{
    constexpr int (T::*pfn)(LPCREATESTRUCT) = F;
    return (static_cast<T*>(p)->*pfn)(reinterpret_cast<LPCREATESTRUCT>(lParam));
}

template <class T, auto F>
LRESULT OnVoidThunk(CCmdTarget* p, WPARAM, LPARAM)
{
    constexpr void (T::*pfn)() = F;
    (static_cast<T*>(p)->*pfn)();
    return 0;
}

template <class T, auto F>
LRESULT OnKeyThunk(CCmdTarget* p, WPARAM wParam, LPARAM lParam)
{
    constexpr void (T::*pfn)(UINT, UINT, UINT) = F;
    // The repeat count is the low word of lParam, the flags its high word.
    (static_cast<T*>(p)->*pfn)(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
    return 0;
}
}   // namespace afx

#define DECLARE_MESSAGE_MAP()                     \
protected:                                        \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)        \
    const AFX_MSGMAP* theClass::GetMessageMap() const \
    {                                                 \
        return GetThisMessageMap();                   \
    }                                                 \
    const AFX_MSGMAP* theClass::GetThisMessageMap()   \
    {                                                 \
        using ThisClass [[maybe_unused]] = theClass;  \
        using TheBaseClass = baseClass;               \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

// clang-format off
#define END_MESSAGE_MAP()                                       \
            {0, 0, 0, 0, nullptr}                               \
        };                                                      \
        static const AFX_MSGMAP messageMap = {                  \
            &TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
        return &messageMap;                                     \
    }
// clang-format on

#define ON_WM_CREATE()  {WM_CREATE, 0, 0, 0, &afx::OnCreateThunk<ThisClass, &ThisClass::OnCreate>},
#define ON_WM_DESTROY() {WM_DESTROY, 0, 0, 0, &afx::OnVoidThunk<ThisClass, &ThisClass::OnDestroy>},
#define ON_WM_CLOSE()   {WM_CLOSE, 0, 0, 0, &afx::OnVoidThunk<ThisClass, &ThisClass::OnClose>},
#define ON_WM_KEYDOWN() {WM_KEYDOWN, 0, 0, 0, &afx::OnKeyThunk<ThisClass, &ThisClass::OnKeyDown>},
#define ON_COMMAND(id, memberFxn)                                          \
    {WM_COMMAND, CN_COMMAND, static_cast<UINT>(id), static_cast<UINT>(id), \
     &afx::OnVoidThunk<ThisClass, &ThisClass::memberFxn>},

// ---------------------------------------------------------------------------------------
// Command targets

class CCmdTarget : public CObject
{
public:
    // Looks for a handler of command nID in this object's map chain. With pHandlerInfo,
    // only reports what it found; otherwise calls the handler. TRUE when one exists.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    friend class CWnd;
};

// ---------------------------------------------------------------------------------------
// Windows

class CWnd : public CCmdTarget
{
    DECLARE_MESSAGE_MAP()

public:
    CWnd() = default;
    ~CWnd() override;

    HWND m_hWnd = nullptr;

    // The object attached to hWnd by this thread, or null.
    static CWnd* FromHandlePermanent(HWND hWnd);

    virtual BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName,
                          DWORD dwStyle, int x, int y, int nWidth, int nHeight, HWND hWndParent,
                          HMENU nIDorHMenu, LPVOID lpParam = nullptr);
    virtual BOOL DestroyWindow();
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);

    void GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
    void GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE)
    {
        ::MoveWindow(m_hWnd, lpRect->left, lpRect->top, lpRect->right - lpRect->left,
                     lpRect->bottom - lpRect->top, bRepaint);
    }
    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    // Without a caption, the box carries the application's name. Its loop dispatches the
    // thread's messages: a close request may destroy this window meanwhile (a frame is then
    // deleted). A caller that goes on with its object keeps m_hWnd before, checks ::IsWindow after.
    int MessageBox(LPCSTR lpszText, LPCSTR lpszCaption = nullptr, UINT nType = MB_OK);
    // Centres the window over its owner, inside the owner's screen.
    void CenterWindow();

    void AssertValid() const override;
    void Dump(CDumpContext& dc) const override;

protected:
    // Every message of an attached window comes here first.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Looks the message up in the map chain; FALSE when no entry handles it.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The system's own handling of the message being processed.
    LRESULT Default();
    // Called once the window's last message has been processed and the object detached.
    virtual void PostNcDestroy();
    // Ends an object whose window will never exist; counted by AfxGetRefusedWindowCount.
    // The object may be gone on return.
    void RefuseCreation();

    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnDestroy();
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);

    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
    friend class CWinApp;

    // FALSE when memory runs out: the object is then not attached.
    BOOL Attach(HWND hWnd);
    void Detach();

private:
    bool m_bDestroySeen = false;   // WM_DESTROY reached the object for its current window

    // Runs one message through the object. With pHandled (a dialog) only the message map
    // is asked and pHandled tells whether it answered. After the window's last message it
    // ends the object's tie to the window.
    static LRESULT CallWndProc(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                               bool* pHandled);
};

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// ---------------------------------------------------------------------------------------
// Frame windows

class CFrameWnd : public CWnd
{
    DECLARE_MESSAGE_MAP()

public:
    // Position and size left to the system.
    static const CRect rectDefault;

    CFrameWnd() = default;

    // lpszClassName null takes the framework's frame window class; lpszMenuName names a
    // menu resource of the application.
    BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
                const RECT& rect = rectDefault, CWnd* pParentWnd = nullptr,
                LPCSTR lpszMenuName = nullptr, DWORD dwExStyle = 0,
                CCreateContext* pContext = nullptr);

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    void AssertValid() const override;
    void Dump(CDumpContext& dc) const override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // A frame lives on the heap and goes with its window, even during a modal loop that one of
    // its members runs (see CWnd::MessageBox).
    void PostNcDestroy() override;

    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnDestroy();
    void OnClose();

private:
    // Grays the items of a popup that no command handler answers, enables the others.
    void OnInitMenuPopup(HMENU hMenu);
};

// ---------------------------------------------------------------------------------------
// Dialogs

class CDataExchange
{
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
    {}
    BOOL m_bSaveAndValidate;   // TRUE: controls to members; FALSE: members to controls
    CWnd* m_pDlgWnd;
};

class CDialog : public CWnd
{
    DECLARE_MESSAGE_MAP()

public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // Runs the dialog modally over its owner: the parent given, else the main window.
    // Returns the value given to EndDialog, or -1 when the dialog could not be created.
    // As for CWnd::MessageBox, the owner may be destroyed during the loop (a frame deleted,
    // the dialog with it): a caller that uses the owner after checks its handle, kept before.
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    UINT m_nIDHelp;
    CWnd* m_pParentWnd;

private:
    bool m_bCentre = false;   // the template leaves the placement to us
};

// ---------------------------------------------------------------------------------------
// The application

class CWinApp : public CCmdTarget
{
    DECLARE_MESSAGE_MAP()

public:
    // A null name takes string resource AFX_IDS_APP_TITLE at start-up.
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;

    int m_nCmdShow = SW_SHOWNORMAL;
    LPCSTR m_pszAppName = nullptr;
    CWnd* m_pMainWnd = nullptr;

    virtual BOOL InitInstance();
    // The message loop; returns the process exit code.
    virtual int Run();
    virtual int DoMessageBox(LPCSTR lpszPrompt, UINT nType, UINT nIDPrompt);

    void OnAppExit();

private:
    CString m_strAppName;
    friend BOOL AfxWinInit(HINSTANCE, HINSTANCE, LPSTR, int);
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
CWnd* AfxGetMainWnd();

// Sets up the application object for this process; AfxWinMain calls it first.
BOOL AfxWinInit(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
// The program's entry: InitInstance, then Run. Start-up that fails ends with code 1.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);

// OLE for this thread, given back when AfxWinMain ends. FALSE when it cannot be had.
BOOL AfxOleInit();

// The application's message box: its name as caption, an icon when nType names none. The
// main window may go during its loop; m_pMainWnd is then null.
int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);

// The box of an exception the framework stopped before it reached the system's code or the
// process's end: memory that ran out (bMemory), or any other.
void AfxReportException(bool bMemory);

// Windows of this thread whose creation was refused, counted since the process began. A
// frame whose creation is refused has been deleted by the time Create returns, so a
// caller that must know compares this count before and after instead of asking the frame.
UINT AfxGetRefusedWindowCount();

// Every message box of the framework: the program's Windows-1252 texts, whatever the system's
// ANSI code page.
int AfxShowMessageBox(HWND hWndOwner, LPCSTR lpszText, LPCSTR lpszCaption, UINT nType);
