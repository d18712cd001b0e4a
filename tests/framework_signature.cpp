// Compiled twice by framework_signature.sh: as it is it must compile; with
// MAUVAISE_SIGNATURE, where a handler's parameters do not match its message, it must not.
#include <afxwin.h>

class Fenetre : public CWnd
{
protected:
    DECLARE_MESSAGE_MAP()
#ifdef MAUVAISE_SIGNATURE
    void OnKeyDown(UINT nChar, UINT nRepCnt);
#else
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
#endif
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnQuitter();
};

BEGIN_MESSAGE_MAP(Fenetre, CWnd)
    ON_WM_CREATE()
    ON_WM_KEYDOWN()
    ON_COMMAND(ID_APP_EXIT, OnQuitter)
END_MESSAGE_MAP()
