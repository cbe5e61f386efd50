#include "AnalisiFile.h"

#include "Lettura.h"
#include "Motore.h"

#include <cstdlib>
#include <string_view>

#include <numeric>
#include <vector>

namespace varnel {

namespace {

constexpr std::size_t DimensioneBuffer = 1 << 20;
// read() copies into a buffer that does not start on a page several times slower.
constexpr std::size_t Allineamento = 4096;

}  // namespace

namespace dettaglio {

Opzioni OpzioniDaAmbiente()
{
    Opzioni opzioni;
    if (const char* kernel = std::getenv("VARNEL_KERNEL")) {
        for (const Percorso percorso : Percorsi) {
            if (std::string_view(kernel) == NomePercorso(percorso))
                opzioni.kernel = KernelPer(percorso);
        }
    }
    if (const char* lavoratori = std::getenv("VARNEL_LAVORATORI"))
        opzioni.lavoratori = static_cast<unsigned>(std::strtoul(lavoratori, nullptr, 10));
    return opzioni;
}

Esito<Analisi> AnalizzaFileCon(const std::filesystem::path& percorso, const Criterio& criterio, Avanzamento& avanzamento,
                               const Opzioni& opzioni)
{
    auto file = FileInLettura::Apri(percorso);
    if (!file.riuscito())
        return file.errore();
    auto& lettore = file.valore();
    Analizzatore analizzatore(criterio, opzioni.kernel);
    avanzamento.fissaDimensione(lettore.Dimensione());
    std::vector<std::uint8_t> memoria(DimensioneBuffer + Allineamento);
    const std::size_t scarto = (Allineamento - reinterpret_cast<std::uintptr_t>(memoria.data()) % Allineamento) % Allineamento;
    const std::span<std::uint8_t> buffer(memoria.data() + scarto, DimensioneBuffer);
    for (;;) {
        const auto esito = lettore.Leggi(buffer, avanzamento);
        if (!esito.riuscito())
            return esito.errore();
        const std::size_t n = esito.valore();
        if (n == 0)
            break;
        analizzatore.consuma(buffer.first(n));
        avanzamento.aggiungi(n);
    }
    if (auto cambiato = lettore.ControllaInvariato())
        return *cambiato;
    return analizzatore.concludi();
}

}  // namespace dettaglio

Esito<Analisi> AnalizzaFile(const std::filesystem::path& percorso, const Criterio& criterio, Avanzamento& avanzamento)
{
    return dettaglio::AnalizzaFileCon(percorso, criterio, avanzamento, dettaglio::OpzioniDaAmbiente());
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
