// The application object: start-up, the animation loop and the About command.
#pragma once

#include <afxwin.h>

class CKervalenApp : public CWinApp
{
public:
    CKervalenApp();
    ~CKervalenApp() override;

protected:
    DECLARE_MESSAGE_MAP()

public:
    BOOL InitInstance() override;
    int Run() override;

    void OnAppAbout();
};

extern CKervalenApp theApp;
