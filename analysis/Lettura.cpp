#include "Lettura.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace varnel {

namespace {

Errore DaErrno(int codice, Motivo seAltro)
{
    Motivo motivo = seAltro;
    switch (codice) {
    case ENOENT:
    case ENOTDIR:
        motivo = Motivo::NonTrovato;
        break;
    case EACCES:
    case EPERM:
        motivo = Motivo::PermessoNegato;
        break;
    case EISDIR:
        motivo = Motivo::Cartella;
        break;
    default:
        break;
    }
    return {motivo, std::strerror(codice)};
}

#ifndef S_ISDIR
#define S_ISDIR(m) (((m) & _S_IFMT) == _S_IFDIR)
#define S_ISREG(m) (((m) & _S_IFMT) == _S_IFREG)
#endif

#ifdef _WIN32
using StatoFile = struct _stat64;
int StatoDi(int fd, StatoFile* s) { return _fstat64(fd, s); }
int ChiudiFile(int fd) { return _close(fd); }
long long LeggiFile(int fd, void* dati, std::size_t n)
{
    return _read(fd, dati, static_cast<unsigned>(n > (1u << 30) ? (1u << 30) : n));
}
int ApriFile(const std::filesystem::path& p) { return _wopen(p.c_str(), _O_RDONLY | _O_BINARY); }
std::int64_t TempoModifica(const StatoFile& s) { return static_cast<std::int64_t>(s.st_mtime) * 1000000000; }
#else
using StatoFile = struct stat;
int StatoDi(int fd, StatoFile* s) { return ::fstat(fd, s); }
int ChiudiFile(int fd) { return ::close(fd); }
long long LeggiFile(int fd, void* dati, std::size_t n) { return ::read(fd, dati, n); }
int ApriFile(const std::filesystem::path& p) { return ::open(p.c_str(), O_RDONLY | O_CLOEXEC); }
std::int64_t TempoModifica(const StatoFile& s)
{
    return static_cast<std::int64_t>(s.st_mtim.tv_sec) * 1000000000 + s.st_mtim.tv_nsec;
}
#endif

}  // namespace

Esito<FileInLettura> FileInLettura::Apri(const std::filesystem::path& percorso)
{
    const int fd = ApriFile(percorso);
    if (fd < 0)
        return DaErrno(errno, Motivo::Altro);
    const auto impronta = Rileva(fd);
    if (!impronta) {
        const int codice = errno;
        ChiudiFile(fd);
        return DaErrno(codice, Motivo::Altro);
    }
    StatoFile stato{};
    if (StatoDi(fd, &stato) == 0 && S_ISDIR(stato.st_mode)) {
        ChiudiFile(fd);
        return DaErrno(EISDIR, Motivo::Cartella);
    }
#if defined(POSIX_FADV_SEQUENTIAL)
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
    return FileInLettura(fd, *impronta);
}

FileInLettura::FileInLettura(int descrittore, Impronta impronta)
    : m_descrittore(descrittore)
    , m_impronta(impronta)
    , m_dimensione(impronta.regolare ? impronta.dimensione : 0)
{
}

FileInLettura::FileInLettura(FileInLettura&& altro) noexcept
    : m_descrittore(altro.m_descrittore)
    , m_impronta(altro.m_impronta)
    , m_dimensione(altro.m_dimensione)
{
    altro.m_descrittore = -1;
}

FileInLettura::~FileInLettura()
{
    if (m_descrittore >= 0)
        ChiudiFile(m_descrittore);
}

std::optional<FileInLettura::Impronta> FileInLettura::Rileva(int descrittore)
{
    StatoFile stato{};
    if (StatoDi(descrittore, &stato) != 0)
        return std::nullopt;
    const bool regolare = S_ISREG(stato.st_mode);
    return Impronta{regolare ? static_cast<std::uint64_t>(stato.st_size) : 0, TempoModifica(stato), regolare};
}

Esito<std::size_t> FileInLettura::Leggi(std::span<std::uint8_t> buffer)
{
    for (;;) {
        const long long letti = LeggiFile(m_descrittore, buffer.data(), buffer.size());
        if (letti >= 0)
            return static_cast<std::size_t>(letti);
        if (errno != EINTR)
            return DaErrno(errno, Motivo::ErroreLettura);
    }
}

std::optional<Errore> FileInLettura::ControllaInvariato(std::uint64_t letti) const
{
    if (!m_impronta.regolare)
        return std::nullopt;
    const auto adesso = Rileva(m_descrittore);
    const bool cambiato = !adesso || adesso->dimensione != m_impronta.dimensione
                          || adesso->modifica != m_impronta.modifica
                          // Files such as those under /proc report size 0 yet have content.
                          || (m_impronta.dimensione > 0 && letti != m_impronta.dimensione);
    if (cambiato)
        return Errore{Motivo::FileModificato, {}};
    return std::nullopt;
}

}  // namespace varnel
