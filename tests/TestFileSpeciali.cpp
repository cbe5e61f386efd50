// SPDX-License-Identifier: GPL-3.0-or-later
// What only POSIX has: FIFOs, terminals and endless devices, whose opening never blocks and whose
// silent or endless reading a cancel ends at once; files that cannot be read; system files that
// report a size of their own. A pipe read whole on every system, and Windows's refusals (share
// modes, locked ranges), are in TestFilePortabili.cpp.
#include "Aiuti.h"

#include "AnalisiFile.h"
#include "LeggiTesto.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <pty.h>
#include <sys/stat.h>
#include <unistd.h>

namespace varnel {
namespace {

using namespace std::chrono_literals;

class FileSpeciali : public testing::Test {
protected:
    prova::CartellaTemporanea cartella;
};

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

}  // namespace
}  // namespace varnel
