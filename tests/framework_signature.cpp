// Compiled by the tests as it is, which must compile, and with
// MAUVAISE_SIGNATURE, where the handler's parameters do not match its message, which must not.
#include <afxwin.h>

struct Fenetre : CWnd {
#ifdef MAUVAISE_SIGNATURE
    void OnKeyDown(UINT nChar, UINT nRepCnt);
#else
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
#endif
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Fenetre, CWnd)
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()
