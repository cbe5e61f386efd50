// SPDX-License-Identifier: GPL-3.0-or-later
#include "Decifrazione.h"

#include "CasellaChiave.h"
#include "Finestra.h"
#include "SceltaFile.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QSyntaxHighlighter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace varnel {

namespace {

constexpr std::size_t CaratteriAnteprima = 20'000;

QString Lettera(std::size_t indice) { return QString(QChar(static_cast<char16_t>(u'a' + indice))); }

}  // namespace

// Marks the characters of the preview that the key replaced, and those of a letter it gives twice
// (underlined, not by colour alone).
class Evidenziatore : public QSyntaxHighlighter {
public:
    using QSyntaxHighlighter::QSyntaxHighlighter;
    std::vector<Segno> segni;  // by position in the document

protected:
    void highlightBlock(const QString& testo) override
    {
        QTextCharFormat sostituito;
        sostituito.setBackground(QColor(255, 230, 140));
        sostituito.setFontWeight(QFont::Bold);
        QTextCharFormat doppione = sostituito;
        doppione.setBackground(QColor(255, 176, 176));
        doppione.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        doppione.setUnderlineColor(QColor(160, 0, 0));
        const auto inizio = static_cast<std::size_t>(currentBlock().position());
        const auto segno = [&](qsizetype i) {
            const auto p = inizio + static_cast<std::size_t>(i);
            return p < segni.size() ? segni[p] : Segno::Cifrato;
        };
        for (qsizetype i = 0; i < testo.size();) {
            qsizetype j = i;
            while (j < testo.size() && segno(j) == segno(i))
                ++j;
            if (segno(i) != Segno::Cifrato)
                setFormat(static_cast<int>(i), static_cast<int>(j - i),
                          segno(i) == Segno::Doppione ? doppione : sostituito);
            i = j;
        }
    }
};

Decifrazione::Decifrazione()
{
    setObjectName(QStringLiteral("Decifrazione"));
    setWindowTitle(QStringLiteral("Decifrazione"));
    auto* pila = new QVBoxLayout(this);
    pila->setMenuBar(costruisciMenu());
    // Splitters, so that the panes fit a small screen and the user may give room where it is wanted.
    auto* colonne = new QSplitter(Qt::Horizontal);
    colonne->setObjectName(QStringLiteral("Colonne"));
    colonne->setChildrenCollapsible(false);
    pila->addWidget(colonne);
    auto* sinistra = new QWidget;
    costruisciClassifica(sinistra);
    colonne->addWidget(sinistra);

    auto* destra = new QWidget;
    auto* colonna = new QVBoxLayout(destra);
    colonna->setContentsMargins(0, 0, 0, 0);
    auto* chiave = new QWidget;
    costruisciChiave(chiave);
    colonna->addWidget(chiave);
    auto* pulsanti = new QWidget;
    costruisciPulsanti(pulsanti);
    colonna->addWidget(pulsanti);
    m_riquadri = new QSplitter(Qt::Vertical);
    m_riquadri->setObjectName(QStringLiteral("Riquadri"));
    m_riquadri->setChildrenCollapsible(false);
    costruisciTesti(m_riquadri);
    colonna->addWidget(m_riquadri, 1);
    colonne->addWidget(destra);
    colonne->setStretchFactor(1, 1);
}

Decifrazione::~Decifrazione() = default;

void Decifrazione::costruisciTesti(QSplitter* riquadri)
{
    const auto riquadro = [&](QPlainTextEdit* testo, const QString& nome, const QString& titolo) {
        testo->setObjectName(nome);
        testo->setReadOnly(true);
        testo->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        testo->setTabChangesFocus(true);
        auto* pannello = new QWidget;
        auto* pila = new QVBoxLayout(pannello);
        pila->setContentsMargins(0, 0, 0, 0);
        auto* etichetta = new QLabel(titolo);
        etichetta->setWordWrap(true);
        etichetta->setBuddy(testo);
        pila->addWidget(etichetta);
        pila->addWidget(testo, 1);
        riquadri->addWidget(pannello);
    };
    m_anteprima = new QPlainTextEdit;
    m_anteprima->setAccessibleName(QStringLiteral("Testo con la chiave"));
    riquadro(m_anteprima, QStringLiteral("Anteprima"),
             QStringLiteral("&Testo con la chiave (minuscolo evidenziato: in chiaro; MAIUSCOLO: ancora cifrato):"));
    m_evidenziatore = new Evidenziatore(m_anteprima->document());
    m_statistiche = new QPlainTextEdit;
    m_statistiche->setAccessibleName(QStringLiteral("Statistiche"));
    riquadro(m_statistiche, QStringLiteral("Statistiche"), QStringLiteral("&Statistiche:"));
    riquadri->setStretchFactor(0, 1);
}

