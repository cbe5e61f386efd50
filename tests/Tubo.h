// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Aiuti.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
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

namespace varnel::prova {

// A named pipe and its writing end, driven by the test: a FIFO in `cartella` on POSIX, a pipe of the
// system's pipe namespace on Windows, named after `cartella` and `nome`. The reading end is
// whatever opens `percorso()`.
class Tubo {
public:
    explicit Tubo(const CartellaTemporanea& cartella, const std::string& nome = "tubo")
    {
#ifdef _WIN32
        m_percorso = std::filesystem::path(L"\\\\.\\pipe") / cartella.percorso().filename();
        m_percorso += L"-";
        m_percorso += std::filesystem::path(std::u8string(nome.begin(), nome.end()));
        m_server = ::CreateNamedPipeW(m_percorso.c_str(), PIPE_ACCESS_OUTBOUND | FILE_FLAG_OVERLAPPED,
                                      PIPE_TYPE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 1 << 16, 1 << 16, 0,
                                      nullptr);
        EXPECT_NE(m_server, INVALID_HANDLE_VALUE) << ::GetLastError();
#else
        m_percorso = cartella.percorso() / nome;
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

    [[nodiscard]] const std::filesystem::path& percorso() const { return m_percorso; }

    // A writer there before any reader, which so never waits to open the pipe and then waits to read.
    void apriScrittore()
    {
#ifndef _WIN32  // a reader always finds the server's end
        m_scrittore = ::open(m_percorso.c_str(), O_RDWR | O_CLOEXEC);
        EXPECT_GE(m_scrittore, 0) << errno;
#endif
        m_aperto = true;
    }

    // Waits, at most a few seconds, for a reader to open the pipe.
    [[nodiscard]] bool attendiLettore()
    {
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
#else
        const auto scadenza = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        // Without a reader, opening for writing without waiting fails with ENXIO.
        while (!m_aperto && std::chrono::steady_clock::now() < scadenza) {
            m_scrittore = ::open(m_percorso.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            m_aperto = m_scrittore >= 0;
            if (!m_aperto)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
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
    std::filesystem::path m_percorso;
    bool m_aperto = false;
#ifdef _WIN32
    HANDLE m_server = INVALID_HANDLE_VALUE;
#else
    int m_scrittore = -1;
#endif
};

}  // namespace varnel::prova
