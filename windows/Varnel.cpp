// SPDX-License-Identifier: GPL-3.0-or-later
#include "Varnel.h"

#include <QRadioButton>

namespace varnel {

Varnel::Varnel()
    : FinestraAnalisi(QStringLiteral("Varnel"))
{
}

std::vector<Controllo> Varnel::tabella() const
{
    using enum Tipo;
    using enum Colore;
    // From front to back.
    return {
        {"Command3",
         Pulsante,
         {3000, 5400, 2055, 375},
         "Versione avanzata...",
         {.colore = TestoPulsante, .sfondo = Menu, .tabIndex = 97}},
        {"Option3",
         Opzione,
         {120, 1080, 195, 255},
         "Option1",
         {.colore = TestoPulsante, .tabIndex = 93, .attivo = true, .didascalia = "Label6"}},
        {"Option2",
         Opzione,
         {120, 840, 195, 255},
         "Option1",
         {.colore = TestoPulsante, .tabIndex = 90, .didascalia = "Label5"}},
        {"Option1",
         Opzione,
         {120, 600, 195, 255},
         "Option1",
         {.colore = TestoPulsante, .tabIndex = 89, .didascalia = "Label4"}},
        {"Check1",
         Casella,
         {4200, 720, 255, 375},
         {},
         {.colore = TestoPulsante, .tabIndex = 87, .attivo = true, .didascalia = "Label3"}},
        {"Label6", Etichetta, {360, 1080, 3375, 255}, "Non fare distinzioni tra maiuscole e minuscole", {}},
        {"Label5", Etichetta, {360, 840, 2055, 255}, "Lavora su lettere maiuscole", {}},
        {"Label4", Etichetta, {360, 600, 2055, 375}, "Lavora su lettere minuscole", {}},
        {"Label3",
         Etichetta,
         {4440, 600, 1815, 855},
         "Ignora eventuali caratteri non alfabetici contenuti nel testo da analizzare",
         {}},
    };
}

void Varnel::prendi(const ControlliPerNome& controlli)
{
    m_opzioni = {Prendi<QRadioButton>(controlli, "Option1"), Prendi<QRadioButton>(controlli, "Option2"),
                 Prendi<QRadioButton>(controlli, "Option3")};
}

void Varnel::dimenticaControlli()
{
    m_opzioni = {};
    FinestraAnalisi::dimenticaControlli();
}

std::optional<FinestraAnalisi::Richiesta> Varnel::richiesta()
{
    constexpr std::array modi = {ModoLettere::Minuscole, ModoLettere::Maiuscole, ModoLettere::SenzaDistinzione};
    for (std::size_t i = 0; i < m_opzioni.size(); ++i) {
        if (m_opzioni[i]->isChecked())
            return Richiesta{modi[i], {}};
    }
    return std::nullopt;
}

}  // namespace varnel
