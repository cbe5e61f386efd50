// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileProvvisorio.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace varnel::dettaglio {

namespace {

// Names that could clash are drawn again; past this many clashes something else is wrong.
constexpr unsigned Tentativi = 64;

Errore DaErrno(int codice)
{
    Motivo motivo = Motivo::ErroreScrittura;
    switch (codice) {
    case ENOSPC:
    case EDQUOT: motivo = Motivo::SpazioEsaurito; break;
    case EACCES:
    case EPERM: motivo = Motivo::PermessoNegato; break;
    case EROFS: motivo = Motivo::SolaLettura; break;
    case ENOENT:
    case ENOTDIR: motivo = Motivo::CartellaMancante; break;
    case EISDIR: motivo = Motivo::Cartella; break;
    default: break;
    }
    return {motivo, std::strerror(codice)};
}

std::filesystem::path Cartella(const std::filesystem::path& destinazione)
{
    return destinazione.has_parent_path() ? destinazione.parent_path() : std::filesystem::path(".");
}

}  // namespace

std::optional<Errore> ControllaDestinazione(const std::filesystem::path& destinazione)
{
    struct stat cartella {};
    if (::stat(Cartella(destinazione).c_str(), &cartella) != 0 || !S_ISDIR(cartella.st_mode))
        return DaErrno(ENOENT);
    struct stat file {};
    if (::stat(destinazione.c_str(), &file) != 0)
        return errno == ENOENT ? std::nullopt : std::optional(DaErrno(errno));
    if (S_ISDIR(file.st_mode))
        return DaErrno(EISDIR);
    // A file nobody may write is refused even to root, who could: its owner meant it to stay.
    if ((file.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(destinazione.c_str(), W_OK) != 0)
        return Errore{Motivo::SolaLettura, std::strerror(EACCES)};
    return std::nullopt;
}

Esito<FileProvvisorio> FileProvvisorio::Crea(const std::filesystem::path& destinazione)
{
    // A replaced file keeps its permissions; a new one gets the usual ones under the umask.
    struct stat esistente {};
    const bool sostituisce = ::stat(destinazione.c_str(), &esistente) == 0;
    for (unsigned tentativo = 0; tentativo < Tentativi; ++tentativo) {
        auto nome = NomeProvvisorio(destinazione, tentativo);
        const int fd = ::open(nome.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return DaErrno(errno);
        if (sostituisce)
            (void)::fchmod(fd, esistente.st_mode & 07777);
        return FileProvvisorio(fd, std::move(nome), destinazione);
    }
    return DaErrno(EEXIST);
}

void FileProvvisorio::chiudi()
{
    if (m_aperto)
        ::close(m_maniglia);
    m_aperto = false;
}

FileProvvisorio::~FileProvvisorio()
{
    chiudi();
    if (!m_sostituito)
        ::unlink(m_percorso.c_str());
}

std::optional<Errore> FileProvvisorio::scrivi(std::string_view byte)
{
    while (!byte.empty()) {
        const ssize_t scritti = ::write(m_maniglia, byte.data(), byte.size());
        if (scritti < 0 && errno == EINTR)
            continue;
        if (scritti < 0)
            return DaErrno(errno);
        byte.remove_prefix(static_cast<std::size_t>(scritti));
    }
    return std::nullopt;
}

std::optional<Errore> FileProvvisorio::sostituisci()
{
    // Some file systems report a full disk only when the data is flushed or the file closed.
    if (::fsync(m_maniglia) != 0)
        return DaErrno(errno);
    m_aperto = false;
    if (::close(m_maniglia) != 0 && errno != EINTR)
        return DaErrno(errno);
    if (::rename(m_percorso.c_str(), m_destinazione.c_str()) != 0)
        return DaErrno(errno);
    m_sostituito = true;
    // The rename itself reaches the disk with its folder; a failure here leaves the new file in place.
    const int cartella = ::open(Cartella(m_destinazione).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (cartella >= 0) {
        (void)::fsync(cartella);
        ::close(cartella);
    }
    return std::nullopt;
}

}  // namespace varnel::dettaglio
