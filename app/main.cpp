// SPDX-License-Identifier: GPL-3.0-or-later
#include "Registro.h"
#include "RigaComando.h"
#include "Varnel.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char* argv[])
{
    if (const auto uscita = varnel::RispostaInformativa({argv, static_cast<std::size_t>(argc)}))
        return *uscita;
    QApplication applicazione(argc, argv);  // takes Qt's own options away
    const auto file = varnel::FileDaRigaComando(varnel::ArgomentiDiSistema(argc, argv));
    if (!file)
        return varnel::UsoErrato();
    varnel::PreparaApplicazione();
    varnel::Registro registro;
    registro.avvia();
    // Once the window is shown, as if the file had been chosen in its dialog.
    if (!file->empty())
        QTimer::singleShot(0, &registro.varnel(), [&registro, &file] { registro.varnel().analizzaFile(*file); });
    return QApplication::exec();
}
