#pragma once

#include "AnalisiFile.h"
#include "Analizzatore.h"
#include "KernelEmulato.h"
#include "Motore.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <unistd.h>

namespace varnel::prova {

// Symbols with something for every path: the field reader's bytes, encodings of two to four
// bytes, a Windows-1252 byte that UTF-8 never uses alone, the replacement character, a repeat.
inline const Simboli SimboliDiProva = SimboliDaTesto(U"ab, \"\r\nè€\U0001F600ïx\tZz\u0080é\uFFFD7»¿ÃEqqÿ").value();

inline std::span<const std::uint8_t> Byte(std::string_view testo)
{
    return {reinterpret_cast<const std::uint8_t*>(testo.data()), testo.size()};
}

// A family of kernels under test: one of the CPU's, or the AVX-512 algorithms on emulated vectors,
// which run on any CPU.
struct Via {
    std::string nome;
    bool disponibile;
    dettaglio::Kernel kernel;
};

inline void PrintTo(const Via& via, std::ostream* uscita) { *uscita << via.nome; }

inline std::vector<Via> Vie()
{
    std::vector<Via> vie;
    for (const auto percorso : dettaglio::Percorsi)
        vie.push_back({dettaglio::NomePercorso(percorso), dettaglio::Disponibile(percorso), dettaglio::KernelPer(percorso)});
    vie.push_back({"avx512_emulato", true, dettaglio::KernelAvx512Emulato()});
    return vie;
}

// A test run once on each family; the families this CPU lacks are reported as skipped.
class SuOgniVia : public testing::TestWithParam<Via> {
protected:
    void SetUp() override
    {
        if (!GetParam().disponibile)
            GTEST_SKIP() << "this CPU lacks the instructions of the " << GetParam().nome << " kernels";
    }
    [[nodiscard]] const dettaglio::Kernel& kernel() const { return GetParam().kernel; }
};

#define VARNEL_SU_OGNI_VIA(Prova) \
    INSTANTIATE_TEST_SUITE_P(Vie, Prova, testing::ValuesIn(prova::Vie()), \
                             [](const testing::TestParamInfo<prova::Via>& via) { return via.param.nome; })

// Streams the bytes through the analyser in pieces of random size, so that sequences and
// delimiters fall across the edges of the pieces.
inline Analisi Flusso(std::string_view testo, const Criterio& criterio, const dettaglio::Kernel& kernel, std::mt19937& caso)
{
    dettaglio::Analizzatore analizzatore(criterio, kernel);
    const auto byte = Byte(testo);
    std::size_t i = 0;
    while (i < byte.size()) {
        const std::size_t n = std::min<std::size_t>(byte.size() - i, std::uniform_int_distribution<std::size_t>(1, 700)(caso));
        analizzatore.consuma(byte.subspan(i, n));
        i += n;
    }
    return analizzatore.concludi();
}

// Analyses a file on the given kernels, with the workers the machine has.
inline Esito<Analisi> Analizza(const std::filesystem::path& percorso, const Criterio& criterio,
                               const dettaglio::Kernel& kernel = dettaglio::KernelPer(dettaglio::PercorsoMigliore()))
{
    Avanzamento avanzamento;
    return dettaglio::AnalizzaFileCon(percorso, criterio, avanzamento, {.kernel = kernel});
}

// A file in a fresh temporary folder, removed with it.
class CartellaTemporanea {
public:
    CartellaTemporanea()
    {
        std::string modello = (std::filesystem::temp_directory_path() / "varnel-XXXXXX").string();
        m_percorso = ::mkdtemp(modello.data());
    }
    ~CartellaTemporanea() { std::filesystem::remove_all(m_percorso); }
    CartellaTemporanea(const CartellaTemporanea&) = delete;
    CartellaTemporanea& operator=(const CartellaTemporanea&) = delete;

    [[nodiscard]] std::filesystem::path scrivi(const std::string& nome, std::string_view contenuto) const
    {
        const auto percorso = m_percorso / nome;
        std::ofstream(percorso, std::ios::binary).write(contenuto.data(), static_cast<std::streamsize>(contenuto.size()));
        return percorso;
    }
    [[nodiscard]] const std::filesystem::path& percorso() const { return m_percorso; }

private:
    std::filesystem::path m_percorso;
};

}  // namespace varnel::prova
