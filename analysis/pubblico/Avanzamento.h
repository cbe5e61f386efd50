// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>

namespace varnel {

// Shared between a running analysis and whoever watches it, on any threads: how far the reading
// has come, and the request to stop it. The analysis sees a request within a fraction of a second,
// whatever the file does.
class Avanzamento {
public:
    void annulla() noexcept { m_annullata.store(true, std::memory_order_relaxed); }
    [[nodiscard]] bool annullata() const noexcept { return m_annullata.load(std::memory_order_relaxed); }

    // Bytes read so far, of how many (0 when the size is not known, as for a pipe).
    [[nodiscard]] std::uint64_t letti() const noexcept { return m_letti.load(std::memory_order_relaxed); }
    [[nodiscard]] std::uint64_t dimensione() const noexcept { return m_dimensione.load(std::memory_order_relaxed); }

    // For the analysis itself.
    void fissaDimensione(std::uint64_t dimensione) noexcept
    {
        m_dimensione.store(dimensione, std::memory_order_relaxed);
    }
    void aggiungi(std::uint64_t byte) noexcept
    {
        m_letti.fetch_add(byte, std::memory_order_relaxed);
        if (m_osservatore)
            m_osservatore(*this);
    }

    // Where no other thread can watch (a browser's worker, whose one thread the work holds), the
    // work tells `osservatore` instead, on its own thread, each time it moves on. Set before the
    // work starts.
    using Osservatore = void (*)(const Avanzamento&);
    void osserva(Osservatore osservatore) noexcept { m_osservatore = osservatore; }

private:
    Osservatore m_osservatore = nullptr;
    std::atomic<bool> m_annullata{false};
    std::atomic<std::uint64_t> m_letti{0};
    std::atomic<std::uint64_t> m_dimensione{0};
};

}  // namespace varnel
