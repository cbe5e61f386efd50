// SPDX-License-Identifier: GPL-3.0-or-later
#include "DialogoAvanzamento.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QLocale>
#include <QWindow>

namespace varnel {

namespace {

// The events that a user's key, button, wheel, touch or pen makes.
bool InputUtente(QEvent::Type tipo)
{
    switch (tipo) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::NativeGesture:
    case QEvent::Gesture: return true;
    default: return false;
    }
}

}  // namespace

void PreparaAvanzamento(QProgressDialog& dialogo, const QString& descrizione)
{
    auto* testo = new QLabel;
    testo->setTextFormat(Qt::PlainText);
    dialogo.setLabel(testo);
    dialogo.setLabelText(descrizione + QStringLiteral("..."));
    dialogo.setCancelButtonText(QStringLiteral("Annulla"));
    dialogo.setRange(0, 1000);
    dialogo.setWindowTitle(QStringLiteral("Varnel"));
    dialogo.setWindowModality(Qt::WindowModal);
    dialogo.setMinimumDuration(500);
    dialogo.setAutoClose(false);
    dialogo.setAutoReset(false);
    dialogo.setValue(0);
}

void MostraAvanzamento(QProgressDialog& dialogo, const QString& descrizione, const Avanzamento& avanzamento)
{
    const std::uint64_t letti = avanzamento.letti();
    const std::uint64_t dimensione = avanzamento.dimensione();
    if (dimensione > 0 && letti <= dimensione) {
        dialogo.setValue(static_cast<int>(letti * 1000 / dimensione));
    } else {
        dialogo.setMaximum(0);  // no known end: a busy bar and the amount read so far
        dialogo.setLabelText(QStringLiteral("%1: %2 letti...")
                                 .arg(descrizione, QLocale().formattedDataSize(static_cast<qint64>(letti))));
    }
}

SoloAvanzamento::SoloAvanzamento(const QProgressDialog& dialogo)
    : m_dialogo(dialogo)
{
    qApp->installEventFilter(this);
}

SoloAvanzamento::~SoloAvanzamento() { qApp->removeEventFilter(this); }

bool SoloAvanzamento::eventFilter(QObject* oggetto, QEvent* evento)
{
    return InputUtente(evento->type()) && !(m_dialogo.isVisible() && alDialogo(oggetto));
}

// Input goes first to the native window, then to a widget; a shortcut to the object that owns it.
bool SoloAvanzamento::alDialogo(const QObject* oggetto) const
{
    for (; oggetto; oggetto = oggetto->parent()) {
        if (const auto* widget = qobject_cast<const QWidget*>(oggetto))
            return widget->window() == &m_dialogo;
        if (const auto* finestra = qobject_cast<const QWindow*>(oggetto))
            return finestra == m_dialogo.windowHandle();
    }
    return false;
}

}  // namespace varnel
