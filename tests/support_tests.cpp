// The Direct3D 9 test doubles are what every scene and renderer test trusts: check that
// they record what they are given and fail when told to.
#include "FakeDirect3D.h"
#include "RecordingDevice.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

using kvtest::FakeDirect3D;
using kvtest::P;
using kvtest::RecordingDevice;
using kvtest::RecordingVertexBuffer;
using ::testing::ElementsAre;

TEST(RecordingBuffers, KeepTheBytesWrittenThroughLockAndSeeWritesPastTheEnd)
{
    RecordingDevice device;
    IDirect3DVertexBuffer9* vb = nullptr;
    ASSERT_EQ(device.CreateVertexBuffer(8, 0, D3DFVF_XYZ, D3DPOOL_DEFAULT, &vb, nullptr), D3D_OK);
    RecordingVertexBuffer* rec = device.asVertexBuffer(vb);
    ASSERT_NE(rec, nullptr);
    EXPECT_EQ(device.journal()[0].created, static_cast<const void*>(vb));
    EXPECT_THAT(device.journal()[0].args,
                ElementsAre(8u, 0u, std::uintptr_t(D3DFVF_XYZ), std::uintptr_t(D3DPOOL_DEFAULT), P(&vb), 0u));

    void* data = nullptr;
    ASSERT_EQ(vb->Lock(0, 0, &data, 0), D3D_OK);
    EXPECT_TRUE(rec->locked());
    const unsigned char eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    std::memcpy(data, eight, 8);
    vb->Unlock();
    EXPECT_FALSE(rec->locked());
    EXPECT_THAT(rec->bytes(), ElementsAre(1, 2, 3, 4, 5, 6, 7, 8));
    EXPECT_FALSE(rec->overrun());

    ASSERT_EQ(vb->Lock(4, 0, &data, 0), D3D_OK);
    std::memcpy(data, eight, 8);   // four bytes too many
    vb->Unlock();
    EXPECT_TRUE(rec->overrun());

    EXPECT_EQ(vb->Lock(4, 5, &data, 0), D3DERR_INVALIDCALL);   // past the end
}

