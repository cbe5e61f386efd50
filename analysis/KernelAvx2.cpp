#include "Kernel.h"

#ifdef VARNEL_X86

#include <immintrin.h>

// Every CPU with AVX2 also has BMI1 and POPCNT, and Disponibile checks all three.
#define VARNEL_VETTORIALE __attribute__((target("avx2,bmi,popcnt")))
#define VARNEL_VETTORIALE_IN_LINEA __attribute__((target("avx2,bmi,popcnt"), always_inline)) inline
// Lambdas do not take the target of the function around them.
#define VARNEL_VETTORIALE_LAMBDA __attribute__((target("avx2,bmi,popcnt"), always_inline))

namespace varnel::dettaglio {

namespace {

VARNEL_VETTORIALE_IN_LINEA __m256i Carica(const std::uint8_t* p)
{
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

VARNEL_VETTORIALE_IN_LINEA std::uint64_t Maschera(__m256i basso, __m256i alto)
{
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(basso))
           | (std::uint64_t{static_cast<std::uint32_t>(_mm256_movemask_epi8(alto))} << 32);
}

// ---- Counting by comparison, for targets that no 32-byte window holds.

// Eight vectors (256 bytes) are compared per target at a time; byte lanes gather at most 8 per
// block, so 31 blocks fit before they would overflow 255.
constexpr std::size_t Blocco = 256;
constexpr std::size_t BlocchiPerGiro = 31;

VARNEL_VETTORIALE std::uint64_t Somma(__m256i byte)
{
    const __m256i somme = _mm256_sad_epu8(byte, _mm256_setzero_si256());
    return static_cast<std::uint64_t>(_mm256_extract_epi64(somme, 0)) + static_cast<std::uint64_t>(_mm256_extract_epi64(somme, 1))
           + static_cast<std::uint64_t>(_mm256_extract_epi64(somme, 2)) + static_cast<std::uint64_t>(_mm256_extract_epi64(somme, 3));
}

VARNEL_VETTORIALE std::size_t ContaConfrontando(const std::uint8_t* p, std::size_t n, const Bersagli& bersagli, ContiGrezzi& conti)
{
    const __m256i piega = _mm256_set1_epi8(bersagli.piega ? 0x20 : 0);
    std::size_t i = 0;
    while (n - i >= Blocco) {
        const std::size_t blocchi = std::min((n - i) / Blocco, BlocchiPerGiro);
        __m256i accumuli[NumeroSlot];
        for (std::size_t t = 0; t < bersagli.numero; ++t)
            accumuli[t] = _mm256_setzero_si256();
        for (std::size_t b = 0; b < blocchi; ++b, i += Blocco) {
            __m256i v[8];
            for (int j = 0; j < 8; ++j)
                v[j] = _mm256_or_si256(Carica(p + i + 32 * j), piega);
            for (std::size_t t = 0; t < bersagli.numero; ++t) {
                const __m256i bersaglio = _mm256_set1_epi8(static_cast<char>(bersagli.byte[t]));
                __m256i uguali = _mm256_cmpeq_epi8(v[0], bersaglio);
                for (int j = 1; j < 8; ++j)
                    uguali = _mm256_add_epi8(uguali, _mm256_cmpeq_epi8(v[j], bersaglio));
                accumuli[t] = _mm256_sub_epi8(accumuli[t], uguali);
            }
        }
        for (std::size_t t = 0; t < bersagli.numero; ++t)
            conti.perBersaglio[t] += Somma(accumuli[t]);
    }
    return i;
}

// ---- Counting through a 32-byte window.
//
// A byte's distance from the window's start picks one of 32 classes; a table lookup turns it into
// one bit of a byte for each group of eight classes. Carry-save adders (Harley-Seal) then sum those
// bits per lane and per bit position, in planes of weight 1, 2, 4, ..., so that a class costs far
// less than the compare and the add that counting it alone would.

constexpr int Gruppi = 4;
constexpr int PerGiro = 32;  // vectors summed into one output of weight 32
constexpr int PianiRiporto = 4;  // weights 32 to 256; what overflows them is counted at once

struct Piani {
    __m256i uno, due, quattro, otto, sedici;
    __m256i riporto[PianiRiporto];
};

VARNEL_VETTORIALE_IN_LINEA void Csa(__m256i& alto, __m256i& basso, __m256i a, __m256i b)
{
    const __m256i u = _mm256_xor_si256(basso, a);
    alto = _mm256_or_si256(_mm256_and_si256(basso, a), _mm256_and_si256(u, b));
    basso = _mm256_xor_si256(u, b);
}

// Adds to each class of the group the bits of `piano`, each worth `peso`: shifted left, the bit of
// class k stands in the place that movemask reads.
VARNEL_VETTORIALE_IN_LINEA void Versa(__m256i piano, std::uint64_t peso, std::uint64_t* classi)
{
    for (int k = 0; k < 8; ++k) {
        const auto bit = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_slli_epi16(piano, 7 - k)));
        classi[k] += peso * static_cast<std::uint64_t>(__builtin_popcount(bit));
    }
}

