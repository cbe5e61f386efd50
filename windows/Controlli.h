#pragma once

#include "Aspetto.h"

#include <QHash>
#include <QLabel>

#include <span>

namespace varnel {

enum class Tipo {
    Etichetta,
    Immagine,
    Linea,
    Pulsante,
    Opzione,
    Casella,
    RigaTesto,      // one-line text box
    CasellaTesto,   // multi-line text box
};

// What a row of a layout table sets beyond its name, kind, place and text; rows name only what
// differs from these defaults.
struct Proprieta {
    Carattere carattere = Carattere::Predefinito;
    Colore colore = Colore::Verde;       // text
    Colore sfondo = Colore::TestoMenu;   // background
    int tabIndex = -1;
    bool mano = false;           // hand cursor over it
    bool attivo = false;         // option button selected, or check box ticked, when built
};

// One row of a window's layout table.
struct Controllo {
    QString nome;
    Tipo tipo = Tipo::Etichetta;
    Rettangolo r;
    QString testo;               // caption, or the picture's resource for Immagine
    Proprieta prop;
};

// A label or picture that reports a click, for the icons and captions that act like buttons.
class EtichettaCliccabile : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clic();

protected:
    void mouseReleaseEvent(QMouseEvent* evento) override;
};

// Builds the controls of a table, listed from front to back, inside `area`, and returns them by name.
// Buttons, option buttons, check boxes and text boxes always stand in front of labels and pictures.
using ControlliPerNome = QHash<QString, QWidget*>;
ControlliPerNome CostruisciControlli(std::span<const Controllo> tabella, QWidget* area, double twipsPerPixel);

// A built control by name, of the type that its row makes.
template <class T>
[[nodiscard]] T* Prendi(const ControlliPerNome& controlli, const QString& nome)
{
    T* controllo = qobject_cast<T*>(controlli.value(nome));
    Q_ASSERT_X(controllo, "Prendi", qPrintable(nome));
    return controllo;
}

// Sets an opaque background and a text colour on a widget.
void Colora(QWidget* widget, Colore testo, Colore sfondo);

}  // namespace varnel
