#include "echec.h"

CString MessageEchec(HRESULT hr)
{
    CString Msg;
    if (hr == 0)
        Msg = "Échec de l'opération";
    else
        Msg.Format("Échec de l'opération, code %d", static_cast<int>(hr));
    return Msg;
}