// Sums sixteen lookups into the planes of weight 1 to 8 and returns what reaches weight 16.
VARNEL_VETTORIALE_IN_LINEA __m256i Sedici(__m256i& uno, __m256i& due, __m256i& quattro, __m256i& otto, const __m256i* indici,
                                          __m256i tabella, int da)
{
    const auto x = [indici, tabella](int j) VARNEL_VETTORIALE_LAMBDA { return _mm256_shuffle_epi8(tabella, indici[j]); };
    __m256i dueA, dueB, quattroA, quattroB, ottoA, ottoB, sedici;
    Csa(dueA, uno, x(da + 0), x(da + 1));
    Csa(dueB, uno, x(da + 2), x(da + 3));
    Csa(quattroA, due, dueA, dueB);
    Csa(dueA, uno, x(da + 4), x(da + 5));
    Csa(dueB, uno, x(da + 6), x(da + 7));
    Csa(quattroB, due, dueA, dueB);
    Csa(ottoA, quattro, quattroA, quattroB);
    Csa(dueA, uno, x(da + 8), x(da + 9));
    Csa(dueB, uno, x(da + 10), x(da + 11));
    Csa(quattroA, due, dueA, dueB);
    Csa(dueA, uno, x(da + 12), x(da + 13));
    Csa(dueB, uno, x(da + 14), x(da + 15));
    Csa(quattroB, due, dueA, dueB);
    Csa(ottoB, quattro, quattroA, quattroB);
    Csa(sedici, otto, ottoA, ottoB);
    return sedici;
}

// Sums PerGiro lookups of one group into its planes.
VARNEL_VETTORIALE_IN_LINEA void Giro(Piani& s, const __m256i* indici, __m256i tabella, std::uint64_t* classi)
{
    __m256i uno = s.uno, due = s.due, quattro = s.quattro, otto = s.otto;
    const __m256i sediciA = Sedici(uno, due, quattro, otto, indici, tabella, 0);
    const __m256i sediciB = Sedici(uno, due, quattro, otto, indici, tabella, 16);
    s.uno = uno, s.due = due, s.quattro = quattro, s.otto = otto;
    __m256i trentadue;
    Csa(trentadue, s.sedici, sediciA, sediciB);
    // Ripple the weight-32 output through the carry planes; what leaves the last is rare enough
    // to count on the spot.
    for (auto& piano : s.riporto) {
        const __m256i oltre = _mm256_and_si256(piano, trentadue);
        piano = _mm256_xor_si256(piano, trentadue);
        trentadue = oltre;
    }
    if (!_mm256_testz_si256(trentadue, trentadue))
        Versa(trentadue, std::uint64_t{32} << PianiRiporto, classi);
}

