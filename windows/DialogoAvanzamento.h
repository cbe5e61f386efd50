// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The wait for work on a worker thread, as the user sees it: a progress dialog that shows after
// half a second, and input dropped meanwhile.

#include "Avanzamento.h"
#include "Esito.h"

#include <QObject>
#include <QProgressDialog>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

namespace varnel {

// One piece of work on its worker. The worker shares only this record with the window, so that a
// worker that the system still holds can be given up: it never touches a widget.
template <class T>
struct Lavoro {
    Avanzamento avanzamento;
    std::optional<Esito<T>> esito;
    std::atomic<bool> finito{false};
};

// Starts `lavoro` on a worker thread of its own, which outlives the caller if it must.
template <class T>
[[nodiscard]] std::shared_ptr<Lavoro<T>> AvviaLavoro(std::function<Esito<T>(Avanzamento&)> lavoro)
{
    auto record = std::make_shared<Lavoro<T>>();
    std::thread([record, lavoro = std::move(lavoro)] {
        record->esito.emplace(lavoro(record->avanzamento));
        record->finito.store(true, std::memory_order_release);
    }).detach();
    return record;
}

// The progress dialog, modal to its window, shown only when the work lasts longer than half a
// second; `descrizione` shown as it is, never as markup.
void PreparaAvanzamento(QProgressDialog& dialogo, const QString& descrizione);
// How far the work has come, or a busy bar and the amount read when its end is not known.
void MostraAvanzamento(QProgressDialog& dialogo, const QString& descrizione, const Avanzamento& avanzamento);

// While it lives, user input is dropped unless it is aimed at the progress dialog on screen: a key
// or a click meant for a window, before the dialog shows or after, reaches neither the window nor
// the dialog, then or later.
class SoloAvanzamento : public QObject {
public:
    explicit SoloAvanzamento(const QProgressDialog& dialogo);
    ~SoloAvanzamento() override;
    SoloAvanzamento(const SoloAvanzamento&) = delete;
    SoloAvanzamento& operator=(const SoloAvanzamento&) = delete;

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    [[nodiscard]] bool alDialogo(const QObject* oggetto) const;

    const QProgressDialog& m_dialogo;
};

}  // namespace varnel
