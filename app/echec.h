// The text of the box that reports a failure value caught during start-up.
#pragma once

#include <afxwin.h>

// "Échec de l'opération", the text for a failure without a code. Kept apart so that a report
// made when memory has run out can still say it without the heap.
extern const char kEchec[];

// kEchec, followed by ", code N" with the value in signed decimal when the failure has a code
// (hr other than 0).
CString MessageEchec(HRESULT hr);