VARNEL_VETTORIALE void ContaInFinestra(const std::uint8_t* p, std::size_t n, const Bersagli& bersagli, ContiGrezzi& conti)
{
    const __m256i piega = _mm256_set1_epi8(bersagli.piega ? 0x20 : 0);
    const __m256i inizio = _mm256_set1_epi8(static_cast<char>(bersagli.finestra));
    const __m256i spinta = _mm256_set1_epi8(0x70);  // 0 to 15 stay below 0x80; 16 and more saturate to it
    const __m256i secondaMeta = _mm256_set1_epi8(0x10);
    const __m256i basse = _mm256_setr_epi8(1, 2, 4, 8, 16, 32, 64, -128, 0, 0, 0, 0, 0, 0, 0, 0,
                                           1, 2, 4, 8, 16, 32, 64, -128, 0, 0, 0, 0, 0, 0, 0, 0);
    const __m256i alte = _mm256_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 4, 8, 16, 32, 64, -128,
                                          0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 4, 8, 16, 32, 64, -128);
    const __m256i tabelle[Gruppi] = {basse, alte, basse, alte};

    bool usato[Gruppi] = {};
    for (std::size_t t = 0; t < bersagli.numero; ++t)
        usato[(bersagli.byte[t] - bersagli.finestra) / 8] = true;

    Piani piani[Gruppi];
    for (auto& s : piani) {
        s.uno = s.due = s.quattro = s.otto = s.sedici = _mm256_setzero_si256();
        for (auto& piano : s.riporto)
            piano = _mm256_setzero_si256();
    }
    std::uint64_t classi[8 * Gruppi] = {};

    alignas(32) __m256i indici[2][PerGiro];
    const auto prepara = [&](int j, __m256i v) VARNEL_VETTORIALE_LAMBDA {
        const __m256i distanza = _mm256_sub_epi8(_mm256_or_si256(v, piega), inizio);
        indici[0][j] = _mm256_adds_epu8(distanza, spinta);
        indici[1][j] = _mm256_adds_epu8(_mm256_xor_si256(distanza, secondaMeta), spinta);
    };
    const auto somma = [&]() VARNEL_VETTORIALE_LAMBDA {
        for (int g = 0; g < Gruppi; ++g) {
            if (usato[g])
                Giro(piani[g], indici[g / 2], tabelle[g], classi + 8 * g);
        }
    };

    std::size_t i = 0;
    for (; n - i >= 32 * PerGiro; i += 32 * PerGiro) {
        for (int j = 0; j < PerGiro; ++j)
            prepara(j, Carica(p + i + 32 * j));
        somma();
    }
    if (i < n) {
        // The last round, short of vectors: bytes past the end look up nothing (an index with bit 7 set).
        const __m256i niente = _mm256_set1_epi8(-128);
        int j = 0;
        for (; n - i >= 32; i += 32, ++j)
            prepara(j, Carica(p + i));
        if (i < n) {
            alignas(32) std::uint8_t coda[32] = {};
            std::memcpy(coda, p + i, n - i);
            prepara(j, Carica(coda));
            const __m256i posizioni = _mm256_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19,
                                                       20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31);
            const __m256i oltre = _mm256_cmpgt_epi8(posizioni, _mm256_set1_epi8(static_cast<char>(n - i - 1)));
            indici[0][j] = _mm256_or_si256(indici[0][j], oltre);
            indici[1][j] = _mm256_or_si256(indici[1][j], oltre);
            ++j;
            i = n;
        }
        for (; j < PerGiro; ++j)
            indici[0][j] = indici[1][j] = niente;
        somma();
    }

    for (int g = 0; g < Gruppi; ++g) {
        if (!usato[g])
            continue;
        const Piani& s = piani[g];
        std::uint64_t* c = classi + 8 * g;
        Versa(s.uno, 1, c);
        Versa(s.due, 2, c);
        Versa(s.quattro, 4, c);
        Versa(s.otto, 8, c);
        Versa(s.sedici, 16, c);
        for (int k = 0; k < PianiRiporto; ++k)
            Versa(s.riporto[k], std::uint64_t{32} << k, c);
    }
    for (std::size_t t = 0; t < bersagli.numero; ++t)
        conti.perBersaglio[t] += classi[bersagli.byte[t] - bersagli.finestra];
}

}  // namespace

VARNEL_VETTORIALE void ContaAvx2(const std::uint8_t* p, std::size_t n, const Bersagli& bersagli, ContiGrezzi& conti)
{
    if (bersagli.finestra >= 0) {
        ContaInFinestra(p, n, bersagli, conti);
        return;
    }
    const std::size_t fatti = ContaConfrontando(p, n, bersagli, conti);
    ContaScalare(p + fatti, n - fatti, bersagli, conti);
}

