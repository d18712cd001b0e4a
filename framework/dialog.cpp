// CDialog: a modal dialog built from a dialog resource of the application.
#include "afxwin.h"

#include <cstring>

namespace {
// The parts of a dialog template's header that say where the dialog goes. An extended
// template starts with version 1 and 0xFFFF; a plain one with its style.
bool LeavesPlacementOpen(const void* pTemplate)
{
    const WORD* words = static_cast<const WORD*>(pTemplate);
    DWORD style;
    short x, y;
    if (words[0] == 1 && words[1] == 0xFFFF) {
        // dlgVer, signature, helpID, exStyle, style, cDlgItems, x, y
        std::memcpy(&style, words + 6, sizeof style);
        x = static_cast<short>(words[9]);
        y = static_cast<short>(words[10]);
    } else {
        const DLGTEMPLATE* plain = static_cast<const DLGTEMPLATE*>(pTemplate);
        style = plain->style;
        x = plain->x;
        y = plain->y;
    }
    return x == 0 && y == 0 && (style & (DS_CENTER | DS_CENTERMOUSE | DS_ABSALIGN)) == 0;
}
}   // namespace

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDHelp(nIDTemplate), m_pParentWnd(pParentWnd)
{}

INT_PTR CDialog::DoModal()
{
    HINSTANCE hInstance = AfxGetInstanceHandle();
    HRSRC hResource = ::FindResourceA(hInstance, MAKEINTRESOURCEA(m_nIDHelp),
                                      reinterpret_cast<LPCSTR>(RT_DIALOG));
    HGLOBAL hTemplate = hResource != nullptr ? ::LoadResource(hInstance, hResource) : nullptr;
    const void* pTemplate = hTemplate != nullptr ? ::LockResource(hTemplate) : nullptr;
    if (pTemplate == nullptr)
        return -1;
    m_bCentre = LeavesPlacementOpen(pTemplate);

    HWND hWndOwner = nullptr;
    if (m_pParentWnd != nullptr) {
        hWndOwner = m_pParentWnd->m_hWnd;
    } else if (CWnd* pMain = AfxGetMainWnd()) {
        hWndOwner = pMain->m_hWnd;
    }

    const INT_PTR result =
        ::DialogBoxIndirectParamA(hInstance, static_cast<LPCDLGTEMPLATEA>(pTemplate), hWndOwner,
                                  &AfxDlgProc, reinterpret_cast<LPARAM>(this));
    // The dialog manager has destroyed the window; whatever it did not tell us goes here.
    Detach();
    return result;
}

void CDialog::EndDialog(int nResult)
{
    ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    // TRUE: the dialog manager gives the focus to the first control that takes it.
    return TRUE;
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_INITDIALOG) {
        // A template at (0, 0) asks to be placed: over the owner, as the user expects.
        if (m_bCentre)
            CenterWindow();
        *pResult = OnInitDialog();
        return TRUE;
    }
    return CWnd::OnWndMsg(message, wParam, lParam, pResult);
}

LRESULT CDialog::DefWindowProc(UINT, WPARAM, LPARAM)
{
    // The dialog manager does the default handling once the procedure returns FALSE.
    return 0;
}
