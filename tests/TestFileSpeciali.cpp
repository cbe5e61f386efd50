// SPDX-License-Identifier: GPL-3.0-or-later
// FIFOs and terminals, which only POSIX has: opening never blocks and a silent source can be
// cancelled at once. A pipe read whole, on every system, is in TestTubi.cpp.
#include "Aiuti.h"

#include "AnalisiFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <future>
#include <pty.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace varnel {
namespace {

using namespace std::chrono_literals;

// Far above the wait of one poll: only a reader that does not see the cancel takes this long.
constexpr auto Limite = 5s;

class FileSpeciali : public testing::Test {
protected:
    // Starts the analysis of `percorso` on another thread, cancels it after a while, and tells
    // whether it ended by the cancel, and in time.
    void annullaDopo(const std::filesystem::path& percorso)
    {
        Avanzamento avanzamento;
        auto esito = std::async(std::launch::async,
                                [&] { return AnalizzaFile(percorso, ModoLettere::Minuscole, avanzamento); });
        ASSERT_EQ(esito.wait_for(150ms), std::future_status::timeout) << "a silent source gave an answer";
        avanzamento.annulla();
        ASSERT_EQ(esito.wait_for(Limite), std::future_status::ready) << "the cancel was not seen";
        EXPECT_EQ(esito.get().errore().motivo, Motivo::Annullata);
    }

    [[nodiscard]] std::filesystem::path fifo() const
    {
        const auto percorso = cartella.percorso() / "fifo";
        EXPECT_EQ(::mkfifo(percorso.c_str(), 0600), 0);
        return percorso;
    }

    prova::CartellaTemporanea cartella;
};

TEST_F(FileSpeciali, AFifoWithoutAWriterCanBeCancelled) { annullaDopo(fifo()); }

TEST_F(FileSpeciali, AFifoWhoseWriterNeverWritesCanBeCancelled)
{
    const auto percorso = fifo();
    std::promise<void> fine;
    std::thread scrittore([&] {
        const int fd = ::open(percorso.c_str(), O_WRONLY);  // waits for the reader to open
        fine.get_future().wait();
        ::close(fd);
    });
    annullaDopo(percorso);
    fine.set_value();
    scrittore.join();
}

TEST_F(FileSpeciali, APseudoTerminalCanBeCancelled)
{
    int padrone = -1;
    int schiavo = -1;
    ASSERT_EQ(::openpty(&padrone, &schiavo, nullptr, nullptr, nullptr), 0);
    annullaDopo(::ttyname(schiavo));
    ::close(schiavo);
    ::close(padrone);
}

}  // namespace
}  // namespace varnel
