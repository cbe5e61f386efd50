// SPDX-License-Identifier: GPL-3.0-or-later
#include "LeggiTesto.h"

#include "Codifica.h"
#include "Lettura.h"

#include <vector>

namespace varnel {

std::u32string CampiInTesto(std::u32string_view s)
{
    std::u32string testo;
    const std::size_t n = s.size();
    std::size_t i = 0;
    bool campoLetto = false;
    while (i < n) {
        campoLetto = true;
        while (i < n && s[i] == U' ')
            ++i;
        if (i < n && s[i] == U'"') {
            const std::size_t chiusura = s.find(U'"', i + 1);
            const std::size_t fine = chiusura == std::u32string_view::npos ? n : chiusura;
            testo.append(s.substr(i + 1, fine - i - 1));
            i = chiusura == std::u32string_view::npos ? n : chiusura + 1;
        }
        while (i < n && s[i] != U',' && s[i] != U'\r' && s[i] != U'\n')
            testo += s[i++];
        if (i < n)
            i += (s[i] == U'\r' && i + 1 < n && s[i + 1] == U'\n') ? std::size_t{2} : std::size_t{1};
        testo += U"\r\n";
    }
    if (campoLetto)
        testo.resize(testo.size() - 2);
    return testo;
}

Esito<std::u32string> LeggiTesto(const std::filesystem::path& percorso)
{
    auto file = FileInLettura::Apri(percorso);
    if (!file.riuscito())
        return file.errore();
    std::string byte;
    std::vector<std::uint8_t> blocco(1 << 16);
    const Avanzamento maiAnnullata;
    for (;;) {
        const auto letti = file.valore().Leggi(blocco, maiAnnullata);
        if (!letti.riuscito())
            return letti.errore();
        if (letti.valore() == 0)
            break;
        byte.append(reinterpret_cast<const char*>(blocco.data()), letti.valore());
    }
    return CampiInTesto(Decodifica(byte));
}

Conteggi ContaLettere(std::u32string_view testo, ModoLettere modo)
{
    Conteggi conteggi{};
    for (const char32_t c : testo) {
        for (std::size_t k = 0; k < NumeroSlot; ++k) {
            const char32_t minuscola = U'a' + static_cast<char32_t>(k);
            const char32_t maiuscola = U'A' + static_cast<char32_t>(k);
            const bool corrisponde = modo == ModoLettere::Minuscole   ? c == minuscola
                                     : modo == ModoLettere::Maiuscole ? c == maiuscola
                                                                      : (c == maiuscola || c == minuscola);
            if (corrisponde)
                ++conteggi[k];
        }
    }
    return conteggi;
}

Conteggi ContaSimboli(std::u32string_view testo, const Simboli& simboli)
{
    Conteggi conteggi{};
    for (const char32_t c : testo) {
        for (std::size_t k = 0; k < NumeroSlot; ++k) {
            if (simboli[k] == c)
                ++conteggi[k];
        }
    }
    return conteggi;
}

}  // namespace varnel
