// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The system's side of the writer: one source file per system.

#include "Esito.h"

#include <filesystem>
#include <optional>
#include <string_view>

namespace varnel::dettaglio {

// Whether `destinazione` may be replaced: its folder exists and, when it exists itself, it is a
// file that may be written. Nothing is created or changed.
[[nodiscard]] std::optional<Errore> ControllaDestinazione(const std::filesystem::path& destinazione);

// A new file beside the destination, under a name of its own; created exclusively, so never a file
// that was there before. Removed when destroyed unless it has replaced the destination.
class FileProvvisorio {
public:
    [[nodiscard]] static Esito<FileProvvisorio> Crea(const std::filesystem::path& destinazione);

    FileProvvisorio(FileProvvisorio&& altro) noexcept;
    FileProvvisorio& operator=(FileProvvisorio&&) = delete;
    FileProvvisorio(const FileProvvisorio&) = delete;
    FileProvvisorio& operator=(const FileProvvisorio&) = delete;
    ~FileProvvisorio();

    // Writes all of `byte`, or says why it could not.
    [[nodiscard]] std::optional<Errore> scrivi(std::string_view byte);
    // Puts the whole file on the disk, closes it and renames it over the destination.
    [[nodiscard]] std::optional<Errore> sostituisci();

    [[nodiscard]] const std::filesystem::path& percorso() const { return m_percorso; }

private:
#ifdef _WIN32
    using Maniglia = void*;
#else
    using Maniglia = int;
#endif
    FileProvvisorio(Maniglia maniglia, std::filesystem::path percorso, std::filesystem::path destinazione)
        : m_maniglia(maniglia)
        , m_percorso(std::move(percorso))
        , m_destinazione(std::move(destinazione))
    {
    }
    void chiudi();

    Maniglia m_maniglia;
    std::filesystem::path m_percorso;
    std::filesystem::path m_destinazione;
    bool m_aperto = true;
    bool m_sostituito = false;
};

// A name for the temporary file of `destinazione`, different at each `tentativo`: hidden, in the
// same folder (a rename across file systems would not be atomic).
[[nodiscard]] std::filesystem::path NomeProvvisorio(const std::filesystem::path& destinazione, unsigned tentativo);

}  // namespace varnel::dettaglio
