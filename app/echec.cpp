#include "echec.h"

const char kEchec[] = "Échec de l'opération";

CString MessageEchec(HRESULT hr)
{
    CString Msg;
    if (hr == 0)
        Msg = kEchec;
    else
        Msg.Format("%s, code %d", kEchec, static_cast<int>(hr));
    return Msg;
}
