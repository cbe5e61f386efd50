// SPDX-License-Identifier: GPL-3.0-or-later
#include "SchedaPdf.h"

#include "Lingue.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace varnel {

namespace {

// The page is drawn in points: 72 to the inch.
constexpr int Risoluzione = 72;
constexpr double Margine = 15;  // millimetres on every side
constexpr double PuntiTestoCifrato = 15;
constexpr double SpaziaturaLettere = 3.5;  // points between the letters of the ciphertext, room to write under each
constexpr double AltezzaCella = 20;

QFont Carattere(double punti, bool grassetto = false, bool fisso = false)
{
    QFont font;
    font.setFamilies(fisso ? QStringList{QStringLiteral("Liberation Mono"), QStringLiteral("Courier New")}
                           : QStringList{QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setStyleHint(fisso ? QFont::Monospace : QFont::SansSerif);
    font.setPointSizeF(punti);
    font.setBold(grassetto);
    return font;
}

QString Lettera(char c) { return QString(QLatin1Char(c)); }

// Draws down the pages, starting a new one where the next piece does not fit.
class Impaginazione {
public:
    explicit Impaginazione(QPdfWriter& scrittore)
        : m_scrittore(scrittore)
        , m_pittore(&scrittore)
        , m_larghezza(scrittore.width())
        , m_altezza(scrittore.height())
    {
    }

    void nuovaPagina()
    {
        m_scrittore.newPage();
        m_y = 0;
    }
    void spazio(double altezza)
    {
        if (m_y > 0 && m_y + altezza > m_altezza)
            nuovaPagina();
    }
    void paragrafo(const QString& testo, const QFont& font, double dopo = 6)
    {
        m_pittore.setFont(font);
        m_pittore.setPen(Qt::black);
        const QRectF riquadro = m_pittore.boundingRect(QRectF(0, 0, m_larghezza, m_altezza), Qt::TextWordWrap, testo);
        spazio(riquadro.height());
        m_pittore.drawText(QRectF(0, m_y, m_larghezza, riquadro.height()), Qt::TextWordWrap, testo);
        m_y += riquadro.height() + dopo;
    }
    // A table of 26 columns after a column of captions: one row per list, empty cells left to fill.
    void tabella(const std::vector<std::pair<QString, QStringList>>& righe)
    {
        const double didascalia = 72;
        const double cella = (m_larghezza - didascalia) / static_cast<double>(NumeroSlot);
        spazio(AltezzaCella * static_cast<double>(righe.size()) + 10);
        m_pittore.setPen(QPen(Qt::black, 0.6));
        for (const auto& [titolo, celle] : righe) {
            m_pittore.setFont(Carattere(8));
            m_pittore.drawText(QRectF(0, m_y, didascalia - 4, AltezzaCella), Qt::AlignRight | Qt::AlignVCenter, titolo);
            // A letter large, a number as small as fits.
            const bool numeri = std::ranges::any_of(celle, [](const QString& c) { return c.size() > 1; });
            m_pittore.setFont(Carattere(numeri ? 7 : 11, !numeri));
            for (std::size_t k = 0; k < NumeroSlot; ++k) {
                const QRectF r(didascalia + cella * static_cast<double>(k), m_y, cella, AltezzaCella);
                m_pittore.drawRect(r);
                if (k < static_cast<std::size_t>(celle.size()))
                    m_pittore.drawText(r, Qt::AlignCenter, celle[static_cast<qsizetype>(k)]);
            }
            m_y += AltezzaCella;
        }
        m_y += 10;
    }
    // The text a line at a time, each letter in a column of its own; under each line the
    // solution's letters, or a guide to write them on.
    void testo(const TestoCifrato& testo, bool soluzione)
    {
        const QFont cifrato = Carattere(PuntiTestoCifrato, false, true);
        const QFont chiaro = Carattere(PuntiTestoCifrato, true, true);
        const QFontMetricsF metrica(cifrato);
        const double passo = metrica.horizontalAdvance(QLatin1Char('M')) + SpaziaturaLettere;
        const double riga = metrica.height();
        const auto colonne = static_cast<std::size_t>(std::max(1.0, std::floor(m_larghezza / passo)));
        for (const Riga& r : Righe(testo.cifrato, colonne)) {
            if (r.lunghezza == 0) {
                m_y += riga;  // a paragraph's end: nothing to write under
                continue;
            }
            spazio(2.4 * riga);
            for (std::size_t i = 0; i < r.lunghezza; ++i) {
                const char32_t c = testo.cifrato[r.inizio + i];
                const double x = passo * static_cast<double>(i);
                m_pittore.setFont(cifrato);
                m_pittore.setPen(Qt::black);
                m_pittore.drawText(QPointF(x, m_y + metrica.ascent()), QString::fromUcs4(&c, 1));
                if (c < U'A' || c > U'Z')
                    continue;  // left in the clear
                if (soluzione) {
                    const char32_t p = testo.chiaro[r.inizio + i];
                    m_pittore.setFont(chiaro);
                    m_pittore.setPen(QColor(0, 70, 160));
                    m_pittore.drawText(QPointF(x, m_y + riga + metrica.ascent()), QString::fromUcs4(&p, 1));
                } else {
                    m_pittore.setPen(QPen(QColor(150, 150, 150), 0.5));
                    const double base = m_y + 2.1 * riga;
                    m_pittore.drawLine(QPointF(x, base), QPointF(x + passo - SpaziaturaLettere, base));
                }
            }
            m_y += 2.4 * riga;
        }
        m_y += 6;
    }

private:
    QPdfWriter& m_scrittore;
    QPainter m_pittore;
    double m_larghezza;
    double m_altezza;
    double m_y = 0;
};

QStringList Lettere(char prima)
{
    QStringList lettere;
    for (std::size_t k = 0; k < NumeroSlot; ++k)
        lettere << Lettera(static_cast<char>(prima + static_cast<char>(k)));
    return lettere;
}

QStringList Percentuali(std::span<const double, NumeroSlot> percentuali, std::span<const std::size_t> ordine)
{
    const QLocale italiano(QLocale::Italian, QLocale::Italy);
    QStringList celle;
    for (const std::size_t k : ordine)
        celle << italiano.toString(percentuali[k], 'f', 1);
    return celle;
}

void Frequenze(Impaginazione& pagine, const Scheda& scheda, std::vector<std::pair<QString, QStringList>>& chiave)
{
    const Conteggi conteggi = ContaMaiuscole(scheda.testo.cifrato);
    const double totale = static_cast<double>(std::accumulate(conteggi.begin(), conteggi.end(), std::uint64_t{0}));
    std::array<double, NumeroSlot> nelTesto{};
    for (std::size_t k = 0; k < NumeroSlot; ++k)
        nelTesto[k] = totale > 0 ? 100.0 * static_cast<double>(conteggi[k]) / totale : 0.0;
    std::array<std::size_t, NumeroSlot> ordine{};
    std::iota(ordine.begin(), ordine.end(), std::size_t{0});
    chiave.emplace_back(QStringLiteral("% nel testo"), Percentuali(nelTesto, ordine));
    pagine.tabella(chiave);
    pagine.paragrafo(QStringLiteral("Frequenze delle lettere in italiano (%), dalla più frequente:"), Carattere(10));
    const auto lettere = ClassificaLettere(Lingua::Italiano);
    QStringList nomi;
    for (const std::size_t k : lettere)
        nomi << Lettera(static_cast<char>('a' + k));
    pagine.tabella({{QStringLiteral("Lettera"), nomi},
                    {QStringLiteral("%"), Percentuali(FrequenzeLettere(Lingua::Italiano), lettere)}});
}

}  // namespace

QByteArray SchedaPdf(const Scheda& scheda)
{
    QByteArray pdf;
    QBuffer memoria(&pdf);
    memoria.open(QIODevice::WriteOnly);
    QPdfWriter scrittore(&memoria);
    scrittore.setTitle(QStringLiteral("Crittogramma"));
    scrittore.setCreator(QStringLiteral("Varnel"));
    scrittore.setResolution(Risoluzione);
    scrittore.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                        QMarginsF(Margine, Margine, Margine, Margine), QPageLayout::Millimeter));
    {
        Impaginazione pagine(scrittore);
        pagine.paragrafo(QStringLiteral("Crittogramma"), Carattere(20, true));
        pagine.paragrafo(QStringLiteral("Nome e cognome ______________________________   Classe ________   "
                                        "Data ______________"),
                         Carattere(10), 12);
        pagine.paragrafo(QStringLiteral("Ogni lettera del testo è stata sostituita da un'altra, sempre la stessa. "
                                        "Scrivi sotto ogni lettera quella che secondo te nasconde, e riporta nella "
                                        "chiave le lettere che scopri."),
                         Carattere(10), 14);
        pagine.testo(scheda.testo, false);
        pagine.paragrafo(QStringLiteral("Chiave"), Carattere(12, true));
        std::vector<std::pair<QString, QStringList>> chiave = {{QStringLiteral("Cifrato"), Lettere('A')},
                                                               {QStringLiteral("In chiaro"), {}}};
        if (scheda.frequenze)
            Frequenze(pagine, scheda, chiave);
        else
            pagine.tabella(chiave);

        pagine.nuovaPagina();
        pagine.paragrafo(QStringLiteral("Soluzione (per l'insegnante)"), Carattere(20, true));
        pagine.paragrafo(scheda.origine, Carattere(10), 12);
        QStringList chiaro;
        QStringList cifrato;
        const Chiave perDecifrare = ChiaveDi(scheda.alfabeto);
        for (std::size_t k = 0; k < NumeroSlot; ++k) {
            chiaro << Lettera(perDecifrare[k]);
            cifrato << Lettera(scheda.alfabeto[k]);
        }
        pagine.paragrafo(QStringLiteral("Per decifrare"), Carattere(12, true));
        pagine.tabella({{QStringLiteral("Cifrato"), Lettere('A')}, {QStringLiteral("In chiaro"), chiaro}});
        pagine.paragrafo(QStringLiteral("Per cifrare"), Carattere(12, true));
        pagine.tabella({{QStringLiteral("In chiaro"), Lettere('a')}, {QStringLiteral("Cifrato"), cifrato}});
        pagine.testo(scheda.testo, true);
    }
    memoria.close();
    return pdf;
}

}  // namespace varnel
