// Drives whatever d3d9.dll the loader gives it through the start-up calls of a windowed
// program, and prints what it saw, one "name value" line each, for the proxy's own tests.
// Argument: "complet" gives everything back; "fuite-tampon", "fuite-peripherique" and
// "fuite-objet" keep respectively a vertex buffer, the device, or the Direct3D object.
#include <windows.h>
#include <d3d9.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

void Afficher(const char* nom, long valeur)
{
    std::printf("%s %ld\n", nom, valeur);
}

// Lets the device be created on the real runtime; never shown.
HWND CreerFenetre()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "ClientD3D9";
    ::RegisterClassA(&wc);
    return ::CreateWindowExA(0, wc.lpszClassName, "Client", WS_OVERLAPPEDWINDOW, 0, 0, 64, 64,
                             nullptr, nullptr, wc.hInstance, nullptr);
}

} // namespace

int main(int argc, char** argv)
{
    const char* mode = argc > 1 ? argv[1] : "complet";

    IDirect3D9* pD3D = ::Direct3DCreate9(D3D_SDK_VERSION);
    Afficher("objet", pD3D != nullptr);
    if (!pD3D)
        return 0;

    D3DDISPLAYMODE d3ddm = {};
    HRESULT hr = pD3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &d3ddm);
    Afficher("mode", hr);
    Afficher("largeur", static_cast<long>(d3ddm.Width));

    HWND hWnd = CreerFenetre();
    D3DPRESENT_PARAMETERS d3dpp = {};
    d3dpp.Windowed = TRUE;
    d3dpp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    d3dpp.BackBufferFormat = d3ddm.Format;
    d3dpp.EnableAutoDepthStencil = TRUE;
    d3dpp.AutoDepthStencilFormat = D3DFMT_D16;
    // Poisoned, so that a fault injected without clearing the out pointer shows.
    IDirect3DDevice9* pDevice = reinterpret_cast<IDirect3DDevice9*>(static_cast<uintptr_t>(1));
    hr = pD3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, hWnd,
                            D3DCREATE_SOFTWARE_VERTEXPROCESSING, &d3dpp, &pDevice);
    Afficher("peripherique", hr);
    Afficher("pointeur", pDevice == nullptr ? 0 : 1);

    if (SUCCEEDED(hr) && pDevice) {
        IDirect3DVertexBuffer9* pTampon = nullptr;
        pDevice->CreateVertexBuffer(24 * 3, 0, D3DFVF_XYZ | D3DFVF_NORMAL, D3DPOOL_DEFAULT,
                                    &pTampon, nullptr);
        Afficher("tampon", pTampon != nullptr);
        if (pTampon && std::strcmp(mode, "fuite-tampon") != 0)
            pTampon->Release();
        if (std::strcmp(mode, "fuite-peripherique") != 0)
            pDevice->Release();
    }
    if (std::strcmp(mode, "fuite-objet") != 0)
        pD3D->Release();
    if (hWnd)
        ::DestroyWindow(hWnd);
    std::fflush(stdout);
    return 0;
}
