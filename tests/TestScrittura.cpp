// SPDX-License-Identifier: GPL-3.0-or-later
// Files written whole or not at all: what a failing disk, a cancel, a protected destination or a
// changed source leave behind.
#include "Aiuti.h"
#include "Cifrario.h"
#include "Scrittura.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

namespace varnel::prova {
namespace {

namespace fs = std::filesystem;

std::set<fs::path> Nomi(const fs::path& cartella)
{
    std::set<fs::path> nomi;
    for (const auto& voce : fs::directory_iterator(cartella))
        nomi.insert(voce.path().filename());
    return nomi;
}

constexpr std::string_view Vecchio = "the user's own file\n";
const std::string Nuovo(300'000, 'n');  // larger than one write of the writer

struct Caso {
    const char* nome;
    std::function<void(const CartellaTemporanea&)> prepara;  // the destination holds Vecchio before
    std::function<std::optional<Errore>(Uscita&)> contenuto;
    std::optional<Motivo> motivo;  // nothing when the file must be written
};

std::optional<Errore> ScriviNuovo(Uscita& uscita) { return uscita.scrivi(Nuovo); }

TEST(ScriviFile, TheDestinationIsWholeOldOrWholeNewAndNothingElseIsLeft)
{
    const std::vector<Caso> casi{
        {"replaces", [](const CartellaTemporanea&) {}, ScriviNuovo, std::nullopt},
        {"cancelled half-way", [](const CartellaTemporanea&) {},
         [](Uscita& uscita) -> std::optional<Errore> {
             (void)uscita.scrivi(Nuovo);
             return Errore{Motivo::Annullata, {}};
         },
         Motivo::Annullata},
        {"a neighbour named like a temporary file is not touched",
         [](const CartellaTemporanea& c) {
             (void)c.scrivi("uscita.txt.parziale", Vecchio);
             (void)c.scrivi(".uscita.txt.tmp", Vecchio);
         },
         ScriviNuovo, std::nullopt},
        {"read-only destination",
         [](const CartellaTemporanea& c) {
             fs::permissions(c.percorso() / "uscita.txt", fs::perms::owner_read | fs::perms::group_read);
         },
         ScriviNuovo, Motivo::SolaLettura},
#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)  // no file size limit in emscripten's files
        {"the disk fails half-way", [](const CartellaTemporanea&) {},
         [](Uscita& uscita) {
             const LimiteDimensione limite(64 * 1024);
             return uscita.scrivi(Nuovo);
         },
         Motivo::ErroreScrittura},
#endif
    };
    for (const Caso& caso : casi) {
        SCOPED_TRACE(caso.nome);
        const CartellaTemporanea cartella;
        const auto destinazione = cartella.scrivi("uscita.txt", Vecchio);
        caso.prepara(cartella);
        const auto prima = Nomi(cartella.percorso());
        const auto esito = ScriviFile(destinazione, caso.contenuto);
        EXPECT_EQ(MotivoDi(esito), caso.motivo);
        EXPECT_EQ(LeggiFile(destinazione), caso.motivo ? std::string(Vecchio) : Nuovo);
        EXPECT_EQ(Nomi(cartella.percorso()), prima);
        for (const auto& nome : prima) {
            if (nome != "uscita.txt") {
                EXPECT_EQ(LeggiFile(cartella.percorso() / nome), Vecchio) << nome;
            }
        }
    }
}

TEST(ScriviFile, RefusesWhereNoFileCanBe)
{
    const CartellaTemporanea cartella;
    fs::create_directory(cartella.percorso() / "cartella");
    EXPECT_EQ(ScriviFile(cartella.percorso() / "manca" / "x.txt", "x").errore().motivo, Motivo::CartellaMancante);
    EXPECT_EQ(ScriviFile(cartella.percorso() / "cartella", "x").errore().motivo, Motivo::Cartella);
    EXPECT_EQ(Nomi(cartella.percorso()), std::set<fs::path>{"cartella"});
    EXPECT_TRUE(fs::is_empty(cartella.percorso() / "cartella"));
}

#ifndef _WIN32
TEST(ScriviFile, AReplacedFileKeepsItsPermissions)
{
    const CartellaTemporanea cartella;
    const auto destinazione = cartella.scrivi("uscita.txt", Vecchio);
    fs::permissions(destinazione, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(ScriviFile(destinazione, "x").riuscito());
    EXPECT_EQ(fs::status(destinazione).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}
#endif

// The analysed file, and what becomes of it between the analysis and the save.
struct CasoSorgente {
    const char* nome;
    std::function<void(const CartellaTemporanea&, const fs::path& sorgente)> dopoAnalisi;
    bool destinazioneEsiste;
    std::optional<Motivo> motivo;
};

TEST(SalvaDecifrato, SavesOnlyTheVersionThatWasAnalysed)
{
    const std::vector<CasoSorgente> casi{
        {"unchanged", [](auto&, auto&) {}, false, std::nullopt},
        {"deleted", [](auto&, const fs::path& s) { fs::remove(s); }, false, Motivo::AnalizzatoMancante},
        {"deleted, over an existing file", [](auto&, const fs::path& s) { fs::remove(s); }, true,
         Motivo::AnalizzatoMancante},
        {"truncated", [](auto&, const fs::path& s) { fs::resize_file(s, 3); }, false, Motivo::AnalizzatoCambiato},
#ifndef __EMSCRIPTEN__  // emscripten's files: times in whole seconds, no hard links
        {"replaced by another of the same size",
         [](const CartellaTemporanea& c, const fs::path& s) {
             fs::rename(c.scrivi("altro.txt", std::string(static_cast<std::size_t>(fs::file_size(s)), 'z')), s);
         },
         false, Motivo::AnalizzatoCambiato},
        {"the destination is another name of it",
         [](const CartellaTemporanea& c, const fs::path& s) {
             fs::remove(c.percorso() / "uscita.txt");
             fs::create_hard_link(s, c.percorso() / "uscita.txt");
         },
         true, Motivo::StessoFile},
#endif
    };
    for (const CasoSorgente& caso : casi) {
        SCOPED_TRACE(caso.nome);
        const CartellaTemporanea cartella;
        const auto sorgente = cartella.scrivi("cifrato.txt", "Qq xyz\n");
        const auto destinazione = cartella.percorso() / "uscita.txt";
        if (caso.destinazioneEsiste)
            (void)cartella.scrivi("uscita.txt", Vecchio);
        Avanzamento avanzamento;
        ImprontaFile analizzato;
        ASSERT_TRUE(AnalizzaFile(sorgente, ModoLettere::SenzaDistinzione, avanzamento, analizzato).riuscito());
        caso.dopoAnalisi(cartella, sorgente);
        const auto prima = Nomi(cartella.percorso());
        const auto dopo = fs::exists(destinazione) ? LeggiFile(destinazione) : std::string();
        const auto esito = SalvaDecifrato(sorgente, analizzato, Codifica::Utf8,
                                          Sostituzione(ModoLettere::SenzaDistinzione, ChiaveDa("----------------e")),
                                          destinazione, avanzamento);
        EXPECT_EQ(MotivoDi(esito), caso.motivo);
        if (!caso.motivo) {
            EXPECT_EQ(LeggiFile(destinazione), "Ee xyz\n");
            continue;
        }
        EXPECT_EQ(Nomi(cartella.percorso()), prima);
        if (fs::exists(destinazione)) {
            EXPECT_EQ(LeggiFile(destinazione), dopo);
        }
    }
}

}  // namespace
}  // namespace varnel::prova
