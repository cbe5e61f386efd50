// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace varnel {

// Why a file could not be analysed or written. The windows turn these into Italian messages.
enum class Motivo {
    NonTrovato,      // no such file
    PermessoNegato,  // no read permission
    Cartella,        // a folder, not a file
    ErroreLettura,   // the system failed in the middle of reading
    FileModificato,  // the file changed size or content while it was read
    Annullata,       // the user cancelled a long analysis
    // Writing a file:
    SpazioEsaurito,    // the disk is full
    SolaLettura,       // the destination, or its disk, may not be written
    CartellaMancante,  // the destination's folder is gone
    ErroreScrittura,   // the system failed in the middle of writing
    // Saving what an analysis read, after it:
    AnalizzatoMancante,  // the analysed file is gone
    AnalizzatoCambiato,  // the analysed file changed after the analysis
    StessoFile,          // the destination is the analysed file itself
    Altro,
};

struct Errore {
    Motivo motivo = Motivo::Altro;
    std::string dettaglio;  // the system's own reason, when it gave one
};

// A value or the reason it could not be had; errors are values, never exceptions.
template <class T>
class [[nodiscard]] Esito {
public:
    Esito(T valore)
        : m_dati(std::move(valore))
    {
    }
    Esito(Errore errore)
        : m_dati(std::move(errore))
    {
    }

    [[nodiscard]] bool riuscito() const { return std::holds_alternative<T>(m_dati); }
    [[nodiscard]] const T& valore() const& { return std::get<T>(m_dati); }
    [[nodiscard]] T& valore() & { return std::get<T>(m_dati); }
    [[nodiscard]] T&& valore() && { return std::get<T>(std::move(m_dati)); }
    [[nodiscard]] const Errore& errore() const { return std::get<Errore>(m_dati); }

private:
    std::variant<T, Errore> m_dati;
};

}  // namespace varnel
