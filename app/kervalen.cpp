// The program's global objects. They are built in the order they are defined here.
#include "kervalen.h"

CKervalenApp theApp;
