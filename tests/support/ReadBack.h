// Drawing with the real Direct3D 9 runtime in a test: a hidden window with a client area of
// known size and a HAL device on it, and a copy of the rendered back buffer read back in
// system memory.
#pragma once

#include <d3d9.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kvtest {

// A hidden window of `largeur` x `hauteur` client pixels, its Direct3D object and a HAL
// device with a 16-bit depth buffer, in the display mode's format. Everything is given back
// by the destructor, the device before the Direct3D object before the window.
class RealDevice
{
public:
    RealDevice(UINT largeur, UINT hauteur);
    ~RealDevice();
    RealDevice(const RealDevice&) = delete;
    RealDevice& operator=(const RealDevice&) = delete;

    bool ok() const { return m_device != nullptr; }
    const std::string& why() const { return m_why; }   // what failed when !ok()
    IDirect3DDevice9* device() const { return m_device; }
    HWND window() const { return m_window; }
    UINT width() const { return m_width; }
    UINT height() const { return m_height; }

    // The device's reference count, read by a matched AddRef/Release pair.
    ULONG references() const;

private:
    UINT m_width, m_height;
    HWND m_window = nullptr;
    IDirect3D9* m_d3d = nullptr;
    IDirect3DDevice9* m_device = nullptr;
    std::string m_why;
};

// The colour of every pixel of render target 0, copied with GetRenderTargetData into a
// system-memory surface and read row by row (by pitch). Colours are 0x00RRGGBB.
class BackBufferCopy
{
public:
    static constexpr std::uint32_t kNone = 0xDEADBEEF;   // no test expects it

    HRESULT capture(IDirect3DDevice9* device);
    UINT width() const { return m_width; }
    UINT height() const { return m_height; }
    std::uint32_t at(int x, int y) const;               // kNone outside or before capture
    bool writeBmp(const std::string& path) const;        // 24-bit bottom-up BMP

private:
    UINT m_width = 0, m_height = 0;
    std::vector<std::uint32_t> m_pixels;
};

// True when every channel of `a` is within `tolerance` of `b`.
bool CloseColour(std::uint32_t a, std::uint32_t b, int tolerance);

} // namespace kvtest
