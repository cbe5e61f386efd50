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

namespace varnel {

namespace {

// The frame that the window manager put round the last window shown; before any, a guess.
QMargins s_cornice;

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
    colloca();
    show();
    // The window manager tells the frame's size only once the window is up: placed again if it
    // differs from the one assumed.
    QTimer::singleShot(100, this, [this, assunta = s_cornice] {
        if (const QWindow* finestra = windowHandle(); finestra && finestra->frameMargins() != assunta) {
            s_cornice = finestra->frameMargins();
            colloca();
        }
    });
}

void Finestra::colloca()
{
    if (s_cornice.isNull())
        s_cornice = {0, style()->pixelMetric(QStyle::PM_TitleBarHeight), 0, 0};
    const QWidget* inUso = QApplication::activeWindow();
    const QScreen* schermo = inUso && inUso != this ? inUso->screen() : QGuiApplication::screenAt(QCursor::pos());
    if (!schermo)
        schermo = QGuiApplication::primaryScreen();
    // A top-level window's position is that of its frame.
    move(AngoloCornice(schermo->availableGeometry(), size().grownBy(s_cornice)));
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
