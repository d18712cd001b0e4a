#include "RecordingDevice.h"

#include "AllocationShield.h"

#include <algorithm>
#include <cstring>

namespace kvtest {

namespace {

D3DMATRIX identity()
{
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

std::uintptr_t U(std::uintptr_t v) { return v; }

} // namespace

// ---------------------------------------------------------------------------------------
// Buffers

template <class I>
RecordingBuffer<I>::RecordingBuffer(RecordingDevice& device, UINT length, DWORD usage,
                                    DWORD format, D3DPOOL pool)
    : m_device(device), m_length(length), m_usage(usage), m_format(format), m_pool(pool),
      m_store(std::size_t(length) + kGuard, kUnwritten)
{
}

template <class I>
std::vector<std::uint8_t> RecordingBuffer<I>::bytes() const
{
    return std::vector<std::uint8_t>(m_store.begin(), m_store.begin() + m_length);
}

template <class I>
bool RecordingBuffer<I>::overrun() const
{
    return std::any_of(m_store.begin() + m_length, m_store.end(),
                       [](std::uint8_t b) { return b != kUnwritten; });
}

template <class I>
Call& RecordingBuffer<I>::note(const char* method, std::vector<std::uintptr_t> args)
{
    return m_device.note(kSource, static_cast<I*>(this), method, std::move(args));
}

template <class I>
HRESULT RecordingBuffer<I>::QueryInterface(REFIID riid, void** ppvObject)
{
    AllocationShield shield;
    note("QueryInterface", {P(&riid), P(ppvObject)}).result = E_NOINTERFACE;
    if (ppvObject)
        *ppvObject = nullptr;
    return E_NOINTERFACE;
}

template <class I>
ULONG RecordingBuffer<I>::AddRef()
{
    AllocationShield shield;
    ++m_addRefs;
    ++m_references;
    note("AddRef").count = m_references;
    return static_cast<ULONG>(m_references);
}

template <class I>
ULONG RecordingBuffer<I>::Release()
{
    AllocationShield shield;
    ++m_releases;
    --m_references;
    note("Release").count = m_references;
    return static_cast<ULONG>(m_references < 0 ? 0 : m_references);
}

template <class I>
HRESULT RecordingBuffer<I>::GetDevice(IDirect3DDevice9** ppDevice)
{
    AllocationShield shield;
    note("GetDevice", {P(ppDevice)});
    if (!ppDevice)
        return D3DERR_INVALIDCALL;
    m_device.AddRef();
    *ppDevice = &m_device;
    return D3D_OK;
}

template <class I>
HRESULT RecordingBuffer<I>::SetPrivateData(REFGUID guid, const void* data, DWORD data_size, DWORD flags)
{
    AllocationShield shield;
    note("SetPrivateData", {P(&guid), P(data), data_size, flags}).result = E_NOTIMPL;
    return E_NOTIMPL;
}

template <class I>
HRESULT RecordingBuffer<I>::GetPrivateData(REFGUID refguid, void* pData, DWORD* pSizeOfData)
{
    AllocationShield shield;
    note("GetPrivateData", {P(&refguid), P(pData), P(pSizeOfData)}).result = E_NOTIMPL;
    return E_NOTIMPL;
}

template <class I>
HRESULT RecordingBuffer<I>::FreePrivateData(REFGUID refguid)
{
    AllocationShield shield;
    note("FreePrivateData", {P(&refguid)}).result = E_NOTIMPL;
    return E_NOTIMPL;
}

template <class I>
DWORD RecordingBuffer<I>::SetPriority(DWORD PriorityNew)
{
    AllocationShield shield;
    note("SetPriority", {PriorityNew});
    return 0;
}

template <class I>
DWORD RecordingBuffer<I>::GetPriority()
{
    AllocationShield shield;
    note("GetPriority");
    return 0;
}

template <class I>
void RecordingBuffer<I>::PreLoad()
{
    AllocationShield shield;
    note("PreLoad");
}

template <class I>
D3DRESOURCETYPE RecordingBuffer<I>::GetType()
{
    AllocationShield shield;
    note("GetType");
    return kSource == Source::VertexBuffer ? D3DRTYPE_VERTEXBUFFER : D3DRTYPE_INDEXBUFFER;
}

template <class I>
HRESULT RecordingBuffer<I>::Lock(UINT OffsetToLock, UINT SizeToLock, void** ppbData, DWORD Flags)
{
    AllocationShield shield;
    Call& call = note("Lock", {OffsetToLock, SizeToLock, P(ppbData), Flags});
    ++m_locks;
    HRESULT hr = kSource == Source::VertexBuffer ? m_device.failLockVertexBuffer.next()
                                                 : m_device.failLockIndexBuffer.next();
    if (SUCCEEDED(hr) && (ppbData == nullptr || OffsetToLock > m_length
                          || (SizeToLock != 0 && SizeToLock > m_length - OffsetToLock)))
        hr = D3DERR_INVALIDCALL;
    call.result = hr;
    if (FAILED(hr))
        return hr;
    m_locked = true;
    *ppbData = m_store.data() + OffsetToLock;
    return D3D_OK;
}

template <class I>
HRESULT RecordingBuffer<I>::Unlock()
{
    AllocationShield shield;
    Call& call = note("Unlock");
    ++m_unlocks;
    // Direct3D 9 buffers answer an unbalanced Unlock with success too.
    m_locked = false;
    call.result = D3D_OK;
    return D3D_OK;
}

template <class I>
HRESULT RecordingBuffer<I>::GetDesc(Desc* pDesc)
{
    AllocationShield shield;
    note("GetDesc", {P(pDesc)});
    if (!pDesc)
        return D3DERR_INVALIDCALL;
    *pDesc = Desc{};
    if constexpr (kSource == Source::VertexBuffer) {
        pDesc->Format = D3DFMT_VERTEXDATA;
        pDesc->Type = D3DRTYPE_VERTEXBUFFER;
        pDesc->FVF = m_format;
    } else {
        pDesc->Format = static_cast<D3DFORMAT>(m_format);
        pDesc->Type = D3DRTYPE_INDEXBUFFER;
    }
    pDesc->Usage = m_usage;
    pDesc->Pool = m_pool;
    pDesc->Size = m_length;
    return D3D_OK;
}

template class RecordingBuffer<IDirect3DVertexBuffer9>;
template class RecordingBuffer<IDirect3DIndexBuffer9>;

// ---------------------------------------------------------------------------------------
// Device: bookkeeping

RecordingDevice::RecordingDevice(std::shared_ptr<Journal> journal, long references)
    : m_journal(std::move(journal)), m_references(references)
{
}

RecordingDevice::~RecordingDevice() = default;

Call& RecordingDevice::note(Source source, const void* object, const char* method,
                            std::vector<std::uintptr_t> args, HRESULT result)
{
    AllocationShield shield;
    Call call;
    call.source = source;
    call.object = object;
    call.method = method;
    call.args = std::move(args);
    call.result = result;
    return m_journal->add(std::move(call));
}

HRESULT RecordingDevice::plain(const char* method, std::vector<std::uintptr_t> args, HRESULT result)
{
    note(Source::Device, static_cast<IDirect3DDevice9*>(this), method, std::move(args), result);
    return result;
}

RecordingVertexBuffer* RecordingDevice::asVertexBuffer(const void* p) const
{
    for (const auto& b : m_vertexBuffers)
        if (static_cast<const IDirect3DVertexBuffer9*>(b.get()) == p)
            return b.get();
    return nullptr;
}

RecordingIndexBuffer* RecordingDevice::asIndexBuffer(const void* p) const
{
    for (const auto& b : m_indexBuffers)
        if (static_cast<const IDirect3DIndexBuffer9*>(b.get()) == p)
            return b.get();
    return nullptr;
}

D3DMATRIX RecordingDevice::transform(D3DTRANSFORMSTATETYPE state) const
{
    auto it = m_transforms.find(state);
    return it == m_transforms.end() ? identity() : it->second;
}

DWORD RecordingDevice::renderState(D3DRENDERSTATETYPE state) const
{
    auto it = m_renderStates.find(state);
    return it == m_renderStates.end() ? 0 : it->second;
}

// ---------------------------------------------------------------------------------------
// Device: the calls the program makes

HRESULT RecordingDevice::QueryInterface(REFIID riid, void** ppvObject)
{
    AllocationShield shield;
    if (ppvObject)
        *ppvObject = nullptr;
    return plain("QueryInterface", {P(&riid), P(ppvObject)}, E_NOINTERFACE);
}

ULONG RecordingDevice::AddRef()
{
    AllocationShield shield;
    ++m_addRefs;
    ++m_references;
    note(Source::Device, static_cast<IDirect3DDevice9*>(this), "AddRef").count = m_references;
    return static_cast<ULONG>(m_references);
}

ULONG RecordingDevice::Release()
{
    AllocationShield shield;
    ++m_releases;
    --m_references;
    note(Source::Device, static_cast<IDirect3DDevice9*>(this), "Release").count = m_references;
    return static_cast<ULONG>(m_references < 0 ? 0 : m_references);
}

HRESULT RecordingDevice::CreateVertexBuffer(UINT Length, DWORD Usage, DWORD FVF, D3DPOOL Pool,
                                            IDirect3DVertexBuffer9** ppVertexBuffer, HANDLE* pSharedHandle)
{
    AllocationShield shield;
    Call& call = note(Source::Device, static_cast<IDirect3DDevice9*>(this), "CreateVertexBuffer",
                      {Length, Usage, FVF, U(Pool), P(ppVertexBuffer), P(pSharedHandle)});
    HRESULT hr = failCreateVertexBuffer.next();
    if (SUCCEEDED(hr) && (ppVertexBuffer == nullptr || Length == 0))
        hr = D3DERR_INVALIDCALL;
    call.result = hr;
    if (FAILED(hr))
        return hr;
    m_vertexBuffers.push_back(std::make_unique<RecordingVertexBuffer>(*this, Length, Usage, FVF, Pool));
    *ppVertexBuffer = m_vertexBuffers.back().get();
    call.created = *ppVertexBuffer;
    return D3D_OK;
}

HRESULT RecordingDevice::CreateIndexBuffer(UINT Length, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                           IDirect3DIndexBuffer9** ppIndexBuffer, HANDLE* pSharedHandle)
{
    AllocationShield shield;
    Call& call = note(Source::Device, static_cast<IDirect3DDevice9*>(this), "CreateIndexBuffer",
                      {Length, Usage, U(Format), U(Pool), P(ppIndexBuffer), P(pSharedHandle)});
    HRESULT hr = failCreateIndexBuffer.next();
    if (SUCCEEDED(hr) && (ppIndexBuffer == nullptr || Length == 0))
        hr = D3DERR_INVALIDCALL;
    call.result = hr;
    if (FAILED(hr))
        return hr;
    m_indexBuffers.push_back(std::make_unique<RecordingIndexBuffer>(*this, Length, Usage, Format, Pool));
    *ppIndexBuffer = m_indexBuffers.back().get();
    call.created = *ppIndexBuffer;
    return D3D_OK;
}

HRESULT RecordingDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix)
{
    AllocationShield shield;
    Call& call = note(Source::Device, static_cast<IDirect3DDevice9*>(this), "SetTransform",
                      {U(state), P(matrix)});
    if (!matrix) {
        call.result = D3DERR_INVALIDCALL;
        return D3DERR_INVALIDCALL;
    }
    call.matrix = *matrix;
    m_transforms[state] = *matrix;
    return D3D_OK;
}

HRESULT RecordingDevice::GetTransform(D3DTRANSFORMSTATETYPE State, D3DMATRIX* pMatrix)
{
    AllocationShield shield;
    if (!pMatrix)
        return plain("GetTransform", {U(State), P(pMatrix)}, D3DERR_INVALIDCALL);
    *pMatrix = transform(State);
    return plain("GetTransform", {U(State), P(pMatrix)});
}

HRESULT RecordingDevice::MultiplyTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix)
{
    AllocationShield shield;
    Call& call = note(Source::Device, static_cast<IDirect3DDevice9*>(this), "MultiplyTransform",
                      {U(state), P(matrix)});
    if (matrix)
        call.matrix = *matrix;
    return D3D_OK;
}

