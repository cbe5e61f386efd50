// SPDX-License-Identifier: GPL-3.0-or-later
// The deciphering window's commands and its statistics.
#include "Decifrazione.h"

#include "DialogoAvanzamento.h"
#include "SceltaFile.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QTimer>

#include <atomic>
#include <memory>
#include <optional>

namespace varnel {

namespace {

constexpr std::uint64_t SimboliAffidabili = 100;

QString MotivoSalvataggio(const Errore& errore)
{
    if (!errore.dettaglio.empty())
        return QString::fromStdString(errore.dettaglio);
    switch (errore.motivo) {
    case Motivo::NonTrovato: return QStringLiteral("il file analizzato non c'è più");
    case Motivo::FileModificato: return QStringLiteral("il file analizzato è cambiato dopo l'analisi");
    case Motivo::PermessoNegato: return QStringLiteral("permesso negato");
    default: return QStringLiteral("errore di lettura o di scrittura");
    }
}

}  // namespace

void Decifrazione::cambiaLingua()
{
    mostraClassifica();
    mostraStatistiche();
}

void Decifrazione::chiavePerFrequenza() { impostaChiave(ChiavePerFrequenza(m_dati.analisi.conteggi, lingua())); }

void Decifrazione::azzeraChiave() { impostaChiave({}); }

void Decifrazione::copiaChiave()
{
    // Two lines, the symbols and under each its letter ('-' for none): the key read downwards.
    QString simboli;
    QString lettere;
    const Chiave attuale = chiave();
    for (std::size_t k = 0; k < NumeroSlot; ++k) {
        simboli += simbolo(k);
        lettere += attuale[k] ? QChar(QLatin1Char(attuale[k])) : QChar(u'-');
    }
    QApplication::clipboard()->setText(simboli + u'\n' + lettere + u'\n');
}

void Decifrazione::avvisa(const QString& testo)
{
    QMessageBox avviso(QMessageBox::NoIcon, QStringLiteral("Varnel"), testo, QMessageBox::Ok, this);
    avviso.setTextFormat(Qt::PlainText);
    avviso.setWindowModality(Qt::ApplicationModal);
    avviso.exec();
}

template <class T>
Esito<T> Decifrazione::suLavoratore(const QString& testo, std::function<Esito<T>(Avanzamento&)> lavoro)
{
    const auto record = AvviaLavoro(std::move(lavoro));

    QProgressDialog dialogo(this);
    PreparaAvanzamento(dialogo, testo);
    QEventLoop ciclo;
    QTimer battito;
    connect(&battito, &QTimer::timeout, this, [&] {
        if (record->finito.load(std::memory_order_acquire) || dialogo.wasCanceled())
            ciclo.quit();
        else if (dialogo.isVisible())
            MostraAvanzamento(dialogo, testo, record->avanzamento);
    });
    connect(&dialogo, &QProgressDialog::canceled, &ciclo, &QEventLoop::quit);
    battito.start(20);
    {
        const SoloAvanzamento filtro(dialogo);
        ciclo.exec();
    }
    if (record->finito.load(std::memory_order_acquire))
        return std::move(*record->esito);
    record->avanzamento.annulla();
    return Errore{Motivo::Annullata, {}};
}

void Decifrazione::proponiChiave()
{
    if (m_occupato)
        return;
    m_occupato = true;
    const auto sequenza = m_sequenza;
    const auto conteggi = m_dati.analisi.conteggi;
    const Lingua scelta = lingua();
    const auto esito = suLavoratore<Chiave>(QStringLiteral("Ricerca della chiave in corso"),
                                            [sequenza, conteggi, scelta](Avanzamento& avanzamento) {
                                                return ProponiChiave(sequenza, conteggi, scelta, avanzamento);
                                            });
    m_occupato = false;
    if (esito.riuscito())
        impostaChiave(esito.valore());
}

void Decifrazione::completaChiave()
{
    if (m_occupato)
        return;
    m_occupato = true;
    const auto sequenza = m_sequenza;
    const auto conteggi = m_dati.analisi.conteggi;
    const Lingua scelta = lingua();
    const Chiave parziale = chiave();
    const auto esito = suLavoratore<Chiave>(QStringLiteral("Ricerca della chiave in corso"),
                                            [sequenza, conteggi, scelta, parziale](Avanzamento& avanzamento) {
                                                return CompletaChiave(sequenza, conteggi, scelta, parziale,
                                                                      avanzamento);
                                            });
    m_occupato = false;
    if (!esito.riuscito())
        return;
    impostaChiave(esito.valore());
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
    const bool appunti = m_dati.percorso.isEmpty();
    const QFileInfo analizzato(m_dati.percorso);
    const QString proposto = appunti ? QDir::home().filePath(QStringLiteral("appunti-decifrato.txt"))
                                     : analizzato.dir().filePath(analizzato.completeBaseName()
                                                                 + QStringLiteral("-decifrato.txt"));
    const QString destinazione = ScegliFileDaSalvare(*this, QStringLiteral("File di testo (*.txt)"), proposto);
    if (destinazione.isEmpty())
        return;
    if (!appunti && QFileInfo(destinazione).canonicalFilePath() == analizzato.canonicalFilePath()) {
        avvisa(QStringLiteral("Il testo decifrato non può sostituire il file analizzato: scegliere un altro nome."));
        return;
    }
    m_occupato = true;
    const auto uscita = PercorsoDiSistema(destinazione);
    const Sostituzione sostituzione(m_dati.criterio, chiave());
    const auto esito = suLavoratore<Salvato>(
        QStringLiteral("Salvataggio di \"%1\" in corso").arg(QFileInfo(destinazione).fileName()),
        [=, dati = m_dati](Avanzamento& avanzamento) {
            if (appunti)
                return SalvaDecifrato(Utf16(dati.testo), sostituzione, uscita, avanzamento);
            return SalvaDecifrato(PercorsoDiSistema(dati.percorso), dati.analisi.codifica, sostituzione, uscita,
                                  avanzamento);
        });
    m_occupato = false;
    if (!esito.riuscito() && esito.errore().motivo != Motivo::Annullata)
        avvisa(QStringLiteral("Impossibile salvare \"%1\": %2.")
                   .arg(QFileInfo(destinazione).fileName(), MotivoSalvataggio(esito.errore())));
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
    if (totale < SimboliAffidabili)
        righe << QStringLiteral("Meno di 100 simboli: le frequenze di un testo così breve non sono affidabili.");
    if (SostituzioneImprobabile(m_dati.analisi.conteggi, lingua()))
        righe << QStringLiteral("L'indice è troppo basso per una sola sostituzione dell'%1: forse più alfabeti "
                                "(cifrario polialfabetico), un testo casuale o un'altra lingua.")
                     .arg(nomeLingua);
    else if (totale >= 2 && indice >= (riferimento + IndiceCoincidenzaCasuale) / 2)
        righe << QStringLiteral("L'indice è vicino a quello della lingua: probabilmente una sola sostituzione "
                                "(cifrario monoalfabetico).");
    const Chiave attuale = chiave();
    // The slots are letters only when counted as letters: a shift of typed symbols means nothing.
    const auto affine = std::holds_alternative<ModoLettere>(m_dati.criterio)
                            ? RiconosciAffine(attuale, m_dati.analisi.conteggi)
                            : std::nullopt;
    if (affine && affine->moltiplicatore == 1)
        righe << QStringLiteral("Cifrario di Cesare, spostamento %1").arg(affine->spostamento);
    else if (affine)
        righe << QStringLiteral("Cifrario affine, moltiplicatore %1, spostamento %2")
                     .arg(affine->moltiplicatore)
                     .arg(affine->spostamento);
    const auto elenco = [&](const QString& titolo, const std::vector<Ngramma>& ngrammi) {
        righe << QString() << titolo;
        for (const auto& n : ngrammi)
            righe << QStringLiteral("  ") + sottoChiave(n, attuale);
        if (ngrammi.empty())
            righe << QStringLiteral("  nessuno");
    };
    const QString dove = QStringLiteral(" (nei primi %1 simboli del testo)")
                             .arg(locale.toString(static_cast<qulonglong>(SimboliRisolutore)));
    elenco(QStringLiteral("Bigrammi più frequenti") + dove + u':', m_bigrammi);
    elenco(QStringLiteral("Trigrammi più frequenti:"), m_trigrammi);
    elenco(QStringLiteral("Doppie:"), m_doppie);
    m_statistiche->setPlainText(righe.join(u'\n'));
}

}  // namespace varnel
