// The program's global objects. They are built in the order they are defined here.
#include "JournalNormales.h"   // first: the log is built before theApp and closed after it
#include "kervalen.h"

CKervalenApp theApp;
