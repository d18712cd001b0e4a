#include "kervalen.h"

#include "aboutdlg.h"
#include "boucle.h"
#include "mainfrm.h"

BEGIN_MESSAGE_MAP(CKervalenApp, CWinApp)
    ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
END_MESSAGE_MAP()

// A null name: the framework takes it from the string resource AFX_IDS_APP_TITLE.
CKervalenApp::CKervalenApp() : CWinApp(nullptr) {}

CKervalenApp::~CKervalenApp() = default;

// Called once by the framework: OLE, then the main frame, which builds the renderer
// while its window is created.
BOOL CKervalenApp::InitInstance()
{
    if (!AfxOleInit()) {
        AfxMessageBox("Erreur au chargement de OLE", MB_OK, 0);
        return FALSE;
    }

    // A frame whose window is refused has been deleted by the framework before its
    // constructor returns: the pointer must then be neither shown nor driven.
    const UINT nRefusees = AfxGetRefusedWindowCount();
    CMainFrame* pCadre = new CMainFrame;
    if (AfxGetRefusedWindowCount() != nRefusees)
        return FALSE;
    m_pMainWnd = pCadre;

    m_pMainWnd->ShowWindow(m_nCmdShow);
    m_pMainWnd->UpdateWindow();
    return TRUE;
}

int CKervalenApp::Run()
{
    return BouclerMessages<CMainFrame>(*this);
}

void CKervalenApp::OnAppAbout()
{
    CAboutDlg aboutDlg;
    aboutDlg.DoModal();
}
