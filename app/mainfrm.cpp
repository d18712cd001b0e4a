#include "mainfrm.h"

#include "echec.h"
#include "resource.h"

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

// Created once by InitInstance. The window, and with it the renderer, comes into being
// inside Create; when it is refused the framework has deleted this object on return.
CMainFrame::CMainFrame()
    : m_Maintenant(0),
      m_ProchaineImage(0),
      m_DerniereImage(0),
      m_Intervalle(0),
      m_SecondesParMs(0.0),
      m_Angle(0),
      m_pD3D(nullptr),
      m_pDevice(nullptr),
      m_pCamera(nullptr),
      m_Objets()
{
    Create(nullptr, "Programme test", WS_OVERLAPPEDWINDOW, rectDefault, nullptr,
           MAKEINTRESOURCEA(IDR_MAINFRAME), 0, nullptr);
}

// The scene objects have been deleted by LibererRessources while the window still existed.
CMainFrame::~CMainFrame() = default;

void CMainFrame::AssertValid() const
{
    CFrameWnd::AssertValid();
}

void CMainFrame::Dump(CDumpContext& dc) const
{
    CFrameWnd::Dump(dc);
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!CFrameWnd::PreCreateWindow(cs))
        return FALSE;
    return TRUE;
}

// Runs inside Create: makes the window square, then brings up the renderer. A failure
// value from the renderer is reported here and refuses the window.
int CMainFrame::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CFrameWnd::OnCreate(lpCreateStruct) == -1)
        return -1;

    // The outer rectangle, caption and frame included, keeps its top-left corner. The
    // device is created after this, so its back buffer takes the square's client size.
    CRect r(0, 0, 0, 0);
    GetWindowRect(&r);
    const int cote = r.Width() < r.Height() ? r.Width() : r.Height();
    r.right = r.left + cote;
    r.bottom = r.top + cote;
    MoveWindow(&r, TRUE);

    try {
        InitialiserD3D();
        if (!InitialiserScene())
            return -1;
        if (!InitialiserTemps())
            return -1;
    } catch (HRESULT hr) {
        // Owned by this window, still hidden: the box is all the user sees of the frame.
        MessageBox(MessageEchec(hr), "Erreur", MB_OK);
        return -1;
    }
    return 0;
}

// The renderer goes while the window still exists.
void CMainFrame::OnDestroy()
{
    LibererRessources();
    CFrameWnd::OnDestroy();
}

void CMainFrame::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    CFrameWnd::OnKeyDown(nChar, nRepCnt, nFlags);
}

bool CMainFrame::Animer()
{
    return true;
}

void CMainFrame::InitialiserD3D() {}

bool CMainFrame::InitialiserScene()
{
    return true;
}

bool CMainFrame::InitialiserTemps()
{
    return true;
}

void CMainFrame::LibererRessources() {}