HRESULT RecordingDevice::SetMaterial(const D3DMATERIAL9* material)
{
    AllocationShield shield;
    Call& call = note(Source::Device, static_cast<IDirect3DDevice9*>(this), "SetMaterial", {P(material)});
    if (!material) {
        call.result = D3DERR_INVALIDCALL;
        return D3DERR_INVALIDCALL;
    }
    call.material = *material;
    m_material = *material;
    return D3D_OK;
}

HRESULT RecordingDevice::GetMaterial(D3DMATERIAL9* pMaterial)
{
    AllocationShield shield;
    if (!pMaterial)
        return plain("GetMaterial", {P(pMaterial)}, D3DERR_INVALIDCALL);
    *pMaterial = m_material;
    return plain("GetMaterial", {P(pMaterial)});
}

HRESULT RecordingDevice::SetRenderState(D3DRENDERSTATETYPE State, DWORD Value)
{
    AllocationShield shield;
    m_renderStates[State] = Value;
    return plain("SetRenderState", {U(State), Value});
}

HRESULT RecordingDevice::GetRenderState(D3DRENDERSTATETYPE State, DWORD* pValue)
{
    AllocationShield shield;
    if (!pValue)
        return plain("GetRenderState", {U(State), P(pValue)}, D3DERR_INVALIDCALL);
    *pValue = renderState(State);
    return plain("GetRenderState", {U(State), P(pValue)});
}