VARNEL_VETTORIALE void CampiAvx2(const std::uint8_t* p, std::size_t n, MacchinaCampi<std::uint8_t>& macchina)
{
    const __m256i spazio = _mm256_set1_epi8(' ');
    const __m256i virgoletta = _mm256_set1_epi8('"');
    const __m256i virgola = _mm256_set1_epi8(',');
    const __m256i ritorno = _mm256_set1_epi8('\r');
    const __m256i acapo = _mm256_set1_epi8('\n');
    const auto complete = [&](__m256i a, __m256i b) VARNEL_VETTORIALE_LAMBDA {
        MaschereBlocco m;
        m.spazi = Maschera(_mm256_cmpeq_epi8(a, spazio), _mm256_cmpeq_epi8(b, spazio));
        m.virgolette = Maschera(_mm256_cmpeq_epi8(a, virgoletta), _mm256_cmpeq_epi8(b, virgoletta));
        m.virgole = Maschera(_mm256_cmpeq_epi8(a, virgola), _mm256_cmpeq_epi8(b, virgola));
        m.ritorni = Maschera(_mm256_cmpeq_epi8(a, ritorno), _mm256_cmpeq_epi8(b, ritorno));
        m.acapo = Maschera(_mm256_cmpeq_epi8(a, acapo), _mm256_cmpeq_epi8(b, acapo));
        return m;
    };
    // A copy whose state the compiler may keep in registers from block to block.
    MacchinaCampi<std::uint8_t> locale = macchina;
    std::size_t i = 0;
    if (n >= 64) {
        // Each block is read along with the 64 bytes that start one byte earlier, which say where
        // fields start: after a comma, an LF, or a CR with no LF after it. Before the first block
        // stands the byte that the machine's state stands for.
        std::uint8_t primo[65];
        primo[0] = locale.bytePrima();
        std::memcpy(primo + 1, p, 64);
        std::uint8_t primaDelTratto = primo[0];  // the byte before the run of common blocks under way
        std::uint64_t spaziAperti = locale.spaziAperti();
        bool traVirgolette = locale.traVirgolette();
        bool inPari = true;  // whether the state of `locale` is the one before the current block
        std::uint64_t campi = 0, spazi = 0;
        std::array<std::uint64_t, 3> chiusure{};
        const auto riprendi = [&] {
            // Commas and CRs were counted one byte early, as the bytes before each block.
            const std::uint8_t ultimo = p[i - 1];
            chiusure[0] += static_cast<std::uint64_t>(ultimo == ',') - (primaDelTratto == ',');
            chiusure[1] += static_cast<std::uint64_t>(ultimo == '\r') - (primaDelTratto == '\r');
            locale.riprendiDopo(ultimo, spaziAperti);
        };
        while (n - i >= 64) {
            // Common blocks count their delimiters in byte lanes, two at most per block.
            const std::size_t finoA = i + 64 * std::min<std::size_t>((n - i) / 64, 127);
            __m256i virgole = _mm256_setzero_si256(), ritorni = _mm256_setzero_si256(), acapi = _mm256_setzero_si256();
            for (; i < finoA; i += 64) {
                const std::uint8_t* q = i == 0 ? primo + 1 : p + i;
                const __m256i a = Carica(q), b = Carica(q + 32);
                const __m256i primaA = Carica(q - 1), primaB = Carica(q + 31);
                const __m256i virgolaA = _mm256_cmpeq_epi8(primaA, virgola), virgolaB = _mm256_cmpeq_epi8(primaB, virgola);
                const __m256i ritornoA = _mm256_cmpeq_epi8(primaA, ritorno), ritornoB = _mm256_cmpeq_epi8(primaB, ritorno);
                const __m256i acapoA = _mm256_cmpeq_epi8(a, acapo), acapoB = _mm256_cmpeq_epi8(b, acapo);
                const __m256i dopoA = _mm256_or_si256(_mm256_or_si256(virgolaA, _mm256_cmpeq_epi8(primaA, acapo)),
                                                      _mm256_andnot_si256(acapoA, ritornoA));
                const __m256i dopoB = _mm256_or_si256(_mm256_or_si256(virgolaB, _mm256_cmpeq_epi8(primaB, acapo)),
                                                      _mm256_andnot_si256(acapoB, ritornoB));
                const std::uint64_t bianchi = Maschera(_mm256_cmpeq_epi8(a, spazio), _mm256_cmpeq_epi8(b, spazio));
                const std::uint64_t virgolette = Maschera(_mm256_cmpeq_epi8(a, virgoletta), _mm256_cmpeq_epi8(b, virgoletta));
                if (!traVirgolette && BloccoLibero(bianchi, virgolette, Maschera(dopoA, dopoB), spaziAperti, campi, spazi)) {
                    inPari = false;
                    virgole = _mm256_sub_epi8(virgole, _mm256_add_epi8(virgolaA, virgolaB));
                    ritorni = _mm256_sub_epi8(ritorni, _mm256_add_epi8(ritornoA, ritornoB));
                    acapi = _mm256_sub_epi8(acapi, _mm256_add_epi8(acapoA, acapoB));
                    continue;
                }
                // Quotes: the machine takes the block, from the state that the blocks before it left.
                if (!inPari)
                    riprendi();
                // Through a second copy, so that `locale` never needs an address.
                MacchinaCampi<std::uint8_t> lenta = locale;
                lenta.avanzaMaschere({bianchi, virgolette, Maschera(_mm256_cmpeq_epi8(a, virgola), _mm256_cmpeq_epi8(b, virgola)),
                                      Maschera(_mm256_cmpeq_epi8(a, ritorno), _mm256_cmpeq_epi8(b, ritorno)), Maschera(acapoA, acapoB)},
                                     64);
                locale = lenta;
                inPari = true;
                primaDelTratto = q[63];
                spaziAperti = locale.spaziAperti();
                traVirgolette = locale.traVirgolette();
            }
            chiusure[0] += Somma(virgole), chiusure[1] += Somma(ritorni), chiusure[2] += Somma(acapi);
        }
        if (!inPari)
            riprendi();
        locale.aggiungiBlocchi(campi, spazi, chiusure);
    }
    macchina = locale;
    if (i < n) {
        // NUL bytes past the end match no special byte.
        alignas(32) std::uint8_t coda[64] = {};
        std::memcpy(coda, p + i, n - i);
        macchina.avanzaMaschere(complete(Carica(coda), Carica(coda + 32)), static_cast<unsigned>(n - i));
    }
}