TEST(RecordingBuffers, InjectedFailuresFollowSkipAndTimesAndGiveNothingBack)
{
    RecordingDevice device;
    device.failCreateIndexBuffer.set(E_OUTOFMEMORY, 1, 1);   // second call only
    IDirect3DIndexBuffer9* ib[3] = {nullptr, nullptr, nullptr};
    auto sentinel = reinterpret_cast<IDirect3DIndexBuffer9*>(std::uintptr_t(0x1234));
    ib[1] = sentinel;
    EXPECT_EQ(device.CreateIndexBuffer(4, 0, D3DFMT_INDEX16, D3DPOOL_DEFAULT, &ib[0], nullptr), D3D_OK);
    EXPECT_EQ(device.CreateIndexBuffer(4, 0, D3DFMT_INDEX16, D3DPOOL_DEFAULT, &ib[1], nullptr), E_OUTOFMEMORY);
    EXPECT_EQ(device.CreateIndexBuffer(4, 0, D3DFMT_INDEX16, D3DPOOL_DEFAULT, &ib[2], nullptr), D3D_OK);
    EXPECT_EQ(ib[1], sentinel);
    EXPECT_EQ(device.indexBuffers().size(), 2u);
    EXPECT_EQ(device.journal().named("CreateIndexBuffer")[1].result, E_OUTOFMEMORY);

    device.failLockIndexBuffer.set(D3DERR_INVALIDCALL);       // every call from now on
    void* data = reinterpret_cast<void*>(std::uintptr_t(0x5678));
    EXPECT_EQ(ib[0]->Lock(0, 0, &data, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(ib[2]->Lock(0, 0, &data, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(data, reinterpret_cast<void*>(std::uintptr_t(0x5678)));
    device.failLockIndexBuffer.reset();
    EXPECT_EQ(ib[0]->Lock(0, 0, &data, 0), D3D_OK);
}

TEST(RecordingBuffers, CountReleasesWithoutDeletingSoOverReleaseShows)
{
    RecordingDevice device;
    IDirect3DVertexBuffer9* vb = nullptr;
    ASSERT_EQ(device.CreateVertexBuffer(24, 0, 0, D3DPOOL_DEFAULT, &vb, nullptr), D3D_OK);
    RecordingVertexBuffer* rec = device.asVertexBuffer(vb);
    EXPECT_EQ(rec->references(), 1);
    vb->AddRef();
    EXPECT_EQ(vb->Release(), 1u);
    EXPECT_EQ(vb->Release(), 0u);
    EXPECT_TRUE(rec->released());
    vb->Release();
    EXPECT_EQ(rec->references(), -1);
    EXPECT_EQ(rec->releaseCalls(), 3);
    EXPECT_EQ(rec->addRefCalls(), 1);
}

TEST(FakeDirect3D, RecordsDeviceCreationAndOneJournalOrdersEveryObject)
{
    FakeDirect3D d3d;
    d3d.displayMode.Format = D3DFMT_R5G6B5;
    D3DDISPLAYMODE mode{};
    ASSERT_EQ(d3d.GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode), D3D_OK);
    EXPECT_EQ(mode.Format, D3DFMT_R5G6B5);

    D3DPRESENT_PARAMETERS pp{};
    pp.Windowed = TRUE;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.EnableAutoDepthStencil = TRUE;
    pp.AutoDepthStencilFormat = D3DFMT_D16;
    IDirect3DDevice9* device = nullptr;
    HWND window = reinterpret_cast<HWND>(std::uintptr_t(0x42));
    ASSERT_EQ(d3d.CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                               D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &device), D3D_OK);
    EXPECT_EQ(device, static_cast<IDirect3DDevice9*>(&d3d.device()));
    EXPECT_EQ(d3d.device().references(), 1);
    pp.AutoDepthStencilFormat = D3DFMT_D24S8;   // the journal holds a copy
    const kvtest::Call& create = d3d.journal()[1];
    EXPECT_EQ(create.method, "CreateDevice");
    EXPECT_THAT(create.args, ElementsAre(0u, std::uintptr_t(D3DDEVTYPE_HAL), P(window),
                                         std::uintptr_t(D3DCREATE_SOFTWARE_VERTEXPROCESSING), P(&pp),
                                         P(&device)));
    EXPECT_EQ(create.presentParameters.AutoDepthStencilFormat, D3DFMT_D16);

    IDirect3DVertexBuffer9* vb = nullptr;
    device->CreateVertexBuffer(24, 0, 0, D3DPOOL_DEFAULT, &vb, nullptr);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
    vb->Release();
    device->Release();
    d3d.Release();
    EXPECT_THAT(d3d.journal().methods(),
                ElementsAre("GetAdapterDisplayMode", "CreateDevice", "CreateVertexBuffer", "Clear",
                            "Release", "Release", "Release"));
    EXPECT_EQ(d3d.journal()[4].object, static_cast<const void*>(vb));
    EXPECT_EQ(d3d.journal()[5].object, static_cast<const void*>(device));
    EXPECT_EQ(d3d.journal()[6].object, static_cast<const void*>(static_cast<IDirect3D9*>(&d3d)));
    EXPECT_EQ(d3d.journal()[6].count, 0);
    EXPECT_EQ(d3d.journal()[3].real, 1.0f);
}

TEST(FakeDirect3D, ConfiguredFailuresReachTheCaller)
{
    FakeDirect3D d3d;
    d3d.displayModeResult = D3DERR_NOTAVAILABLE;
    d3d.createDeviceResult = D3DERR_INVALIDCALL;
    D3DDISPLAYMODE mode{};
    EXPECT_EQ(d3d.GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode), D3DERR_NOTAVAILABLE);
    D3DPRESENT_PARAMETERS pp{};
    IDirect3DDevice9* device = &d3d.device();
    EXPECT_EQ(d3d.CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0, &pp, &device), D3DERR_INVALIDCALL);
    EXPECT_EQ(device, nullptr);
    EXPECT_EQ(d3d.device().references(), 0);
    EXPECT_EQ(d3d.journal().named("CreateDevice").at(0).result, D3DERR_INVALIDCALL);
}
