// SPDX-License-Identifier: GPL-3.0-or-later
#include "Famiglie.h"

#include "Codifica.h"

namespace varnel::dettaglio {

namespace {

constexpr std::uint64_t Ripeti(std::uint8_t b) { return 0x0101010101010101ULL * b; }

constexpr bool HaByteZero(std::uint64_t v) { return ((v - Ripeti(1)) & ~v & Ripeti(0x80)) != 0; }

}  // namespace

void ContaScalare(const std::uint8_t* p, std::size_t n, const Bersagli& bersagli, ContiGrezzi& conti)
{
    // Four tables let consecutive bytes update different counters without waiting on each other.
    std::uint32_t tabelle[4][256] = {};
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        ++tabelle[0][p[i]];
        ++tabelle[1][p[i + 1]];
        ++tabelle[2][p[i + 2]];
        ++tabelle[3][p[i + 3]];
    }
    for (; i < n; ++i)
        ++tabelle[0][p[i]];
    const auto totale = [&](unsigned v) -> std::uint64_t {
        return std::uint64_t{tabelle[0][v]} + tabelle[1][v] + tabelle[2][v] + tabelle[3][v];
    };
    for (std::size_t t = 0; t < bersagli.numero; ++t) {
        const unsigned b = bersagli.byte[t];
        conti.perBersaglio[t] += totale(b);
        if (bersagli.piega && (b & 0x20) != 0)
            conti.perBersaglio[t] += totale(b & ~0x20u);
    }
}

void ContaFuoriScalare(const std::uint8_t* p, std::size_t n, const Bersagli& bersagli, ContiGrezzi& conti)
{
    Bersagli soli;
    soli.numero = bersagli.numeroFuori;
    soli.piega = bersagli.piega;
    for (std::size_t k = 0; k < soli.numero; ++k)
        soli.byte[k] = bersagli.byte[bersagli.fuori[k]];
    ContiGrezzi parziali;
    ContaScalare(p, n, soli, parziali);
    for (std::size_t k = 0; k < soli.numero; ++k)
        conti.perBersaglio[bersagli.fuori[k]] += parziali.perBersaglio[k];
}

void ContaSequenzeScalare(const std::uint8_t* p, std::size_t n, const Contesto& prima, const Sequenze& sequenze,
                          ContiGrezzi& conti)
{
    const auto indietro = [&](std::size_t i, std::size_t d) { return d <= i ? p[i - d] : prima[d - i - 1]; };
    // Every encoding ends in a byte above ASCII.
    const std::uint8_t* fine = p + n;
    for (const std::uint8_t* q = ValidatoreUtf8::SaltaAsciiScalare(p, fine); q < fine;
         q = ValidatoreUtf8::SaltaAsciiScalare(q + 1, fine)) {
        const auto i = static_cast<std::size_t>(q - p);
        for (std::size_t s = 0; s < sequenze.numero; ++s) {
            bool uguale = true;
            for (std::size_t d = 0; d < sequenze.lunghezza[s]; ++d)
                uguale = uguale && indietro(i, d) == sequenze.indietro[s][d];
            conti.perBersaglio[s] += uguale;
        }
    }
}

const std::uint8_t* InizioApertaScalare(const std::uint8_t* p, const std::uint8_t* q)
{
    if (q - p >= 3) {
        if (q[-1] >= 0xC0)
            return q - 1;
        if (q[-2] >= 0xE0)
            return q - 2;
        if (q[-3] >= 0xF0)
            return q - 3;
    }
    return q;
}

const std::uint8_t* FineCampoScalare(const std::uint8_t* p, const std::uint8_t* fine)
{
    while (fine - p >= 8) {
        std::uint64_t parola;
        std::memcpy(&parola, p, 8);
        if (HaByteZero(parola ^ Ripeti(',')) || HaByteZero(parola ^ Ripeti('\r')) || HaByteZero(parola ^ Ripeti('\n')))
            break;
        p += 8;
    }
    while (p < fine && *p != ',' && *p != '\r' && *p != '\n')
        ++p;
    return p;
}

void CampiScalare(const std::uint8_t* p, std::size_t n, MacchinaCampi<std::uint8_t>& macchina)
{
    macchina.avanza(p, p + n, FineCampoScalare);
}

}  // namespace varnel::dettaglio
