// SPDX-License-Identifier: GPL-3.0-or-later
#include "Tratto.h"

#include <algorithm>

namespace varnel::dettaglio {

namespace {

// Each kernel pass covers a slice small enough to stay in the cache for the next pass; while the
// field reader's candidate states have not met, slices are short, since they meet within bytes.
constexpr std::size_t Fetta = 64 * 1024;
constexpr std::size_t FettaIncerta = 1024;

// The byte-order mark as the kernels take bytes.
const std::span<const std::uint8_t> Bom(reinterpret_cast<const std::uint8_t*>(BomUtf8.data()), BomUtf8.size());

// How many bytes a UTF-8 sequence has by its first byte; 0 for a byte that starts none.
int LunghezzaSequenza(std::uint8_t b)
{
    return b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xF0 && b <= 0xF4 ? 4 : 0;
}

// The tail of `prima` that opens a UTF-8 sequence the range goes on, empty when there is none.
std::span<const std::uint8_t> SequenzaAperta(std::span<const std::uint8_t> prima)
{
    for (std::size_t distanza = 1; distanza <= prima.size(); ++distanza) {
        const std::uint8_t b = prima[prima.size() - distanza];
        if ((b & 0xC0) == 0x80)
            continue;
        if (LunghezzaSequenza(b) > static_cast<int>(distanza))
            return prima.last(distanza);
        break;
    }
    return {};
}

// The slot of a symbol above ASCII among the encodings to count, added when new.
int SequenzaPer(char32_t simbolo, Sequenze& sequenze)
{
    std::array<std::uint8_t, 4> indietro{};  // the encoding from its last byte backwards
    const std::size_t lunghezza = LunghezzaUtf8(simbolo);
    ScriviUtf8(simbolo, indietro.data());
    std::reverse(indietro.begin(), indietro.begin() + static_cast<std::ptrdiff_t>(lunghezza));
    const auto* fine = sequenze.indietro.cbegin() + sequenze.numero;
    const auto* trovata = std::find(sequenze.indietro.cbegin(), fine, indietro);
    if (trovata == fine) {
        sequenze.indietro[sequenze.numero] = indietro;
        sequenze.lunghezza[sequenze.numero++] = static_cast<std::uint8_t>(lunghezza);
    }
    return static_cast<int>(trovata - sequenze.indietro.cbegin());
}

}  // namespace

Obiettivi Obiettivi::Da(const Criterio& criterio)
{
    Obiettivi o;
    if (const auto* modo = std::get_if<ModoLettere>(&criterio)) {
        const char primo = *modo == ModoLettere::Maiuscole ? 'A' : 'a';
        for (std::size_t k = 0; k < NumeroSlot; ++k) {
            o.bersagli.byte[k] = static_cast<std::uint8_t>(primo + static_cast<char>(k));
            o.bersaglioDelloSlot[k] = static_cast<int>(k);
        }
        o.bersagli.numero = NumeroSlot;
        o.bersagli.piega = *modo == ModoLettere::SenzaDistinzione;
        FissaFascia(o.bersagli);
        return o;
    }
    for (std::size_t k = 0; k < NumeroSlot; ++k) {
        const char32_t simbolo = std::get<Simboli>(criterio)[k];
        o.bersaglioDelloSlot[k] = -1;
        o.sequenzaDelloSlot[k] = -1;
        if (const auto byte = AWindows1252(simbolo)) {
            const auto* fine = o.bersagli.byte.cbegin() + o.bersagli.numero;
            const auto* trovato = std::find(o.bersagli.byte.cbegin(), fine, *byte);
            if (trovato == fine)
                o.bersagli.byte[o.bersagli.numero++] = *byte;
            o.bersaglioDelloSlot[k] = static_cast<int>(trovato - o.bersagli.byte.cbegin());
        }
        // Symbols are code points that UTF-8 can encode; a surrogate or larger value would match none.
        if (simbolo >= 0x80 && simbolo <= 0x10FFFF && (simbolo < 0xD800 || simbolo > 0xDFFF))
            o.sequenzaDelloSlot[k] = SequenzaPer(simbolo, o.sequenze);
    }
    FissaFascia(o.bersagli);
    return o;
}

MacchinaCampi<std::uint8_t> InizioTesto(bool bomComeTesto)
{
    MacchinaCampi<std::uint8_t> macchina;
    if (bomComeTesto)
        KernelPer(Famiglia::Scalare).campi(Bom.data(), Bom.size(), macchina);
    return macchina;
}

std::vector<StatoCampi> StatiIniziali(bool bom)
{
    std::vector<StatoCampi> stati{StatoCampi::Inizio};
    const StatoCampi dopoBom = InizioTesto(true).stato();
    if (bom && dopoBom != StatoCampi::Inizio)
        stati.push_back(dopoBom);
    return stati;
}

AnalizzatoreTratto::AnalizzatoreTratto(const Obiettivi& obiettivi, const Kernel& kernel,
                                       std::span<const std::uint8_t> prima, std::span<const StatoCampi> inizi)
    : m_obiettivi(&obiettivi)
    , m_kernel(kernel)
{
    m_guida.fill(-2);
    for (const StatoCampi stato : inizi) {
        const auto i = static_cast<std::size_t>(stato);
        m_corsie[i] = MacchinaCampi<std::uint8_t>(stato);
        m_guida[i] = -1;
    }
    m_attive = static_cast<std::size_t>(std::count(m_guida.begin(), m_guida.end(), -1));
    // A sequence that the bytes before open is checked, and its character counted, here.
    const auto aperta = SequenzaAperta(prima);
    m_validatore.avanza(aperta.data(), aperta.data() + aperta.size(), [](char32_t) {});
    m_continuazioniPrima = m_validatore.continuazioni();
    for (std::size_t i = 0; i < std::min(prima.size(), m_contesto.size()); ++i)
        m_contesto[i] = prima[prima.size() - 1 - i];
}

void AnalizzatoreTratto::consuma(const std::uint8_t* p, std::size_t n)
{
    const std::uint8_t* fine = p + n;
    while (p < fine) {
        const std::size_t passo = std::min<std::size_t>(m_attive > 1 ? FettaIncerta : Fetta,
                                                        static_cast<std::size_t>(fine - p));
        m_kernel.conta(p, passo, m_obiettivi->bersagli, m_risultato.conti);
        strutturaFetta(p, passo);
        p += passo;
    }
}

void AnalizzatoreTratto::strutturaFetta(const std::uint8_t* p, std::size_t n)
{
    for (std::size_t i = 0; i < NumeroStatiCampi; ++i) {
        if (m_guida[i] == -1)
            m_kernel.campi(p, n, m_corsie[i]);
    }
    if (m_attive > 1)
        riunisci();
    m_risultato.byte += n;
    if (m_kernel.validaUtf8 != nullptr)
        m_validatore.avanzaABlocchi(p, p + n, m_kernel.validaUtf8);
    else
        m_validatore.avanza(p, p + n, [](char32_t) {});
    if (m_obiettivi->sequenze.numero > 0) {
        // In valid UTF-8 each whole encoding found is one occurrence; otherwise these go unused.
        m_kernel.contaSequenze(p, n, m_contesto, m_obiettivi->sequenze, m_risultato.sequenze);
        for (std::size_t i = n > m_contesto.size() ? n - m_contesto.size() : 0; i < n; ++i)
            m_contesto = {p[i], m_contesto[0], m_contesto[1]};
    }
}

void AnalizzatoreTratto::riunisci()
{
    for (std::size_t j = 0; j < NumeroStatiCampi; ++j) {
        if (m_guida[j] != -1)
            continue;
        for (std::size_t i = 0; i < j; ++i) {
            if (m_guida[i] == -1 && m_corsie[i].stato() == m_corsie[j].stato()) {
                m_guida[j] = static_cast<int>(i);
                m_guidaAlFermo[j] = m_corsie[i];
                --m_attive;
                break;
            }
        }
    }
}

RisultatoTratto AnalizzatoreTratto::concludi() const
{
    RisultatoTratto risultato = m_risultato;
    risultato.continuazioni = m_validatore.continuazioni() - m_continuazioniPrima;
    risultato.rotto = m_validatore.rotto();
    risultato.aperto = m_validatore.aperto();
    // A machine follows one of a lower state, so the one it follows is complete by then.
    for (std::size_t j = 0; j < NumeroStatiCampi; ++j) {
        risultato.campi[j] = m_corsie[j];
        if (m_guida[j] >= 0)
            risultato.campi[j].prosegui(m_guidaAlFermo[j], risultato.campi[static_cast<std::size_t>(m_guida[j])]);
    }
    return risultato;
}

Analisi Unisci(const Criterio& criterio, const Obiettivi& obiettivi, std::span<const RisultatoTratto> tratti, bool bom)
{
    bool utf8 = tratti.empty() || !tratti.back().aperto;
    std::uint64_t byte = 0;
    std::uint64_t continuazioni = 0;
    ContiGrezzi conti;
    ContiGrezzi sequenze;
    for (const auto& tratto : tratti) {
        utf8 = utf8 && !tratto.rotto;
        byte += tratto.byte;
        continuazioni += tratto.continuazioni;
        for (std::size_t t = 0; t < NumeroSlot; ++t) {
            conti.perBersaglio[t] += tratto.conti.perBersaglio[t];
            sequenze.perBersaglio[t] += tratto.sequenze.perBersaglio[t];
        }
    }
    auto macchina = InizioTesto(bom && !utf8);
    for (const auto& tratto : tratti)
        macchina.accoda(tratto.campi[static_cast<std::size_t>(macchina.stato())]);

    Analisi analisi;
    const std::uint64_t caratteri = utf8 ? byte - continuazioni : byte + (bom ? Bom.size() : 0);
    analisi.codifica = utf8 ? Codifica::Utf8 : Codifica::Windows1252;
    analisi.lunghezza = caratteri - macchina.totaleConsumati() + 2 * macchina.giunture();
    const auto* simboli = std::get_if<Simboli>(&criterio);
    for (std::size_t k = 0; k < NumeroSlot; ++k) {
        if (!simboli) {
            analisi.conteggi[k] = conti.perBersaglio[k];
            continue;
        }
        const char32_t simbolo = (*simboli)[k];
        if (utf8 && simbolo >= 0x80) {
            const int sequenza = obiettivi.sequenzaDelloSlot[k];
            analisi.conteggi[k] = sequenza < 0 ? 0 : sequenze.perBersaglio[static_cast<std::size_t>(sequenza)];
            continue;
        }
        const int bersaglio = obiettivi.bersaglioDelloSlot[k];
        if (bersaglio < 0)
            continue;  // no Windows-1252 byte stands for this symbol
        const auto b = static_cast<std::size_t>(bersaglio);
        std::uint64_t grezzi = conti.perBersaglio[b];
        if (bom && !utf8)
            grezzi += static_cast<std::uint64_t>(std::count(Bom.begin(), Bom.end(), obiettivi.bersagli.byte[b]));
        analisi.conteggi[k] = Emessi(simbolo, grezzi, macchina);
    }
    return analisi;
}

}  // namespace varnel::dettaglio