HRESULT RecordingDevice::SetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer9* pStreamData,
                                         UINT OffsetInBytes, UINT Stride)
{
    AllocationShield shield;
    if (StreamNumber == 0) {
        m_stream0 = pStreamData;
        m_stream0Offset = OffsetInBytes;
        m_stream0Stride = Stride;
    }
    return plain("SetStreamSource", {StreamNumber, P(pStreamData), OffsetInBytes, Stride});
}

HRESULT RecordingDevice::GetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer9** ppStreamData,
                                         UINT* OffsetInBytes, UINT* pStride)
{
    AllocationShield shield;
    if (!ppStreamData || !OffsetInBytes || !pStride)
        return plain("GetStreamSource", {StreamNumber, P(ppStreamData), P(OffsetInBytes), P(pStride)},
                     D3DERR_INVALIDCALL);
    HRESULT hr = plain("GetStreamSource", {StreamNumber, P(ppStreamData), P(OffsetInBytes), P(pStride)});
    *ppStreamData = StreamNumber == 0 ? m_stream0 : nullptr;
    *OffsetInBytes = StreamNumber == 0 ? m_stream0Offset : 0;
    *pStride = StreamNumber == 0 ? m_stream0Stride : 0;
    if (*ppStreamData)
        (*ppStreamData)->AddRef();
    return hr;
}

HRESULT RecordingDevice::SetFVF(DWORD FVF)
{
    AllocationShield shield;
    m_fvf = FVF;
    return plain("SetFVF", {FVF});
}

HRESULT RecordingDevice::GetFVF(DWORD* pFVF)
{
    AllocationShield shield;
    if (!pFVF)
        return plain("GetFVF", {P(pFVF)}, D3DERR_INVALIDCALL);
    *pFVF = m_fvf;
    return plain("GetFVF", {P(pFVF)});
}

HRESULT RecordingDevice::SetIndices(IDirect3DIndexBuffer9* pIndexData)
{
    AllocationShield shield;
    m_indices = pIndexData;
    return plain("SetIndices", {P(pIndexData)});
}

HRESULT RecordingDevice::GetIndices(IDirect3DIndexBuffer9** ppIndexData)
{
    AllocationShield shield;
    if (!ppIndexData)
        return plain("GetIndices", {P(ppIndexData)}, D3DERR_INVALIDCALL);
    HRESULT hr = plain("GetIndices", {P(ppIndexData)});
    *ppIndexData = m_indices;
    if (m_indices)
        m_indices->AddRef();
    return hr;
}

