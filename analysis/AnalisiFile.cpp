#include "AnalisiFile.h"

#include "Analizzatore.h"
#include "Lettura.h"
#include "Motore.h"
#include "Parallelo.h"

#include <cstdlib>
#include <numeric>
#include <string_view>
#include <vector>

namespace varnel {

namespace {

// Pipes and devices are read in order, by one reader.
constexpr std::size_t DimensioneBuffer = 256 * 1024;
// Smaller regular files are read in order too: workers would cost more than they save. So are
// files that report no size, as many under /proc do.
constexpr std::uint64_t SogliaParallela = 8 << 20;

Esito<Analisi> AnalizzaInOrdine(FileInLettura& lettore, const Criterio& criterio, const dettaglio::Kernel& kernel,
                                Avanzamento& avanzamento)
{
    dettaglio::Analizzatore analizzatore(criterio, kernel);
    const BufferDiLettura memoria(DimensioneBuffer);
    const auto buffer = memoria.dati();
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
    return analizzatore.concludi();
}

// Whether a regular file opens with a UTF-16 byte-order mark, which only a reading in order decodes.
bool ApreUtf16(const FileInLettura& file)
{
    std::array<char, 2> inizio{};
    const auto letti = file.LeggiDa(0, {reinterpret_cast<std::uint8_t*>(inizio.data()), inizio.size()});
    return letti.riuscito() && CodificaUtf16({inizio.data(), letti.valore()}).has_value();
}

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
    avanzamento.fissaDimensione(lettore.Dimensione());
    const bool aTratti = lettore.Regolare() && lettore.Dimensione() >= (opzioni.tratto > 0 ? 1 : SogliaParallela)
                         && !ApreUtf16(lettore);
    auto analisi = aTratti ? AnalizzaATratti(lettore, criterio, avanzamento, opzioni)
                           : AnalizzaInOrdine(lettore, criterio, opzioni.kernel, avanzamento);
    if (!analisi.riuscito())
        return analisi;
    if (auto cambiato = lettore.ControllaInvariato())
        return *cambiato;
    return analisi;
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
