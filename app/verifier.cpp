#include "verifier.h"

void Verifier(IDirect3D9* p)
{
    if (p == nullptr)
        throw HRESULT(0);
}

// Every value but D3D_OK fails, success codes above zero included.
void Verifier(HRESULT hr)
{
    if (hr != D3D_OK)
        throw hr;
}
