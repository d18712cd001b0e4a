// The About box: dialog resource IDD_ABOUTBOX, closed with OK.
#pragma once

#include <afxwin.h>

#include "resource.h"

class CAboutDlg : public CDialog
{
public:
    CAboutDlg();
    ~CAboutDlg() override;

    enum { IDD = IDD_ABOUTBOX };

protected:
    DECLARE_MESSAGE_MAP()

    void DoDataExchange(CDataExchange* pDX) override;
};
