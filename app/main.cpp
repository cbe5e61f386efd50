// SPDX-License-Identifier: GPL-3.0-or-later
#include "Registro.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication applicazione(argc, argv);
    varnel::PreparaApplicazione();
    varnel::Registro registro;
    registro.avvia();
    return QApplication::exec();
}
