#pragma once

#include "Motore.h"
#include "Analizzatore.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <unistd.h>

namespace varnel::prova {

inline std::span<const std::uint8_t> Byte(std::string_view testo)
{
    return {reinterpret_cast<const std::uint8_t*>(testo.data()), testo.size()};
}

// Streams the bytes through the analyser in pieces of random size, so that sequences and
// delimiters fall across the edges of the pieces.
inline Analisi Flusso(std::string_view testo, const Criterio& criterio, dettaglio::Percorso percorso, std::mt19937& caso)
{
    dettaglio::Analizzatore analizzatore(criterio, percorso);
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
                               dettaglio::Percorso kernel = dettaglio::PercorsoMigliore())
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
