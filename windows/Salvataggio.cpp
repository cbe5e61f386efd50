// SPDX-License-Identifier: GPL-3.0-or-later
#include "Salvataggio.h"

#include "SceltaFile.h"

#include <QDir>
#include <QMessageBox>

namespace varnel {

void Avvisa(QWidget& finestra, const QString& testo)
{
    QMessageBox avviso(QMessageBox::NoIcon, QStringLiteral("Varnel"), testo, QMessageBox::Ok, &finestra);
    avviso.setTextFormat(Qt::PlainText);  // a file named <b>x is shown as it is named
    avviso.setWindowModality(Qt::ApplicationModal);
    avviso.exec();
}

namespace {

QString Spiegazione(const Errore& errore)
{
    switch (errore.motivo) {
    case Motivo::SpazioEsaurito: return QStringLiteral("spazio esaurito sul disco");
    case Motivo::PermessoNegato: return QStringLiteral("permesso negato");
    case Motivo::SolaLettura: return QStringLiteral("il file è di sola lettura");
    case Motivo::CartellaMancante: return QStringLiteral("la cartella non esiste più");
    case Motivo::Cartella: return QStringLiteral("è una cartella, non un file");
    case Motivo::AnalizzatoMancante: return QStringLiteral("il file analizzato non esiste più");
    case Motivo::AnalizzatoCambiato:
        return QStringLiteral("il file analizzato è cambiato dopo l'analisi: analizzarlo di nuovo");
    case Motivo::StessoFile:
        return QStringLiteral("il testo decifrato non può sostituire il file analizzato: scegliere un altro nome");
    default: break;
    }
#ifdef Q_OS_WIN
    const QString dettaglio = QString::fromUtf8(errore.dettaglio.c_str());  // the core gives UTF-8 there
#else
    const QString dettaglio = QString::fromLocal8Bit(errore.dettaglio.c_str());  // strerror, in the locale's encoding
#endif
    return dettaglio.isEmpty() ? QStringLiteral("errore di scrittura") : dettaglio;
}

}  // namespace

QString MessaggioScrittura(const QString& percorso, const Errore& errore)
{
    return QStringLiteral("Impossibile salvare il file \"%1\": %2.")
        .arg(QDir::toNativeSeparators(percorso), Spiegazione(errore));
}

bool SalvaFile(QWidget& finestra, const QString& percorso, const Contenuto& contenuto)
{
    const auto esito = ScriviFile(PercorsoDiSistema(percorso), contenuto);
    if (!esito.riuscito() && esito.errore().motivo != Motivo::Annullata)
        Avvisa(finestra, MessaggioScrittura(percorso, esito.errore()));
    return esito.riuscito();
}

bool SalvaFile(QWidget& finestra, const QString& percorso, std::string_view contenuto)
{
    return SalvaFile(finestra, percorso, [contenuto](Uscita& uscita) { return uscita.scrivi(contenuto); });
}

}  // namespace varnel
