// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Aspetto.h"

#include <QPointer>
#include <QWidget>

namespace varnel {

// Where a window's frame of size `cornice` goes on the available area of a screen: centred, and
// when larger than the area, with its top-left corner (title bar and close button) on it.
[[nodiscard]] QPoint AngoloCornice(const QRect& disponibile, const QSize& cornice);

// Shows a window that the user may resize at the size `voluta`, or less where the available area of
// the screen in use is smaller, centred there by its frame as the laid-out windows open.
void ApriSulloSchermo(QWidget& finestra, QSize voluta);

// A top-level window of fixed size whose controls live only while it is open: opening builds
// them from the layout, closing destroys them. The object itself lasts for the whole run.
class Finestra : public QWidget {
    Q_OBJECT
public:
    // Shows the window, built afresh, centred on the screen; when it is open, brings it to the front.
    void apri();

protected:
    Finestra(const QString& nomeClasse, const QString& titolo, Rettangolo areaClient, Qt::WindowFlags pulsanti);

    // Builds the controls of the layout inside `area`, which covers the client area.
    virtual void costruisci(QWidget* area, double twipsPerPixel) = 0;
    // Drops every pointer to the controls, which are about to be destroyed.
    virtual void dimenticaControlli() {}

    void closeEvent(QCloseEvent* evento) override;
    bool focusNextPrevChild(bool avanti) override;

    // Held by a handler for as long as it runs: a close meanwhile hides the window at once, but its
    // controls, which the handler may still be using, are destroyed only once it has returned.
    class InUso {
    public:
        explicit InUso(Finestra& finestra);
        ~InUso();
        InUso(const InUso&) = delete;
        InUso& operator=(const InUso&) = delete;

    private:
        Finestra& m_finestra;
    };

    // True once the window has been closed under a handler that is still running.
    [[nodiscard]] bool chiusaInUso() const { return m_rilascioRimandato; }

private:
    void rilasciaControlli();

    Rettangolo m_areaClient;
    QPointer<QWidget> m_area;
    int m_inUso = 0;
    bool m_rilascioRimandato = false;
};

}  // namespace varnel
