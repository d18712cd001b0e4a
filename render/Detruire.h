// Deletes a scene object through its virtual destructor; the frame applies it with
// std::for_each to its scene list when it gives everything back.
#pragma once

#include "IDessinable.h"

struct Detruire
{
    void operator()(IDessinable* objet) const
    {
        if (objet)
            delete objet;
    }
};
