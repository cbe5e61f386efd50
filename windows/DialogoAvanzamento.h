// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The wait for work on a worker thread, as the user sees it: a progress dialog that shows after
// half a second, and input dropped meanwhile.

#include "Avanzamento.h"
#include "Esito.h"

#include <QEventLoop>
#include <QObject>
#include <QString>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

class QProgressDialog;
class QWidget;

namespace varnel {

class Attesa;

// What the window and the worker share of a piece of work, whatever its result: how far it has
// come, whether it has ended, and the wait to tell when it ends.
class StatoLavoro {
public:
    Avanzamento avanzamento;

    [[nodiscard]] bool finito() const { return m_finito.load(std::memory_order_acquire); }
    // The worker's last act: the work has ended, and the wait, if one is still there, hears it on
    // its own thread.
    void concludi();
    // The wait to tell (nullptr: none any more); true when the work has already ended.
    bool attesaDa(Attesa* attesa);

private:
    std::mutex m_mutex;  // the wait is told, or forgotten, never both at once
    Attesa* m_attesa = nullptr;
    std::atomic<bool> m_finito{false};
};

// One piece of work on its worker. The worker shares only this record with the window, so that a
// worker that the system still holds can be given up: it never touches a widget.
template <class T>
struct Lavoro : StatoLavoro {
    std::optional<Esito<T>> esito;
};

// Starts `lavoro` on a worker thread of its own, which outlives the caller if it must.
template <class T>
[[nodiscard]] std::shared_ptr<Lavoro<T>> AvviaLavoro(std::function<Esito<T>(Avanzamento&)> lavoro)
{
    auto record = std::make_shared<Lavoro<T>>();
    std::thread([record, lavoro = std::move(lavoro)] {
        record->esito.emplace(lavoro(record->avanzamento));
        record->concludi();
    }).detach();
    return record;
}

// When the wait shows itself; neither ends it.
struct TempiAttesa {
    std::chrono::milliseconds dialogo{500};     // how long the work runs before the dialog shows
    std::chrono::milliseconds avanzamento{20};  // how often the dialog shows the progress
};

// The user-interface thread's wait for a worker, in an event loop of its own that stops the moment
// the worker ends, when the user cancels, when the window gives the work up, or when the program
// quits. The progress dialog is made only when the work outlasts `TempiAttesa::dialogo`, and only then
// does a timer bring it up to date. While the wait lives, user input is dropped unless it is aimed
// at the dialog on screen: a key or a click meant for a window, before the dialog shows or after,
// reaches neither the window nor the dialog, then or later.
class Attesa : public QObject {
public:
    // `descrizione` is shown in the dialog as it is, never as markup.
    Attesa(QWidget& finestra, QString descrizione, TempiAttesa tempi = {});
    ~Attesa() override;
    Attesa(const Attesa&) = delete;
    Attesa& operator=(const Attesa&) = delete;

    // The work's result once it has ended; Annullata, the work told to stop, when it was given up.
    template <class T>
    [[nodiscard]] Esito<T> attendi(Lavoro<T>& lavoro)
    {
        if (aspetta(lavoro))
            return std::move(*lavoro.esito);
        lavoro.avanzamento.annulla();
        return Errore{Motivo::Annullata, {}};
    }
    // Ends the wait, giving the work up (the window closes).
    void abbandona() { termina(false); }

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    // True when the work has ended, false when it was given up.
    bool aspetta(StatoLavoro& lavoro);
    void termina(bool finito);
    void mostraDialogo();
    void mostraAvanzamento();
    // From the worker, after its notice is posted: makes sure the waiting thread reads it.
    void sveglia() const;
    [[nodiscard]] bool alDialogo(const QObject* oggetto) const;

    friend class StatoLavoro;  // concludi() ends the wait

    QWidget& m_finestra;
    const QString m_descrizione;
    const TempiAttesa m_tempi;
    StatoLavoro* m_lavoro = nullptr;
    QEventLoop m_ciclo;
    QTimer m_ritardo;  // until the dialog shows
    QTimer m_battito;  // the progress, once it shows
    std::unique_ptr<QProgressDialog> m_dialogo;
    bool m_terminata = false;
    bool m_finito = false;
    [[maybe_unused]] std::uint32_t m_filo = 0;  // the waiting thread, as Windows numbers it
};

}  // namespace varnel
