// One ordered record of every call made on the test doubles of Direct3D 9 (the fake
// IDirect3D9, the recording device and the buffers it creates), so that a test can see the
// order of calls across objects, including the Release of each one.
#pragma once

#include <d3d9.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kvtest {

enum class Source { Direct3D, Device, VertexBuffer, IndexBuffer };

// Integer-like and pointer arguments are stored as uintptr_t in declaration order; the few
// arguments that are structures or floats have their own field.
struct Call
{
    std::size_t sequence = 0;                 // position in the journal
    Source source = Source::Device;
    const void* object = nullptr;             // the interface the call was made on
    std::string method;                       // "SetTransform", "Release", ...
    std::vector<std::uintptr_t> args;
    HRESULT result = S_OK;                    // what the double returned (not for AddRef/Release)
    long count = 0;                           // AddRef/Release: the reference count after the call
    const void* created = nullptr;            // CreateDevice/CreateVertexBuffer/...: the new object
    float real = 0.0f;                        // Clear: z
    std::vector<D3DRECT> rects;               // Clear: the rectangles
    D3DMATRIX matrix{};                       // SetTransform, MultiplyTransform
    D3DMATERIAL9 material{};                  // SetMaterial
    D3DPRESENT_PARAMETERS presentParameters{}; // CreateDevice, Reset: a copy
};

// The argument form of a pointer, for comparisons with Call::args.
inline std::uintptr_t P(const void* p) { return reinterpret_cast<std::uintptr_t>(p); }

class Journal
{
public:
    Call& add(Call call);
    const std::vector<Call>& calls() const { return m_calls; }
    std::size_t size() const { return m_calls.size(); }
    const Call& operator[](std::size_t i) const { return m_calls.at(i); }
    void clear() { m_calls.clear(); }

    std::vector<std::string> methods() const;                  // every method name, in order
    std::vector<Call> on(const void* object) const;            // calls made on one object
    std::vector<Call> named(const std::string& method) const;  // calls of one method
    std::size_t count(const std::string& method) const;
    // Position of the first call of `method` on `object` (any object when null), or npos.
    std::size_t find(const std::string& method, const void* object = nullptr) const;

    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

private:
    std::vector<Call> m_calls;
};

// What a test double should answer: success, or a chosen failure for some calls.
// `skip` successful calls pass first, then `times` calls fail (all the following ones when
// negative).
class Injection
{
public:
    void set(HRESULT failure, int skip = 0, int times = -1);
    void reset() { m_failure = S_OK; }
    HRESULT next();                            // consumes one call

private:
    HRESULT m_failure = S_OK;
    int m_skip = 0;
    int m_times = -1;
};

} // namespace kvtest
