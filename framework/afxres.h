// Command and string identifiers that the framework reserves for standard commands.
// Usable from C++ and from resource scripts.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#define AFX_IDS_APP_TITLE 0xE000   // 57344: the application's name

#define ID_FILE_NEW       0xE100   // 57600
#define ID_FILE_OPEN      0xE101   // 57601
#define ID_FILE_SAVE      0xE103   // 57603
#define ID_FILE_SAVE_AS   0xE104   // 57604
#define ID_FILE_MRU_FILE1 0xE110   // 57616

#define ID_EDIT_COPY  0xE122   // 57634
#define ID_EDIT_CUT   0xE123   // 57635
#define ID_EDIT_PASTE 0xE125   // 57637
#define ID_EDIT_UNDO  0xE12B   // 57643

#define ID_APP_ABOUT 0xE140   // 57664
#define ID_APP_EXIT  0xE141   // 57665

#define ID_VIEW_TOOLBAR 0xE800   // 59392
