// SPDX-License-Identifier: GPL-3.0-or-later
#include "AnalisiFile.h"

#include "Analizzatore.h"
#include "Lettura.h"
#include "Motore.h"
#include "Parallelo.h"

#include <cstdlib>
#include <numeric>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnel {

namespace {

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

// The first bytes of a regular file, where a byte-order mark would stand.
Esito<std::string> Iniziali(const FileInLettura& file)
{
    std::string inizio(static_cast<std::size_t>(std::min<std::uint64_t>(3, file.Dimensione())), '\0');
    const auto letti = file.LeggiDa(0, {reinterpret_cast<std::uint8_t*>(inizio.data()), inizio.size()});
    if (!letti.riuscito())
        return letti.errore();
    inizio.resize(letti.valore());
    return inizio;
}

}  // namespace

namespace dettaglio {

Opzioni OpzioniDaAmbiente()
{
    Opzioni opzioni;
    if (const char* kernel = std::getenv("VARNEL_KERNEL")) {
        for (const Famiglia famiglia : Famiglie) {
            if (std::string_view(kernel) == NomeFamiglia(famiglia))
                opzioni.kernel = KernelPer(famiglia);
        }
    }
    if (const char* lavoratori = std::getenv("VARNEL_LAVORATORI"))
        opzioni.lavoratori = static_cast<unsigned>(std::strtoul(lavoratori, nullptr, 10));
    return opzioni;
}

Esito<Analisi> AnalizzaFileCon(const std::filesystem::path& percorso, const Criterio& criterio,
                               Avanzamento& avanzamento, const Opzioni& opzioni, ImprontaFile* analizzato)
{
    auto file = FileInLettura::Apri(percorso);
    if (!file.riuscito())
        return file.errore();
    auto& lettore = file.valore();
    avanzamento.fissaDimensione(lettore.Dimensione());
    // Pipes and devices are read in order, by one reader; so are files that report no size, as
    // many under /proc do, and those the plan keeps whole.
    PianoTratti piano;
    if (lettore.Regolare() && lettore.Dimensione() > 0) {
        const auto iniziali = Iniziali(lettore);
        if (!iniziali.riuscito())
            return iniziali.errore();
        piano = Pianifica(lettore.Dimensione(), iniziali.valore(), opzioni);
    }
    auto analisi = piano.tratti > 0 ? AnalizzaATratti(lettore, piano, criterio, avanzamento, opzioni)
                                    : AnalizzaInOrdine(lettore, criterio, opzioni.kernel, avanzamento);
    if (!analisi.riuscito())
        return analisi;
    if (auto cambiato = lettore.ControllaInvariato())
        return *cambiato;
    if (analizzato != nullptr)
        *analizzato = lettore.Impronta();
    return analisi;
}

}  // namespace dettaglio

Esito<Analisi> AnalizzaFile(const std::filesystem::path& percorso, const Criterio& criterio, Avanzamento& avanzamento)
{
    return dettaglio::AnalizzaFileCon(percorso, criterio, avanzamento, dettaglio::OpzioniDaAmbiente());
}

Esito<Analisi> AnalizzaFile(const std::filesystem::path& percorso, const Criterio& criterio, Avanzamento& avanzamento,
                            ImprontaFile& analizzato)
{
    return dettaglio::AnalizzaFileCon(percorso, criterio, avanzamento, dettaglio::OpzioniDaAmbiente(), &analizzato);
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
