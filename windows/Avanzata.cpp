// SPDX-License-Identifier: GPL-3.0-or-later
#include "Avanzata.h"

#include <QLineEdit>

namespace varnel {

Avanzata::Avanzata()
    : FinestraAnalisi(QStringLiteral("Avanzata"))
{
}

std::vector<Controllo> Avanzata::tabella() const
{
    using enum Tipo;
    using enum Colore;
    // From front to back.
    return {
        {"Text1",
         RigaTesto,
         {120, 600, 3135, 375},
         {},
         {.colore = TestoFinestra, .sfondo = SfondoFinestra, .tabIndex = 92, .didascalia = "Label4"}},
        {"Command3",
         Pulsante,
         {3000, 5400, 2055, 375},
         "Versione base...",
         {.colore = TestoPulsante, .sfondo = Menu, .tabIndex = 91}},
        {"Check1",
         Casella,
         {3960, 720, 255, 375},
         {},
         {.colore = TestoPulsante, .tabIndex = 87, .attivo = true, .didascalia = "Label3"}},
        {"Label4",
         Etichetta,
         {120, 960, 3255, 615},
         "Inserisci nel box soprastante i 26 tipi di carattere che il testo da analizzare contiene",
         {}},
        {"Label3",
         Etichetta,
         {4200, 600, 2175, 855},
         "Ignora eventuali caratteri contenuti nel testo da analizzare diversi da quelli specificati nel box a lato.",
         {}},
    };
}

void Avanzata::prendi(const ControlliPerNome& controlli) { m_text1 = Prendi<QLineEdit>(controlli, "Text1"); }

void Avanzata::dimenticaControlli()
{
    m_text1 = nullptr;
    FinestraAnalisi::dimenticaControlli();
}

std::optional<FinestraAnalisi::Richiesta> Avanzata::richiesta()
{
    const auto simboli = SimboliDaTesto(m_text1->text().toStdU32String());
    if (!simboli) {
        avvisa(QStringLiteral(
            "Per utilizzare la versione avanzata di Varnel è necessario specificare i 26 tipi di carattere "
            "contenuti nel file cifrato! Controlla che siano stati specificati correttamente tutti e 26."));
        return std::nullopt;
    }
    // The labels take the new symbols only once the analysis succeeds, so the chart never names
    // symbols it did not count.
    return Richiesta{*simboli, [this, simboli] { m_grafico.impostaSimboli(*simboli); }};
}

}  // namespace varnel
