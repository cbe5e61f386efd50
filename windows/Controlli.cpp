#include "Controlli.h"

#include <QCheckBox>
#include <QIcon>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <limits>
#include <map>

namespace varnel {

namespace {

bool Finestrato(Tipo tipo)
{
    return tipo != Tipo::Etichetta && tipo != Tipo::Immagine && tipo != Tipo::Linea;
}

// Option buttons and check boxes stand on the window's colour; the style paints the area around
// their indicator with the button colour.
void ColoraIndicatore(QWidget* widget, Colore sfondo)
{
    Colora(widget, Colore::TestoPulsante, sfondo);
    QPalette tavolozza = widget->palette();
    tavolozza.setColor(QPalette::Button, ColoreDi(sfondo));
    widget->setPalette(tavolozza);
}

// Text boxes draw their text on the base colour.
void ColoraTesto(QWidget* widget, Colore testo, Colore sfondo)
{
    QPalette tavolozza = widget->palette();
    tavolozza.setColor(QPalette::Base, ColoreDi(sfondo));
    tavolozza.setColor(QPalette::Text, ColoreDi(testo));
    widget->setPalette(tavolozza);
}

QWidget* Crea(const Controllo& c, QWidget* area)
{
    switch (c.tipo) {
    case Tipo::Etichetta:
    case Tipo::Linea:
    case Tipo::Immagine: {
        auto* etichetta = new EtichettaCliccabile(area);
        if (c.tipo == Tipo::Immagine) {
            const QIcon icona(c.testo);
            etichetta->setPixmap(icona.pixmap(icona.availableSizes().value(0)));
        } else {
            etichetta->setTextFormat(Qt::PlainText);  // a typed symbol such as < stays itself
            etichetta->setText(c.testo);
            etichetta->setWordWrap(true);
            etichetta->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            Colora(etichetta, c.prop.colore, c.prop.sfondo);
        }
        if (c.prop.mano)
            etichetta->setCursor(QCursor(QIcon(QStringLiteral(":/img/mano.png")).pixmap(32, 32), 12, 1));
        return etichetta;
    }
    case Tipo::Pulsante:
        return new QPushButton(c.testo, area);
    case Tipo::Opzione: {
        auto* opzione = new QRadioButton(c.testo, area);
        opzione->setChecked(c.prop.attivo);
        ColoraIndicatore(opzione, c.prop.sfondo);
        return opzione;
    }
    case Tipo::Casella: {
        auto* casella = new QCheckBox(c.testo, area);
        casella->setChecked(c.prop.attivo);
        ColoraIndicatore(casella, c.prop.sfondo);
        return casella;
    }
    case Tipo::RigaTesto: {
        auto* riga = new QLineEdit(c.testo, area);
        riga->setMaxLength(std::numeric_limits<int>::max());
        ColoraTesto(riga, c.prop.colore, c.prop.sfondo);
        return riga;
    }
    case Tipo::CasellaTesto: {
        auto* casella = new QPlainTextEdit(c.testo, area);
        casella->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        casella->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        casella->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        ColoraTesto(casella, c.prop.colore, c.prop.sfondo);
        return casella;
    }
    }
    return nullptr;
}

}  // namespace

void EtichettaCliccabile::mouseReleaseEvent(QMouseEvent* evento)
{
    QLabel::mouseReleaseEvent(evento);
    if (evento->button() == Qt::LeftButton && rect().contains(evento->position().toPoint()))
        emit clic();
}

void Colora(QWidget* widget, Colore testo, Colore sfondo)
{
    QPalette tavolozza = widget->palette();
    tavolozza.setColor(QPalette::Window, ColoreDi(sfondo));
    tavolozza.setColor(QPalette::WindowText, ColoreDi(testo));
    widget->setPalette(tavolozza);
    widget->setAutoFillBackground(true);
}

ControlliPerNome CostruisciControlli(std::span<const Controllo> tabella, QWidget* area, double twipsPerPixel)
{
    ControlliPerNome controlli;
    // Later siblings are drawn in front, so the back of the table is built first.
    for (auto it = tabella.rbegin(); it != tabella.rend(); ++it) {
        QWidget* widget = Crea(*it, area);
        widget->setObjectName(it->nome);
        widget->setFont(FontDi(it->prop.carattere));
        QRect geometria = InPixel(it->r, twipsPerPixel);
        if (it->tipo == Tipo::Linea)
            geometria.setHeight(1);  // lines are one pixel wide at any resolution
        widget->setGeometry(geometria);
        controlli.insert(it->nome, widget);
    }
    for (auto it = tabella.rbegin(); it != tabella.rend(); ++it) {
        if (Finestrato(it->tipo))
            controlli.value(it->nome)->raise();
    }
    std::map<int, QWidget*> perTab;
    for (const auto& c : tabella) {
        if (c.prop.tabIndex >= 0)
            perTab.emplace(c.prop.tabIndex, controlli.value(c.nome));
    }
    QWidget* precedente = nullptr;
    for (const auto& [indice, widget] : perTab) {
        if (precedente)
            QWidget::setTabOrder(precedente, widget);
        precedente = widget;
    }
    return controlli;
}

}  // namespace varnel
