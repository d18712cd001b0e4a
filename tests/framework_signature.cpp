// Must compile as it is, and must not with MAUVAISE_SIGNATURE: the handler's parameters are wrong.
#include <afxwin.h>

struct Fenetre : CWnd
{
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