// ---- UTF-8 checked 32 bytes at a time (Keiser and Lemire's lookup method): three table lookups
// on the nibbles of each byte and of the one before it flag every invalid pair, and the bytes
// two and three places back say where a continuation byte must stand.

namespace {

constexpr std::uint8_t Corto = 1 << 0;         // a lead byte not followed by a continuation
constexpr std::uint8_t Lungo = 1 << 1;         // an ASCII byte followed by a continuation
constexpr std::uint8_t Lungo3 = 1 << 2;        // E0 followed by 80..9F
constexpr std::uint8_t Grande = 1 << 3;        // above U+10FFFF
constexpr std::uint8_t Surrogato = 1 << 4;     // ED followed by A0..BF
constexpr std::uint8_t Lungo2 = 1 << 5;        // C0 or C1
constexpr std::uint8_t Grande1000 = 1 << 6;    // F5..FF followed by 80..8F
constexpr std::uint8_t Lungo4 = 1 << 6;        // F0 followed by 80..8F
constexpr std::uint8_t DueSeguiti = 1 << 7;    // two continuations in a row
constexpr std::uint8_t Riporto = Corto | Lungo | DueSeguiti;

#define VARNEL_TABELLA(...) _mm256_setr_epi8(__VA_ARGS__, __VA_ARGS__)

VARNEL_VETTORIALE_IN_LINEA __m256i Precedenti(__m256i v, __m256i prima, int quanti)
{
    const __m256i unione = _mm256_permute2x128_si256(prima, v, 0x21);
    switch (quanti) {
    case 1: return _mm256_alignr_epi8(v, unione, 15);
    case 2: return _mm256_alignr_epi8(v, unione, 14);
    default: return _mm256_alignr_epi8(v, unione, 13);
    }
}

VARNEL_VETTORIALE_IN_LINEA __m256i ErroriUtf8(__m256i v, __m256i prima)
{
    const __m256i nibble = _mm256_set1_epi8(0x0F);
    const __m256i prec1 = Precedenti(v, prima, 1);
    const __m256i alto1 = _mm256_shuffle_epi8(
        VARNEL_TABELLA(static_cast<char>(Lungo), static_cast<char>(Lungo), static_cast<char>(Lungo), static_cast<char>(Lungo),
                       static_cast<char>(Lungo), static_cast<char>(Lungo), static_cast<char>(Lungo), static_cast<char>(Lungo),
                       static_cast<char>(DueSeguiti), static_cast<char>(DueSeguiti), static_cast<char>(DueSeguiti),
                       static_cast<char>(DueSeguiti), static_cast<char>(Corto | Lungo2), static_cast<char>(Corto),
                       static_cast<char>(Corto | Lungo3 | Surrogato), static_cast<char>(Corto | Grande | Grande1000 | Lungo4)),
        _mm256_and_si256(_mm256_srli_epi16(prec1, 4), nibble));
    const __m256i basso1 = _mm256_shuffle_epi8(
        VARNEL_TABELLA(static_cast<char>(Riporto | Lungo3 | Lungo2 | Lungo4), static_cast<char>(Riporto | Lungo2),
                       static_cast<char>(Riporto), static_cast<char>(Riporto), static_cast<char>(Riporto | Grande),
                       static_cast<char>(Riporto | Grande | Grande1000), static_cast<char>(Riporto | Grande | Grande1000),
                       static_cast<char>(Riporto | Grande | Grande1000), static_cast<char>(Riporto | Grande | Grande1000),
                       static_cast<char>(Riporto | Grande | Grande1000), static_cast<char>(Riporto | Grande | Grande1000),
                       static_cast<char>(Riporto | Grande | Grande1000), static_cast<char>(Riporto | Grande | Grande1000),
                       static_cast<char>(Riporto | Grande | Grande1000 | Surrogato), static_cast<char>(Riporto | Grande | Grande1000),
                       static_cast<char>(Riporto | Grande | Grande1000)),
        _mm256_and_si256(prec1, nibble));
    const __m256i alto2 = _mm256_shuffle_epi8(
        VARNEL_TABELLA(static_cast<char>(Corto), static_cast<char>(Corto), static_cast<char>(Corto), static_cast<char>(Corto),
                       static_cast<char>(Corto), static_cast<char>(Corto), static_cast<char>(Corto), static_cast<char>(Corto),
                       static_cast<char>(Lungo | Lungo2 | DueSeguiti | Lungo3 | Grande1000 | Lungo4),
                       static_cast<char>(Lungo | Lungo2 | DueSeguiti | Lungo3 | Grande),
                       static_cast<char>(Lungo | Lungo2 | DueSeguiti | Surrogato | Grande),
                       static_cast<char>(Lungo | Lungo2 | DueSeguiti | Surrogato | Grande), static_cast<char>(Corto),
                       static_cast<char>(Corto), static_cast<char>(Corto), static_cast<char>(Corto)),
        _mm256_and_si256(_mm256_srli_epi16(v, 4), nibble));
    const __m256i casi = _mm256_and_si256(_mm256_and_si256(alto1, basso1), alto2);
    // The third byte of a three-byte sequence and the third and fourth of a four-byte one must be
    // continuations: there, and only there, DueSeguiti is expected.
    const __m256i terzo = _mm256_subs_epu8(Precedenti(v, prima, 2), _mm256_set1_epi8(static_cast<char>(0xE0 - 0x80)));
    const __m256i quarto = _mm256_subs_epu8(Precedenti(v, prima, 3), _mm256_set1_epi8(static_cast<char>(0xF0 - 0x80)));
    const __m256i attesi = _mm256_and_si256(_mm256_or_si256(terzo, quarto), _mm256_set1_epi8(static_cast<char>(0x80)));
    return _mm256_xor_si256(attesi, casi);
}

#undef VARNEL_TABELLA

// Non-zero when the last bytes of v open a sequence that v does not finish.
VARNEL_VETTORIALE_IN_LINEA __m256i Incompleto(__m256i v)
{
    const __m256i massimi = _mm256_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
                                             -1, -1, -1, -1, -1, -1, -1, -1, -1, static_cast<char>(0xF0 - 1),
                                             static_cast<char>(0xE0 - 1), static_cast<char>(0xC0 - 1));
    return _mm256_subs_epu8(v, massimi);
}

