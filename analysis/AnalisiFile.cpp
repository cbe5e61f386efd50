#include "AnalisiFile.h"

#include "Lettura.h"

#include <numeric>
#include <vector>

namespace varnel {

namespace {

constexpr std::size_t DimensioneBuffer = 1 << 20;
// read() copies into a buffer that does not start on a page several times slower.
constexpr std::size_t Allineamento = 4096;

}  // namespace

Esito<Analisi> AnalizzaFile(const std::filesystem::path& percorso, const Criterio& criterio,
                            const Avanzamento& avanzamento, dettaglio::Percorso percorsoKernel)
{
    auto file = FileInLettura::Apri(percorso);
    if (!file.riuscito())
        return file.errore();
    auto& lettore = file.valore();
    dettaglio::Analizzatore analizzatore(criterio, percorsoKernel);
    std::vector<std::uint8_t> memoria(DimensioneBuffer + Allineamento);
    const std::size_t scarto = (Allineamento - reinterpret_cast<std::uintptr_t>(memoria.data()) % Allineamento) % Allineamento;
    const std::span<std::uint8_t> buffer(memoria.data() + scarto, DimensioneBuffer);
    std::uint64_t letti = 0;
    for (;;) {
        const auto esito = lettore.Leggi(buffer);
        if (!esito.riuscito())
            return esito.errore();
        const std::size_t n = esito.valore();
        if (n == 0)
            break;
        analizzatore.consuma(buffer.first(n));
        letti += n;
        if (avanzamento && !avanzamento(letti, lettore.Dimensione()))
            return Errore{Motivo::Annullata, {}};
    }
    if (auto cambiato = lettore.ControllaInvariato(letti))
        return *cambiato;
    return analizzatore.concludi();
}

std::uint64_t Totale(const Analisi& analisi, bool ignoraAltri)
{
    if (!ignoraAltri)
        return analisi.lunghezza;
    return std::accumulate(analisi.conteggi.begin(), analisi.conteggi.end(), std::uint64_t{0});
}

std::optional<Simboli> SimboliDaTesto(std::u32string_view testo)
{
    if (testo.size() != NumeroSlot)
        return std::nullopt;
    Simboli simboli{};
    std::copy(testo.begin(), testo.end(), simboli.begin());
    return simboli;
}

}  // namespace varnel