HRESULT RecordingDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE PrimitiveType, INT BaseVertexIndex,
                                              UINT MinVertexIndex, UINT NumVertices, UINT startIndex,
                                              UINT primCount)
{
    AllocationShield shield;
    // Drawing needs a vertex stream and indices; Direct3D refuses without indices.
    HRESULT hr = m_indices == nullptr ? D3DERR_INVALIDCALL : D3D_OK;
    return plain("DrawIndexedPrimitive",
                 {U(PrimitiveType), static_cast<std::uintptr_t>(BaseVertexIndex), MinVertexIndex,
                  NumVertices, startIndex, primCount},
                 hr);
}

HRESULT RecordingDevice::BeginScene()
{
    AllocationShield shield;
    if (m_sceneDepth != 0)
        return plain("BeginScene", {}, D3DERR_INVALIDCALL);
    ++m_sceneDepth;
    return plain("BeginScene");
}

HRESULT RecordingDevice::EndScene()
{
    AllocationShield shield;
    if (m_sceneDepth == 0)
        return plain("EndScene", {}, D3DERR_INVALIDCALL);
    --m_sceneDepth;
    return plain("EndScene");
}

HRESULT RecordingDevice::Clear(DWORD rect_count, const D3DRECT* rects, DWORD flags, D3DCOLOR color,
                               float z, DWORD stencil)
{
    AllocationShield shield;
    Call& call = note(Source::Device, static_cast<IDirect3DDevice9*>(this), "Clear",
                      {rect_count, P(rects), flags, color, stencil});
    call.real = z;
    if (rects)
        call.rects.assign(rects, rects + rect_count);
    return D3D_OK;
}

HRESULT RecordingDevice::Present(const RECT* src_rect, const RECT* dst_rect, HWND dst_window_override,
                                 const RGNDATA* dirty_region)
{
    AllocationShield shield;
    return plain("Present", {P(src_rect), P(dst_rect), P(dst_window_override), P(dirty_region)});
}

HRESULT RecordingDevice::Reset(D3DPRESENT_PARAMETERS* pPresentationParameters)
{
    AllocationShield shield;
    Call& call = note(Source::Device, static_cast<IDirect3DDevice9*>(this), "Reset",
                      {P(pPresentationParameters)});
    if (pPresentationParameters)
        call.presentParameters = *pPresentationParameters;
    return D3D_OK;
}

HRESULT RecordingDevice::GetDirect3D(IDirect3D9** ppD3D9)
{
    AllocationShield shield;
    if (!ppD3D9)
        return plain("GetDirect3D", {P(ppD3D9)}, D3DERR_INVALIDCALL);
    HRESULT hr = plain("GetDirect3D", {P(ppD3D9)}, m_d3d ? D3D_OK : D3DERR_INVALIDCALL);
    *ppD3D9 = m_d3d;
    if (m_d3d)
        m_d3d->AddRef();
    return hr;
}

HRESULT RecordingDevice::TestCooperativeLevel()
{
    AllocationShield shield;
    return plain("TestCooperativeLevel");
}

HRESULT RecordingDevice::SetLight(DWORD index, const D3DLIGHT9* light)
{
    AllocationShield shield;
    return plain("SetLight", {index, P(light)});
}

HRESULT RecordingDevice::LightEnable(DWORD Index, WINBOOL Enable)
{
    AllocationShield shield;
    return plain("LightEnable", {Index, static_cast<std::uintptr_t>(Enable)});
}

HRESULT RecordingDevice::SetViewport(const D3DVIEWPORT9* viewport)
{
    AllocationShield shield;
    return plain("SetViewport", {P(viewport)});
}

HRESULT RecordingDevice::SetTexture(DWORD Stage, IDirect3DBaseTexture9* pTexture)
{
    AllocationShield shield;
    return plain("SetTexture", {Stage, P(pTexture)});
}

HRESULT RecordingDevice::SetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD Value)
{
    AllocationShield shield;
    return plain("SetTextureStageState", {Stage, U(Type), Value});
}

HRESULT RecordingDevice::SetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD Value)
{
    AllocationShield shield;
    return plain("SetSamplerState", {Sampler, U(Type), Value});
}

HRESULT RecordingDevice::DrawPrimitive(D3DPRIMITIVETYPE PrimitiveType, UINT StartVertex, UINT PrimitiveCount)
{
    AllocationShield shield;
    return plain("DrawPrimitive", {U(PrimitiveType), StartVertex, PrimitiveCount});
}

HRESULT RecordingDevice::SetVertexDeclaration(IDirect3DVertexDeclaration9* pDecl)
{
    AllocationShield shield;
    return plain("SetVertexDeclaration", {P(pDecl)});
}

HRESULT RecordingDevice::SetVertexShader(IDirect3DVertexShader9* pShader)
{
    AllocationShield shield;
    return plain("SetVertexShader", {P(pShader)});
}

HRESULT RecordingDevice::SetPixelShader(IDirect3DPixelShader9* pShader)
{
    AllocationShield shield;
    return plain("SetPixelShader", {P(pShader)});
}

HRESULT RecordingDevice::GetRenderTargetData(IDirect3DSurface9* pRenderTarget, IDirect3DSurface9* pDestSurface)
{
    AllocationShield shield;
    return plain("GetRenderTargetData", {P(pRenderTarget), P(pDestSurface)});
}

HRESULT RecordingDevice::EvictManagedResources()
{
    AllocationShield shield;
    return plain("EvictManagedResources");
}

