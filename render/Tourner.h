// Turns each scene object by the total angle about an axis through its own position, one
// axis per place in the scene list. One value is made per frame update and applied to the
// whole list in order with std::for_each.
#pragma once

#include "IDessinable.h"

class Tourner
{
public:
    explicit Tourner(float angle) : Angle(angle), compteur(0) {}

    // Overwrites the object's world matrix: the angle is the total since timing started.
    void operator()(IDessinable* objet);

    float Angle;    // radians
    int compteur;   // place in the list of the next object
};
