// SPDX-License-Identifier: GPL-3.0-or-later
#include "Form2.h"

namespace varnel {

Form2::Form2()
    : Finestra(QStringLiteral("Form2"), QStringLiteral("Informazioni Varnel - "), {0, 0, 5865, 3210},
               Qt::WindowCloseButtonHint)
{
}

void Form2::costruisci(QWidget* area, double twipsPerPixel)
{
    using enum Tipo;
    using enum Font;
    const QString informazioni =
        QStringLiteral(
            "Il programma Varnel è stato realizzato da Varnel Team per Varnel Project. "
            "Lo scopo del programma è quello di illustrare la tecnica di crittoanalisi di cifrari a sostituzione "
            "monoalfabetica mediante l'analisi delle frequenze. "
            "Non ci assumiamo nessuna responsabilità riguardo al programma, ad eventuali errori in esso contenuti "
            "nonchè a danni relativi a persone o cose da esso causati. "
            "Per qualunque informazione relativa al programma visitate il sito %1 oppure contattateci all'indirizzo "
            "info@varnel.example.")
            .arg(IndirizzoWeb);
    // From front to back.
    const Controllo tabella[] = {
        {"Label2", Etichetta, {120, 600, 5655, 2535}, informazioni, {.font = SansMedio}},
        {"Label1", Etichetta, {720, 120, 3375, 495}, "Varnel - Versione 1.2", {.font = SansGrande}},
        {"Image1", Immagine, {240, 0, 480, 480}, ":/img/programma-32.png", {.voce = QStringLiteral("Varnel")}},
    };
    CostruisciControlli(tabella, area, twipsPerPixel);
}

}  // namespace varnel
