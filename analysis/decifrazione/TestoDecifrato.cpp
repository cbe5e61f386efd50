// SPDX-License-Identifier: GPL-3.0-or-later
// The analysed file's text, decoded as its analysis read it: its beginning, and the whole of it
// saved under a key.
#include "Cifrario.h"
#include "DecodificaFlusso.h"
#include "Lettura.h"
#include "Scrittura.h"
#include "Utf8DaUtf16.h"

#include <functional>

namespace varnel {

namespace {

// The beginning read for the window never grows past this, whatever the file holds.
constexpr std::size_t LimiteCaratteri = std::size_t{1} << 22;

void AggiungiUtf8(std::string& uscita, char32_t c)
{
    std::uint8_t byte[4];
    ScriviUtf8(c, byte);
    uscita.append(reinterpret_cast<const char*>(byte), LunghezzaUtf8(c));
}

[[nodiscard]] std::string_view Vista(std::span<const std::uint8_t> byte)
{
    return {reinterpret_cast<const char*>(byte.data()), byte.size()};
}

[[nodiscard]] Errore Cambiato() { return {Motivo::FileModificato, {}}; }

FonteByte DaFile(FileInLettura& file, const Avanzamento& avanzamento)
{
    return [&file, &avanzamento](std::span<std::uint8_t> buffer) { return file.Leggi(buffer, avanzamento); };
}

FonteByte DaTesto(dettaglio::Utf8DaUtf16& testo)
{
    return [&testo](std::span<std::uint8_t> buffer) -> Esito<std::size_t> { return testo.Leggi(buffer); };
}

}  // namespace

std::size_t DecodificaFlusso::completi() const
{
    const std::size_t n = m_resto.size();
    if (m_codifica == Codifica::Windows1252)
        return n;
    if (m_codifica != Codifica::Utf8) {
        // Whole 16-bit units, and a high surrogate waits for its partner.
        const std::size_t pari = n & ~std::size_t{1};
        if (pari < 2)
            return pari;
        const auto alto = static_cast<std::uint8_t>(m_resto[m_codifica == Codifica::Utf16BE ? pari - 2 : pari - 1]);
        return (alto >= 0xD8 && alto <= 0xDB) ? pari - 2 : pari;
    }
    // A sequence whose lead byte is among the last three may still miss bytes.
    for (std::size_t k = 1; k <= std::min<std::size_t>(3, n); ++k) {
        const auto b = static_cast<std::uint8_t>(m_resto[n - k]);
        if ((b & 0xC0) == 0x80)
            continue;
        const std::size_t lunghezza = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        return lunghezza > k ? n - k : n;
    }
    return n;
}

bool DecodificaFlusso::aggiungi(std::string_view byte, std::u32string& testo)
{
    m_resto += byte;
    if (m_inizio) {
        // The byte-order mark is the analysis's reason for the code page, not text.
        const std::size_t marca = m_codifica == Codifica::Utf8 ? 3 : m_codifica == Codifica::Windows1252 ? 0 : 2;
        if (m_resto.size() < marca)
            return true;
        if (m_codifica != Codifica::Utf8 || InizioUtf8Bom(m_resto))
            m_resto.erase(0, marca);
        m_inizio = false;
    }
    const std::size_t n = completi();
    auto decodificato = DecodificaCome(std::string_view(m_resto).substr(0, n), m_codifica);
    if (!decodificato)
        return false;
    testo += *decodificato;
    m_resto.erase(0, n);
    return true;
}

bool DecodificaFlusso::concludi(std::u32string& testo)
{
    if (m_inizio && m_codifica != Codifica::Utf8 && m_codifica != Codifica::Windows1252)
        m_resto.erase(0, 2);
    m_inizio = false;
    auto decodificato = DecodificaCome(m_resto, m_codifica);
    m_resto.clear();
    if (!decodificato)
        return false;
    testo += *decodificato;
    return true;
}

Esito<std::u32string> LeggiInizio(const FonteByte& fonte, Codifica codifica, const Criterio& criterio,
                                  std::size_t caratteri, std::size_t simboli)
{
    const MappaSimboli mappa(criterio);
    DecodificaFlusso flusso(codifica);
    const BufferDiLettura memoria(DimensioneBuffer);
    std::u32string testo;
    std::size_t contati = 0;
    std::size_t visti = 0;
    while ((testo.size() < caratteri || contati < simboli) && testo.size() < LimiteCaratteri) {
        const auto letti = fonte(memoria.dati());
        if (!letti.riuscito())
            return letti.errore();
        if (letti.valore() == 0) {
            if (!flusso.concludi(testo))
                return Cambiato();
            break;
        }
        if (!flusso.aggiungi(Vista(memoria.dati().first(letti.valore())), testo))
            return Cambiato();
        for (; visti < testo.size(); ++visti)
            contati += mappa.slot(testo[visti]) != MappaSimboli::Nessuno ? 1u : 0u;
    }
    return testo;
}

Esito<std::u32string> LeggiInizio(const std::filesystem::path& percorso, Codifica codifica, const Criterio& criterio,
                                  std::size_t caratteri, std::size_t simboli)
{
    auto file = FileInLettura::Apri(percorso);
    if (!file.riuscito())
        return file.errore();
    const Avanzamento avanzamento;
    return LeggiInizio(DaFile(file.valore(), avanzamento), codifica, criterio, caratteri, simboli);
}

std::u32string LeggiInizio(std::u16string_view testo, const Criterio& criterio, std::size_t caratteri,
                           std::size_t simboli)
{
    dettaglio::Utf8DaUtf16 utf8(testo);
    // UTF-8 made from UTF-16 always decodes.
    return LeggiInizio(DaTesto(utf8), Codifica::Utf8, criterio, caratteri, simboli).valore();
}

std::optional<Errore> ScriviDecifrato(const FonteByte& fonte, Codifica codifica, const Sostituzione& sostituzione,
                                      Uscita& uscita, Avanzamento& avanzamento)
{
    DecodificaFlusso flusso(codifica);
    const BufferDiLettura memoria(DimensioneBuffer);
    std::u32string testo;
    std::string utf8;
    for (bool fine = false; !fine;) {
        const auto letti = fonte(memoria.dati());
        if (!letti.riuscito())
            return letti.errore();
        testo.clear();
        fine = letti.valore() == 0;
        const bool valido = fine ? flusso.concludi(testo)
                                 : flusso.aggiungi(Vista(memoria.dati().first(letti.valore())), testo);
        if (!valido)
            return Cambiato();
        utf8.clear();
        for (const char32_t c : testo) {
            const char32_t s = sostituzione.sostituto(c);
            AggiungiUtf8(utf8, s ? s : c);
        }
        if (auto errore = uscita.scrivi(utf8))
            return errore;
        avanzamento.aggiungi(letti.valore());
        if (avanzamento.annullata())
            return Errore{Motivo::Annullata, {}};
    }
    return std::nullopt;
}

namespace {

// The analysed file, opened again: the version the analysis read, or why it cannot be had.
Esito<FileInLettura> RiapriAnalizzato(const std::filesystem::path& sorgente, const ImprontaFile& analizzato)
{
    auto file = FileInLettura::Apri(sorgente);
    if (!file.riuscito()) {
        if (file.errore().motivo == Motivo::NonTrovato)
            return Errore{Motivo::AnalizzatoMancante, {}};
        return file.errore();
    }
    const ImprontaFile& adesso = file.valore().Impronta();
    // A pipe or a device is the same one again, whatever it gives now.
    const bool stesso = adesso.regolare ? adesso == analizzato
                                        : adesso.volume == analizzato.volume && adesso.nodo == analizzato.nodo;
    if (!stesso)
        return Errore{Motivo::AnalizzatoCambiato, {}};
    return file;
}

}  // namespace

Esito<Scritto> SalvaDecifrato(const std::filesystem::path& sorgente, const ImprontaFile& analizzato, Codifica codifica,
                              const Sostituzione& sostituzione, const std::filesystem::path& destinazione,
                              Avanzamento& avanzamento)
{
    auto file = RiapriAnalizzato(sorgente, analizzato);
    if (!file.riuscito())
        return file.errore();
    // Names are compared as files: two names of one file, and only files that exist.
    if (const auto esistente = ImprontaDi(destinazione); esistente.riuscito()
                                                         && esistente.valore().volume == analizzato.volume
                                                         && esistente.valore().nodo == analizzato.nodo)
        return Errore{Motivo::StessoFile, {}};
    avanzamento.fissaDimensione(file.valore().Dimensione());
    return ScriviFile(destinazione, [&](Uscita& uscita) -> std::optional<Errore> {
        auto errore = ScriviDecifrato(DaFile(file.valore(), avanzamento), codifica, sostituzione, uscita, avanzamento);
        if (!errore)
            errore = file.valore().ControllaInvariato();
        // The file was the analysed version when the save began: any change since is a change after the analysis.
        if (errore && errore->motivo == Motivo::FileModificato)
            return Errore{Motivo::AnalizzatoCambiato, {}};
        return errore;
    });
}

Esito<Scritto> SalvaDecifrato(std::u16string_view testo, const Sostituzione& sostituzione,
                              const std::filesystem::path& destinazione, Avanzamento& avanzamento)
{
    avanzamento.fissaDimensione(dettaglio::Utf8DaUtf16::Lunghezza(testo));
    return ScriviFile(destinazione, [&](Uscita& uscita) {
        dettaglio::Utf8DaUtf16 utf8(testo);
        return ScriviDecifrato(DaTesto(utf8), Codifica::Utf8, sostituzione, uscita, avanzamento);
    });
}

}  // namespace varnel
