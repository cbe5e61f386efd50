// SPDX-License-Identifier: GPL-3.0-or-later
// Files on Linux and on Windows alike: names in any script, folders, files above 4 GiB, rewrites
// caught by time, the temporary folders of the tests themselves (inside a folder of any name,
// holding read-only contents), files that stress the reader, named pipes read to the end or
// cancelled; Windows's own refusals (share modes, byte-range locks). What only POSIX has: FIFOs,
// terminals and endless devices, whose opening never blocks and whose silent or endless reading a
// cancel ends at once; files that cannot be read; system files that report a size of their own.
#include "Aiuti.h"
#include "Tubo.h"

#include "AnalisiFile.h"
#include "LeggiTesto.h"
#include "Lettura.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <iostream>
#include <optional>
#include <thread>
#include <vector>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <winioctl.h>
#elif !defined(__EMSCRIPTEN__)
#include <pty.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace varnel {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Reads up to `quanti` bytes at `posizione`, or from where the sequential reading stands.
std::string Leggi(FileInLettura& file, std::size_t quanti, std::optional<std::uint64_t> posizione = {})
{
    std::vector<std::uint8_t> buffer(quanti);
    const Avanzamento maiAnnullata;
    const auto letti = posizione ? file.LeggiDa(*posizione, buffer) : file.Leggi(buffer, maiAnnullata);
    EXPECT_TRUE(letti.riuscito()) << (letti.riuscito() ? "" : letti.errore().dettaglio);
    return letti.riuscito() ? std::string(reinterpret_cast<const char*>(buffer.data()), letti.valore()) : "";
}

// A sparse file of `dimensione` bytes, zero but for `pezzi` at their places.
void CreaRado(const fs::path& percorso, std::uint64_t dimensione,
              const std::vector<std::pair<std::uint64_t, std::string>>& pezzi)
{
#ifdef _WIN32
    const HANDLE file = ::CreateFileW(percorso.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << ::GetLastError();
    DWORD restituiti = 0;
    EXPECT_TRUE(::DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &restituiti, nullptr))
        << ::GetLastError();
    LARGE_INTEGER fine{};
    fine.QuadPart = static_cast<LONGLONG>(dimensione);
    EXPECT_TRUE(::SetFilePointerEx(file, fine, nullptr, FILE_BEGIN));
    EXPECT_TRUE(::SetEndOfFile(file));
    for (const auto& [posizione, testo] : pezzi) {
        LARGE_INTEGER dove{};
        dove.QuadPart = static_cast<LONGLONG>(posizione);
        DWORD scritti = 0;
        EXPECT_TRUE(::SetFilePointerEx(file, dove, nullptr, FILE_BEGIN));
        EXPECT_TRUE(::WriteFile(file, testo.data(), static_cast<DWORD>(testo.size()), &scritti, nullptr));
        EXPECT_EQ(scritti, testo.size());
    }
    ::CloseHandle(file);
#else
    std::ofstream(percorso, std::ios::binary).close();
    fs::resize_file(percorso, dimensione);  // a hole, on any file system that has them
    std::fstream file(percorso, std::ios::in | std::ios::out | std::ios::binary);
    for (const auto& [posizione, testo] : pezzi) {
        file.seekp(static_cast<std::streamoff>(posizione));
        file.write(testo.data(), static_cast<std::streamsize>(testo.size()));
    }
    file.close();
    ASSERT_TRUE(file);
#endif
}

class FilePortabili : public testing::Test {
protected:
    prova::CartellaTemporanea cartella;
};

