// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace varnel {

// SplitMix64 (Steele, Lea and Flood, 2014): a few lines of fixed arithmetic, so that a seed gives
// the same numbers everywhere; the standard library's distributions may differ between libraries.
class Sorteggio {
public:
    explicit Sorteggio(std::uint64_t seme)
        : m_stato(seme)
    {
    }

    [[nodiscard]] std::uint64_t prossimo()
    {
        std::uint64_t z = (m_stato += 0x9E3779B97F4A7C15u);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        return z ^ (z >> 31);
    }

    // A number from 0 to n − 1, each as likely: draws below 2⁶⁴ mod n, which would favour the
    // small numbers, are drawn again.
    [[nodiscard]] std::uint64_t sotto(std::uint64_t n)
    {
        const std::uint64_t scarto = (0 - n) % n;
        for (;;) {
            if (const std::uint64_t x = prossimo(); x >= scarto)
                return x % n;
        }
    }

private:
    std::uint64_t m_stato;
};

}  // namespace varnel
