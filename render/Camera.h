// The viewer's eye: where it stands, what it looks at and which way is up, and the view and
// projection transforms made from them. The frame owns one and moves its eye with the keys;
// the camera never keeps the device, each operation is handed it.
#pragma once

#include "Math3D.h"

#include <d3d9.h>

class Camera
{
public:
    // Sets both transforms at once, so they are in place before the first frame is drawn.
    explicit Camera(IDirect3DDevice9* device);

    // Computes the view from the eye and sets it, then the fixed projection, on the device.
    void Appliquer(IDirect3DDevice9* device);

    // Moves the eye by `deplacement`; the point looked at stays where it is.
    void Deplacer(const D3DXVECTOR3& deplacement, IDirect3DDevice9* device);

    D3DXMATRIX MatriceVue;   // the view last computed
    D3DXVECTOR3 Oeil;        // eye position
    D3DXVECTOR3 Cible;       // point looked at, never changed
    D3DXVECTOR3 Haut;        // up direction, never changed
};