TEST_F(FilePortabili, ANonAsciiPathToAReadOnlyFileIsRead)
{
    // The tests' own temporary folder works inside one too, and goes away with read-only contents.
    const fs::path sopra = cartella.percorso() / fs::path(u8"cartella è 日本");
    ASSERT_TRUE(fs::create_directory(sopra));
    fs::path sotto;
    {
        const prova::CartellaTemporanea interna(sopra);
        sotto = interna.percorso();
        const fs::path percorso = interna.scrivi(u8"testo è 日本.txt", "Ab, c");
        fs::permissions(percorso, fs::perms::owner_read | fs::perms::group_read
                                      | fs::perms::others_read);  // on Windows: the read-only attribute

        // The name on disk is the Unicode one, not its bytes taken in some code page.
        const std::vector<fs::path> trovati{fs::directory_iterator(sotto), fs::directory_iterator()};
        ASSERT_EQ(trovati.size(), 1u);
        const std::u8string nome = trovati[0].filename().u8string();
        EXPECT_EQ(std::string(nome.begin(), nome.end()), "testo \xC3\xA8 \xE6\x97\xA5\xE6\x9C\xAC.txt");
#ifdef _WIN32
        EXPECT_EQ(trovati[0].filename().wstring(), L"testo \u00E8 \u65E5\u672C.txt");
        EXPECT_NE(::GetFileAttributesW((sotto.wstring() + L"\\testo \u00E8 \u65E5\u672C.txt").c_str()),
                  INVALID_FILE_ATTRIBUTES);
#endif

        const auto analisi = prova::Analizza(percorso, ModoLettere::SenzaDistinzione);
        ASSERT_TRUE(analisi.riuscito()) << analisi.errore().dettaglio;
        EXPECT_EQ(analisi.valore().lunghezza, 5u);
        EXPECT_EQ(Totale(analisi.valore(), true), 3u);
        const auto testo = LeggiTesto(percorso);
        ASSERT_TRUE(testo.riuscito());
        EXPECT_EQ(testo.valore(), U"Ab\r\nc");
        auto file = FileInLettura::Apri(percorso);
        ASSERT_TRUE(file.riuscito());
        EXPECT_TRUE(file.valore().Regolare());
        EXPECT_EQ(file.valore().Dimensione(), 5u);
        fs::create_directory(sotto / "chiusa");  // a read-only folder
        fs::permissions(interna.scrivi("chiusa/dentro.txt", "abc"), fs::perms::owner_read);
        fs::permissions(sotto / "chiusa", fs::perms::owner_read | fs::perms::owner_exec);
    }
    EXPECT_TRUE(fs::is_empty(sopra));
}

TEST_F(FilePortabili, AFolderOrAMissingFileIsRefusedWithItsReason)
{
    const fs::path sotto = cartella.percorso() / fs::path(u8"dentro è 日本");
    ASSERT_TRUE(fs::create_directory(sotto));
    const auto file = cartella.scrivi(u8"c'è.txt", "abc");
    for (const auto& [percorso, motivo] : std::initializer_list<std::pair<fs::path, Motivo>>{
             {cartella.percorso(), Motivo::Cartella},
             {sotto, Motivo::Cartella},
             {sotto / "", Motivo::Cartella},
             {sotto / fs::path(u8"manca è 日本.txt"), Motivo::NonTrovato},
             {cartella.percorso() / "manca" / "x.txt", Motivo::NonTrovato},
             {file / "x.txt", Motivo::NonTrovato},
         }) {
        const auto esito = FileInLettura::Apri(percorso);
        ASSERT_FALSE(esito.riuscito());
        EXPECT_EQ(esito.errore().motivo, motivo) << esito.errore().dettaglio;
        EXPECT_FALSE(esito.errore().dettaglio.empty());
        EXPECT_EQ(prova::Analizza(percorso, ModoLettere::Minuscole).errore().motivo, motivo);
        EXPECT_EQ(LeggiTesto(percorso).errore().motivo, motivo);
    }
}

