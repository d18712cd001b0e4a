// Deletes one object of a container through its virtual destructor; applied with
// std::for_each by the owners of the scene's containers.
#pragma once

template <class Objet>
void Supprimer(Objet* pObjet)
{
    if (pObjet != nullptr)
        delete pObjet;
}
