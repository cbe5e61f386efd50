// SPDX-License-Identifier: GPL-3.0-or-later
#include "Finestra.h"

#include "Accessibilita.h"
#include "Controlli.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <functional>

namespace varnel {

namespace {

// The frame that the window manager put round the last window shown; before any, a guess.
QMargins s_cornice;

// The screen of the window in use, or else of the mouse.
QPointer<QScreen> SchermoInUso(const QWidget& finestra)
{
    const QWidget* inUso = QApplication::activeWindow();
    QScreen* schermo = inUso && inUso != &finestra ? inUso->screen() : QGuiApplication::screenAt(QCursor::pos());
    return schermo ? schermo : QGuiApplication::primaryScreen();
}

QMargins Cornice(const QWidget& finestra)
{
    if (s_cornice.isNull())
        s_cornice = {0, finestra.style()->pixelMetric(QStyle::PM_TitleBarHeight), 0, 0};
    return s_cornice;
}

// Places the window by its frame on the available area of the screen in use and shows it; once the
// window manager has told the frame's real size, places it again if that differs from the one
// assumed. Some platforms know it at once, others only a moment later.
void CollocaEMostra(QWidget& finestra,
                    const std::function<void(const QRect& disponibile, const QMargins& cornice)>& colloca)
{
    const QPointer<QScreen> schermo = SchermoInUso(finestra);
    colloca(schermo->availableGeometry(), Cornice(finestra));
    finestra.show();
    const auto correggi = [&finestra, colloca, schermo, assunta = s_cornice] {
        if (const QWindow* w = finestra.windowHandle(); schermo && w && w->frameMargins() != assunta) {
            s_cornice = w->frameMargins();
            colloca(schermo->availableGeometry(), s_cornice);
        }
    };
    if (const QWindow* w = finestra.windowHandle(); w && !w->frameMargins().isNull())
        correggi();
    else
        QTimer::singleShot(100, &finestra, correggi);
}

}  // namespace

QPoint AngoloCornice(const QRect& disponibile, const QSize& cornice)
{
    const auto asse = [](int inizio, int spazio, int lato) { return inizio + std::max(0, (spazio - lato) / 2); };
    return {asse(disponibile.x(), disponibile.width(), cornice.width()),
            asse(disponibile.y(), disponibile.height(), cornice.height())};
}

Finestra::Finestra(const QString& nomeClasse, const QString& titolo, Rettangolo areaClient, Qt::WindowFlags pulsanti)
    : QWidget(nullptr,
              Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint | pulsanti)
    , m_areaClient(areaClient)
{
    InstallaAccessibilita();
    setObjectName(nomeClasse);
    setWindowTitle(titolo + IndirizzoWeb);
    Colora(this, Colore::Verde, Colore::TestoMenu);
}

void Finestra::apri()
{
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    const double tpp = TwipsPerPixel(this);
    const QRect client = InPixel(m_areaClient, tpp);
    m_area = new QWidget(this);
    m_area->setGeometry(client);
    costruisci(m_area, tpp);
    m_area->show();
    setFixedSize(client.size());
    // A top-level window's position is that of its frame.
    CollocaEMostra(*this, [this](const QRect& disponibile, const QMargins& cornice) {
        move(AngoloCornice(disponibile, size().grownBy(cornice)));
    });
}

void ApriSulloSchermo(QWidget& finestra, QSize voluta)
{
    CollocaEMostra(finestra, [&finestra, voluta](const QRect& disponibile, const QMargins& cornice) {
        finestra.resize(voluta.boundedTo(disponibile.size().shrunkBy(cornice)).expandedTo(finestra.minimumSizeHint()));
        finestra.move(AngoloCornice(disponibile, finestra.size().grownBy(cornice)));
    });
}

void Finestra::closeEvent(QCloseEvent* evento)
{
    evento->accept();
    if (m_inUso > 0)
        m_rilascioRimandato = true;
    else
        rilasciaControlli();
}

bool Finestra::focusNextPrevChild(bool avanti)
{
    // Tab stops at every control of the chain in turn, and at one option button of each group, the
    // selected one: the arrows move within the group. The chain goes round.
    QWidget* corrente = focusWidget();
    if (!corrente)
        return QWidget::focusNextPrevChild(avanti);
    const auto* daOpzione = qobject_cast<PulsanteOpzione*>(corrente);
    for (QWidget* w = corrente;;) {
        w = avanti ? w->nextInFocusChain() : w->previousInFocusChain();
        if (w == corrente)
            return false;
        if (w->window() != this || w->focusProxy() || !w->isVisible() || !w->isEnabled())
            continue;
        const auto* opzione = qobject_cast<PulsanteOpzione*>(w);
        const bool sosta = opzione ? opzione->sostaTab()
                                         && !(daOpzione && daOpzione->parentWidget() == opzione->parentWidget())
                                   : (w->focusPolicy() & Qt::TabFocus) != 0;
        if (sosta) {
            w->setFocus(avanti ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
}

void Finestra::rilasciaControlli()
{
    m_rilascioRimandato = false;
    dimenticaControlli();
    // The click that closed the window may still be running inside one of its controls, so they
    // are detached now and deleted once it has returned.
    if (m_area) {
        m_area->hide();
        m_area->setParent(nullptr);
        m_area->deleteLater();
    }
}

Finestra::InUso::InUso(Finestra& finestra)
    : m_finestra(finestra)
{
    ++m_finestra.m_inUso;
}

Finestra::InUso::~InUso()
{
    if (--m_finestra.m_inUso == 0 && m_finestra.m_rilascioRimandato)
        m_finestra.rilasciaControlli();
}

}  // namespace varnel