TEST_F(FilePortabili, AFileAboveFourGiBIsReadByPositionAndInOrder)
{
    VARNEL_SOLO_FILE_DI_SISTEMA("no positional reads past 4 GiB");
    // Only the ends are read: the bytes across the 4 GiB line and the last ones, by position; a
    // positional read leaves the sequential one where it was.
    constexpr std::uint64_t Limite = std::uint64_t{1} << 32;
    constexpr std::uint64_t Dimensione = Limite + (std::uint64_t{1} << 20) + 7;
    const fs::path percorso = cartella.percorso() / fs::path(u8"grande è.bin");
    CreaRado(percorso, Dimensione, {{0, "0123456789"}, {Limite - 8, "12345678ABCDEFGH"}, {Dimensione - 5, "fine!"}});
    ASSERT_EQ(fs::file_size(percorso), Dimensione);

    auto esito = FileInLettura::Apri(percorso);
    ASSERT_TRUE(esito.riuscito()) << esito.errore().dettaglio;
    auto& file = esito.valore();
    EXPECT_TRUE(file.Regolare());
    EXPECT_EQ(file.Dimensione(), Dimensione);
    EXPECT_EQ(Leggi(file, 3), "012");
    EXPECT_EQ(Leggi(file, 16, Limite - 8), "12345678ABCDEFGH");
    EXPECT_EQ(Leggi(file, 3), "345");
    EXPECT_EQ(Leggi(file, 6, Limite + 2), "CDEFGH");
    EXPECT_EQ(Leggi(file, 4, Limite + 4096), std::string(4, '\0'));
    EXPECT_EQ(Leggi(file, 64, Dimensione - 5), "fine!");  // short only at the end
    EXPECT_EQ(Leggi(file, 16, Dimensione), "");
    EXPECT_EQ(Leggi(file, 16, Dimensione + Limite), "");
    EXPECT_EQ(Leggi(file, 4), "6789");
    EXPECT_FALSE(file.ControllaInvariato());
}

TEST_F(FilePortabili, ASameSizeRewriteWhileReadIsNoticed)
{
    VARNEL_SOLO_FILE_DI_SISTEMA("modification times in whole seconds");
    // The rewrites come within the same second as the opening: a time kept in whole seconds
    // would miss most of them.
    int notate = 0;
    for (int i = 0; i < 10; ++i) {
        const auto percorso = cartella.scrivi("riscritto.txt", std::string(4096, 'a'));
        auto file = FileInLettura::Apri(percorso);
        ASSERT_TRUE(file.riuscito());
        EXPECT_EQ(Leggi(file.valore(), 1024, 0), std::string(1024, 'a'));
        EXPECT_FALSE(file.valore().ControllaInvariato());
        std::this_thread::sleep_for(20ms);  // beyond the file system's clock tick
        (void)cartella.scrivi("riscritto.txt", std::string(4096, 'b'));
        ASSERT_EQ(fs::file_size(percorso), 4096u);
        const auto cambiato = file.valore().ControllaInvariato();
        notate += cambiato && cambiato->motivo == Motivo::FileModificato;
    }
    EXPECT_EQ(notate, 10);
}

TEST_F(FilePortabili, DifficultFilesGetTheRightLengthAndLetters)
{
    using namespace std::string_view_literals;
    std::string righe;
    for (int i = 0; i < 10'000'000; ++i)
        righe += "\r\n";
    std::string riga(64u << 20, 'x');  // one line without end across many buffers
    riga[12345] = ' ';
    riga.back() = 'Q';
    const struct {
        std::string nome, contenuto;
        std::uint64_t lunghezza, lettere;
        Codifica codifica;
    } casi[] = {
        {"vuote.txt", righe, 2u * (10'000'000 - 1), 0, Codifica::Utf8},  // one empty field a line, joined by CR LF
        {"riga.txt", riga, riga.size(), riga.size() - 1, Codifica::Utf8},
        {"utf16.txt", std::string("\xFF\xFE\x43\0i\0a\0o\0,\0 \0\xE8\0\r\0\n\0"sv), 7, 4,
         Codifica::Utf16LE},  // Ciao, CR LF, è
        {"vuoto.txt", "", 0, 0, Codifica::Utf8},
    };
    for (const auto& caso : casi) {
        const auto esito = prova::Analizza(cartella.scrivi(caso.nome, caso.contenuto), ModoLettere::SenzaDistinzione);
        ASSERT_TRUE(esito.riuscito()) << caso.nome;
        EXPECT_EQ(esito.valore().lunghezza, caso.lunghezza) << caso.nome;
        EXPECT_EQ(Totale(esito.valore(), true), caso.lettere) << caso.nome;
        EXPECT_EQ(esito.valore().codifica, caso.codifica) << caso.nome;
    }
}

