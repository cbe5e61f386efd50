// SPDX-License-Identifier: GPL-3.0-or-later
#include "ChiaveInLavoro.h"

#include <algorithm>

namespace varnel {

bool StoriaChiave::cambia(const Chiave& nuova, Modifica perche)
{
    if (nuova == attuale())
        return false;
    m_passi.resize(m_posizione + 1);
    m_passi.push_back({nuova, perche});
    if (m_passi.size() > PassiRicordati + 1)
        m_passi.erase(m_passi.begin());
    m_posizione = m_passi.size() - 1;
    return true;
}

std::optional<Modifica> StoriaChiave::daAnnullare() const
{
    return m_posizione > 0 ? std::optional(m_passi[m_posizione].perche) : std::nullopt;
}

std::optional<Modifica> StoriaChiave::daRipetere() const
{
    return m_posizione + 1 < m_passi.size() ? std::optional(m_passi[m_posizione + 1].perche) : std::nullopt;
}

bool StoriaChiave::annulla()
{
    if (m_posizione == 0)
        return false;
    --m_posizione;
    return true;
}

bool StoriaChiave::ripeti()
{
    if (m_posizione + 1 >= m_passi.size())
        return false;
    ++m_posizione;
    return true;
}

void StoriaChiave::ricomincia() { *this = StoriaChiave(); }

InsiemeSlot LettereNonUsate(const Chiave& chiave)
{
    InsiemeSlot libere;
    libere.set();
    for (const char lettera : chiave) {
        if (lettera)
            libere.reset(static_cast<std::size_t>(lettera - 'a'));
    }
    return libere;
}

InsiemeSlot SimboliSenzaLettera(const Chiave& chiave)
{
    InsiemeSlot liberi;
    for (std::size_t k = 0; k < NumeroSlot; ++k)
        liberi[k] = chiave[k] == 0;
    return liberi;
}

InsiemeSlot Doppioni(const Chiave& chiave)
{
    InsiemeSlot doppi;
    for (std::size_t k = 0; k < NumeroSlot; ++k)
        doppi[k] = chiave[k] != 0 && std::count(chiave.begin(), chiave.end(), chiave[k]) > 1;
    return doppi;
}

namespace {

// The uppercase of the lowercase letters of the scripts a classroom ciphertext is written in:
// Latin (with Latin-1's accented letters), Greek and Cyrillic. Anything else stays as it is.
[[nodiscard]] char32_t Maiuscola(char32_t c)
{
    if ((c >= U'a' && c <= U'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7) || (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2)
        || (c >= 0x430 && c <= 0x44F))
        return c - 0x20;
    if (c == 0xFF)
        return 0x178;  // ÿ
    if (c == 0x3C2)
        return 0x3A3;  // final sigma
    if (c >= 0x450 && c <= 0x45F)
        return c - 0x50;
    return c;
}

}  // namespace

TestoSegnato ConvenzioneClassica(std::u32string_view testo, const Criterio& criterio, const Chiave& chiave)
{
    const MappaSimboli mappa(criterio);
    const InsiemeSlot doppi = Doppioni(chiave);
    TestoSegnato segnato{std::u32string(testo), std::vector<Segno>(testo.size(), Segno::Cifrato)};
    for (std::size_t i = 0; i < testo.size(); ++i) {
        char32_t& c = segnato.testo[i];
        const int slot = mappa.slot(c);
        const char lettera = slot == MappaSimboli::Nessuno ? 0 : chiave[static_cast<std::size_t>(slot)];
        if (lettera) {
            c = static_cast<char32_t>(lettera);
            segnato.segni[i] = doppi[static_cast<std::size_t>(slot)] ? Segno::Doppione : Segno::Sostituito;
        } else {
            c = Maiuscola(c);
        }
    }
    return segnato;
}

}  // namespace varnel
