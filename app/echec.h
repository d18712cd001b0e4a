// The text of the box that reports a failure value caught during start-up.
#pragma once

#include <afxwin.h>

// "Échec de l'opération", followed by ", code N" with the value in signed decimal when the
// failure has a code (hr other than 0).
CString MessageEchec(HRESULT hr);
