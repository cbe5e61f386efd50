// SPDX-License-Identifier: GPL-3.0-or-later
#include "Decifrazione.h"

#include "SceltaFile.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSyntaxHighlighter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace varnel {

namespace {

constexpr std::size_t CaratteriAnteprima = 20'000;

QString Lettera(std::size_t indice) { return QString(QChar(static_cast<char16_t>(u'a' + indice))); }

}  // namespace

// Marks the characters of the preview that the key replaced.
class Evidenziatore : public QSyntaxHighlighter {
public:
    using QSyntaxHighlighter::QSyntaxHighlighter;
    std::vector<bool> marcati;  // by position in the document

protected:
    void highlightBlock(const QString& testo) override
    {
        QTextCharFormat formato;
        formato.setBackground(QColor(255, 230, 140));
        formato.setFontWeight(QFont::Bold);
        const auto inizio = static_cast<std::size_t>(currentBlock().position());
        for (qsizetype i = 0; i < testo.size();) {
            qsizetype j = i;
            while (j < testo.size() && inizio + static_cast<std::size_t>(j) < marcati.size()
                   && marcati[inizio + static_cast<std::size_t>(j)])
                ++j;
            if (j > i)
                setFormat(static_cast<int>(i), static_cast<int>(j - i), formato);
            i = j + 1;
        }
    }
};

Decifrazione::Decifrazione()
{
    setObjectName(QStringLiteral("Decifrazione"));
    setWindowTitle(QStringLiteral("Decifrazione"));
    auto* colonne = new QHBoxLayout(this);
    auto* sinistra = new QWidget;
    auto* destra = new QWidget;
    colonne->addWidget(sinistra);
    colonne->addWidget(destra, 1);
    costruisciClassifica(sinistra);

    auto* pila = new QVBoxLayout(destra);
    pila->setContentsMargins(0, 0, 0, 0);
    auto* chiave = new QWidget;
    costruisciChiave(chiave);
    pila->addWidget(chiave);
    auto* pulsanti = new QWidget;
    costruisciPulsanti(pulsanti);
    pila->addWidget(pulsanti);

    auto* titoloAnteprima = new QLabel(
        QStringLiteral("&Testo con la chiave (le lettere sostituite sono evidenziate):"));
    m_anteprima = new QPlainTextEdit;
    m_anteprima->setObjectName(QStringLiteral("Anteprima"));
    m_anteprima->setReadOnly(true);
    m_anteprima->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_anteprima->setTabChangesFocus(true);
    m_anteprima->setAccessibleName(QStringLiteral("Testo con la chiave"));
    titoloAnteprima->setBuddy(m_anteprima);
    m_evidenziatore = new Evidenziatore(m_anteprima->document());
    pila->addWidget(titoloAnteprima);
    pila->addWidget(m_anteprima, 2);

    auto* titoloStatistiche = new QLabel(QStringLiteral("&Statistiche:"));
    m_statistiche = new QPlainTextEdit;
    m_statistiche->setObjectName(QStringLiteral("Statistiche"));
    m_statistiche->setReadOnly(true);
    m_statistiche->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_statistiche->setTabChangesFocus(true);
    m_statistiche->setAccessibleName(QStringLiteral("Statistiche"));
    titoloStatistiche->setBuddy(m_statistiche);
    pila->addWidget(titoloStatistiche);
    pila->addWidget(m_statistiche, 1);
    resize(1100, 760);
}

Decifrazione::~Decifrazione() = default;

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
    m_classifica = new QTableWidget(static_cast<int>(NumeroSlot), 5);
    m_classifica->setObjectName(QStringLiteral("Classifica"));
    m_classifica->setAccessibleName(QStringLiteral("Classifica dei simboli accanto alle lettere della lingua"));
    m_classifica->setHorizontalHeaderLabels({QStringLiteral("Simbolo"), QStringLiteral("Conteggio"),
                                             QStringLiteral("%"), QStringLiteral("Lettera"),
                                             QStringLiteral("% lingua")});
    m_classifica->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_classifica->setTabKeyNavigation(false);
    m_classifica->verticalHeader()->setVisible(false);
    m_classifica->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    titolo->setBuddy(m_classifica);
    pila->addWidget(titolo);
    pila->addWidget(m_classifica, 1);
    pannello->setMinimumWidth(360);
}

