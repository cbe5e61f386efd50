#pragma once

#include "Aspetto.h"

#include <QPointer>
#include <QWidget>

namespace varnel {

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

    void closeEvent(QCloseEvent* evento) override;

private:
    Rettangolo m_areaClient;
    QPointer<QWidget> m_area;
};

}  // namespace varnel
