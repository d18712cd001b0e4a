// Identifiers of the program's own resources (the standard ones are in afxres.h).
#pragma once

#define IDD_ABOUTBOX  100
#define IDR_MAINFRAME 128