TEST_F(FilePortabili, APipeIsReadToItsEndAndASilentOneUntilACancel)
{
    VARNEL_SOLO_FILE_DI_SISTEMA("no pipes");
    for (const bool muto : {false, true}) {
        SCOPED_TRACE(muto ? "silent" : "closed");
        prova::Tubo tubo(cartella, muto ? "muto" : "chiuso");
        Avanzamento avanzamento;
        auto esito = std::async(std::launch::async,
                                [&] { return AnalizzaFile(tubo.percorso(), ModoLettere::Minuscole, avanzamento); });
        if (!tubo.attendiLettore()) {
            avanzamento.annulla();
            FAIL() << "the reader did not open the pipe";
        }
        tubo.scrivi("abc,");
        if (muto) {
            // The writer stays silent, its end open: only the cancel ends the reading.
            for (int i = 0; i < 10000 && avanzamento.letti() < 4; ++i)
                std::this_thread::sleep_for(1ms);
            EXPECT_EQ(avanzamento.letti(), 4u);
            avanzamento.annulla();
            ASSERT_EQ(esito.wait_for(10s), std::future_status::ready) << "the cancel was not seen";
            EXPECT_EQ(prova::MotivoDi(esito.get()), Motivo::Annullata);
        } else {
            std::this_thread::sleep_for(60ms);  // the reader waits more than one slice
            tubo.scrivi(" de");
            tubo.chiudi();
            const auto analisi = esito.get();
            ASSERT_TRUE(analisi.riuscito()) << analisi.errore().dettaglio;
            EXPECT_EQ(analisi.valore().lunghezza, 7u);  // abc, CR LF, de
            EXPECT_EQ(Totale(analisi.valore(), true), 5u);
            EXPECT_EQ(avanzamento.dimensione(), 0u);
        }
    }
}

