// Gives back one Direct3D interface reference and forgets the pointer, so that a second
// call (or a destructor after a failed creation) does nothing.
#pragma once

template <class Interface>
void Liberer(Interface*& pInterface)
{
    if (pInterface != nullptr)
        pInterface->Release();
    pInterface = nullptr;
}
