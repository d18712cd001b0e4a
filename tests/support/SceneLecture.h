// Reading back what the scene wrote into the recording device's buffers.
#pragma once

#include "RecordingDevice.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <vector>

namespace kvtest {

// One vertex as six floats: position x, y, z, then normal x, y, z.
using Sommet6 = std::array<float, 6>;

inline std::vector<Sommet6> LireSommets(const RecordingVertexBuffer& tampon)
{
    const std::vector<std::uint8_t> octets = tampon.bytes();
    std::vector<Sommet6> sommets(octets.size() / sizeof(Sommet6));
    std::memcpy(sommets.data(), octets.data(), sommets.size() * sizeof(Sommet6));
    return sommets;
}

inline std::vector<std::uint16_t> LireIndex(const RecordingIndexBuffer& tampon)
{
    const std::vector<std::uint8_t> octets = tampon.bytes();
    std::vector<std::uint16_t> index(octets.size() / 2);
    std::memcpy(index.data(), octets.data(), index.size() * 2);
    return index;
}

inline bool MemesBits(float a, float b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Bit-for-bit comparison of a whole vertex buffer with the expected vertices (so -0 and 0
// differ), naming the first vertex that differs.
inline ::testing::AssertionResult MemesSommets(const RecordingVertexBuffer& tampon,
                                               const std::vector<Sommet6>& attendus)
{
    if (tampon.length() != attendus.size() * sizeof(Sommet6))
        return ::testing::AssertionFailure() << "buffer of " << tampon.length() << " bytes, "
                                             << attendus.size() * sizeof(Sommet6) << " expected";
    const std::vector<Sommet6> lus = LireSommets(tampon);
    for (std::size_t i = 0; i < lus.size(); ++i)
        for (std::size_t k = 0; k < 6; ++k)
            if (!MemesBits(lus[i][k], attendus[i][k])) {
                std::ostringstream texte;
                texte.precision(9);
                texte << "vertex " << i << " is (";
                for (float f : lus[i])
                    texte << f << " ";
                texte << "), expected (";
                for (float f : attendus[i])
                    texte << f << " ";
                texte << ")";
                return ::testing::AssertionFailure() << texte.str();
            }
    return ::testing::AssertionSuccess();
}

} // namespace kvtest