// POSIX has no share modes, and its locks are advisory: what cannot be read there is below.
#ifdef _WIN32
TEST_F(FilePortabili, AFileOpenedExclusivelyElsewhere)
{
    const auto percorso = cartella.scrivi(u8"esclusivo è 日本.txt", "abc");
    const HANDLE altro = ::CreateFileW(percorso.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(altro, INVALID_HANDLE_VALUE) << ::GetLastError();
    const auto esito = FileInLettura::Apri(percorso);
    const auto analisi = prova::Analizza(percorso, ModoLettere::Minuscole);
    ::CloseHandle(altro);
    ASSERT_FALSE(esito.riuscito());
    EXPECT_EQ(esito.errore().motivo, Motivo::Altro);  // neither missing nor forbidden: in use
    EXPECT_FALSE(esito.errore().dettaglio.empty());
    std::cout << "[ dettaglio ] " << esito.errore().dettaglio << '\n';
    EXPECT_EQ(analisi.errore().motivo, Motivo::Altro);
    EXPECT_TRUE(FileInLettura::Apri(percorso).riuscito());  // free again
}

TEST_F(FilePortabili, AReadFailureGivesTheSystemsReason)
{
    if (::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr)
        GTEST_SKIP() << "Wine keeps byte-range locks but does not enforce them on reads";
    // A byte range locked by another handle cannot be read: the failure comes in the middle.
    const auto percorso = cartella.scrivi("bloccato.txt", std::string(1 << 16, 'a'));
    const HANDLE altro = ::CreateFileW(percorso.c_str(), GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(altro, INVALID_HANDLE_VALUE);
    OVERLAPPED zona{};
    ASSERT_TRUE(::LockFileEx(altro, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1 << 16, 0, &zona))
        << ::GetLastError();
    const auto esito = prova::Analizza(percorso, ModoLettere::Minuscole);
    ::UnlockFileEx(altro, 0, 1 << 16, 0, &zona);
    ::CloseHandle(altro);
    ASSERT_FALSE(esito.riuscito());
    EXPECT_EQ(esito.errore().motivo, Motivo::ErroreLettura);
    EXPECT_FALSE(esito.errore().dettaglio.empty());
    std::cout << "[ dettaglio ] " << esito.errore().dettaglio << '\n';
}
#endif

// No FIFOs nor terminals in emscripten's emulated files.
#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
using FileSpeciali = FilePortabili;

TEST_F(FileSpeciali, ASilentOrEndlessSourceCanBeCancelled)
{
    const auto fifo = cartella.percorso() / "fifo";  // no writer will ever open it
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    int padrone = -1;
    int schiavo = -1;
    ASSERT_EQ(::openpty(&padrone, &schiavo, nullptr, nullptr, nullptr), 0);
    for (const auto& percorso : {fifo, std::filesystem::path(::ttyname(schiavo)), std::filesystem::path("/dev/zero")}) {
        SCOPED_TRACE(percorso);
        Avanzamento avanzamento;
        auto esito = std::async(std::launch::async,
                                [&] { return AnalizzaFile(percorso, ModoLettere::Minuscole, avanzamento); });
        ASSERT_EQ(esito.wait_for(150ms), std::future_status::timeout) << "a silent source gave an answer";
        avanzamento.annulla();
        // Far above the wait of one poll: only a reader that does not see the cancel takes this long.
        ASSERT_EQ(esito.wait_for(5s), std::future_status::ready) << "the cancel was not seen";
        EXPECT_EQ(esito.get().errore().motivo, Motivo::Annullata);
    }
    ::close(schiavo);
    ::close(padrone);
}

TEST_F(FileSpeciali, WhatCannotBeReadIsRefusedWithItsReason)
{
    const auto chiuso = cartella.scrivi("chiuso.txt", "abc");
    std::filesystem::permissions(chiuso, std::filesystem::perms::none);
    for (const auto& [percorso, motivo] : {std::pair{std::filesystem::path("/proc/self/mem"), Motivo::ErroreLettura},
                                           std::pair{chiuso, Motivo::PermessoNegato}}) {
        if (motivo == Motivo::PermessoNegato && ::geteuid() == 0)
            continue;  // root reads every file
        const auto errore = prova::Analizza(percorso, ModoLettere::Minuscole).errore();
        EXPECT_EQ(errore.motivo, motivo) << percorso;
        EXPECT_FALSE(errore.dettaglio.empty());
    }
}

TEST_F(FileSpeciali, ASystemFileThatReportsMoreThanItHoldsIsReadWhole)
{
    // The system reports such files as 4096 bytes long, whatever they hold.
    const std::filesystem::path percorso = "/sys/devices/system/cpu/online";
    if (!std::filesystem::exists(percorso))
        GTEST_SKIP() << percorso << " is not on this system";
    const auto esito = prova::Analizza(percorso, ModoLettere::SenzaDistinzione);
    ASSERT_TRUE(esito.riuscito()) << esito.errore().dettaglio;
    const auto riferimento = LeggiTesto(percorso);
    ASSERT_TRUE(riferimento.riuscito());
    EXPECT_EQ(esito.valore().lunghezza, riferimento.valore().size());
    EXPECT_GT(esito.valore().lunghezza, 0u);
}
#endif

}  // namespace
}  // namespace varnel