void Decifrazione::costruisciClassifica(QWidget* pannello)
{
    auto* pila = new QVBoxLayout(pannello);
    pila->setContentsMargins(0, 0, 0, 0);
    auto* riga = new QHBoxLayout;
    auto* titoloLingua = new QLabel(QStringLiteral("&Lingua:"));
    m_lingua = new QComboBox;
    m_lingua->setObjectName(QStringLiteral("Lingua"));
    m_lingua->addItems({QStringLiteral("Italiano"), QStringLiteral("Inglese")});
    m_lingua->setAccessibleName(QStringLiteral("Lingua"));
    titoloLingua->setBuddy(m_lingua);
    riga->addWidget(titoloLingua);
    riga->addWidget(m_lingua, 1);
    pila->addLayout(riga);
    connect(m_lingua, &QComboBox::currentIndexChanged, this, &Decifrazione::cambiaLingua);

    auto* titolo = new QLabel(QStringLiteral("&Classifica (dal simbolo più frequente):"));
    titolo->setWordWrap(true);  // on a narrow screen the column gives way, not the window
    m_classifica = new QTableWidget(static_cast<int>(NumeroSlot), 5);
    m_classifica->setObjectName(QStringLiteral("Classifica"));
    m_classifica->setAccessibleName(QStringLiteral("Classifica dei simboli accanto alle lettere della lingua"));
    m_classifica->setHorizontalHeaderLabels({QStringLiteral("Simbolo"), QStringLiteral("Conteggio"),
                                             QStringLiteral("%"), QStringLiteral("Lettera"),
                                             QStringLiteral("% lingua")});
    m_classifica->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_classifica->setTabKeyNavigation(false);
    m_classifica->verticalHeader()->setVisible(false);
    m_classifica->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);  // all 26 on a laptop
    m_classifica->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    titolo->setBuddy(m_classifica);
    pila->addWidget(titolo);
    pila->addWidget(m_classifica, 1);
    // As wide as its columns when there is room; narrower, it scrolls.
    m_classifica->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
}

void Decifrazione::costruisciPulsanti(QWidget* pannello)
{
    auto* riga = new QHBoxLayout(pannello);
    riga->setContentsMargins(0, 0, 0, 0);
    const auto pulsante = [&](const QString& nome, const QString& testo, void (Decifrazione::*slot)()) {
        auto* p = new QPushButton(testo);
        p->setObjectName(nome);
        p->setAccessibleName(QString(testo).remove(QLatin1Char('&')).remove(QStringLiteral("...")));
        p->setAutoDefault(true);
        connect(p, &QPushButton::clicked, this, slot);
        riga->addWidget(p);
        return p;
    };
    m_perFrequenza = pulsante(QStringLiteral("ChiavePerFrequenza"), QStringLiteral("Chiave per &frequenza"),
                              &Decifrazione::chiavePerFrequenza);
    m_proponi = pulsante(QStringLiteral("ProponiChiave"), QStringLiteral("&Proponi chiave"),
                         &Decifrazione::proponiChiave);
    m_completa = pulsante(QStringLiteral("CompletaChiave"), QStringLiteral("Comp&leta chiave"),
                          &Decifrazione::completaChiave);
    m_azzera = pulsante(QStringLiteral("AzzeraChiave"), QStringLiteral("&Azzera"), &Decifrazione::azzeraChiave);
    m_copia = pulsante(QStringLiteral("CopiaChiave"), QStringLiteral("C&opia chiave"), &Decifrazione::copiaChiave);
    m_salva = pulsante(QStringLiteral("SalvaTesto"), QStringLiteral("Sal&va testo decifrato..."),
                       &Decifrazione::salvaTesto);
    riga->addStretch(1);
}

void Decifrazione::mostraAnalisi(const UltimaAnalisi& dati)
{
    m_dati = dati;
    m_inizio.clear();
    // A pipe or a device gave its text to the analysis and has none left to give.
    std::error_code errore;
    const auto& percorso = dati.percorso;
    if (dati.percorso.empty()) {
        m_inizio = LeggiInizio(Utf16(dati.testo), dati.criterio, CaratteriAnteprima, SimboliRisolutore);
    } else if (std::filesystem::is_regular_file(percorso, errore)) {
        auto inizio = LeggiInizio(percorso, dati.analisi.codifica, dati.criterio, CaratteriAnteprima,
                                  SimboliRisolutore);
        if (inizio.riuscito())
            m_inizio = std::move(inizio).valore();
    }
    m_sequenza = SequenzaSimboli(m_inizio, dati.criterio);
    m_bigrammi = NgrammiFrequenti(m_sequenza, 2, NgrammiMostrati);
    m_trigrammi = NgrammiFrequenti(m_sequenza, 3, NgrammiMostrati);
    m_doppie = Doppie(m_sequenza);
    const QString nome = dati.percorso.empty() ? QStringLiteral("testo degli appunti")
                                               : PercorsoMostrato(dati.percorso.filename());
    setWindowTitle(QStringLiteral("Decifrazione - %1").arg(nome));
    mostraSimboli();
    mostraClassifica();
    m_storia.ricomincia();
    mostraChiave();
    if (!isVisible()) {
        ApriSulloSchermo(*this, {1100, 760});
        dividiTesti();
    }
    raise();
    activateWindow();
}

