// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Aspetto.h"

#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <span>

namespace varnel {

enum class Tipo {
    Etichetta,
    Immagine,
    Linea,
    Pulsante,
    Opzione,
    Casella,
    RigaTesto,     // one-line text box
    CasellaTesto,  // multi-line text box
};

// What a row of a layout table sets beyond its name, kind, place and text; rows name only what
// differs from these defaults.
struct Proprieta {
    Font font = Font::Predefinito;
    Colore colore = Colore::Verde;      // text
    Colore sfondo = Colore::TestoMenu;  // background
    int tabIndex = -1;
    bool mano = false;     // hand cursor over it
    bool attivo = false;   // option button selected, or check box ticked, when built
    QString didascalia{};  // the label beside it that says what it is, for screen readers and the focus mark
    QString voce{};        // what a screen reader says for a picture that has no caption
};

// One row of a window's layout table.
struct Controllo {
    QString nome;
    Tipo tipo = Tipo::Etichetta;
    Rettangolo r;
    QString testo{};  // caption, or the picture's resource for Immagine
    Proprieta prop{};
};

// A label or picture that reports a click, for the icons and captions that act like buttons.
class EtichettaCliccabile : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    // What the label is to a screen reader: text or a picture, a picture that a click presses, or
    // a line drawn for the eye only.
    enum class Genere { Testo, Premibile, Decorazione };
    [[nodiscard]] Genere genere() const { return m_genere; }
    void impostaGenere(Genere genere) { m_genere = genere; }

    // Makes this label the caption of `controllo`; it draws the focus mark of an option button or
    // check box, whose own would fall on the caption that they hold out of sight.
    void didascaliaDi(QWidget* controllo);

    // What a click does, for the routes that are not the mouse (a screen reader's press action).
    void premi() { emit clic(); }

signals:
    void clic();

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;
    void mouseReleaseEvent(QMouseEvent* evento) override;
    void paintEvent(QPaintEvent* evento) override;

private:
    Genere m_genere = Genere::Testo;
};

// A push button that Enter and Return press too, as on the desktops that these windows follow.
class PulsanteComando : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent* evento) override;
};

// An option button whose arrow keys move the selection round the option buttons beside it, and
// whose circle is drawn as a curve, round at any scale.
class PulsanteOpzione : public QRadioButton {
    Q_OBJECT
public:
    using QRadioButton::QRadioButton;

    // The option buttons beside this one, itself included, from top to bottom.
    [[nodiscard]] QList<PulsanteOpzione*> gruppo() const;
    // True for the one option button of its group that Tab stops at: the selected one, or the
    // first when none is, as on the desktops that these windows follow.
    [[nodiscard]] bool sostaTab() const;

protected:
    void keyPressEvent(QKeyEvent* evento) override;
    void paintEvent(QPaintEvent* evento) override;
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
