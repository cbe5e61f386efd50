// Throughput of the streaming analysis over 256 MiB of generated text held in memory.
#include "Scansione.h"
#include "TestoGenerato.h"

#include <benchmark/benchmark.h>

namespace varnel {
namespace {

const std::string& Testo()
{
    static const std::string testo = banco::TestoGenerato(256u << 20);
    return testo;
}

void Analizza(benchmark::State& stato, const Criterio& criterio, dettaglio::Percorso percorso)
{
    const auto& testo = Testo();
    const auto* dati = reinterpret_cast<const std::uint8_t*>(testo.data());
    constexpr std::size_t Buffer = 1 << 20;
    for (auto _ : stato) {
        dettaglio::Analizzatore analizzatore(criterio, percorso);
        for (std::size_t i = 0; i < testo.size(); i += Buffer)
            analizzatore.consuma(std::span(dati + i, std::min(Buffer, testo.size() - i)));
        benchmark::DoNotOptimize(analizzatore.concludi());
    }
    stato.SetBytesProcessed(static_cast<std::int64_t>(stato.iterations() * testo.size()));
}

const Simboli Cifrario = {U'q', U'w', U'e', U'r', U't', U'y', U'u', U'i', U'o', U'p', U'a', U's', U'd',
                          U'f', U'g', U'h', U'j', U'k', U'l', U'z', U'x', U'c', U'v', U'b', U'n', U'm'};

BENCHMARK_CAPTURE(Analizza, lettere_vettoriale, ModoLettere::SenzaDistinzione, dettaglio::Percorso::Vettoriale)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Analizza, lettere_scalare, ModoLettere::SenzaDistinzione, dettaglio::Percorso::Scalare)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Analizza, simboli_vettoriale, Cifrario, dettaglio::Percorso::Vettoriale)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Analizza, simboli_scalare, Cifrario, dettaglio::Percorso::Scalare)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varnel

BENCHMARK_MAIN();
