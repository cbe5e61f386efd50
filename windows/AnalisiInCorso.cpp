// SPDX-License-Identifier: GPL-3.0-or-later
// The analysis on its worker thread, while the user-interface thread waits in an event loop of its
// own and shows the progress.
#include "AnalisiInCorso.h"

#include <QApplication>
#include <QLabel>
#include <QLocale>
#include <QProgressDialog>
#include <QTimer>
#include <QWindow>

#include <thread>
#include <utility>

namespace varnel {

namespace {

// The progress dialog, modal to the window, shown only when the analysis lasts longer than half a
// second; the file's name as it is, never as markup.
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

// While an analysis runs, user input is dropped unless it is aimed at the progress dialog on
// screen: a key or a click meant for the window, before the dialog shows or after, reaches neither
// the window nor the dialog, then or later.
class SoloAvanzamento : public QObject {
public:
    explicit SoloAvanzamento(const QProgressDialog& dialogo)
        : m_dialogo(dialogo)
    {
        qApp->installEventFilter(this);
    }
    ~SoloAvanzamento() override { qApp->removeEventFilter(this); }
    SoloAvanzamento(const SoloAvanzamento&) = delete;
    SoloAvanzamento& operator=(const SoloAvanzamento&) = delete;

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override
    {
        return InputUtente(evento->type()) && !(m_dialogo.isVisible() && alDialogo(oggetto));
    }

private:
    // Input goes first to the native window, then to a widget; a shortcut to the object that owns it.
    bool alDialogo(const QObject* oggetto) const
    {
        for (; oggetto; oggetto = oggetto->parent()) {
            if (const auto* widget = qobject_cast<const QWidget*>(oggetto))
                return widget->window() == &m_dialogo;
            if (const auto* finestra = qobject_cast<const QWindow*>(oggetto))
                return finestra == m_dialogo.windowHandle();
        }
        return false;
    }

    const QProgressDialog& m_dialogo;
};

}  // namespace

Esito<Analisi> FinestraAnalisi::analizzaConAvanzamento(const QString& descrizione, Lettura lettura)
{
    auto lavoro = std::make_shared<Lavoro>();
    std::thread([lavoro, lettura = std::move(lettura)] {
        lavoro->esito.emplace(lettura(lavoro->avanzamento));
        lavoro->finito.store(true, std::memory_order_release);
    }).detach();

    QProgressDialog avanzamento(this);
    PreparaAvanzamento(avanzamento, descrizione);

    using Fine = Attesa::Fine;
    Attesa attesa;
    QTimer battito;
    connect(&battito, &QTimer::timeout, this, [&] {
        if (lavoro->finito.load(std::memory_order_acquire))
            attesa.termina(Fine::Finita);
        else if (avanzamento.wasCanceled())
            attesa.termina(Fine::Annullata);
        else if (avanzamento.isVisible())
            MostraAvanzamento(avanzamento, descrizione, lavoro->avanzamento);
    });
    connect(&avanzamento, &QProgressDialog::canceled, this, [&] { attesa.termina(Fine::Annullata); });
    battito.start(20);
    m_attesa = &attesa;
    const SoloAvanzamento filtro(avanzamento);
    const Fine fine = attesa.esegui();
    m_attesa = nullptr;
    if (fine == Fine::Finita)
        return std::move(*lavoro->esito);
    lavoro->avanzamento.annulla();
    std::erase_if(m_abbandonati, [](const auto& l) { return l->finito.load(std::memory_order_acquire); });
    m_abbandonati.push_back(std::move(lavoro));
    return Errore{Motivo::Annullata, {}};
}

}  // namespace varnel
