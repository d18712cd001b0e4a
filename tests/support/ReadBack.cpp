#include "ReadBack.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace kvtest {

namespace {

const char kClasse[] = "KervalenTestDevice";

std::string Echec(const char* quoi, HRESULT hr)
{
    std::ostringstream texte;
    texte << quoi << " failed, hr 0x" << std::hex << static_cast<unsigned long>(hr);
    return texte.str();
}

} // namespace

RealDevice::RealDevice(UINT largeur, UINT hauteur) : m_width(largeur), m_height(hauteur)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = kClasse;
    ::RegisterClassA(&wc);   // already registered by an earlier device: fine

    // Size the window so that its client area is exactly largeur x hauteur.
    const DWORD style = WS_OVERLAPPEDWINDOW;
    RECT r = {0, 0, static_cast<LONG>(largeur), static_cast<LONG>(hauteur)};
    ::AdjustWindowRect(&r, style, FALSE);
    m_window = ::CreateWindowA(kClasse, "Kervalen test", style, 0, 0, r.right - r.left,
                               r.bottom - r.top, nullptr, nullptr, wc.hInstance, nullptr);
    if (!m_window) {
        m_why = "CreateWindow failed";
        return;
    }
    RECT client;
    ::GetClientRect(m_window, &client);
    if (client.right != static_cast<LONG>(largeur) || client.bottom != static_cast<LONG>(hauteur)) {
        m_why = "the window's client area is not the size asked for";
        return;
    }

    m_d3d = ::Direct3DCreate9(D3D_SDK_VERSION);
    if (!m_d3d) {
        m_why = "Direct3DCreate9 returned null";
        return;
    }
    D3DDISPLAYMODE mode{};
    HRESULT hr = m_d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode);
    if (FAILED(hr)) {
        m_why = Echec("GetAdapterDisplayMode", hr);
        return;
    }
    D3DPRESENT_PARAMETERS pp{};
    pp.BackBufferWidth = largeur;
    pp.BackBufferHeight = hauteur;
    pp.BackBufferFormat = mode.Format;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.Windowed = TRUE;
    pp.EnableAutoDepthStencil = TRUE;
    pp.AutoDepthStencilFormat = D3DFMT_D16;
    pp.hDeviceWindow = m_window;
    hr = m_d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, m_window,
                             D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &m_device);
    if (FAILED(hr)) {
        m_device = nullptr;
        m_why = Echec("CreateDevice", hr);
    }
}

RealDevice::~RealDevice()
{
    if (m_device)
        m_device->Release();
    if (m_d3d)
        m_d3d->Release();
    if (m_window)
        ::DestroyWindow(m_window);
}

ULONG RealDevice::references() const
{
    if (!m_device)
        return 0;
    m_device->AddRef();
    return m_device->Release();
}

HRESULT BackBufferCopy::capture(IDirect3DDevice9* device)
{
    m_width = m_height = 0;
    m_pixels.clear();
    IDirect3DSurface9* cible = nullptr;
    HRESULT hr = device->GetRenderTarget(0, &cible);
    if (FAILED(hr))
        return hr;
    D3DSURFACE_DESC desc{};
    cible->GetDesc(&desc);
    IDirect3DSurface9* copie = nullptr;
    hr = device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM,
                                             &copie, nullptr);
    if (SUCCEEDED(hr))
        hr = device->GetRenderTargetData(cible, copie);
    D3DLOCKED_RECT verrou{};
    if (SUCCEEDED(hr))
        hr = copie->LockRect(&verrou, nullptr, D3DLOCK_READONLY);
    if (SUCCEEDED(hr)) {
        if (desc.Format == D3DFMT_X8R8G8B8 || desc.Format == D3DFMT_A8R8G8B8) {
            m_width = desc.Width;
            m_height = desc.Height;
            m_pixels.resize(std::size_t(m_width) * m_height);
            for (UINT y = 0; y < m_height; ++y) {
                const auto* ligne = reinterpret_cast<const std::uint32_t*>(
                    static_cast<const std::uint8_t*>(verrou.pBits) + std::size_t(y) * verrou.Pitch);
                for (UINT x = 0; x < m_width; ++x)
                    m_pixels[std::size_t(y) * m_width + x] = ligne[x] & 0x00FFFFFF;
            }
        } else {
            hr = D3DERR_WRONGTEXTUREFORMAT;
        }
        copie->UnlockRect();
    }
    if (copie)
        copie->Release();
    cible->Release();
    return hr;
}

std::uint32_t BackBufferCopy::at(int x, int y) const
{
    if (x < 0 || y < 0 || x >= static_cast<int>(m_width) || y >= static_cast<int>(m_height))
        return kNone;
    return m_pixels[std::size_t(y) * m_width + x];
}

bool BackBufferCopy::writeBmp(const std::string& path) const
{
    if (m_pixels.empty())
        return false;
    const std::uint32_t ligne = (m_width * 3 + 3) & ~3u;
    const std::uint32_t taille = 54 + ligne * m_height;
    std::vector<std::uint8_t> f(taille, 0);
    auto mot = [&](std::size_t at, std::uint32_t v, int octets) {
        for (int i = 0; i < octets; ++i)
            f[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    f[0] = 'B';
    f[1] = 'M';
    mot(2, taille, 4);
    mot(10, 54, 4);
    mot(14, 40, 4);
    mot(18, m_width, 4);
    mot(22, m_height, 4);
    mot(26, 1, 2);
    mot(28, 24, 2);
    mot(34, ligne * m_height, 4);
    for (UINT y = 0; y < m_height; ++y)
        for (UINT x = 0; x < m_width; ++x) {
            const std::uint32_t c = m_pixels[std::size_t(m_height - 1 - y) * m_width + x];
            mot(54 + std::size_t(y) * ligne + x * 3, c, 3);   // B, G, R
        }
    FILE* sortie = std::fopen(path.c_str(), "wb");
    if (!sortie)
        return false;
    const bool ecrit = std::fwrite(f.data(), 1, f.size(), sortie) == f.size();
    return std::fclose(sortie) == 0 && ecrit;
}

bool CloseColour(std::uint32_t a, std::uint32_t b, int tolerance)
{
    for (int decalage : {0, 8, 16}) {
        const int ca = (a >> decalage) & 0xFF, cb = (b >> decalage) & 0xFF;
        if (std::abs(ca - cb) > tolerance)
            return false;
    }
    return true;
}

} // namespace kvtest
