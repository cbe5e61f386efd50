// Throughput of the streaming analysis over 256 MiB of generated text held in memory, and of each
// of its passes alone.
#include "Analizzatore.h"
#include "TestoGenerato.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

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

// Each pass alone, in slices as the analyser feeds them, over text that read() has just copied
// into a buffer of a mebibyte (the copy is not timed): fresh text, since a pass over the same bytes
// again and again would let the CPU learn where its branches go.
constexpr std::size_t FettaPassata = 64 * 1024;
constexpr std::size_t BufferPassata = 1 << 20;

template <class Passo>
void Passata(benchmark::State& stato, Passo&& passo)
{
    const auto& testo = Testo();
    std::vector<std::uint8_t> buffer(BufferPassata);
    for (auto _ : stato) {
        for (std::size_t inizio = 0; inizio + BufferPassata <= testo.size(); inizio += BufferPassata) {
            stato.PauseTiming();
            std::memcpy(buffer.data(), testo.data() + inizio, BufferPassata);
            stato.ResumeTiming();
            for (std::size_t i = 0; i < BufferPassata; i += FettaPassata)
                passo(buffer.data() + i, FettaPassata);
        }
    }
    stato.SetBytesProcessed(static_cast<std::int64_t>(stato.iterations() * (testo.size() / BufferPassata * BufferPassata)));
}

dettaglio::Bersagli BersagliLettere()
{
    dettaglio::Bersagli bersagli;
    for (std::size_t k = 0; k < NumeroSlot; ++k)
        bersagli.byte[k] = static_cast<std::uint8_t>('a' + k);
    bersagli.numero = NumeroSlot;
    bersagli.piega = true;
    dettaglio::FissaFinestra(bersagli);
    return bersagli;
}

void Conta(benchmark::State& stato, dettaglio::Percorso percorso, bool finestra)
{
    const auto kernel = dettaglio::KernelPer(percorso);
    auto bersagli = BersagliLettere();
    if (!finestra)
        bersagli.finestra = -1;
    dettaglio::ContiGrezzi conti;
    Passata(stato, [&](const std::uint8_t* p, std::size_t n) { kernel.conta(p, n, bersagli, conti); });
    benchmark::DoNotOptimize(conti);
}

void Campi(benchmark::State& stato, dettaglio::Percorso percorso)
{
    const auto kernel = dettaglio::KernelPer(percorso);
    dettaglio::MacchinaCampi<std::uint8_t> macchina;
    Passata(stato, [&](const std::uint8_t* p, std::size_t n) { kernel.campi(p, n, macchina); });
    benchmark::DoNotOptimize(macchina.campi());
}

void Valida(benchmark::State& stato, dettaglio::Percorso percorso)
{
    const auto kernel = dettaglio::KernelPer(percorso);
    ValidatoreUtf8 validatore;
    Passata(stato, [&](const std::uint8_t* p, std::size_t n) {
        if (kernel.validaUtf8 != nullptr)
            validatore.avanzaABlocchi(p, p + n, kernel.validaUtf8);
        else
            validatore.avanza(p, p + n, [](char32_t) {});
    });
    benchmark::DoNotOptimize(validatore.valido());
}

BENCHMARK_CAPTURE(Conta, finestra_vettoriale, dettaglio::PercorsoMigliore(), true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Conta, confronti_vettoriale, dettaglio::PercorsoMigliore(), false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Conta, scalare, dettaglio::Percorso::Scalare, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Campi, vettoriale, dettaglio::PercorsoMigliore())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Campi, scalare, dettaglio::Percorso::Scalare)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Valida, vettoriale, dettaglio::PercorsoMigliore())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Valida, scalare, dettaglio::Percorso::Scalare)->Unit(benchmark::kMillisecond);

BENCHMARK_CAPTURE(Analizza, lettere_vettoriale, ModoLettere::SenzaDistinzione, dettaglio::PercorsoMigliore())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Analizza, lettere_scalare, ModoLettere::SenzaDistinzione, dettaglio::Percorso::Scalare)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Analizza, simboli_vettoriale, Cifrario, dettaglio::PercorsoMigliore())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Analizza, simboli_scalare, Cifrario, dettaglio::Percorso::Scalare)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varnel

BENCHMARK_MAIN();
