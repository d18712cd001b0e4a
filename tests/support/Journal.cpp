#include "Journal.h"

#include "AllocationShield.h"

namespace kvtest {

thread_local int g_allocationShield = 0;

Call& Journal::add(Call call)
{
    AllocationShield shield;
    call.sequence = m_calls.size();
    m_calls.push_back(std::move(call));
    return m_calls.back();
}

std::vector<std::string> Journal::methods() const
{
    std::vector<std::string> names;
    for (const Call& c : m_calls)
        names.push_back(c.method);
    return names;
}

std::vector<Call> Journal::on(const void* object) const
{
    std::vector<Call> result;
    for (const Call& c : m_calls)
        if (c.object == object)
            result.push_back(c);
    return result;
}

std::vector<Call> Journal::named(const std::string& method) const
{
    std::vector<Call> result;
    for (const Call& c : m_calls)
        if (c.method == method)
            result.push_back(c);
    return result;
}

std::size_t Journal::count(const std::string& method) const
{
    std::size_t n = 0;
    for (const Call& c : m_calls)
        if (c.method == method)
            ++n;
    return n;
}

std::size_t Journal::find(const std::string& method, const void* object) const
{
    for (const Call& c : m_calls)
        if (c.method == method && (object == nullptr || c.object == object))
            return c.sequence;
    return npos;
}

void Injection::set(HRESULT failure, int skip, int times)
{
    m_failure = failure;
    m_skip = skip;
    m_times = times;
}

HRESULT Injection::next()
{
    if (m_failure == S_OK)
        return S_OK;
    if (m_skip > 0) {
        --m_skip;
        return S_OK;
    }
    if (m_times == 0)
        return S_OK;
    if (m_times > 0)
        --m_times;
    return m_failure;
}

} // namespace kvtest
