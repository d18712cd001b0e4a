#include "Village.h"

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

Village::Village(IDirect3DDevice9* pDevice) : IDessinable(D3DXVECTOR3(0, 0, 0)), Sol(nullptr)
{
    // -0.1f: the ground lies just below the houses' base plane z = 0.
    Sol = new Plan(D3DXVECTOR3(0, 0, -0.1f), pDevice, 2, 4);
    try {
        const D3DXVECTOR3 positions[3] = {
            D3DXVECTOR3(0, 0, 0),
            D3DXVECTOR3(5, 0, 0),
            D3DXVECTOR3(0, 5, 0),
        };
        for (const D3DXVECTOR3& position : positions) {
            // Held here until the vector has taken it: push_back may throw too.
            std::unique_ptr<Maison> maison(new Maison(position, pDevice));
            Maisons.push_back(maison.get());
            maison.release();
        }
    } catch (...) {
        // The destructor does not run for a village that was never finished.
        std::for_each(Maisons.begin(), Maisons.end(), Supprimer<Maison>);
        delete Sol;
        Sol = nullptr;
        throw;
    }
}

Village::~Village()
{
    std::for_each(Maisons.begin(), Maisons.end(), Supprimer<Maison>);
    if (Sol != nullptr)
        delete Sol;
}

void Village::Afficher(IDirect3DDevice9* pDevice)
{
    pDevice->SetTransform(D3DTS_WORLD, &Monde);
    Tracer(pDevice);
}

void Village::Tracer(IDirect3DDevice9* pDevice)
{
    std::for_each(Maisons.begin(), Maisons.end(), Dessiner(pDevice));
    Sol->Tracer(pDevice);
}
