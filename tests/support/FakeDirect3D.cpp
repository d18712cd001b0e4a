#include "FakeDirect3D.h"

#include "AllocationShield.h"

namespace kvtest {

namespace {
std::uintptr_t U(std::uintptr_t v) { return v; }
} // namespace

FakeDirect3D::FakeDirect3D()
    : m_journal(std::make_shared<Journal>()),
      m_device(std::make_unique<RecordingDevice>(m_journal, 0))
{
    m_device->setDirect3D(this);
}

FakeDirect3D::~FakeDirect3D() = default;

Call& FakeDirect3D::note(const char* method, std::vector<std::uintptr_t> args, HRESULT result)
{
    return m_device->note(Source::Direct3D, static_cast<IDirect3D9*>(this), method, std::move(args), result);
}

HRESULT FakeDirect3D::QueryInterface(REFIID riid, void** ppvObject)
{
    AllocationShield shield;
    if (ppvObject)
        *ppvObject = nullptr;
    note("QueryInterface", {P(&riid), P(ppvObject)}, E_NOINTERFACE);
    return E_NOINTERFACE;
}

ULONG FakeDirect3D::AddRef()
{
    AllocationShield shield;
    ++m_addRefs;
    ++m_references;
    note("AddRef").count = m_references;
    return static_cast<ULONG>(m_references);
}

ULONG FakeDirect3D::Release()
{
    AllocationShield shield;
    ++m_releases;
    --m_references;
    note("Release").count = m_references;
    return static_cast<ULONG>(m_references < 0 ? 0 : m_references);
}

HRESULT FakeDirect3D::GetAdapterDisplayMode(UINT Adapter, D3DDISPLAYMODE* pMode)
{
    AllocationShield shield;
    HRESULT hr = displayModeResult;
    if (SUCCEEDED(hr) && pMode == nullptr)
        hr = D3DERR_INVALIDCALL;
    note("GetAdapterDisplayMode", {Adapter, P(pMode)}, hr);
    if (SUCCEEDED(hr))
        *pMode = displayMode;
    return hr;
}

HRESULT FakeDirect3D::CreateDevice(UINT Adapter, D3DDEVTYPE DeviceType, HWND hFocusWindow,
                                   DWORD BehaviorFlags, D3DPRESENT_PARAMETERS* pPresentationParameters,
                                   IDirect3DDevice9** ppReturnedDeviceInterface)
{
    AllocationShield shield;
    HRESULT hr = createDeviceResult;
    if (SUCCEEDED(hr) && (pPresentationParameters == nullptr || ppReturnedDeviceInterface == nullptr))
        hr = D3DERR_INVALIDCALL;
    Call& call = note("CreateDevice",
                      {Adapter, U(DeviceType), P(hFocusWindow), BehaviorFlags,
                       P(pPresentationParameters), P(ppReturnedDeviceInterface)},
                      hr);
    if (pPresentationParameters)
        call.presentParameters = *pPresentationParameters;
    if (FAILED(hr)) {
        if (ppReturnedDeviceInterface)
            *ppReturnedDeviceInterface = nullptr;
        return hr;
    }
    m_device->handOut();
    call.created = static_cast<IDirect3DDevice9*>(m_device.get());
    *ppReturnedDeviceInterface = m_device.get();
    return D3D_OK;
}

HRESULT FakeDirect3D::RegisterSoftwareDevice(void* pInitializeFunction)
{
    AllocationShield shield;
    note("RegisterSoftwareDevice", {P(pInitializeFunction)}, D3DERR_NOTAVAILABLE);
    return D3DERR_NOTAVAILABLE;
}

UINT FakeDirect3D::GetAdapterCount()
{
    AllocationShield shield;
    note("GetAdapterCount");
    return 1;
}

HRESULT FakeDirect3D::GetAdapterIdentifier(UINT Adapter, DWORD Flags, D3DADAPTER_IDENTIFIER9* pIdentifier)
{
    AllocationShield shield;
    note("GetAdapterIdentifier", {Adapter, Flags, P(pIdentifier)}, D3DERR_NOTAVAILABLE);
    return D3DERR_NOTAVAILABLE;
}

UINT FakeDirect3D::GetAdapterModeCount(UINT Adapter, D3DFORMAT Format)
{
    AllocationShield shield;
    note("GetAdapterModeCount", {Adapter, U(Format)});
    return Format == displayMode.Format ? 1 : 0;
}

HRESULT FakeDirect3D::EnumAdapterModes(UINT Adapter, D3DFORMAT Format, UINT Mode, D3DDISPLAYMODE* pMode)
{
    AllocationShield shield;
    HRESULT hr = (pMode && Mode == 0 && Format == displayMode.Format) ? D3D_OK : D3DERR_INVALIDCALL;
    note("EnumAdapterModes", {Adapter, U(Format), Mode, P(pMode)}, hr);
    if (SUCCEEDED(hr))
        *pMode = displayMode;
    return hr;
}

HRESULT FakeDirect3D::CheckDeviceType(UINT iAdapter, D3DDEVTYPE DevType, D3DFORMAT DisplayFormat,
                                      D3DFORMAT BackBufferFormat, WINBOOL bWindowed)
{
    AllocationShield shield;
    note("CheckDeviceType", {iAdapter, U(DevType), U(DisplayFormat), U(BackBufferFormat),
                             static_cast<std::uintptr_t>(bWindowed)});
    return D3D_OK;
}

HRESULT FakeDirect3D::CheckDeviceFormat(UINT Adapter, D3DDEVTYPE DeviceType, D3DFORMAT AdapterFormat,
                                        DWORD Usage, D3DRESOURCETYPE RType, D3DFORMAT CheckFormat)
{
    AllocationShield shield;
    note("CheckDeviceFormat", {Adapter, U(DeviceType), U(AdapterFormat), Usage, U(RType), U(CheckFormat)});
    return D3D_OK;
}

HRESULT FakeDirect3D::CheckDeviceMultiSampleType(UINT Adapter, D3DDEVTYPE DeviceType, D3DFORMAT SurfaceFormat,
                                                 WINBOOL Windowed, D3DMULTISAMPLE_TYPE MultiSampleType,
                                                 DWORD* pQualityLevels)
{
    AllocationShield shield;
    note("CheckDeviceMultiSampleType", {Adapter, U(DeviceType), U(SurfaceFormat),
                                        static_cast<std::uintptr_t>(Windowed), U(MultiSampleType),
                                        P(pQualityLevels)});
    if (pQualityLevels)
        *pQualityLevels = 1;
    return MultiSampleType == D3DMULTISAMPLE_NONE ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT FakeDirect3D::CheckDepthStencilMatch(UINT Adapter, D3DDEVTYPE DeviceType, D3DFORMAT AdapterFormat,
                                             D3DFORMAT RenderTargetFormat, D3DFORMAT DepthStencilFormat)
{
    AllocationShield shield;
    note("CheckDepthStencilMatch", {Adapter, U(DeviceType), U(AdapterFormat), U(RenderTargetFormat),
                                    U(DepthStencilFormat)});
    return D3D_OK;
}

HRESULT FakeDirect3D::CheckDeviceFormatConversion(UINT Adapter, D3DDEVTYPE DeviceType, D3DFORMAT SourceFormat,
                                                  D3DFORMAT TargetFormat)
{
    AllocationShield shield;
    note("CheckDeviceFormatConversion", {Adapter, U(DeviceType), U(SourceFormat), U(TargetFormat)});
    return D3D_OK;
}

HRESULT FakeDirect3D::GetDeviceCaps(UINT Adapter, D3DDEVTYPE DeviceType, D3DCAPS9* pCaps)
{
    AllocationShield shield;
    note("GetDeviceCaps", {Adapter, U(DeviceType), P(pCaps)}, D3DERR_NOTAVAILABLE);
    return D3DERR_NOTAVAILABLE;
}

HMONITOR FakeDirect3D::GetAdapterMonitor(UINT Adapter)
{
    AllocationShield shield;
    note("GetAdapterMonitor", {Adapter});
    return nullptr;
}

} // namespace kvtest
