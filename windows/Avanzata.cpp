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
    using enum Carattere;
    // From front to back; the chart stands behind all of these.
    return {
        {"Text1", RigaTesto, {120, 600, 3135, 375}, {}, Predefinito, TestoFinestra, SfondoFinestra, 92},
        {"Command3", Pulsante, {3000, 5400, 2055, 375}, "Versione base...", Predefinito, TestoPulsante, Menu, 91},
        {"Check1", Casella, {3960, 720, 255, 375}, {}, Predefinito, TestoPulsante, TestoMenu, 87, false, true},
        {"Command2", Pulsante, {600, 5640, 2055, 375}, "Ottimizza grafico", Predefinito, TestoPulsante, Menu, 86},
        {"Text2", CasellaTesto, {6360, 360, 3495, 1215}, {}, Predefinito, TestoFinestra, BordoAttivo, 56},
        {"Command1", Pulsante, {600, 5160, 2055, 375}, "Analisi frequenze", Predefinito, TestoPulsante, Menu, 0},
        {"Label4", Etichetta, {120, 960, 3255, 615}, "Inserisci nel box soprastante i 26 tipi di carattere che il testo da analizzare contiene", Predefinito, Verde, TestoMenu},
        {"Image4", Immagine, {8160, 5280, 480, 480}, ":/img/informazioni.png", Predefinito, Verde, TestoMenu, -1, true},
        {"Image2", Immagine, {9480, 5280, 480, 480}, ":/img/esci.png", Predefinito, Verde, TestoMenu, -1, true},
        {"Label10", Etichetta, {9480, 5760, 615, 255}, "Esci", SansGrassetto, TestoEvidenziato, TestoPulsante},
        {"Label11", Etichetta, {7800, 5760, 1335, 255}, "Informazioni", SansGrassetto, TestoEvidenziato, TestoPulsante},
        {"Label3", Etichetta, {4200, 600, 2175, 855}, "Ignora eventuali caratteri contenuti nel testo da analizzare diversi da quelli specificati nel box a lato.", Predefinito, Verde, TestoMenu},
        {"Image1", Immagine, {0, 0, 5175, 630}, ":/img/banner.png"},
        {"Label2", Etichetta, {6840, 120, 3015, 255}, "Riepilogo dettagliato analisi frequenze", Predefinito, Verde, TestoMenu},
    };
}

void Avanzata::Command1_Click()
{
    const auto simboli = SimboliDaTesto(controllo<QLineEdit>("Text1")->text().toStdU32String());
    if (!simboli) {
        avvisa(QStringLiteral("Per utilizzare la versione avanzata di Varnel è necessario specificare i 26 tipi di carattere "
                              "contenuti nel file cifrato! Controlla che siano stati specificati correttamente tutti e 26."));
        return;
    }
    // The labels take the new symbols only with a chosen file, so the chart never names symbols it did not count.
    analizza(*simboli, [this, simboli] { m_grafico.impostaSimboli(*simboli); });
}

}  // namespace varnel
