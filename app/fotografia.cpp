// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the main window after an analysis of a file to a PNG, for the README:
//   varnel-fotografia OUTPUT.png FILE
#include "Registro.h"
#include "Varnel.h"

#include <QApplication>
#include <QFileDialog>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication applicazione(argc, argv);
    if (argc != 3) {
        qWarning("uso: varnel-fotografia OUTPUT.png FILE");
        return 2;
    }
    varnel::PreparaApplicazione();
    varnel::Registro registro;
    registro.avvia();
    const QString file = QString::fromLocal8Bit(argv[2]);
    QTimer::singleShot(0, [&] {
        if (auto* dialogo = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            dialogo->selectFile(file);
            static_cast<QDialog*>(dialogo)->accept();
        }
    });
    registro.varnel().Command1_Click();
    return registro.varnel().grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
