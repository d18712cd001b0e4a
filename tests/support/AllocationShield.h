// Real Direct3D calls never throw. A test that makes operator new fail on purpose (to see
// what the scene does when memory runs out) must therefore not make the test doubles throw:
// they hold this shield while they allocate, and the failing operator new honours it.
#pragma once

namespace kvtest {

extern thread_local int g_allocationShield;

struct AllocationShield
{
    AllocationShield() { ++g_allocationShield; }
    ~AllocationShield() { --g_allocationShield; }
    AllocationShield(const AllocationShield&) = delete;
    AllocationShield& operator=(const AllocationShield&) = delete;
};

} // namespace kvtest
