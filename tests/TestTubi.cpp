// SPDX-License-Identifier: GPL-3.0-or-later
// Named pipes on Linux and on Windows alike: read to the end of what the writer sends, and
// a silent writer that only a cancel gets past.
#include "Aiuti.h"

#include "AnalisiFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <thread>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace varnel {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A named pipe and its writing end, driven by the test: a FIFO on POSIX, a pipe of the system's
// pipe namespace on Windows. The reading end is whatever opens `percorso()`.
class Tubo {
public:
    explicit Tubo(const prova::CartellaTemporanea& cartella)
    {
#ifdef _WIN32
        m_percorso = fs::path(L"\\\\.\\pipe") / cartella.percorso().filename();
        m_server = ::CreateNamedPipeW(m_percorso.c_str(), PIPE_ACCESS_OUTBOUND | FILE_FLAG_OVERLAPPED,
                                      PIPE_TYPE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 1 << 16, 1 << 16, 0,
                                      nullptr);
        EXPECT_NE(m_server, INVALID_HANDLE_VALUE) << ::GetLastError();
#else
        m_percorso = cartella.percorso() / "tubo";
        EXPECT_EQ(::mkfifo(m_percorso.c_str(), 0600), 0) << errno;
#endif
    }
    ~Tubo()
    {
        chiudi();
#ifdef _WIN32
        if (m_server != INVALID_HANDLE_VALUE)
            ::CloseHandle(m_server);
#endif
    }
    Tubo(const Tubo&) = delete;
    Tubo& operator=(const Tubo&) = delete;

    [[nodiscard]] const fs::path& percorso() const { return m_percorso; }

    // Waits, at most a few seconds, for a reader to open the pipe.
    [[nodiscard]] bool attendiLettore()
    {
        const auto scadenza = std::chrono::steady_clock::now() + 10s;
#ifdef _WIN32
        OVERLAPPED richiesta{};
        richiesta.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        bool connesso = ::ConnectNamedPipe(m_server, &richiesta) != 0;
        if (!connesso) {
            const DWORD codice = ::GetLastError();
            connesso = codice == ERROR_PIPE_CONNECTED
                       || (codice == ERROR_IO_PENDING
                           && ::WaitForSingleObject(richiesta.hEvent, 10000) == WAIT_OBJECT_0);
            if (codice == ERROR_IO_PENDING && !connesso) {
                ::CancelIoEx(m_server, &richiesta);
                DWORD n = 0;
                ::GetOverlappedResult(m_server, &richiesta, &n, TRUE);
            }
        }
        ::CloseHandle(richiesta.hEvent);
        m_aperto = connesso;
        (void)scadenza;
#else
        // Without a reader, opening for writing without waiting fails with ENXIO.
        while (!m_aperto && std::chrono::steady_clock::now() < scadenza) {
            m_scrittore = ::open(m_percorso.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            m_aperto = m_scrittore >= 0;
            if (!m_aperto)
                std::this_thread::sleep_for(5ms);
        }
#endif
        return m_aperto;
    }

    void scrivi(std::string_view testo)
    {
#ifdef _WIN32
        OVERLAPPED richiesta{};
        richiesta.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        DWORD scritti = 0;
        if (!::WriteFile(m_server, testo.data(), static_cast<DWORD>(testo.size()), nullptr, &richiesta)) {
            EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_IO_PENDING));
        }
        EXPECT_TRUE(::GetOverlappedResult(m_server, &richiesta, &scritti, TRUE));
        ::CloseHandle(richiesta.hEvent);
        EXPECT_EQ(scritti, testo.size());
#else
        EXPECT_EQ(::write(m_scrittore, testo.data(), testo.size()), static_cast<ssize_t>(testo.size()));
#endif
    }

    // Closes the writing end, as a writer that ends does: the reader sees the end of the data.
    void chiudi()
    {
        if (!m_aperto)
            return;
        m_aperto = false;
#ifdef _WIN32
        ::CloseHandle(m_server);  // not DisconnectNamedPipe, which throws away what is still unread
        m_server = INVALID_HANDLE_VALUE;
#else
        ::close(m_scrittore);
#endif
    }

private:
    fs::path m_percorso;
    bool m_aperto = false;
#ifdef _WIN32
    HANDLE m_server = INVALID_HANDLE_VALUE;
#else
    int m_scrittore = -1;
#endif
};

// The analysis of the pipe on a thread of its own, started once the test's writer is ready.
class Tubi : public testing::Test {
protected:
    ~Tubi() override
    {
        if (lettore.joinable()) {
            avanzamento.annulla();
            lettore.join();
        }
    }

    // Starts the reader; true once it has opened the pipe. Otherwise it is cancelled.
    [[nodiscard]] bool avvia()
    {
        lettore = std::thread(
            [this] { esito.emplace(AnalizzaFile(tubo.percorso(), ModoLettere::Minuscole, avanzamento)); });
        const bool aperto = tubo.attendiLettore();
        EXPECT_TRUE(aperto);
        if (!aperto)
            avanzamento.annulla();
        return aperto;
    }

    prova::CartellaTemporanea cartella;
    Tubo tubo{cartella};
    Avanzamento avanzamento;
    std::optional<Esito<Analisi>> esito;
    std::thread lettore;
};

TEST_F(Tubi, APipeIsReadToItsEnd)
{
    if (avvia()) {
        tubo.scrivi("abc,");
        std::this_thread::sleep_for(60ms);  // the reader waits more than one slice
        tubo.scrivi(" de");
        tubo.chiudi();
    }
    lettore.join();
    ASSERT_TRUE(esito && esito->riuscito()) << (esito ? esito->errore().dettaglio : "");
    EXPECT_EQ(esito->valore().lunghezza, 7u);  // abc, CR LF, de
    EXPECT_EQ(Totale(esito->valore(), true), 5u);
    EXPECT_EQ(avanzamento.dimensione(), 0u);
}

TEST_F(Tubi, ACancelStopsASilentPipe)
{
    if (avvia())
        tubo.scrivi("abc");
    const auto scadenza = std::chrono::steady_clock::now() + 10s;
    while (avanzamento.letti() < 3 && std::chrono::steady_clock::now() < scadenza)
        std::this_thread::sleep_for(1ms);
    EXPECT_EQ(avanzamento.letti(), 3u);
    // The writer stays silent, its end open: only the cancel ends the reading.
    const auto inizio = std::chrono::steady_clock::now();
    avanzamento.annulla();
    lettore.join();
    EXPECT_LT(std::chrono::steady_clock::now() - inizio, 2s);
    ASSERT_TRUE(esito);
    ASSERT_FALSE(esito->riuscito());
    EXPECT_EQ(esito->errore().motivo, Motivo::Annullata);
}

}  // namespace
}  // namespace varnel
