// The checks on the results of bringing up Direct3D. A failed check throws the failure
// value, a bare HRESULT; 0 stands for a call that returned no object.
#pragma once

#include <d3d9.h>

void Verifier(IDirect3D9* p);
void Verifier(HRESULT hr);
