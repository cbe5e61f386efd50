// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AnalisiFile.h"
#include "Avanzamento.h"
#include "Esito.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace varnel {

// The size of the reads: large enough that each system call is cheap, small enough to stay in
// the core's own cache beside the counting.
inline constexpr std::size_t DimensioneBuffer = 256 * 1024;

// A read buffer that starts on a page: read() copies into one that does not several times slower.
class BufferDiLettura {
public:
    explicit BufferDiLettura(std::size_t dimensione)
        : m_memoria(dimensione + Pagina)
    {
        const auto indirizzo = reinterpret_cast<std::uintptr_t>(m_memoria.data());
        m_dati = std::span(m_memoria).subspan((Pagina - indirizzo % Pagina) % Pagina, dimensione);
    }
    [[nodiscard]] std::span<std::uint8_t> dati() const { return m_dati; }

private:
    static constexpr std::size_t Pagina = 4096;
    std::vector<std::uint8_t> m_memoria;
    std::span<std::uint8_t> m_dati;
};

// A file opened for reading only, with plain reads (no mapping: a mapped file would count towards
// resident memory). Opening never blocks, not even on a FIFO without a writer.
class FileInLettura {
public:
    [[nodiscard]] static Esito<FileInLettura> Apri(const std::filesystem::path& percorso);

    FileInLettura(FileInLettura&& altro) noexcept;
    FileInLettura& operator=(FileInLettura&&) = delete;
    FileInLettura(const FileInLettura&) = delete;
    FileInLettura& operator=(const FileInLettura&) = delete;
    ~FileInLettura();

    // Fills as much of the buffer as one read gives from where the last one stopped; 0 at the end.
    // A pipe or device is waited on in slices of a few tens of milliseconds, so that a cancel in
    // `avanzamento` ends the wait (with Motivo::Annullata) however long the other end is silent.
    [[nodiscard]] Esito<std::size_t> Leggi(std::span<std::uint8_t> buffer, const Avanzamento& avanzamento);

    // Fills the buffer from `posizione` on, short only at the end of the file; for regular files,
    // and safe to call from several threads at once.
    [[nodiscard]] Esito<std::size_t> LeggiDa(std::uint64_t posizione, std::span<std::uint8_t> buffer) const;

    // A regular file, whose reported size can be split among workers.
    [[nodiscard]] bool Regolare() const { return m_impronta.regolare; }
    // Which file this is and the version opened.
    [[nodiscard]] const ImprontaFile& Impronta() const { return m_impronta; }
    // Size of a regular file when opened; 0 for pipes and devices. Files under /proc and /sys may
    // hold more or less than they report.
    [[nodiscard]] std::uint64_t Dimensione() const { return m_impronta.dimensione; }

    // After the last read: an error when a regular file changed size or modification time since
    // it was opened, since the counts would then describe no version of it.
    [[nodiscard]] std::optional<Errore> ControllaInvariato() const;

private:
#ifdef _WIN32
    using Maniglia = void*;
#else
    using Maniglia = int;
#endif

    FileInLettura(Maniglia maniglia, ImprontaFile impronta)
        : m_maniglia(maniglia)
        , m_impronta(impronta)
    {
    }
    [[nodiscard]] static std::optional<ImprontaFile> Rileva(Maniglia maniglia);
    friend Esito<ImprontaFile> ImprontaDi(const std::filesystem::path& percorso);

    Maniglia m_maniglia;
    ImprontaFile m_impronta;
};

// The identity and version of the file at `percorso`, without reading it (no read permission needed).
[[nodiscard]] Esito<ImprontaFile> ImprontaDi(const std::filesystem::path& percorso);

}  // namespace varnel
