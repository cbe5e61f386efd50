#pragma once

#include "Esito.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>

namespace varnel {

// A file opened for reading only, read sequentially with plain reads (no mapping: a mapped file
// would count towards resident memory).
class FileInLettura {
public:
    [[nodiscard]] static Esito<FileInLettura> Apri(const std::filesystem::path& percorso);

    FileInLettura(FileInLettura&& altro) noexcept;
    FileInLettura& operator=(FileInLettura&&) = delete;
    FileInLettura(const FileInLettura&) = delete;
    FileInLettura& operator=(const FileInLettura&) = delete;
    ~FileInLettura();

    // Fills as much of the buffer as one read gives; 0 at the end of the file.
    [[nodiscard]] Esito<std::size_t> Leggi(std::span<std::uint8_t> buffer);

    // Size of a regular file when opened; 0 for pipes, devices and files that do not say.
    [[nodiscard]] std::uint64_t Dimensione() const { return m_dimensione; }

    // After the last read: an error when a regular file changed while it was read, since the
    // counts would then describe no version of it.
    [[nodiscard]] std::optional<Errore> ControllaInvariato(std::uint64_t letti) const;

private:
    struct Impronta {
        std::uint64_t dimensione = 0;
        std::int64_t modifica = 0;  // nanoseconds
        bool regolare = false;
    };

    FileInLettura(int descrittore, Impronta impronta);
    [[nodiscard]] static std::optional<Impronta> Rileva(int descrittore);

    int m_descrittore = -1;
    Impronta m_impronta;
    std::uint64_t m_dimensione = 0;
};

}  // namespace varnel
