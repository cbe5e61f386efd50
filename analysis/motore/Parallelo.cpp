// SPDX-License-Identifier: GPL-3.0-or-later
#include "Parallelo.h"

#include "Tratto.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

namespace varnel::dettaglio {

namespace {

// The ranges of a file, shared out among the workers as each asks for the next, and what they found.
class Spartizione {
public:
    Spartizione(const FileInLettura& file, const PianoTratti& piano, const Criterio& criterio, const Kernel& kernel,
                Avanzamento& avanzamento)
        : m_file(file)
        , m_piano(piano)
        , m_obiettivi(Obiettivi::Da(criterio))
        , m_kernel(kernel)
        , m_avanzamento(avanzamento)
        , m_risultati(piano.tratti)
    {
    }

    [[nodiscard]] std::size_t tratti() const { return m_risultati.size(); }
    [[nodiscard]] const Obiettivi& obiettivi() const { return m_obiettivi; }

    // Takes ranges until none is left, the user cancels or a read fails.
    void lavora()
    {
        const BufferDiLettura buffer(DimensioneBuffer);
        for (;;) {
            const std::size_t i = m_prossimo.fetch_add(1, std::memory_order_relaxed);
            if (i >= m_risultati.size() || m_fermo.load(std::memory_order_relaxed))
                return;
            if (auto errore = analizzaTratto(i, buffer.dati())) {
                ferma(std::move(*errore));
                return;
            }
        }
    }

    [[nodiscard]] Esito<std::vector<RisultatoTratto>> concludi() &&
    {
        if (m_errore)
            return *m_errore;
        return std::move(m_risultati);
    }

private:
    std::optional<Errore> analizzaTratto(std::size_t i, std::span<std::uint8_t> buffer)
    {
        const std::uint64_t da = m_piano.da(i);
        const std::uint64_t a = m_piano.a(i);
        // The bytes before the range, for a UTF-8 sequence that they open.
        std::array<std::uint8_t, 3> prima{};
        const auto quantiPrima = static_cast<std::size_t>(m_piano.prima(i));
        if (quantiPrima > 0) {
            const auto letti = m_file.LeggiDa(da - quantiPrima, std::span(prima).first(quantiPrima));
            if (!letti.riuscito())
                return letti.errore();
        }
        AnalizzatoreTratto tratto(m_obiettivi, m_kernel, std::span(prima).first(quantiPrima),
                                  IniziDelTratto(m_piano, i));
        for (std::uint64_t posizione = da; posizione < a;) {
            if (m_avanzamento.annullata() || m_fermo.load(std::memory_order_relaxed))
                return Errore{Motivo::Annullata, {}};
            const auto voluti = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), a - posizione));
            const auto letti = m_file.LeggiDa(posizione, buffer.first(voluti));
            if (!letti.riuscito())
                return letti.errore();
            tratto.consuma(buffer.data(), letti.valore());
            m_avanzamento.aggiungi(letti.valore());
            if (letti.valore() < voluti)
                break;  // the file ends before its reported size; the final check tells why
            posizione += letti.valore();
        }
        m_risultati[i] = tratto.concludi();
        return std::nullopt;
    }

    void ferma(Errore errore)
    {
        const std::lock_guard custodia(m_mutex);
        if (!m_errore)
            m_errore = std::move(errore);
        m_fermo.store(true, std::memory_order_relaxed);
    }

    const FileInLettura& m_file;
    const PianoTratti m_piano;
    const Obiettivi m_obiettivi;
    const Kernel m_kernel;
    Avanzamento& m_avanzamento;
    std::vector<RisultatoTratto> m_risultati;
    std::atomic<std::size_t> m_prossimo{0};
    std::atomic<bool> m_fermo{false};
    std::mutex m_mutex;
    std::optional<Errore> m_errore;
};

}  // namespace

Esito<Analisi> AnalizzaATratti(const FileInLettura& file, const PianoTratti& piano, const Criterio& criterio,
                               Avanzamento& avanzamento, const Opzioni& opzioni)
{
    const unsigned lavoratori = Lavoratori(opzioni.lavoratori);
    avanzamento.aggiungi(piano.inizio);
    Spartizione spartizione(file, piano, criterio, opzioni.kernel, avanzamento);

    std::vector<std::thread> aiutanti;
    for (unsigned n = 1; n < std::min<std::size_t>(lavoratori, spartizione.tratti()); ++n) {
        try {
            aiutanti.emplace_back([&spartizione] { spartizione.lavora(); });
        } catch (const std::system_error&) {
            break;  // the system has no more threads to give: fewer workers do the same work
        }
    }
    spartizione.lavora();
    for (auto& aiutante : aiutanti)
        aiutante.join();
    const Obiettivi& obiettivi = spartizione.obiettivi();
    auto risultati = std::move(spartizione).concludi();
    if (!risultati.riuscito())
        return risultati.errore();
    return Unisci(criterio, obiettivi, risultati.valore(), piano.bom);
}

}  // namespace varnel::dettaglio
