// SPDX-License-Identifier: GPL-3.0-or-later
#include "DialogoAvanzamento.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QLocale>
#include <QProgressDialog>
#include <QWindow>

#include <utility>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

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

// The dialog, modal to its window, with `descrizione` shown as it is, never as markup.
void PreparaDialogo(QProgressDialog& dialogo, const QString& descrizione)
{
    auto* testo = new QLabel;
    testo->setTextFormat(Qt::PlainText);
    dialogo.setLabel(testo);
    dialogo.setLabelText(descrizione + QStringLiteral("..."));
    dialogo.setCancelButtonText(QStringLiteral("Annulla"));
    dialogo.setRange(0, 1000);
    dialogo.setWindowTitle(QStringLiteral("Varnel"));
    dialogo.setWindowModality(Qt::WindowModal);
    dialogo.setAutoClose(false);
    dialogo.setAutoReset(false);
}

}  // namespace

void StatoLavoro::concludi()
{
    const std::lock_guard blocco(m_mutex);
    m_finito.store(true, std::memory_order_release);
    // Posted, and dropped by Qt if the wait is gone before it arrives; the lock keeps the wait
    // from going while it is posted.
    if (m_attesa) {
        QMetaObject::invokeMethod(
            m_attesa, [attesa = m_attesa] { attesa->termina(true); }, Qt::QueuedConnection);
        m_attesa->sveglia();
    }
}

bool StatoLavoro::attesaDa(Attesa* attesa)
{
    const std::lock_guard blocco(m_mutex);
    m_attesa = attesa;
    return finito();
}

Attesa::Attesa(QWidget& finestra, QString descrizione, TempiAttesa tempi)
    : m_finestra(finestra)
    , m_descrizione(std::move(descrizione))
    , m_tempi(tempi)
{
    m_ritardo.setSingleShot(true);
    connect(&m_ritardo, &QTimer::timeout, this, &Attesa::mostraDialogo);
    connect(&m_battito, &QTimer::timeout, this, &Attesa::mostraAvanzamento);
    qApp->installEventFilter(this);
#ifdef Q_OS_WIN
    m_filo = ::GetCurrentThreadId();
#endif
}

Attesa::~Attesa() { qApp->removeEventFilter(this); }

bool Attesa::aspetta(StatoLavoro& lavoro)
{
    m_lavoro = &lavoro;
    m_finito = lavoro.attesaDa(this);
    if (!m_finito) {
        m_ritardo.start(m_tempi.dialogo);
        m_ciclo.exec();  // the program's end ends it too, the work not finished
    }
    lavoro.attesaDa(nullptr);
    m_ritardo.stop();
    m_battito.stop();
    m_lavoro = nullptr;
    return m_finito;
}

// Qt's Windows dispatcher sends posted events only when its loop comes round to them, and under
// Wine a wait with no timer running has been seen to sit on the worker's notice until another
// message came. A message in the thread's own queue brings the loop round; elsewhere the notice
// itself wakes the loop.
void Attesa::sveglia() const
{
#ifdef Q_OS_WIN
    ::PostThreadMessageW(m_filo, WM_NULL, 0, 0);
#endif
}

// The first end counts: a cancel and the worker's end can arrive together.
void Attesa::termina(bool finito)
{
    if (!m_ciclo.isRunning() || m_terminata)
        return;
    m_terminata = true;
    m_finito = finito;
    m_ciclo.quit();
}

void Attesa::mostraDialogo()
{
    m_dialogo = std::make_unique<QProgressDialog>(&m_finestra);
    PreparaDialogo(*m_dialogo, m_descrizione);
    connect(m_dialogo.get(), &QProgressDialog::canceled, this, [this] { termina(false); });
    mostraAvanzamento();
    m_dialogo->show();
    m_battito.start(m_tempi.avanzamento);
}

// How far the work has come, or a busy bar and the amount read when its end is not known.
void Attesa::mostraAvanzamento()
{
    const std::uint64_t letti = m_lavoro->avanzamento.letti();
    const std::uint64_t dimensione = m_lavoro->avanzamento.dimensione();
    if (dimensione > 0 && letti <= dimensione) {
        m_dialogo->setValue(static_cast<int>(letti * 1000 / dimensione));
    } else {
        m_dialogo->setMaximum(0);  // no known end: a busy bar and the amount read so far
        m_dialogo->setLabelText(QStringLiteral("%1: %2 letti...")
                                    .arg(m_descrizione, QLocale().formattedDataSize(static_cast<qint64>(letti))));
    }
}

bool Attesa::eventFilter(QObject* oggetto, QEvent* evento)
{
    return InputUtente(evento->type()) && !(m_dialogo && m_dialogo->isVisible() && alDialogo(oggetto));
}

// Input goes first to the native window, then to a widget; a shortcut to the object that owns it.
bool Attesa::alDialogo(const QObject* oggetto) const
{
    for (; oggetto; oggetto = oggetto->parent()) {
        if (const auto* widget = qobject_cast<const QWidget*>(oggetto))
            return widget->window() == m_dialogo.get();
        if (const auto* finestra = qobject_cast<const QWindow*>(oggetto))
            return finestra == m_dialogo->windowHandle();
    }
    return false;
}

}  // namespace varnel
