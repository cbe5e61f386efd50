// SPDX-License-Identifier: GPL-3.0-or-later
#include "Lettura.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace varnel {

namespace {

// How long one wait on a pipe or device lasts before the cancel request is looked at again.
constexpr int AttesaMs = 25;

Errore DaErrno(int codice, Motivo seAltro)
{
    Motivo motivo = seAltro;
    switch (codice) {
    case ENOENT:
    case ENOTDIR: motivo = Motivo::NonTrovato; break;
    case EACCES:
    case EPERM: motivo = Motivo::PermessoNegato; break;
    case EISDIR: motivo = Motivo::Cartella; break;
    default: break;
    }
    return {motivo, std::strerror(codice)};
}

ImprontaFile DaStat(const struct stat& s)
{
    const bool regolare = S_ISREG(s.st_mode);
    return {static_cast<std::uint64_t>(s.st_dev), static_cast<std::uint64_t>(s.st_ino),
            regolare ? static_cast<std::uint64_t>(s.st_size) : 0,
            static_cast<std::int64_t>(s.st_mtim.tv_sec) * 1000000000 + s.st_mtim.tv_nsec, regolare};
}

}  // namespace

Esito<FileInLettura> FileInLettura::Apri(const std::filesystem::path& percorso)
{
    // Non-blocking, so that a FIFO without a writer or a device opens at once; O_NOCTTY, so that
    // a terminal chosen as the file never becomes the program's controlling terminal.
    const int fd = ::open(percorso.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return DaErrno(errno, Motivo::Altro);
    struct stat stato {};
    if (::fstat(fd, &stato) != 0) {
        const int codice = errno;
        ::close(fd);
        return DaErrno(codice, Motivo::Altro);
    }
    if (S_ISDIR(stato.st_mode)) {
        ::close(fd);
        return DaErrno(EISDIR, Motivo::Cartella);
    }
    const ImprontaFile impronta = DaStat(stato);
    if (impronta.regolare) {
        // Reads of a regular file never wait on the non-blocking flag; clear it all the same.
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
#if defined(POSIX_FADV_SEQUENTIAL)
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
    }
    return FileInLettura(fd, impronta);
}

FileInLettura::FileInLettura(FileInLettura&& altro) noexcept
    : m_maniglia(altro.m_maniglia)
    , m_impronta(altro.m_impronta)
{
    altro.m_maniglia = -1;
}

FileInLettura::~FileInLettura()
{
    if (m_maniglia >= 0)
        ::close(m_maniglia);
}

std::optional<ImprontaFile> FileInLettura::Rileva(Maniglia maniglia)
{
    struct stat stato {};
    if (::fstat(maniglia, &stato) != 0)
        return std::nullopt;
    return DaStat(stato);
}

Esito<ImprontaFile> ImprontaDi(const std::filesystem::path& percorso)
{
    struct stat stato {};
    if (::stat(percorso.c_str(), &stato) != 0)
        return DaErrno(errno, Motivo::Altro);
    return DaStat(stato);
}

Esito<std::size_t> FileInLettura::Leggi(std::span<std::uint8_t> buffer, const Avanzamento& avanzamento)
{
    for (;;) {
        if (avanzamento.annullata())
            return Errore{Motivo::Annullata, {}};
        if (!m_impronta.regolare) {
            // A read is made only once the system says it will not wait: a FIFO that no writer
            // has opened yet would otherwise look empty, and a silent one would hold the reader.
            pollfd attesa{m_maniglia, POLLIN, 0};
            const int pronti = ::poll(&attesa, 1, AttesaMs);
            if (pronti == 0 || (pronti < 0 && errno == EINTR))
                continue;
            if (pronti < 0)
                return DaErrno(errno, Motivo::ErroreLettura);
        }
        const ssize_t letti = ::read(m_maniglia, buffer.data(), buffer.size());
        if (letti >= 0)
            return static_cast<std::size_t>(letti);
        if (errno != EINTR && errno != EAGAIN)
            return DaErrno(errno, Motivo::ErroreLettura);
    }
}

Esito<std::size_t> FileInLettura::LeggiDa(std::uint64_t posizione, std::span<std::uint8_t> buffer) const
{
    std::size_t fatti = 0;
    while (fatti < buffer.size()) {
        const ssize_t letti = ::pread(m_maniglia, buffer.data() + fatti, buffer.size() - fatti,
                                      static_cast<off_t>(posizione + fatti));
        if (letti == 0)
            break;
        if (letti < 0) {
            if (errno == EINTR)
                continue;
            return DaErrno(errno, Motivo::ErroreLettura);
        }
        fatti += static_cast<std::size_t>(letti);
    }
    return fatti;
}

}  // namespace varnel