VARNEL_VETTORIALE_IN_LINEA std::uint64_t Continuazioni(__m256i v)
{
    // 0x80..0xBF are the signed bytes below -64.
    return static_cast<std::uint64_t>(
        __builtin_popcount(static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpgt_epi8(_mm256_set1_epi8(-64), v)))));
}

}  // namespace

VARNEL_VETTORIALE const std::uint8_t* ValidaUtf8Avx2(const std::uint8_t* p, const std::uint8_t* fine, std::uint64_t& continuazioni)
{
    // The bytes before p hold no open sequence, which reads the same as ASCII.
    __m256i prima = _mm256_setzero_si256();
    __m256i errore = _mm256_setzero_si256();
    __m256i aperto = _mm256_setzero_si256();
    const __m256i sogliaContinuazione = _mm256_set1_epi8(-64);  // 0x80..0xBF are the signed bytes below -64
    std::uint64_t seguiti = 0;
    const std::uint8_t* q = p;
    // Blocks of 256 bytes, skipped when all ASCII. Whether a block is can then be foreseen both in
    // plain ASCII and in text with an accent every line or so, where shorter blocks would go either
    // way at random and every wrong guess would cost more than checking the block.
    constexpr int Vettori = 8;
    constexpr std::ptrdiff_t Lungo = 32 * Vettori;
    while (fine - q >= Lungo) {
        // Continuations gather in byte lanes, eight a block at most.
        const std::uint8_t* finoA = q + Lungo * std::min<std::ptrdiff_t>((fine - q) / Lungo, 255 / Vettori);
        __m256i contate = _mm256_setzero_si256();
        for (; q < finoA; q += Lungo) {
            __m256i v[Vettori];
            __m256i tutti = _mm256_setzero_si256();
            for (int j = 0; j < Vettori; ++j) {
                v[j] = Carica(q + 32 * j);
                tutti = _mm256_or_si256(tutti, v[j]);
            }
            if (_mm256_movemask_epi8(tutti) == 0) {
                // All ASCII: a sequence left open before it stays unfinished. `prima` may stay as
                // it is, since it closes every sequence of its own.
                errore = _mm256_or_si256(errore, aperto);
                continue;
            }
            for (int j = 0; j < Vettori; ++j) {
                errore = _mm256_or_si256(errore, ErroriUtf8(v[j], j == 0 ? prima : v[j - 1]));
                contate = _mm256_sub_epi8(contate, _mm256_cmpgt_epi8(sogliaContinuazione, v[j]));
            }
            aperto = Incompleto(v[Vettori - 1]);
            prima = v[Vettori - 1];
        }
        seguiti += Somma(contate);
    }
    for (; fine - q >= 32; q += 32) {
        const __m256i a = Carica(q);
        if (_mm256_movemask_epi8(a) == 0) {
            errore = _mm256_or_si256(errore, aperto);
            continue;
        }
        errore = _mm256_or_si256(errore, ErroriUtf8(a, prima));
        aperto = Incompleto(a);
        prima = a;
        seguiti += Continuazioni(a);
    }
    if (!_mm256_testz_si256(errore, errore))
        return nullptr;
    // Hand the sequence still open at q back to the byte-at-a-time check, with its continuations.
    const std::uint8_t* aperta = q;
    if (q - p >= 3) {
        if (q[-1] >= 0xC0)
            aperta = q - 1;
        else if (q[-2] >= 0xE0)
            aperta = q - 2;
        else if (q[-3] >= 0xF0)
            aperta = q - 3;
    }
    if (aperta < q)
        seguiti -= static_cast<std::uint64_t>(q - aperta - 1);
    continuazioni += seguiti;
    return aperta;
}

VARNEL_VETTORIALE const std::uint8_t* SaltaAsciiAvx2(const std::uint8_t* p, const std::uint8_t* fine)
{
    while (fine - p >= 32) {
        const auto alti = static_cast<unsigned>(_mm256_movemask_epi8(Carica(p)));
        if (alti != 0)
            return p + __builtin_ctz(alti);
        p += 32;
    }
    return ValidatoreUtf8::SaltaAsciiScalare(p, fine);
}

}  // namespace varnel::dettaglio

#endif