void Decifrazione::costruisciChiave(QWidget* pannello)
{
    auto* griglia = new QGridLayout(pannello);
    griglia->setContentsMargins(0, 0, 0, 0);
    auto* titolo = new QLabel(QStringLiteral("Chiave (simbolo cifrato → lettera in chiaro):"));
    griglia->addWidget(titolo, 0, 0, 1, 13);
    const auto* validatore = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[A-Za-z]?")), this);
    for (std::size_t k = 0; k < NumeroSlot; ++k) {
        const int riga = 1 + 2 * static_cast<int>(k / 13);
        const int colonna = static_cast<int>(k % 13);
        m_simboli[k] = new QLabel;
        m_simboli[k]->setAlignment(Qt::AlignCenter);
        m_simboli[k]->setTextFormat(Qt::PlainText);
        m_chiave[k] = new QLineEdit;
        m_chiave[k]->setObjectName(QStringLiteral("Chiave(%1)").arg(k + 1));
        m_chiave[k]->setMaxLength(1);
        m_chiave[k]->setValidator(validatore);
        m_chiave[k]->setAlignment(Qt::AlignCenter);
        m_chiave[k]->setMaximumWidth(48);
        m_simboli[k]->setBuddy(m_chiave[k]);
        connect(m_chiave[k], &QLineEdit::textChanged, this, [this, k](const QString& testo) {
            if (testo != testo.toLower())
                m_chiave[k]->setText(testo.toLower());  // comes back here with the lowercase letter
            else
                chiaveCambiata();
        });
        griglia->addWidget(m_simboli[k], riga, colonna);
        griglia->addWidget(m_chiave[k], riga + 1, colonna);
    }
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
    const auto percorso = PercorsoDiSistema(dati.percorso);
    if (dati.percorso.isEmpty()) {
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
    const QString nome = dati.percorso.isEmpty() ? QStringLiteral("testo degli appunti")
                                                 : QFileInfo(dati.percorso).fileName();
    setWindowTitle(QStringLiteral("Decifrazione - %1").arg(nome));
    mostraSimboli();
    mostraClassifica();
    impostaChiave({});
    show();
    raise();
    activateWindow();
}

Lingua Decifrazione::lingua() const { return m_lingua->currentIndex() == 1 ? Lingua::Inglese : Lingua::Italiano; }

Chiave Decifrazione::chiave() const
{
    Chiave chiave{};
    for (std::size_t k = 0; k < NumeroSlot; ++k) {
        const QString testo = m_chiave[k]->text();
        if (testo.size() == 1 && testo[0] >= u'a' && testo[0] <= u'z')
            chiave[k] = static_cast<char>(testo[0].unicode());
    }
    return chiave;
}

void Decifrazione::impostaChiave(const Chiave& chiave)
{
    m_caricaChiave = true;
    for (std::size_t k = 0; k < NumeroSlot; ++k)
        m_chiave[k]->setText(chiave[k] ? QString(QLatin1Char(chiave[k])) : QString());
    m_caricaChiave = false;
    chiaveCambiata();
}

void Decifrazione::chiaveCambiata()
{
    if (m_caricaChiave)
        return;
    marcaDoppioni();
    mostraAnteprima();
    mostraStatistiche();
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

void Decifrazione::marcaDoppioni()
{
    const Chiave attuale = chiave();
    for (std::size_t k = 0; k < NumeroSlot; ++k) {
        const bool doppio = attuale[k] != 0 && std::ranges::count(attuale, attuale[k]) > 1;
        if (m_chiave[k]->property("doppione").toBool() == doppio)
            continue;  // a style sheet costs a restyle: only where the mark changes
        m_chiave[k]->setProperty("doppione", doppio);
        m_chiave[k]->setStyleSheet(doppio ? QStringLiteral("QLineEdit { background: #ffb0b0; color: black; }")
                                          : QString());
        m_chiave[k]->setAccessibleDescription(
            doppio ? QStringLiteral("Attenzione: la lettera %1 è data anche a un altro simbolo")
                         .arg(QLatin1Char(attuale[k]))
                   : QString());
    }
}

void Decifrazione::mostraAnteprima()
{
    const Sostituzione sostituzione(m_dati.criterio, chiave());
    const std::size_t quanti = std::min(m_inizio.size(), CaratteriAnteprima);
    std::u32string sostituito(m_inizio.substr(0, quanti));
    std::vector<bool> marcati;  // by UTF-16 unit, as the editor counts
    marcati.reserve(quanti);
    for (char32_t& c : sostituito) {
        const char32_t s = sostituzione.sostituto(c);
        if (s)
            c = s;
        marcati.insert(marcati.end(), c > 0xFFFF ? 2 : 1, s != 0);
    }
    QString testo = QString::fromUcs4(sostituito.data(), static_cast<qsizetype>(sostituito.size()));
    // CR LF and a lone CR end a line as they do in the file; the editor keeps one line end.
    for (qsizetype i = testo.indexOf(u'\r'); i >= 0; i = testo.indexOf(u'\r', i)) {
        const bool crlf = i + 1 < testo.size() && testo[i + 1] == u'\n';
        testo.remove(i, crlf ? 1 : 0);
        if (!crlf)
            testo[i] = u'\n';
        if (crlf)
            marcati.erase(marcati.begin() + i);
    }
    m_evidenziatore->marcati = std::move(marcati);
    m_anteprima->setPlainText(testo);
}

}  // namespace varnel
