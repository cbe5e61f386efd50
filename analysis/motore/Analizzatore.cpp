// SPDX-License-Identifier: GPL-3.0-or-later
#include "Analizzatore.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace varnel::dettaglio {

Analizzatore::Analizzatore(const Criterio& criterio, const Kernel& kernel)
    : m_criterio(criterio)
    , m_obiettivi(Obiettivi::Da(criterio))
    , m_kernel(kernel)
{
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
        m_tratto->consuma(p, static_cast<std::size_t>(fine - p));
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
    m_tratto.emplace(m_obiettivi, m_kernel, std::span<const std::uint8_t>{}, StatiIniziali(m_bom));
    if (!m_bom)
        m_tratto->consuma(p, static_cast<std::size_t>(fine - p));
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
    m_macchinaCaratteri.avanza(
        caratteri.data(), caratteri.data() + caratteri.size(), [](const char32_t* p, const char32_t* fine) {
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
    if (m_fase == Fase::Utf16)
        return concludiUtf16();
    const RisultatoTratto tratto = m_tratto->concludi();
    return Unisci(m_criterio, m_obiettivi, {&tratto, 1}, m_bom);
}

Analisi Analizzatore::concludiUtf16()
{
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
    Analisi analisi;
    const auto* simboli = std::get_if<Simboli>(&m_criterio);
    analisi.codifica = m_grandeFinale ? Codifica::Utf16BE : Codifica::Utf16LE;
    analisi.lunghezza = m_caratteri - m_macchinaCaratteri.totaleConsumati() + 2 * m_macchinaCaratteri.giunture();
    for (std::size_t k = 0; k < NumeroSlot; ++k)
        analisi.conteggi[k] = simboli ? Emessi((*simboli)[k], m_contiCaratteri[k], m_macchinaCaratteri)
                                      : m_contiCaratteri[k];
    return analisi;
}

}  // namespace varnel::dettaglio
