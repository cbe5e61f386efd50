// SPDX-License-Identifier: GPL-3.0-or-later
// Throughput of the streaming analysis over 256 MiB of generated text held in memory, and of each
// of its passes alone, on every kernel family this CPU runs.
#include "AnalisiFile.h"
#include "AnalisiTesto.h"
#include "Analizzatore.h"
#include "TestoGenerato.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace varnel {
namespace {

using dettaglio::Kernel;

const std::string& Testo()
{
    static const std::string testo = banco::TestoGenerato(256u << 20);
    return testo;
}

const std::string& TestoVirgolettato()
{
    static const std::string testo = banco::TestoVirgolettato(256u << 20);
    return testo;
}

void Analizza(benchmark::State& stato, const Criterio& criterio, const Kernel& kernel)
{
    const auto& testo = Testo();
    const auto* dati = reinterpret_cast<const std::uint8_t*>(testo.data());
    constexpr std::size_t Buffer = 1 << 20;
    for (auto _ : stato) {
        dettaglio::Analizzatore analizzatore(criterio, kernel);
        for (std::size_t i = 0; i < testo.size(); i += Buffer)
            analizzatore.consuma(std::span(dati + i, std::min(Buffer, testo.size() - i)));
        benchmark::DoNotOptimize(analizzatore.concludi());
    }
    stato.SetBytesProcessed(stato.iterations() * static_cast<std::int64_t>(testo.size()));
}

// Each pass alone, in slices as the analyser feeds them, over text that read() has just copied
// into a buffer of a mebibyte (the copy is not timed): fresh text, since a pass over the same bytes
// again and again would let the CPU learn where its branches go.
constexpr std::size_t FettaPassata = 64 * 1024;
constexpr std::size_t BufferPassata = 1 << 20;

template <class Passo>
void Passata(benchmark::State& stato, Passo&& passo, const std::string& testo = Testo())
{
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
    stato.SetBytesProcessed(stato.iterations()
                            * static_cast<std::int64_t>(testo.size() / BufferPassata * BufferPassata));
}

// The letters a to z, folding case; with `accento`, è in place of z: a Windows-1252 byte outside
// the letters' band.
dettaglio::Bersagli BersagliLettere(bool accento)
{
    dettaglio::Bersagli bersagli;
    for (std::size_t k = 0; k < NumeroSlot; ++k)
        bersagli.byte[k] = static_cast<std::uint8_t>('a' + k);
    if (accento)
        bersagli.byte[NumeroSlot - 1] = 0xE8;
    bersagli.numero = NumeroSlot;
    bersagli.piega = true;
    dettaglio::FissaFascia(bersagli);
    return bersagli;
}

void Conta(benchmark::State& stato, const Kernel& kernel, bool accento)
{
    const auto bersagli = BersagliLettere(accento);
    dettaglio::ContiGrezzi conti;
    Passata(stato, [&](const std::uint8_t* p, std::size_t n) { kernel.conta(p, n, bersagli, conti); });
    benchmark::DoNotOptimize(conti);
}

void Campi(benchmark::State& stato, const Kernel& kernel, bool virgolettato)
{
    dettaglio::MacchinaCampi<std::uint8_t> macchina;
    Passata(
        stato, [&](const std::uint8_t* p, std::size_t n) { kernel.campi(p, n, macchina); },
        virgolettato ? TestoVirgolettato() : Testo());
    benchmark::DoNotOptimize(macchina.giunture());
}

void Valida(benchmark::State& stato, const Kernel& kernel)
{
    ValidatoreUtf8 validatore;
    Passata(stato, [&](const std::uint8_t* p, std::size_t n) {
        if (kernel.validaUtf8 != nullptr)
            validatore.avanzaABlocchi(p, p + n, kernel.validaUtf8);
        else
            validatore.avanza(p, p + n, [](char32_t) {});
    });
    benchmark::DoNotOptimize(validatore.rotto());
}

// The UTF-8 encoding of è, as the analyser counts it.
void Sequenze(benchmark::State& stato, const Kernel& kernel)
{
    dettaglio::Sequenze sequenze;
    sequenze.indietro[0] = {0xA8, 0xC3};
    sequenze.lunghezza[0] = 2;
    sequenze.numero = 1;
    dettaglio::ContiGrezzi conti;
    Passata(stato, [&](const std::uint8_t* p, std::size_t n) { kernel.contaSequenze(p, n, {}, sequenze, conti); });
    benchmark::DoNotOptimize(conti);
}

// The generated text as the clipboard holds it, in UTF-16 (its only non-ASCII letters take two bytes).
const std::u16string& TestoUtf16()
{
    static const std::u16string testo = [] {
        const auto& utf8 = Testo();
        std::u16string utf16;
        utf16.reserve(utf8.size());
        for (std::size_t i = 0; i < utf8.size(); ++i) {
            const auto byte = static_cast<unsigned char>(utf8[i]);
            if (byte < 0x80)
                utf16 += static_cast<char16_t>(byte);
            else if (i + 1 < utf8.size())
                utf16 += static_cast<char16_t>(((byte & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3Fu));
        }
        return utf16;
    }();
    return testo;
}

// Pasted text: converted to UTF-8 a slice at a time on the way into the analyser; bytes of UTF-16.
void AnalizzaAppunti(benchmark::State& stato)
{
    const auto& testo = TestoUtf16();
    for (auto _ : stato) {
        Avanzamento avanzamento;
        benchmark::DoNotOptimize(AnalizzaTesto(testo, ModoLettere::SenzaDistinzione, avanzamento));
    }
    stato.SetBytesProcessed(stato.iterations() * static_cast<std::int64_t>(testo.size() * 2));
}

const Simboli Cifrario = SimboliDaTesto(U"qwertyuiopasdfghjklzxcvbnm").value();
const Simboli ConAccento = SimboliDaTesto(U"etaoinshrdlucmfwypvbgkjqxè").value();

void Registra()
{
    benchmark::RegisterBenchmark("AnalizzaAppunti/lettere", AnalizzaAppunti)->Unit(benchmark::kMillisecond);
    for (const auto famiglia : dettaglio::Famiglie) {
        const std::string nome = dettaglio::NomeFamiglia(famiglia);
        if (!dettaglio::Disponibile(famiglia)) {
            std::fprintf(stderr, "%s: not measured, this CPU lacks its instructions\n", nome.c_str());
            continue;
        }
        const Kernel kernel = dettaglio::KernelPer(famiglia);
        const auto registra = [&](const std::string& passo, auto&& funzione, auto... argomenti) {
            benchmark::RegisterBenchmark((passo + "/" + nome).c_str(), funzione, kernel, argomenti...)
                ->Unit(benchmark::kMillisecond);
        };
        registra("Conta/lettere", Conta, false);
        registra("Conta/accento", Conta, true);
        registra("Campi", Campi, false);
        registra("Campi/virgolette", Campi, true);
        registra("Valida", Valida);
        registra("Sequenze/accento", Sequenze);
        const auto analisi = [&](const std::string& passo, const Criterio& criterio) {
            benchmark::RegisterBenchmark(("Analizza/" + passo + "/" + nome).c_str(), [criterio,
                                                                                      kernel](benchmark::State& stato) {
                Analizza(stato, criterio, kernel);
            })->Unit(benchmark::kMillisecond);
        };
        analisi("lettere", ModoLettere::SenzaDistinzione);
        analisi("cifrario", Cifrario);
        analisi("accento", ConAccento);
    }
}

}  // namespace
}  // namespace varnel

int main(int argc, char** argv)
{
    varnel::Registra();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
