// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AnalisiFile.h"
#include "Analizzatore.h"
#include "Cifrario.h"
#include "KernelEmulato.h"
#include "Motore.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

namespace varnel {

inline void PrintTo(const Analisi& analisi, std::ostream* uscita)
{
    *uscita << "length " << analisi.lunghezza << ", code page " << static_cast<int>(analisi.codifica) << ", counts";
    for (const auto conteggio : analisi.conteggi)
        *uscita << ' ' << conteggio;
}

}  // namespace varnel

namespace varnel::prova {

// Skips a test that needs what the system's files give and emscripten's emulation of them under
// node does not: files past 4 GiB, modification times that change within a second, pipes, links.
#ifdef __EMSCRIPTEN__
#define VARNEL_SOLO_FILE_DI_SISTEMA(perche) GTEST_SKIP() << "emscripten's emulated files: " << (perche)
#else
#define VARNEL_SOLO_FILE_DI_SISTEMA(perche) static_cast<void>(0)
#endif

// Symbols with something for every path: the field reader's bytes, encodings of two to four
// bytes, a Windows-1252 byte that UTF-8 never uses alone, the replacement character, a repeat.
inline const Simboli SimboliDiProva = SimboliDaTesto(U"ab, \"\r\nè€\U0001F600ïx\tZz\u0080é\uFFFD7»¿ÃEqqÿ").value();

inline std::span<const std::uint8_t> Byte(std::string_view testo)
{
    return {reinterpret_cast<const std::uint8_t*>(testo.data()), testo.size()};
}

// A file's bytes; nothing when it cannot be read.
inline std::string LeggiFile(const std::filesystem::path& percorso)
{
    std::ifstream file(percorso, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

// A key as characters in slot order, '-' for no letter; a shorter string leaves the rest empty.
inline Chiave ChiaveDa(std::string_view lettere)
{
    Chiave chiave{};
    for (std::size_t k = 0; k < lettere.size(); ++k)
        chiave[k] = lettere[k] == '-' ? char{0} : lettere[k];
    return chiave;
}

// Why a step failed; nothing when it succeeded.
template <class T>
std::optional<Motivo> MotivoDi(const Esito<T>& esito)
{
    return esito.riuscito() ? std::nullopt : std::optional(esito.errore().motivo);
}

// A family of kernels under test: one of the CPU's, or the AVX-512 algorithms on emulated vectors,
// which run on any CPU.
struct KernelProvato {
    std::string nome;
    bool disponibile;
    dettaglio::Kernel kernel;
};

inline void PrintTo(const KernelProvato& provato, std::ostream* uscita) { *uscita << provato.nome; }

inline std::vector<KernelProvato> KernelProvati()
{
    std::vector<KernelProvato> provati;
    for (const auto famiglia : dettaglio::Famiglie)
        provati.push_back(
            {dettaglio::NomeFamiglia(famiglia), dettaglio::Disponibile(famiglia), dettaglio::KernelPer(famiglia)});
    provati.push_back({"avx512_emulato", true, dettaglio::KernelAvx512Emulato()});
    return provati;
}

// A test run once on each family; the families this CPU lacks are reported as skipped.
class SuOgniKernel : public testing::TestWithParam<KernelProvato> {
protected:
    void SetUp() override
    {
        if (!GetParam().disponibile)
            GTEST_SKIP() << "this CPU lacks the instructions of the " << GetParam().nome << " kernels";
    }
    [[nodiscard]] const dettaglio::Kernel& kernel() const { return GetParam().kernel; }
};

#define VARNEL_SU_OGNI_KERNEL(Prova)                                                                                   \
    INSTANTIATE_TEST_SUITE_P(                                                                                          \
        Kernel, Prova, testing::ValuesIn(prova::KernelProvati()),                                                      \
        [](const testing::TestParamInfo<prova::KernelProvato>& provato) { return provato.param.nome; })

// Streams the bytes through the analyser in pieces of random size up to `massimo`, so that
// sequences and delimiters fall across the edges of the pieces.
inline Analisi Flusso(std::string_view testo, const Criterio& criterio, const dettaglio::Kernel& kernel,
                      std::mt19937& caso, std::size_t massimo = 700)
{
    dettaglio::Analizzatore analizzatore(criterio, kernel);
    const auto byte = Byte(testo);
    for (std::size_t i = 0, n = 0; i < byte.size(); i += n) {
        n = std::min(byte.size() - i, std::uniform_int_distribution<std::size_t>(1, massimo)(caso));
        analizzatore.consuma(byte.subspan(i, n));
    }
    return analizzatore.concludi();
}

// About `byte` bytes for the reader: plain pieces and, one piece in `rarita`, a quote or, unless
// the text must be `utf8`, a byte that breaks UTF-8. A high rarity leaves the vector kernels long
// plain stretches; a low one makes every block take the slow paths.
inline std::string Genera(std::mt19937& caso, std::size_t byte, int rarita, bool utf8)
{
    // clang-format off
    static const std::vector<std::string> Comuni = {"a", "b", "Z", "q", "x", "E", "y", "z", "7", "@", "`", "\t", " ",
        "  ", "   ", ",", ", ", ",   ", "\r\n", "\n", "\r", "\r\r\n", "\xC3\xA8", "\xE2\x82\xAC", "\xF0\x9F\x98\x80",
        "\xEF\xBB\xBF", std::string(1, '\0'), "lettere", "A"};
    static const std::vector<std::string> Virgolette = {"\"", ",\"", ", \"a, b\r\nc\"d", ",\"q\"", "\r\n  \"\"",
        ",\"\r\n\"", "\"x, y\"", "e\r\n  \"f"};
    static const std::vector<std::string> Guasti = {"\xE8", "\xC3", "\x80", "\xE0\x80\x80", "\xED\xA0\x80",
        "\xF4\x90\x80\x80", "\xF0\x9F\x98"};
    // clang-format on
    const auto uno = [&](const std::vector<std::string>& pezzi) -> const std::string& {
        return pezzi[std::uniform_int_distribution<std::size_t>(0, pezzi.size() - 1)(caso)];
    };
    std::uniform_int_distribution<int> raro(0, rarita - 1);
    std::string testo;
    while (testo.size() < byte)
        testo += raro(caso) != 0 ? uno(Comuni) : utf8 || raro(caso) % 2 == 0 ? uno(Virgolette) : uno(Guasti);
    return testo;
}

// Analyses a file on the given kernels, with the workers the machine has.
inline Esito<Analisi> Analizza(const std::filesystem::path& percorso, const Criterio& criterio,
                               const dettaglio::Kernel& kernel = dettaglio::KernelPer(dettaglio::FamigliaMigliore()))
{
    Avanzamento avanzamento;
    return dettaglio::AnalizzaFileCon(percorso, criterio, avanzamento, {.kernel = kernel});
}

// A fresh temporary folder (by default in the system's), removed with everything in it. Its name
// is random and built as a path throughout, so that a folder above it with any name works.
class CartellaTemporanea {
public:
    explicit CartellaTemporanea(const std::filesystem::path& dentro = std::filesystem::temp_directory_path())
    {
        std::mt19937_64 caso(std::random_device{}()
                             ^ static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
        for (int tentativo = 0; tentativo < 100; ++tentativo) {
            const auto nome = std::to_string(caso() & 0xFFFFFFFFFFFFu);
            const auto percorso = dentro / (u8"varnel-" + std::u8string(nome.begin(), nome.end()));
            std::error_code errore;
            if (std::filesystem::create_directory(percorso, errore)) {
                m_percorso = percorso;
                return;
            }
            if (errore)
                throw std::filesystem::filesystem_error("temporary folder", percorso, errore);
        }
        throw std::runtime_error("no free name for a temporary folder");
    }
    // Never throws: read-only files and folders are made writable first (on Windows a read-only
    // file cannot be deleted), and what still cannot be removed is left behind.
    ~CartellaTemporanea()
    {
        try {
            namespace fs = std::filesystem;
            std::error_code errore;
            for (fs::recursive_directory_iterator i(m_percorso, fs::directory_options::skip_permission_denied, errore),
                 fine;
                 !errore && i != fine; i.increment(errore)) {
                std::error_code ignorato;
                if (i->is_symlink(ignorato))
                    continue;
                const auto tipo = i->is_directory(ignorato) ? fs::perms::owner_all
                                                            : fs::perms::owner_read | fs::perms::owner_write;
                fs::permissions(i->path(), tipo, fs::perm_options::add, ignorato);
            }
            std::filesystem::remove_all(m_percorso, errore);
        } catch (...) {
        }
    }
    CartellaTemporanea(const CartellaTemporanea&) = delete;
    CartellaTemporanea& operator=(const CartellaTemporanea&) = delete;

    // A file of the folder (a name beyond ASCII given as a u8 literal, which holds on Windows too).
    [[nodiscard]] std::filesystem::path scrivi(const std::filesystem::path& nome, std::string_view contenuto) const
    {
        const auto percorso = m_percorso / nome;
        std::ofstream file(percorso, std::ios::binary);
        file.write(contenuto.data(), static_cast<std::streamsize>(contenuto.size()));
        file.close();
        if (!file)
            throw std::filesystem::filesystem_error("cannot write", percorso,
                                                    std::make_error_code(std::errc::io_error));
        return percorso;
    }
    [[nodiscard]] const std::filesystem::path& percorso() const { return m_percorso; }

private:
    std::filesystem::path m_percorso;
};

#ifndef _WIN32
// Files of this process may grow no larger than `limite` while it lives: a write past it fails
// with EFBIG, as a full disk fails a write half-way, without root or a disk of its own.
class LimiteDimensione {
public:
    explicit LimiteDimensione(rlim_t limite)
    {
        m_segnale = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_prima);
        rlimit nuovo = m_prima;
        nuovo.rlim_cur = limite;
        setrlimit(RLIMIT_FSIZE, &nuovo);
    }
    ~LimiteDimensione()
    {
        setrlimit(RLIMIT_FSIZE, &m_prima);
        std::signal(SIGXFSZ, m_segnale);
    }

private:
    rlimit m_prima{};
    void (*m_segnale)(int) = SIG_DFL;
};
#endif

}  // namespace varnel::prova
