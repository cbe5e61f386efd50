// SPDX-License-Identifier: GPL-3.0-or-later
#include "Controlli.h"

#include <QCheckBox>
#include <QIcon>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>

#include <algorithm>
#include <limits>
#include <map>

namespace varnel {

namespace {

bool Finestrato(Tipo tipo) { return tipo != Tipo::Etichetta && tipo != Tipo::Immagine && tipo != Tipo::Linea; }

// Option buttons and check boxes stand on the window's colour; the style paints the area around
// their indicator with the button colour.
void ColoraIndicatore(QWidget* widget, Colore sfondo)
{
    Colora(widget, Colore::TestoPulsante, sfondo);
    // The window's own colour shows through, so that at a fractional scale the edge pixel that
    // a neighbouring caption shares with the control is not painted over.
    widget->setAutoFillBackground(false);
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

// The hand over the icons, its hot spot on the fingertip at any scale: the cursor is made from
// device pixels, so the spot is scaled with the picture.
QCursor Mano(qreal scala)
{
    const QPixmap mano = QIcon(QStringLiteral(":/img/mano.png")).pixmap(QSize(32, 32), scala);
    const qreal r = mano.devicePixelRatio();
    return QCursor(mano, qRound(12 * r), qRound(1 * r));
}

QWidget* Crea(const Controllo& c, QWidget* area)
{
    switch (c.tipo) {
    case Tipo::Etichetta:
    case Tipo::Linea:
    case Tipo::Immagine: {
        auto* etichetta = new EtichettaCliccabile(area);
        if (c.tipo == Tipo::Immagine) {
            // From the source that matches the screen's scale (name@2x.png beside name.png).
            const QIcon icona(c.testo);
            etichetta->setPixmap(icona.pixmap(icona.availableSizes().value(0), area->devicePixelRatioF()));
        } else {
            etichetta->setTextFormat(Qt::PlainText);  // a typed symbol such as < stays itself
            etichetta->setText(c.testo);
            etichetta->setWordWrap(true);
            etichetta->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            Colora(etichetta, c.prop.colore, c.prop.sfondo);
        }
        if (c.prop.mano) {
            etichetta->setCursor(Mano(area->devicePixelRatioF()));
            etichetta->impostaGenere(EtichettaCliccabile::Genere::Premibile);
        }
        if (c.tipo == Tipo::Linea)
            etichetta->impostaGenere(EtichettaCliccabile::Genere::Decorazione);
        if (!c.prop.voce.isEmpty())
            etichetta->setAccessibleName(c.prop.voce);
        return etichetta;
    }
    case Tipo::Pulsante: return new PulsanteComando(c.testo, area);
    case Tipo::Opzione: {
        auto* opzione = new PulsanteOpzione(c.testo, area);
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
        casella->setTabChangesFocus(true);  // Tab moves on, as everywhere else in the window
        casella->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        ColoraTesto(casella, c.prop.colore, c.prop.sfondo);
        return casella;
    }
    }
    return nullptr;
}

}  // namespace

void EtichettaCliccabile::didascaliaDi(QWidget* controllo)
{
    setBuddy(controllo);
    controllo->setAccessibleName(text());
    if (qobject_cast<QAbstractButton*>(controllo))
        controllo->installEventFilter(this);
}

bool EtichettaCliccabile::eventFilter(QObject* oggetto, QEvent* evento)
{
    if (evento->type() == QEvent::FocusIn || evento->type() == QEvent::FocusOut)
        update();
    return QLabel::eventFilter(oggetto, evento);
}

void EtichettaCliccabile::mouseReleaseEvent(QMouseEvent* evento)
{
    QLabel::mouseReleaseEvent(evento);
    if (evento->button() == Qt::LeftButton && rect().contains(evento->position().toPoint()))
        emit clic();
}

void EtichettaCliccabile::paintEvent(QPaintEvent* evento)
{
    QLabel::paintEvent(evento);
    if (!qobject_cast<QAbstractButton*>(buddy()) || !buddy()->hasFocus())
        return;
    QStyleOptionFocusRect opzione;
    opzione.initFrom(this);
    opzione.rect = fontMetrics()
                       .boundingRect(contentsRect(), static_cast<int>(alignment()) | Qt::TextWordWrap, text())
                       .adjusted(-1, 0, 1, 1)
                   & rect();
    opzione.backgroundColor = palette().color(QPalette::Window);
    QPainter pittore(this);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &opzione, &pittore, this);
}

void PulsanteComando::keyPressEvent(QKeyEvent* evento)
{
    if ((evento->key() == Qt::Key_Return || evento->key() == Qt::Key_Enter) && evento->modifiers() == Qt::NoModifier) {
        click();
        return;
    }
    QPushButton::keyPressEvent(evento);
}

QList<PulsanteOpzione*> PulsanteOpzione::gruppo() const
{
    QList<PulsanteOpzione*> opzioni = parentWidget()->findChildren<PulsanteOpzione*>(Qt::FindDirectChildrenOnly);
    std::ranges::sort(opzioni, {}, [](const QWidget* w) { return w->y(); });
    return opzioni;
}

bool PulsanteOpzione::sostaTab() const
{
    const QList<PulsanteOpzione*> opzioni = gruppo();
    const auto selezionata = std::ranges::find_if(opzioni, &QAbstractButton::isChecked);
    return (selezionata != opzioni.end() ? *selezionata : opzioni.front()) == this;
}

void PulsanteOpzione::keyPressEvent(QKeyEvent* evento)
{
    int passo = 0;
    switch (evento->key()) {
    case Qt::Key_Down:
    case Qt::Key_Right: passo = 1; break;
    case Qt::Key_Up:
    case Qt::Key_Left: passo = -1; break;
    default: QRadioButton::keyPressEvent(evento); return;
    }
    // The selection goes round the group.
    const QList<PulsanteOpzione*> opzioni = gruppo();
    const auto n = opzioni.size();
    PulsanteOpzione* prossima = opzioni[(opzioni.indexOf(this) + passo + n) % n];
    prossima->setFocus(passo > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    prossima->click();
}

void PulsanteOpzione::paintEvent(QPaintEvent*)
{
    // The sunken circle of the classic look: a dark and a black arc above, a light and a white one
    // below, the base inside and the dot when selected. The caption stays out of sight.
    QStyleOptionButton opzione;
    initStyleOption(&opzione);
    const QRectF cerchio = QRectF(style()->subElementRect(QStyle::SE_RadioButtonIndicator, &opzione, this))
                               .adjusted(0.5, 0.5, -0.5, -0.5);
    QPainter pittore(this);
    pittore.setRenderHint(QPainter::Antialiasing);
    const QPalette& p = palette();
    const auto anello = [&](qreal rientro, const QColor& sopra, const QColor& sotto) {
        const QRectF r = cerchio.adjusted(rientro, rientro, -rientro, -rientro);
        pittore.setPen(QPen(sopra, 1));
        pittore.drawArc(r, 45 * 16, 180 * 16);
        pittore.setPen(QPen(sotto, 1));
        pittore.drawArc(r, 225 * 16, 180 * 16);
    };
    pittore.setPen(Qt::NoPen);
    pittore.setBrush(p.color(isEnabled() ? QPalette::Base : QPalette::Button));
    pittore.drawEllipse(cerchio.adjusted(1, 1, -1, -1));
    anello(0, p.color(QPalette::Dark), p.color(QPalette::Light));
    anello(1, p.color(QPalette::Shadow), p.color(QPalette::Midlight));
    if (isChecked()) {
        const qreal lato = cerchio.width() / 3;
        pittore.setPen(Qt::NoPen);
        pittore.setBrush(p.color(QPalette::Text));
        pittore.drawEllipse(QRectF(cerchio.center() - QPointF(lato / 2, lato / 2), QSizeF(lato, lato)));
    }
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
        widget->setFont(FontDi(it->prop.font));
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
    for (const auto& c : tabella) {
        if (!c.prop.didascalia.isEmpty())
            Prendi<EtichettaCliccabile>(controlli, c.prop.didascalia)->didascaliaDi(controlli.value(c.nome));
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
