#include "Camera.h"

namespace {

// The projection is not stored: it never changes. The aspect stays 1 because the window is
// made square before the device exists; its client area, less the caption and the menu bar,
// is a little wider than high, and the picture is stretched by that little. The aspect does
// not follow a resized window either.
const float kChampVertical = 0.7853982f;   // pi/4
const float kAspect = 1.0f;
const float kPlanProche = 2.0f;
const float kPlanLointain = 30.0f;

}   // namespace

Camera::Camera(IDirect3DDevice9* device)
    : Oeil(0.0f, 7.5f, -10.0f), Cible(0.0f, 0.0f, 0.0f), Haut(0.0f, 1.0f, 0.0f)
{
    Appliquer(device);
}

void Camera::Appliquer(IDirect3DDevice9* device)
{
    D3DXMatrixLookAtLH(&MatriceVue, &Oeil, &Cible, &Haut);
    D3DXMATRIX MatriceProjection;
    D3DXMatrixPerspectiveFovLH(&MatriceProjection, kChampVertical, kAspect, kPlanProche,
                               kPlanLointain);
    // The view is kept up to date even without a device, so a camera made before the device
    // exists (or after it is gone) is consistent rather than a crash.
    if (!device)
        return;
    device->SetTransform(D3DTS_VIEW, &MatriceVue);
    device->SetTransform(D3DTS_PROJECTION, &MatriceProjection);
}

void Camera::Deplacer(const D3DXVECTOR3& deplacement, IDirect3DDevice9* device)
{
    Oeil += deplacement;
    Appliquer(device);
}
