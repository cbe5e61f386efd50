#include "Analizzatore.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace varnel::dettaglio {

namespace {

// Each kernel pass covers a slice small enough to stay in the cache for the next pass.
constexpr std::size_t Fetta = 64 * 1024;

template <class Unita>
std::uint64_t Emessi(char32_t simbolo, std::uint64_t grezzi, const MacchinaCampi<Unita>& macchina)
{
    const int speciale = IndiceSpeciale(simbolo);
    if (speciale < 0)
        return grezzi;
    const std::uint64_t giunture = (simbolo == U'\r' || simbolo == U'\n') ? macchina.giunture() : 0;
    return grezzi - macchina.consumati(speciale) + giunture;
}

}  // namespace

Analizzatore::Analizzatore(const Criterio& criterio, const Kernel& kernel)
    : m_criterio(criterio)
    , m_kernel(kernel)
{
    if (const auto* modo = std::get_if<ModoLettere>(&m_criterio)) {
        const char primo = *modo == ModoLettere::Maiuscole ? 'A' : 'a';
        for (std::size_t k = 0; k < NumeroSlot; ++k) {
            m_bersagli.byte[k] = static_cast<std::uint8_t>(primo + k);
            m_bersaglioDelloSlot[k] = static_cast<int>(k);
        }
        m_bersagli.numero = NumeroSlot;
        m_bersagli.piega = *modo == ModoLettere::SenzaDistinzione;
        FissaFinestra(m_bersagli);
        return;
    }
    for (std::size_t k = 0; k < NumeroSlot; ++k) {
        const char32_t simbolo = std::get<Simboli>(m_criterio)[k];
        m_bersaglioDelloSlot[k] = -1;
        if (const auto byte = AWindows1252(simbolo)) {
            const auto* fine = m_bersagli.byte.begin() + m_bersagli.numero;
            const auto* trovato = std::find(m_bersagli.byte.cbegin(), fine, *byte);
            if (trovato == fine)
                m_bersagli.byte[m_bersagli.numero++] = *byte;
            m_bersaglioDelloSlot[k] = static_cast<int>(trovato - m_bersagli.byte.cbegin());
        }
        m_sequenzaDelloSlot[k] = sequenzaPer(simbolo);
    }
    FissaFinestra(m_bersagli);
}

int Analizzatore::sequenzaPer(char32_t simbolo)
{
    if (simbolo < 0x80 || simbolo > 0x10FFFF || (simbolo >= 0xD800 && simbolo <= 0xDFFF))
        return -1;
    const std::string codifica = InUtf8(std::u32string_view(&simbolo, 1));
    Sequenze& s = m_sequenze;
    std::array<std::uint8_t, 4> indietro{};
    std::transform(codifica.rbegin(), codifica.rend(), indietro.begin(), [](char c) { return static_cast<std::uint8_t>(c); });
    const auto* fine = s.indietro.begin() + s.numero;
    const auto* trovata = std::find(s.indietro.cbegin(), fine, indietro);
    if (trovata == fine) {
        s.indietro[s.numero] = indietro;
        s.lunghezza[s.numero++] = static_cast<std::uint8_t>(codifica.size());
    }
    return static_cast<int>(trovata - s.indietro.cbegin());
}

void Analizzatore::consuma(std::span<const std::uint8_t> byte)
{
    const std::uint8_t* p = byte.data();
    const std::uint8_t* fine = p + byte.size();
    if (m_fase == Fase::Inizio) {
        while (p < fine && m_numeroIniziali < m_iniziali.size())
            m_iniziali[m_numeroIniziali++] = *p++;
        if (m_numeroIniziali < m_iniziali.size())
            return;
        decidiCodifica();
    }
    if (m_fase == Fase::Byte)
        consumaByte(p, fine);
    else
        consumaUtf16(p, fine);
}

void Analizzatore::decidiCodifica()
{
    const std::string_view inizio(reinterpret_cast<const char*>(m_iniziali.data()), m_numeroIniziali);
    const std::uint8_t* p = m_iniziali.data();
    const std::uint8_t* fine = p + m_numeroIniziali;
    if (const auto utf16 = CodificaUtf16(inizio)) {
        m_fase = Fase::Utf16;
        m_grandeFinale = *utf16 == Codifica::Utf16BE;
        consumaUtf16(p + 2, fine);
        return;
    }
    m_fase = Fase::Byte;
    m_bom = InizioUtf8Bom(inizio);
    if (m_bom) {
        m_kernel.campi(p, static_cast<std::size_t>(fine - p), m_macchinaConBom);
        p = fine;
    }
    consumaByte(p, fine);
}

void Analizzatore::consumaByte(const std::uint8_t* p, const std::uint8_t* fine)
{
    while (p < fine) {
        const std::size_t n = std::min<std::size_t>(Fetta, static_cast<std::size_t>(fine - p));
        m_kernel.conta(p, n, m_bersagli, m_conti);
        strutturaFetta(p, n);
        p += n;
    }
}

void Analizzatore::strutturaFetta(const std::uint8_t* p, std::size_t n)
{
    m_kernel.campi(p, n, m_macchina);
    if (m_bom)
        m_kernel.campi(p, n, m_macchinaConBom);
    m_byte += n;
    if (m_kernel.validaUtf8 != nullptr)
        m_validatore.avanzaABlocchi(p, p + n, m_kernel.validaUtf8);
    else
        m_validatore.avanza(p, p + n, [](char32_t) {});
    if (m_sequenze.numero > 0)
        contaSequenze(p, n);
}

void Analizzatore::contaSequenze(const std::uint8_t* p, std::size_t n)
{
    m_kernel.contaSequenze(p, n, m_contesto, m_sequenze, m_contiSequenze);
    for (std::size_t i = n > m_contesto.size() ? n - m_contesto.size() : 0; i < n; ++i)
        m_contesto = {p[i], m_contesto[0], m_contesto[1]};
}

