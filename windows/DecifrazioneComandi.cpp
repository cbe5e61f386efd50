// SPDX-License-Identifier: GPL-3.0-or-later
// The deciphering window's commands and its statistics.
#include "Decifrazione.h"

#include "CasellaChiave.h"
#include "DialogoAvanzamento.h"
#include "Salvataggio.h"
#include "SceltaFile.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPlainTextEdit>

#include <algorithm>
#include <memory>
#include <optional>

namespace varnel {

namespace {

// Cells side by side, a tab apart, with the editor's tab stops past the widest cell: columns that
// show whole and copy as a table.
QStringList InColonne(std::initializer_list<QStringList> colonne, QPlainTextEdit& testo)
{
    int larghezza = 0;
    qsizetype quante = 0;
    for (const auto& celle : colonne) {
        quante = std::max(quante, celle.size());
        for (const auto& cella : celle)
            larghezza = std::max(larghezza, testo.fontMetrics().horizontalAdvance(cella));
    }
    QStringList righe;
    for (qsizetype i = 0; i < quante; ++i) {
        QStringList riga;
        for (const auto& celle : colonne)
            riga << celle.value(i);
        righe << riga.join(u'\t');
    }
    testo.setTabStopDistance(larghezza + testo.fontMetrics().horizontalAdvance(QStringLiteral("MMM")));
    return righe;
}

}  // namespace

void Decifrazione::cambiaLingua()
{
    mostraClassifica();
    mostraStatistiche();
}

void Decifrazione::chiavePerFrequenza()
{
    impostaChiave(ChiavePerFrequenza(m_dati.analisi.conteggi, lingua()), Modifica::PerFrequenza);
}

void Decifrazione::azzeraChiave() { impostaChiave({}, Modifica::Azzerata); }

void Decifrazione::copiaChiave()
{
    // As a key file holds it, so that a paste into a key box, or a file, gives it back.
    QApplication::clipboard()->setText(QString::fromStdString(ScriviChiave(chiave(), m_dati.criterio)));
}

void Decifrazione::avvisa(const QString& testo) { Avvisa(*this, testo); }

template <class T>
Esito<T> Decifrazione::suLavoratore(const QString& testo, std::function<Esito<T>(Avanzamento&)> lavoro)
{
    const auto record = AvviaLavoro(std::move(lavoro));
    Attesa attesa(*this, testo);
    return attesa.attendi(*record);
}

std::optional<Chiave> Decifrazione::cercaChiave(const Chiave& tenute)
{
    if (m_occupato)
        return std::nullopt;
    m_occupato = true;
    const bool daCompletare = std::any_of(tenute.begin(), tenute.end(), [](char c) { return c != 0; });
    const auto esito = suLavoratore<Chiave>(QStringLiteral("Ricerca della chiave in corso"),
                                            [sequenza = m_sequenza, conteggi = m_dati.analisi.conteggi,
                                             scelta = lingua(), tenute, daCompletare](Avanzamento& avanzamento) {
                                                if (daCompletare)
                                                    return CompletaChiave(sequenza, conteggi, scelta, tenute,
                                                                          avanzamento);
                                                return ProponiChiave(sequenza, conteggi, scelta, avanzamento);
                                            });
    m_occupato = false;
    if (!esito.riuscito())
        return std::nullopt;
    return esito.valore();
}

void Decifrazione::proponiChiave()
{
    if (const auto trovata = cercaChiave({}))
        impostaChiave(*trovata, Modifica::Proposta);
}

void Decifrazione::completaChiave()
{
    const Chiave parziale = chiave();
    const auto trovata = cercaChiave(parziale);
    if (!trovata)
        return;
    impostaChiave(*trovata, Modifica::Proposta);
    // The letters the student typed stand out, in bold, as the ones the search kept.
    for (std::size_t k = 0; k < NumeroSlot; ++k) {
        const bool tenuta = parziale[k] != 0;
        QFont carattere = m_chiave[k]->font();
        carattere.setBold(tenuta);
        m_chiave[k]->setFont(carattere);
        m_chiave[k]->setToolTip(tenuta ? QStringLiteral("Lettera scritta a mano: Completa chiave la mantiene")
                                       : QString());
    }
}

void Decifrazione::salvaTesto()
{
    if (m_occupato)
        return;
    const bool appunti = m_dati.percorso.empty();
    const QFileInfo analizzato(PercorsoMostrato(m_dati.percorso));
    const QString proposto = appunti ? QDir::home().filePath(QStringLiteral("appunti-decifrato.txt"))
                                     : analizzato.dir().filePath(analizzato.completeBaseName()
                                                                 + QStringLiteral("-decifrato.txt"));
    const QString destinazione = ScegliFileDaSalvare(*this, QStringLiteral("File di testo (*.txt)"), proposto);
    if (destinazione.isEmpty())
        return;
    m_occupato = true;
    const auto uscita = PercorsoDiSistema(destinazione);
    const Sostituzione sostituzione(m_dati.criterio, chiave());
    const auto esito = suLavoratore<Scritto>(
        QStringLiteral("Salvataggio di \"%1\" in corso").arg(QFileInfo(destinazione).fileName()),
        [=, dati = m_dati](Avanzamento& avanzamento) {
            if (appunti)
                return SalvaDecifrato(Utf16(dati.testo), sostituzione, uscita, avanzamento);
            return SalvaDecifrato(dati.percorso, dati.impronta, dati.analisi.codifica, sostituzione, uscita,
                                  avanzamento);
        });
    m_occupato = false;
    if (!esito.riuscito() && esito.errore().motivo != Motivo::Annullata)
        avvisa(MessaggioScrittura(destinazione, esito.errore()));
}

QString Decifrazione::sottoChiave(const Ngramma& ngramma, const Chiave& attuale) const
{
    QString cifrato;
    QString chiaro;
    for (const auto s : ngramma.slot) {
        cifrato += simbolo(s);
        chiaro += attuale[s] ? QChar(QLatin1Char(attuale[s])) : QChar(u'·');
    }
    return QStringLiteral("%1 → %2  (%3)")
        .arg(cifrato, chiaro, QLocale().toString(static_cast<qulonglong>(ngramma.conteggio)));
}

void Decifrazione::mostraStatistiche()
{
    const QLocale locale;
    std::uint64_t totale = 0;
    for (const auto n : m_dati.analisi.conteggi)
        totale += n;
    const double indice = indiceCoincidenza();
    const double riferimento = IndiceCoincidenzaLingua(lingua());
    const QString nomeLingua = lingua() == Lingua::Italiano ? QStringLiteral("italiano") : QStringLiteral("inglese");
    QStringList righe;
    righe << QStringLiteral("Simboli contati: %1").arg(locale.toString(static_cast<qulonglong>(totale)));
    righe << QStringLiteral("Indice di coincidenza: %1 (%2: %3; testo casuale: %4)")
                 .arg(locale.toString(indice, 'f', 4), nomeLingua, locale.toString(riferimento, 'f', 4),
                      locale.toString(IndiceCoincidenzaCasuale, 'f', 4));
    const Chiave& attuale = chiave();
    const Riconosciuto riconosciuto = Riconosci(attuale, m_dati.analisi.conteggi, m_dati.criterio, lingua());
    if (riconosciuto.breve)
        righe << QStringLiteral("Meno di 100 simboli: le frequenze di un testo così breve non sono affidabili.");
    if (riconosciuto.sostituzione == Verdetto::Improbabile)
        righe << QStringLiteral("L'indice è troppo basso per una sola sostituzione dell'%1: forse più alfabeti "
                                "(cifrario polialfabetico), un testo casuale o un'altra lingua.")
                     .arg(nomeLingua);
    else if (riconosciuto.sostituzione == Verdetto::Probabile)
        righe << QStringLiteral("L'indice è vicino a quello della lingua: probabilmente una sola sostituzione "
                                "(cifrario monoalfabetico).");
    if (const auto& affine = riconosciuto.affine; affine && affine->moltiplicatore == 1)
        righe << QStringLiteral("Cifrario di Cesare, spostamento %1").arg(affine->spostamento);
    else if (affine)
        righe << QStringLiteral("Cifrario affine, moltiplicatore %1, spostamento %2")
                     .arg(affine->moltiplicatore)
                     .arg(affine->spostamento);
    const auto colonna = [&](const QString& titolo, const std::vector<Ngramma>& ngrammi) {
        QStringList celle{ngrammi.size() > NgrammiMostrati
                              ? QStringLiteral("%1 (%2 di %3):").arg(titolo).arg(NgrammiMostrati).arg(ngrammi.size())
                              : titolo + u':'};
        for (std::size_t i = 0; i < std::min(ngrammi.size(), NgrammiMostrati); ++i)
            celle << sottoChiave(ngrammi[i], attuale);
        if (ngrammi.empty())
            celle << QStringLiteral("nessuno");
        return celle;
    };
    righe << QStringLiteral("Più frequenti nei primi %1 simboli del testo:")
                 .arg(locale.toString(static_cast<qulonglong>(SimboliRisolutore)));
    righe << InColonne({colonna(QStringLiteral("Bigrammi"), m_bigrammi),
                        colonna(QStringLiteral("Trigrammi"), m_trigrammi), colonna(QStringLiteral("Doppie"), m_doppie)},
                       *m_statistiche);
    m_statistiche->setPlainText(righe.join(u'\n'));
}

}  // namespace varnel