// ---------------------------------------------------------------------------------------
// Device: calls the program does not make. Recorded all the same; those that would hand
// out an object or fill a structure say they are not available.

namespace {

template <class T>
void clear(T* p)
{
    if (p)
        *p = nullptr;
}

} // namespace

UINT RecordingDevice::GetAvailableTextureMem() { AllocationShield s; plain("GetAvailableTextureMem"); return 256u << 20; }
HRESULT RecordingDevice::GetDeviceCaps(D3DCAPS9* pCaps) { AllocationShield s; return plain("GetDeviceCaps", {P(pCaps)}, D3DERR_NOTAVAILABLE); }
HRESULT RecordingDevice::GetDisplayMode(UINT iSwapChain, D3DDISPLAYMODE* pMode) { AllocationShield s; return plain("GetDisplayMode", {iSwapChain, P(pMode)}, D3DERR_NOTAVAILABLE); }
HRESULT RecordingDevice::GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* pParameters) { AllocationShield s; return plain("GetCreationParameters", {P(pParameters)}, D3DERR_NOTAVAILABLE); }
HRESULT RecordingDevice::SetCursorProperties(UINT XHotSpot, UINT YHotSpot, IDirect3DSurface9* pCursorBitmap) { AllocationShield s; return plain("SetCursorProperties", {XHotSpot, YHotSpot, P(pCursorBitmap)}); }
void RecordingDevice::SetCursorPosition(int X, int Y, DWORD Flags) { AllocationShield s; plain("SetCursorPosition", {static_cast<std::uintptr_t>(X), static_cast<std::uintptr_t>(Y), Flags}); }
WINBOOL RecordingDevice::ShowCursor(WINBOOL bShow) { AllocationShield s; plain("ShowCursor", {static_cast<std::uintptr_t>(bShow)}); return FALSE; }
HRESULT RecordingDevice::CreateAdditionalSwapChain(D3DPRESENT_PARAMETERS* pp, IDirect3DSwapChain9** pSwapChain) { AllocationShield s; clear(pSwapChain); return plain("CreateAdditionalSwapChain", {P(pp), P(pSwapChain)}, D3DERR_NOTAVAILABLE); }
HRESULT RecordingDevice::GetSwapChain(UINT iSwapChain, IDirect3DSwapChain9** pSwapChain) { AllocationShield s; clear(pSwapChain); return plain("GetSwapChain", {iSwapChain, P(pSwapChain)}, D3DERR_NOTAVAILABLE); }
UINT RecordingDevice::GetNumberOfSwapChains() { AllocationShield s; plain("GetNumberOfSwapChains"); return 1; }
HRESULT RecordingDevice::GetBackBuffer(UINT iSwapChain, UINT iBackBuffer, D3DBACKBUFFER_TYPE Type, IDirect3DSurface9** ppBackBuffer) { AllocationShield s; clear(ppBackBuffer); return plain("GetBackBuffer", {iSwapChain, iBackBuffer, U(Type), P(ppBackBuffer)}, D3DERR_NOTAVAILABLE); }
HRESULT RecordingDevice::GetRasterStatus(UINT iSwapChain, D3DRASTER_STATUS* pRasterStatus) { AllocationShield s; return plain("GetRasterStatus", {iSwapChain, P(pRasterStatus)}, D3DERR_NOTAVAILABLE); }
HRESULT RecordingDevice::SetDialogBoxMode(WINBOOL bEnableDialogs) { AllocationShield s; return plain("SetDialogBoxMode", {static_cast<std::uintptr_t>(bEnableDialogs)}); }
void RecordingDevice::SetGammaRamp(UINT swapchain_idx, DWORD flags, const D3DGAMMARAMP* ramp) { AllocationShield s; plain("SetGammaRamp", {swapchain_idx, flags, P(ramp)}); }
void RecordingDevice::GetGammaRamp(UINT iSwapChain, D3DGAMMARAMP* pRamp) { AllocationShield s; plain("GetGammaRamp", {iSwapChain, P(pRamp)}); }
HRESULT RecordingDevice::CreateTexture(UINT Width, UINT Height, UINT Levels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, IDirect3DTexture9** ppTexture, HANDLE* pSharedHandle) { AllocationShield s; clear(ppTexture); return plain("CreateTexture", {Width, Height, Levels, Usage, U(Format), U(Pool), P(ppTexture), P(pSharedHandle)}, D3DERR_NOTAVAILABLE); }
HRESULT RecordingDevice::CreateVolumeTexture(UINT Width, UINT Height, UINT Depth, UINT Levels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, IDirect3DVolumeTexture9** ppVolumeTexture, HANDLE* pSharedHandle) { AllocationShield s; clear(ppVolumeTexture); return plain("CreateVolumeTexture", {Width, Height, Depth, Levels, Usage, U(Format), U(Pool), P(ppVolumeTexture), P(pSharedHandle)}, D3DERR_NOTAVAILABLE); }
HRESULT RecordingDevice::CreateCubeTexture(UINT EdgeLength, UINT Levels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, IDirect3DCubeTexture9** ppCubeTexture, HANDLE* pSharedHandle) { AllocationShield s; clear(ppCubeTexture); return plain("CreateCubeTexture", {EdgeLength, Levels, Usage, U(Format), U(Pool), P(ppCubeTexture), P(pSharedHandle)}, D3DERR_NOTAVAILABLE); }
HRESULT RecordingDevice::CreateRenderTarget(UINT Width, UINT Height, D3DFORMAT Format, D3DMULTISAMPLE_TYPE MultiSample, DWORD MultisampleQuality, WINBOOL Lockable, IDirect3DSurface9** ppSurface, HANDLE* pSharedHandle) { AllocationShield s; clear(ppSurface); return plain("CreateRenderTarget", {Width, Height, U(Format), U(MultiSample), MultisampleQuality, static_cast<std::uintptr_t>(Lockable), P(ppSurface), P(pSharedHandle)}, D3DERR_NOTAVAILABLE); }
HRESULT RecordingDevice::CreateDepthStencilSurface(UINT Width, UINT Height, D3DFORMAT Format, D3DMULTISAMPLE_TYPE MultiSample, DWORD MultisampleQuality, WINBOOL Discard, IDirect3DSurface9** ppSurface, HANDLE* pSharedHandle) { AllocationShield s; clear(ppSurface); return plain("CreateDepthStencilSurface", {Width, Height, U(Format), U(MultiSample), MultisampleQuality, static_cast<std::uintptr_t>(Discard), P(ppSurface), P(pSharedHandle)}, D3DERR_NOTAVAILABLE); }
HRESULT RecordingDevice::UpdateSurface(IDirect3DSurface9* src_surface, const RECT* src_rect, IDirect3DSurface9* dst_surface, const POINT* dst_point) { AllocationShield s; return plain("UpdateSurface", {P(src_surface), P(src_rect), P(dst_surface), P(dst_point)}); }
HRESULT RecordingDevice::UpdateTexture(IDirect3DBaseTexture9* pSourceTexture, IDirect3DBaseTexture9* pDestinationTexture) { AllocationShield s; return plain("UpdateTexture", {P(pSourceTexture), P(pDestinationTexture)}); }
HRESULT RecordingDevice::GetFrontBufferData(UINT iSwapChain, IDirect3DSurface9* pDestSurface) { AllocationShield s; return plain("GetFrontBufferData", {iSwapChain, P(pDestSurface)}); }
HRESULT RecordingDevice::StretchRect(IDirect3DSurface9* src_surface, const RECT* src_rect, IDirect3DSurface9* dst_surface, const RECT* dst_rect, D3DTEXTUREFILTERTYPE filter) { AllocationShield s; return plain("StretchRect", {P(src_surface), P(src_rect), P(dst_surface), P(dst_rect), U(filter)}); }
HRESULT RecordingDevice::ColorFill(IDirect3DSurface9* surface, const RECT* rect, D3DCOLOR color) { AllocationShield s; return plain("ColorFill", {P(surface), P(rect), color}); }
HRESULT RecordingDevice::CreateOffscreenPlainSurface(UINT Width, UINT Height, D3DFORMAT Format, D3DPOOL Pool, IDirect3DSurface9** ppSurface, HANDLE* pSharedHandle) { AllocationShield s; clear(ppSurface); return plain("CreateOffscreenPlainSurface", {Width, Height, U(Format), U(Pool), P(ppSurface), P(pSharedHandle)}, D3DERR_NOTAVAILABLE); }
HRESULT RecordingDevice::SetRenderTarget(DWORD RenderTargetIndex, IDirect3DSurface9* pRenderTarget) { AllocationShield s; return plain("SetRenderTarget", {RenderTargetIndex, P(pRenderTarget)}); }
HRESULT RecordingDevice::GetRenderTarget(DWORD RenderTargetIndex, IDirect3DSurface9** ppRenderTarget) { AllocationShield s; clear(ppRenderTarget); return plain("GetRenderTarget", {RenderTargetIndex, P(ppRenderTarget)}, D3DERR_NOTAVAILABLE); }
HRESULT RecordingDevice::SetDepthStencilSurface(IDirect3DSurface9* pNewZStencil) { AllocationShield s; return plain("SetDepthStencilSurface", {P(pNewZStencil)}); }
HRESULT RecordingDevice::GetDepthStencilSurface(IDirect3DSurface9** ppZStencilSurface) { AllocationShield s; clear(ppZStencilSurface); return plain("GetDepthStencilSurface", {P(ppZStencilSurface)}, D3DERR_NOTAVAILABLE); }
HRESULT RecordingDevice::GetViewport(D3DVIEWPORT9* pViewport) { AllocationShield s; return plain("GetViewport", {P(pViewport)}, D3DERR_NOTAVAILABLE); }
HRESULT RecordingDevice::GetLight(DWORD Index, D3DLIGHT9* pLight) { AllocationShield s; return plain("GetLight", {Index, P(pLight)}, D3DERR_NOTAVAILABLE); }
HRESULT RecordingDevice::GetLightEnable(DWORD Index, WINBOOL* pEnable) { AllocationShield s; return plain("GetLightEnable", {Index, P(pEnable)}, D3DERR_NOTAVAILABLE); }
HRESULT RecordingDevice::SetClipPlane(DWORD index, const float* plane) { AllocationShield s; return plain("SetClipPlane", {index, P(plane)}); }
HRESULT RecordingDevice::GetClipPlane(DWORD Index, float* pPlane) { AllocationShield s; return plain("GetClipPlane", {Index, P(pPlane)}, D3DERR_NOTAVAILABLE); }
HRESULT RecordingDevice::CreateStateBlock(D3DSTATEBLOCKTYPE Type, IDirect3DStateBlock9** ppSB) { AllocationShield s; clear(ppSB); return plain("CreateStateBlock", {U(Type), P(ppSB)}, D3DERR_NOTAVAILABLE); }
HRESULT RecordingDevice::BeginStateBlock() { AllocationShield s; return plain("BeginStateBlock"); }
HRESULT RecordingDevice::EndStateBlock(IDirect3DStateBlock9** ppSB) { AllocationShield s; clear(ppSB); return plain("EndStateBlock", {P(ppSB)}, D3DERR_NOTAVAILABLE); }
HRESULT RecordingDevice::SetClipStatus(const D3DCLIPSTATUS9* clip_status) { AllocationShield s; return plain("SetClipStatus", {P(clip_status)}); }
HRESULT RecordingDevice::GetClipStatus(D3DCLIPSTATUS9* pClipStatus) { AllocationShield s; return plain("GetClipStatus", {P(pClipStatus)}, D3DERR_NOTAVAILABLE); }
HRESULT RecordingDevice::GetTexture(DWORD Stage, IDirect3DBaseTexture9** ppTexture) { AllocationShield s; clear(ppTexture); return plain("GetTexture", {Stage, P(ppTexture)}); }
HRESULT RecordingDevice::GetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD* pValue) { AllocationShield s; return plain("GetTextureStageState", {Stage, U(Type), P(pValue)}, D3DERR_NOTAVAILABLE); }
HRESULT RecordingDevice::GetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD* pValue) { AllocationShield s; return plain("GetSamplerState", {Sampler, U(Type), P(pValue)}, D3DERR_NOTAVAILABLE); }
HRESULT RecordingDevice::ValidateDevice(DWORD* pNumPasses) { AllocationShield s; if (pNumPasses) *pNumPasses = 1; return plain("ValidateDevice", {P(pNumPasses)}); }
HRESULT RecordingDevice::SetPaletteEntries(UINT palette_idx, const PALETTEENTRY* entries) { AllocationShield s; return plain("SetPaletteEntries", {palette_idx, P(entries)}); }
HRESULT RecordingDevice::GetPaletteEntries(UINT PaletteNumber, PALETTEENTRY* pEntries) { AllocationShield s; return plain("GetPaletteEntries", {PaletteNumber, P(pEntries)}, D3DERR_NOTAVAILABLE); }
HRESULT RecordingDevice::SetCurrentTexturePalette(UINT PaletteNumber) { AllocationShield s; return plain("SetCurrentTexturePalette", {PaletteNumber}); }
HRESULT RecordingDevice::GetCurrentTexturePalette(UINT* PaletteNumber) { AllocationShield s; return plain("GetCurrentTexturePalette", {P(PaletteNumber)}, D3DERR_NOTAVAILABLE); }
HRESULT RecordingDevice::SetScissorRect(const RECT* rect) { AllocationShield s; return plain("SetScissorRect", {P(rect)}); }
HRESULT RecordingDevice::GetScissorRect(RECT* pRect) { AllocationShield s; return plain("GetScissorRect", {P(pRect)}, D3DERR_NOTAVAILABLE); }
HRESULT RecordingDevice::SetSoftwareVertexProcessing(WINBOOL bSoftware) { AllocationShield s; return plain("SetSoftwareVertexProcessing", {static_cast<std::uintptr_t>(bSoftware)}); }
WINBOOL RecordingDevice::GetSoftwareVertexProcessing() { AllocationShield s; plain("GetSoftwareVertexProcessing"); return FALSE; }
HRESULT RecordingDevice::SetNPatchMode(float nSegments) { AllocationShield s; note(Source::Device, static_cast<IDirect3DDevice9*>(this), "SetNPatchMode").real = nSegments; return D3D_OK; }
float RecordingDevice::GetNPatchMode() { AllocationShield s; plain("GetNPatchMode"); return 0.0f; }
HRESULT RecordingDevice::DrawPrimitiveUP(D3DPRIMITIVETYPE primitive_type, UINT primitive_count, const void* data, UINT stride) { AllocationShield s; return plain("DrawPrimitiveUP", {U(primitive_type), primitive_count, P(data), stride}); }
HRESULT RecordingDevice::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE primitive_type, UINT min_vertex_idx, UINT vertex_count, UINT primitive_count, const void* index_data, D3DFORMAT index_format, const void* data, UINT stride) { AllocationShield s; return plain("DrawIndexedPrimitiveUP", {U(primitive_type), min_vertex_idx, vertex_count, primitive_count, P(index_data), U(index_format), P(data), stride}); }
HRESULT RecordingDevice::ProcessVertices(UINT SrcStartIndex, UINT DestIndex, UINT VertexCount, IDirect3DVertexBuffer9* pDestBuffer, IDirect3DVertexDeclaration9* pVertexDecl, DWORD Flags) { AllocationShield s; return plain("ProcessVertices", {SrcStartIndex, DestIndex, VertexCount, P(pDestBuffer), P(pVertexDecl), Flags}); }
HRESULT RecordingDevice::CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements, IDirect3DVertexDeclaration9** declaration) { AllocationShield s; clear(declaration); return plain("CreateVertexDeclaration", {P(elements), P(declaration)}, D3DERR_NOTAVAILABLE); }
HRESULT RecordingDevice::GetVertexDeclaration(IDirect3DVertexDeclaration9** ppDecl) { AllocationShield s; clear(ppDecl); return plain("GetVertexDeclaration", {P(ppDecl)}); }
HRESULT RecordingDevice::CreateVertexShader(const DWORD* byte_code, IDirect3DVertexShader9** shader) { AllocationShield s; clear(shader); return plain("CreateVertexShader", {P(byte_code), P(shader)}, D3DERR_NOTAVAILABLE); }
HRESULT RecordingDevice::GetVertexShader(IDirect3DVertexShader9** ppShader) { AllocationShield s; clear(ppShader); return plain("GetVertexShader", {P(ppShader)}); }
HRESULT RecordingDevice::SetVertexShaderConstantF(UINT reg_idx, const float* data, UINT count) { AllocationShield s; return plain("SetVertexShaderConstantF", {reg_idx, P(data), count}); }
HRESULT RecordingDevice::GetVertexShaderConstantF(UINT StartRegister, float* pConstantData, UINT Vector4fCount) { AllocationShield s; return plain("GetVertexShaderConstantF", {StartRegister, P(pConstantData), Vector4fCount}, D3DERR_NOTAVAILABLE); }
HRESULT RecordingDevice::SetVertexShaderConstantI(UINT reg_idx, const int* data, UINT count) { AllocationShield s; return plain("SetVertexShaderConstantI", {reg_idx, P(data), count}); }
HRESULT RecordingDevice::GetVertexShaderConstantI(UINT StartRegister, int* pConstantData, UINT Vector4iCount) { AllocationShield s; return plain("GetVertexShaderConstantI", {StartRegister, P(pConstantData), Vector4iCount}, D3DERR_NOTAVAILABLE); }
HRESULT RecordingDevice::SetVertexShaderConstantB(UINT reg_idx, const WINBOOL* data, UINT count) { AllocationShield s; return plain("SetVertexShaderConstantB", {reg_idx, P(data), count}); }
HRESULT RecordingDevice::GetVertexShaderConstantB(UINT StartRegister, WINBOOL* pConstantData, UINT BoolCount) { AllocationShield s; return plain("GetVertexShaderConstantB", {StartRegister, P(pConstantData), BoolCount}, D3DERR_NOTAVAILABLE); }
HRESULT RecordingDevice::SetStreamSourceFreq(UINT StreamNumber, UINT Divider) { AllocationShield s; return plain("SetStreamSourceFreq", {StreamNumber, Divider}); }
HRESULT RecordingDevice::GetStreamSourceFreq(UINT StreamNumber, UINT* Divider) { AllocationShield s; if (Divider) *Divider = 1; return plain("GetStreamSourceFreq", {StreamNumber, P(Divider)}); }
HRESULT RecordingDevice::CreatePixelShader(const DWORD* byte_code, IDirect3DPixelShader9** shader) { AllocationShield s; clear(shader); return plain("CreatePixelShader", {P(byte_code), P(shader)}, D3DERR_NOTAVAILABLE); }
HRESULT RecordingDevice::GetPixelShader(IDirect3DPixelShader9** ppShader) { AllocationShield s; clear(ppShader); return plain("GetPixelShader", {P(ppShader)}); }
HRESULT RecordingDevice::SetPixelShaderConstantF(UINT reg_idx, const float* data, UINT count) { AllocationShield s; return plain("SetPixelShaderConstantF", {reg_idx, P(data), count}); }
HRESULT RecordingDevice::GetPixelShaderConstantF(UINT StartRegister, float* pConstantData, UINT Vector4fCount) { AllocationShield s; return plain("GetPixelShaderConstantF", {StartRegister, P(pConstantData), Vector4fCount}, D3DERR_NOTAVAILABLE); }
HRESULT RecordingDevice::SetPixelShaderConstantI(UINT reg_idx, const int* data, UINT count) { AllocationShield s; return plain("SetPixelShaderConstantI", {reg_idx, P(data), count}); }
HRESULT RecordingDevice::GetPixelShaderConstantI(UINT StartRegister, int* pConstantData, UINT Vector4iCount) { AllocationShield s; return plain("GetPixelShaderConstantI", {StartRegister, P(pConstantData), Vector4iCount}, D3DERR_NOTAVAILABLE); }
HRESULT RecordingDevice::SetPixelShaderConstantB(UINT reg_idx, const WINBOOL* data, UINT count) { AllocationShield s; return plain("SetPixelShaderConstantB", {reg_idx, P(data), count}); }
HRESULT RecordingDevice::GetPixelShaderConstantB(UINT StartRegister, WINBOOL* pConstantData, UINT BoolCount) { AllocationShield s; return plain("GetPixelShaderConstantB", {StartRegister, P(pConstantData), BoolCount}, D3DERR_NOTAVAILABLE); }
HRESULT RecordingDevice::DrawRectPatch(UINT handle, const float* segment_count, const D3DRECTPATCH_INFO* patch_info) { AllocationShield s; return plain("DrawRectPatch", {handle, P(segment_count), P(patch_info)}); }
HRESULT RecordingDevice::DrawTriPatch(UINT handle, const float* segment_count, const D3DTRIPATCH_INFO* patch_info) { AllocationShield s; return plain("DrawTriPatch", {handle, P(segment_count), P(patch_info)}); }
HRESULT RecordingDevice::DeletePatch(UINT Handle) { AllocationShield s; return plain("DeletePatch", {Handle}); }
HRESULT RecordingDevice::CreateQuery(D3DQUERYTYPE Type, IDirect3DQuery9** ppQuery) { AllocationShield s; clear(ppQuery); return plain("CreateQuery", {U(Type), P(ppQuery)}, D3DERR_NOTAVAILABLE); }

} // namespace kvtest