void Analizzatore::consumaUtf16(const std::uint8_t* p, const std::uint8_t* fine)
{
    m_decodificati.clear();
    for (; p < fine; ++p) {
        if (m_byteSospeso < 0) {
            m_byteSospeso = *p;
            continue;
        }
        const auto primo = static_cast<char32_t>(m_byteSospeso);
        const char32_t unita = m_grandeFinale ? (primo << 8) | *p : (char32_t{*p} << 8) | primo;
        m_byteSospeso = -1;
        if (m_surrogatoAlto != 0) {
            const char32_t alto = std::exchange(m_surrogatoAlto, 0);
            if (unita >= 0xDC00 && unita <= 0xDFFF) {
                m_decodificati.push_back(0x10000 + ((alto - 0xD800) << 10) + (unita - 0xDC00));
                continue;
            }
            m_decodificati.push_back(CarattereSostitutivo);
        }
        if (unita >= 0xD800 && unita <= 0xDBFF)
            m_surrogatoAlto = unita;
        else
            m_decodificati.push_back(unita >= 0xDC00 && unita <= 0xDFFF ? CarattereSostitutivo : unita);
    }
    consumaCaratteri(m_decodificati);
}

void Analizzatore::consumaCaratteri(std::span<const char32_t> caratteri)
{
    m_caratteri += caratteri.size();
    for (const char32_t c : caratteri) {
        for (std::uint64_t maschera = slotMaschera(c); maschera != 0; maschera &= maschera - 1)
            ++m_contiCaratteri[static_cast<std::size_t>(std::countr_zero(maschera))];
    }
    m_macchinaCaratteri.avanza(caratteri.data(), caratteri.data() + caratteri.size(), [](const char32_t* p, const char32_t* fine) {
        return std::find_if(p, fine, [](char32_t c) { return c == U',' || c == U'\r' || c == U'\n'; });
    });
}

std::uint64_t Analizzatore::slotMaschera(char32_t c) const
{
    if (const auto* modo = std::get_if<ModoLettere>(&m_criterio)) {
        const bool minuscola = c >= U'a' && c <= U'z';
        const bool maiuscola = c >= U'A' && c <= U'Z';
        if ((minuscola && *modo != ModoLettere::Maiuscole) || (maiuscola && *modo != ModoLettere::Minuscole))
            return std::uint64_t{1} << ((c | 0x20) - U'a');
        return 0;
    }
    std::uint64_t maschera = 0;
    const auto& simboli = std::get<Simboli>(m_criterio);
    for (std::size_t k = 0; k < NumeroSlot; ++k)
        maschera |= std::uint64_t{simboli[k] == c} << k;
    return maschera;
}

Analisi Analizzatore::concludi()
{
    if (m_fase == Fase::Inizio)
        decidiCodifica();
    Analisi analisi;
    const auto* simboli = std::get_if<Simboli>(&m_criterio);

    if (m_fase == Fase::Utf16) {
        if (m_surrogatoAlto != 0 || m_byteSospeso >= 0) {
            std::vector<char32_t> coda;
            if (m_surrogatoAlto != 0)
                coda.push_back(CarattereSostitutivo);
            if (m_byteSospeso >= 0)
                coda.push_back(CarattereSostitutivo);
            m_surrogatoAlto = 0;
            m_byteSospeso = -1;
            consumaCaratteri(coda);
        }
        analisi.codifica = m_grandeFinale ? Codifica::Utf16BE : Codifica::Utf16LE;
        analisi.lunghezza = m_caratteri - m_macchinaCaratteri.totaleConsumati() + 2 * m_macchinaCaratteri.giunture();
        for (std::size_t k = 0; k < NumeroSlot; ++k)
            analisi.conteggi[k] = simboli ? Emessi((*simboli)[k], m_contiCaratteri[k], m_macchinaCaratteri) : m_contiCaratteri[k];
        return analisi;
    }

    const bool utf8 = m_validatore.valido();
    const auto& macchina = (m_bom && !utf8) ? m_macchinaConBom : m_macchina;
    const std::uint64_t caratteri = utf8 ? m_byte - m_validatore.continuazioni() : m_byte + (m_bom ? 3 : 0);
    analisi.codifica = utf8 ? Codifica::Utf8 : Codifica::Windows1252;
    analisi.lunghezza = caratteri - macchina.totaleConsumati() + 2 * macchina.giunture();
    for (std::size_t k = 0; k < NumeroSlot; ++k) {
        if (!simboli) {
            analisi.conteggi[k] = m_conti.perBersaglio[k];
            continue;
        }
        const char32_t simbolo = (*simboli)[k];
        if (utf8 && simbolo >= 0x80) {
            const int sequenza = m_sequenzaDelloSlot[k];
            analisi.conteggi[k] = sequenza < 0 ? 0 : m_contiSequenze.perBersaglio[static_cast<std::size_t>(sequenza)];
            continue;
        }
        const int bersaglio = m_bersaglioDelloSlot[k];
        if (bersaglio < 0)
            continue;  // no Windows-1252 byte stands for this symbol
        std::uint64_t grezzi = m_conti.perBersaglio[static_cast<std::size_t>(bersaglio)];
        if (m_bom && !utf8) {
            for (const std::uint8_t b : {0xEF, 0xBB, 0xBF})
                grezzi += b == m_bersagli.byte[static_cast<std::size_t>(bersaglio)];
        }
        analisi.conteggi[k] = Emessi(simbolo, grezzi, macchina);
    }
    return analisi;
}

}  // namespace varnel::dettaglio
