#include "Plan.h"

#include "Supprimer.h"

#include <algorithm>
#include <memory>

namespace {

// Draws each child under the world transform already set by the container.
class Dessiner
{
public:
    explicit Dessiner(IDirect3DDevice9* pDevice) : pDevice(pDevice) {}
    virtual ~Dessiner() {}

    void operator()(IDessinable* pObjet) const { pObjet->Tracer(pDevice); }

private:
    IDirect3DDevice9* pDevice;   // borrowed
};

}   // namespace

Plan::Plan(const D3DXVECTOR3& origine, IDirect3DDevice9* pDevice, int nbRangees, int nbColonnes)
    : IDessinable(origine), NbRangees(nbRangees), NbColonnes(nbColonnes)
{
    try {
        for (int i = 0; i < NbRangees; ++i) {
            for (int j = 0; j < NbColonnes; ++j) {
                const D3DXVECTOR3 centre(j * MorceauDePlan::Largeur + origine.x,
                                         i * MorceauDePlan::Longueur + origine.y, origine.z);
                // Held here until the vector has taken it: push_back may throw too.
                std::unique_ptr<MorceauDePlan> morceau(new MorceauDePlan(centre, pDevice));
                Morceaux.push_back(morceau.get());
                morceau.release();
            }
        }
    } catch (...) {
        // The destructor does not run for a plane that was never finished.
        std::for_each(Morceaux.begin(), Morceaux.end(), Supprimer<MorceauDePlan>);
        throw;
    }
}

Plan::~Plan()
{
    std::for_each(Morceaux.begin(), Morceaux.end(), Supprimer<MorceauDePlan>);
}

void Plan::Afficher(IDirect3DDevice9* pDevice)
{
    pDevice->SetTransform(D3DTS_WORLD, &Monde);
    Tracer(pDevice);
}

void Plan::Tracer(IDirect3DDevice9* pDevice)
{
    std::for_each(Morceaux.begin(), Morceaux.end(), Dessiner(pDevice));
}
