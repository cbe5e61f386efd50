// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace varnel {

// Why a file could not be analysed. The windows turn these into Italian messages.
enum class Motivo {
    NonTrovato,      // no such file
    PermessoNegato,  // no read permission
    Cartella,        // a folder, not a file
    ErroreLettura,   // the system failed in the middle of reading
    FileModificato,  // the file changed size or content while it was read
    Annullata,       // the user cancelled a long analysis
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
