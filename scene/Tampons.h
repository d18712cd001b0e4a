// Buffer filling and drawing shared by the primitives (Bloc, Pyramide, MorceauDePlan).
#pragma once

#include "IDessinable.h"

#include <d3d9.h>

// Creates a vertex buffer of n vertices in the default pool (usage 0) and copies the vertices
// into it. A buffer that cannot be created or locked is never written through: `tampon` is
// left null (a created but unfilled buffer is given back), so the primitive draws nothing
// instead of drawing undefined bytes.
void RemplirSommets(IDirect3DDevice9* pDevice, const Sommet* sommets, UINT n,
                    IDirect3DVertexBuffer9*& tampon);

// The same for m 16-bit indices, in a write-only index buffer.
void RemplirIndex(IDirect3DDevice9* pDevice, const WORD* index, UINT m,
                  IDirect3DIndexBuffer9*& tampon);

// The five drawing calls of a primitive: material, stream, vertex format, indices, indexed
// triangle list. A buffer that could not be made is never drawn with: then nothing is called.
void TracerPrimitive(IDirect3DDevice9* pDevice, const D3DMATERIAL9& materiau,
                     IDirect3DVertexBuffer9* sommets, IDirect3DIndexBuffer9* index, UINT nbSommets,
                     UINT nbTriangles);
