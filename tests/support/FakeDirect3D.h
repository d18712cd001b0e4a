// A test double of IDirect3D9: records every call in the journal it shares with its
// recording device, answers GetAdapterDisplayMode and CreateDevice as configured, and hands
// out its one RecordingDevice from CreateDevice.
#pragma once

#include "Journal.h"
#include "RecordingDevice.h"

#include <d3d9.h>

#include <memory>

namespace kvtest {

class FakeDirect3D : public IDirect3D9
{
public:
    // Starts with one reference, the one Direct3DCreate9 gives its caller.
    FakeDirect3D();
    FakeDirect3D(const FakeDirect3D&) = delete;
    FakeDirect3D& operator=(const FakeDirect3D&) = delete;
    virtual ~FakeDirect3D();

    // Configuration.
    HRESULT displayModeResult = D3D_OK;
    D3DDISPLAYMODE displayMode{1024, 768, 60, D3DFMT_X8R8G8B8};   // what GetAdapterDisplayMode reports
    HRESULT createDeviceResult = D3D_OK;   // on failure the output pointer is set to null

    // What the test looks at. CreateDevice is journaled with args (adapter, device type,
    // focus window, behaviour flags, present parameters pointer) and a copy of the present
    // parameters in Call::presentParameters; Call::created is the device handed out.
    Journal& journal() { return *m_journal; }
    std::shared_ptr<Journal> sharedJournal() const { return m_journal; }
    RecordingDevice& device() { return *m_device; }
    long references() const { return m_references; }
    int addRefCalls() const { return m_addRefs; }
    int releaseCalls() const { return m_releases; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDirect3D9
    HRESULT STDMETHODCALLTYPE RegisterSoftwareDevice(void* pInitializeFunction) override;
    UINT STDMETHODCALLTYPE GetAdapterCount() override;
    HRESULT STDMETHODCALLTYPE GetAdapterIdentifier(UINT Adapter, DWORD Flags, D3DADAPTER_IDENTIFIER9* pIdentifier) override;
    UINT STDMETHODCALLTYPE GetAdapterModeCount(UINT Adapter, D3DFORMAT Format) override;
    HRESULT STDMETHODCALLTYPE EnumAdapterModes(UINT Adapter, D3DFORMAT Format, UINT Mode, D3DDISPLAYMODE* pMode) override;
    HRESULT STDMETHODCALLTYPE GetAdapterDisplayMode(UINT Adapter, D3DDISPLAYMODE* pMode) override;
    HRESULT STDMETHODCALLTYPE CheckDeviceType(UINT iAdapter, D3DDEVTYPE DevType, D3DFORMAT DisplayFormat, D3DFORMAT BackBufferFormat, WINBOOL bWindowed) override;
    HRESULT STDMETHODCALLTYPE CheckDeviceFormat(UINT Adapter, D3DDEVTYPE DeviceType, D3DFORMAT AdapterFormat, DWORD Usage, D3DRESOURCETYPE RType, D3DFORMAT CheckFormat) override;
    HRESULT STDMETHODCALLTYPE CheckDeviceMultiSampleType(UINT Adapter, D3DDEVTYPE DeviceType, D3DFORMAT SurfaceFormat, WINBOOL Windowed, D3DMULTISAMPLE_TYPE MultiSampleType, DWORD* pQualityLevels) override;
    HRESULT STDMETHODCALLTYPE CheckDepthStencilMatch(UINT Adapter, D3DDEVTYPE DeviceType, D3DFORMAT AdapterFormat, D3DFORMAT RenderTargetFormat, D3DFORMAT DepthStencilFormat) override;
    HRESULT STDMETHODCALLTYPE CheckDeviceFormatConversion(UINT Adapter, D3DDEVTYPE DeviceType, D3DFORMAT SourceFormat, D3DFORMAT TargetFormat) override;
    HRESULT STDMETHODCALLTYPE GetDeviceCaps(UINT Adapter, D3DDEVTYPE DeviceType, D3DCAPS9* pCaps) override;
    HMONITOR STDMETHODCALLTYPE GetAdapterMonitor(UINT Adapter) override;
    HRESULT STDMETHODCALLTYPE CreateDevice(UINT Adapter, D3DDEVTYPE DeviceType, HWND hFocusWindow, DWORD BehaviorFlags, D3DPRESENT_PARAMETERS* pPresentationParameters, IDirect3DDevice9** ppReturnedDeviceInterface) override;

private:
    Call& note(const char* method, std::vector<std::uintptr_t> args = {}, HRESULT result = D3D_OK);

    std::shared_ptr<Journal> m_journal;
    std::unique_ptr<RecordingDevice> m_device;
    long m_references = 1;
    int m_addRefs = 0;
    int m_releases = 0;
};

} // namespace kvtest
