#include "Tourner.h"

void Tourner::operator()(IDessinable* objet)
{
    // The place counts even for a missing object, so that the axes of those that follow
    // do not depend on it.
    const int k = compteur++;
    if (!objet)
        return;

    const D3DXVECTOR3 Position = objet->ObtenirPosition();
    D3DXMATRIX TranslationVersOrigine;
    D3DXMATRIX TranslationVersPosition;
    D3DXMatrixTranslation(&TranslationVersOrigine, -Position.x, -Position.y, -Position.z);
    D3DXMatrixTranslation(&TranslationVersPosition, Position.x, Position.y, Position.z);

    // The first three places get X, Y and Z; further places take the axes again in the same
    // turn, so every object gets a well-defined rotation.
    D3DXMATRIX Rotation;
    switch (k % 3) {
    case 0:
        D3DXMatrixRotationX(&Rotation, Angle);
        break;
    case 1:
        D3DXMatrixRotationY(&Rotation, Angle);
        break;
    default:
        D3DXMatrixRotationZ(&Rotation, Angle);
        break;
    }

    // Row vectors: bring the position to the origin, turn, move it back.
    objet->ObtenirMonde() = TranslationVersOrigine * Rotation * TranslationVersPosition;
}
