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
    using enum Carattere;
    // From front to back; the chart stands behind all of these.
    return {
        {"Command3", Pulsante, {3000, 5400, 2055, 375}, "Versione avanzata...", Predefinito, TestoPulsante, Menu, 97},
        {"Option3", Opzione, {120, 1080, 195, 255}, "Option1", Predefinito, TestoPulsante, TestoMenu, 93, false, true},
        {"Option2", Opzione, {120, 840, 195, 255}, "Option1", Predefinito, TestoPulsante, TestoMenu, 90},
        {"Option1", Opzione, {120, 600, 195, 255}, "Option1", Predefinito, TestoPulsante, TestoMenu, 89},
        {"Check1", Casella, {4200, 720, 255, 375}, {}, Predefinito, TestoPulsante, TestoMenu, 87, false, true},
        {"Command2", Pulsante, {600, 5640, 2055, 375}, "Ottimizza grafico", Predefinito, TestoPulsante, Menu, 86},
        {"Text2", CasellaTesto, {6360, 360, 3495, 1215}, {}, Predefinito, TestoFinestra, BordoAttivo, 56},
        {"Command1", Pulsante, {600, 5160, 2055, 375}, "Analisi frequenze", Predefinito, TestoPulsante, Menu, 0},
        {"Image4", Immagine, {8160, 5280, 480, 480}, ":/img/informazioni.png", Predefinito, Verde, TestoMenu, -1, true},
        {"Image2", Immagine, {9480, 5280, 480, 480}, ":/img/esci.png", Predefinito, Verde, TestoMenu, -1, true},
        {"Label10", Etichetta, {9480, 5760, 615, 255}, "Esci", SansGrassetto, TestoEvidenziato, TestoPulsante},
        {"Label11", Etichetta, {7800, 5760, 1335, 255}, "Informazioni", SansGrassetto, TestoEvidenziato, TestoPulsante},
        {"Label6", Etichetta, {360, 1080, 3375, 255}, "Non fare distinzioni tra maiuscole e minuscole", Predefinito, Verde, TestoMenu},
        {"Label5", Etichetta, {360, 840, 2055, 255}, "Lavora su lettere maiuscole", Predefinito, Verde, TestoMenu},
        {"Label4", Etichetta, {360, 600, 2055, 375}, "Lavora su lettere minuscole", Predefinito, Verde, TestoMenu},
        {"Label3", Etichetta, {4440, 600, 1815, 855}, "Ignora eventuali caratteri non alfabetici contenuti nel testo da analizzare", Predefinito, Verde, TestoMenu},
        {"Image1", Immagine, {0, 0, 5175, 630}, ":/img/banner.png"},
        {"Label2", Etichetta, {6840, 120, 3015, 255}, "Riepilogo dettagliato analisi frequenze", Predefinito, Verde, TestoMenu},
    };
}

void Varnel::Command1_Click()
{
    const auto selezionato = [this](const char* nome) { return controllo<QRadioButton>(nome)->isChecked(); };
    ModoLettere modo{};
    if (selezionato("Option1"))
        modo = ModoLettere::Minuscole;
    else if (selezionato("Option2"))
        modo = ModoLettere::Maiuscole;
    else if (selezionato("Option3"))
        modo = ModoLettere::SenzaDistinzione;
    else
        return;
    analizza(modo);
}

}  // namespace varnel