Lingua Decifrazione::lingua() const { return m_lingua->currentIndex() == 1 ? Lingua::Inglese : Lingua::Italiano; }

void Decifrazione::chiaveCambiata()
{
    marcaDoppioni();
    mostraLibere();
    mostraAnteprima();
    mostraStatistiche();
    mostraStoria();
}

QString Decifrazione::simbolo(std::size_t slot) const
{
    if (const auto* simboli = std::get_if<Simboli>(&m_dati.criterio)) {
        const char32_t c = (*simboli)[slot];
        if (c == U' ')
            return QStringLiteral("␣");
        if (c < 0x20 || (c >= 0x7F && c < 0xA0))
            return QStringLiteral("U+%1").arg(static_cast<uint>(c), 4, 16, QLatin1Char('0')).toUpper();
        return QString::fromUcs4(&c, 1);
    }
    const QString lettera = Lettera(slot);
    return std::get<ModoLettere>(m_dati.criterio) == ModoLettere::Maiuscole ? lettera.toUpper() : lettera;
}

void Decifrazione::mostraSimboli()
{
    for (std::size_t k = 0; k < NumeroSlot; ++k) {
        m_simboli[k]->setText(simbolo(k) + QStringLiteral(" →"));
        m_chiave[k]->setAccessibleName(QStringLiteral("Lettera in chiaro per il simbolo %1").arg(simbolo(k)));
    }
}

void Decifrazione::mostraClassifica()
{
    const auto& conteggi = m_dati.analisi.conteggi;
    std::uint64_t totale = 0;
    for (const auto n : conteggi)
        totale += n;
    const auto ordine = Classifica(conteggi);
    const auto lettere = ClassificaLettere(lingua());
    const auto& frequenze = FrequenzeLettere(lingua());
    const QLocale locale;
    const auto cella = [&](int riga, int colonna, const QString& testo) {
        auto* voce = new QTableWidgetItem(testo);
        voce->setTextAlignment(colonna == 0 || colonna == 3 ? Qt::AlignCenter : Qt::AlignRight | Qt::AlignVCenter);
        m_classifica->setItem(riga, colonna, voce);
    };
    for (std::size_t k = 0; k < NumeroSlot; ++k) {
        const int riga = static_cast<int>(k);
        const auto n = conteggi[ordine[k]];
        const double quota = totale ? 100.0 * static_cast<double>(n) / static_cast<double>(totale) : 0.0;
        cella(riga, 0, simbolo(ordine[k]));
        cella(riga, 1, locale.toString(static_cast<qulonglong>(n)));
        cella(riga, 2, locale.toString(quota, 'f', 1));
        cella(riga, 3, Lettera(lettere[k]));
        cella(riga, 4, locale.toString(frequenze[lettere[k]], 'f', 1));
    }
}

void Decifrazione::mostraAnteprima()
{
    const std::size_t quanti = std::min(m_inizio.size(), CaratteriAnteprima);
    auto segnato = ConvenzioneClassica(std::u32string_view(m_inizio).substr(0, quanti), m_dati.criterio, chiave());
    std::vector<Segno> segni;  // by UTF-16 unit, as the editor counts
    segni.reserve(quanti);
    for (std::size_t i = 0; i < segnato.testo.size(); ++i)
        segni.insert(segni.end(), segnato.testo[i] > 0xFFFF ? 2 : 1, segnato.segni[i]);
    QString testo = QString::fromUcs4(segnato.testo.data(), static_cast<qsizetype>(segnato.testo.size()));
    // CR LF and a lone CR end a line as they do in the file; the editor keeps one line end.
    for (qsizetype i = testo.indexOf(u'\r'); i >= 0; i = testo.indexOf(u'\r', i)) {
        const bool crlf = i + 1 < testo.size() && testo[i + 1] == u'\n';
        testo.remove(i, crlf ? 1 : 0);
        if (!crlf)
            testo[i] = u'\n';
        if (crlf)
            segni.erase(segni.begin() + i);
    }
    m_evidenziatore->segni = std::move(segni);
    m_anteprima->setPlainText(testo);
}

void Decifrazione::dividiTesti()
{
    // The statistics' lines whole where there is room, the preview the rest, and never less than
    // two fifths: the text is what the work is about.
    const int righe = m_statistiche->document()->blockCount() + 1;
    const int statistiche = righe * m_statistiche->fontMetrics().lineSpacing() + 2 * m_statistiche->frameWidth()
                            + 2 * static_cast<int>(m_statistiche->document()->documentMargin())
                            + m_riquadri->widget(1)->height() - m_statistiche->height();
    const int tutto = m_riquadri->height() - m_riquadri->handleWidth();
    const int spazio = std::min(statistiche, tutto * 3 / 5);
    m_riquadri->setSizes({tutto - spazio, spazio});
}

}  // namespace varnel
