// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileProvvisorio.h"

#include "TestoDiSistema.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>

namespace varnel::dettaglio {

namespace {

// Names that could clash are drawn again; past this many clashes something else is wrong.
constexpr unsigned Tentativi = 64;
// WriteFile takes a 32-bit length.
constexpr std::size_t MassimoPerScrittura = std::size_t{1} << 30;

HANDLE Handle(void* maniglia) { return static_cast<HANDLE>(maniglia); }

Errore DaCodice(DWORD codice)
{
    Motivo motivo = Motivo::ErroreScrittura;
    switch (codice) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: motivo = Motivo::SpazioEsaurito; break;
    case ERROR_ACCESS_DENIED: motivo = Motivo::PermessoNegato; break;
    case ERROR_WRITE_PROTECT: motivo = Motivo::SolaLettura; break;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME: motivo = Motivo::CartellaMancante; break;
    default: break;
    }
    return {motivo, TestoDiSistema(codice)};
}

std::filesystem::path Cartella(const std::filesystem::path& destinazione)
{
    return destinazione.has_parent_path() ? destinazione.parent_path() : std::filesystem::path(L".");
}

}  // namespace

std::optional<Errore> ControllaDestinazione(const std::filesystem::path& destinazione)
{
    const DWORD cartella = ::GetFileAttributesW(Cartella(destinazione).c_str());
    if (cartella == INVALID_FILE_ATTRIBUTES || (cartella & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return DaCodice(ERROR_PATH_NOT_FOUND);
    const DWORD file = ::GetFileAttributesW(destinazione.c_str());
    if (file == INVALID_FILE_ATTRIBUTES) {
        const DWORD codice = ::GetLastError();
        return codice == ERROR_FILE_NOT_FOUND ? std::nullopt : std::optional(DaCodice(codice));
    }
    if ((file & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return Errore{Motivo::Cartella, TestoDiSistema(ERROR_ACCESS_DENIED)};
    if ((file & FILE_ATTRIBUTE_READONLY) != 0)
        return Errore{Motivo::SolaLettura, TestoDiSistema(ERROR_ACCESS_DENIED)};
    return std::nullopt;
}

Esito<FileProvvisorio> FileProvvisorio::Crea(const std::filesystem::path& destinazione)
{
    for (unsigned tentativo = 0; tentativo < Tentativi; ++tentativo) {
        auto nome = NomeProvvisorio(destinazione, tentativo);
        // CREATE_NEW fails on an existing name: never a file that was there before.
        HANDLE file = ::CreateFileW(nome.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY, nullptr);
        if (file == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_FILE_EXISTS)
            continue;
        if (file == INVALID_HANDLE_VALUE)
            return DaCodice(::GetLastError());
        return FileProvvisorio(file, std::move(nome), destinazione);
    }
    return DaCodice(ERROR_FILE_EXISTS);
}

void FileProvvisorio::chiudi()
{
    if (m_aperto)
        ::CloseHandle(Handle(m_maniglia));
    m_aperto = false;
}

FileProvvisorio::~FileProvvisorio()
{
    chiudi();
    if (!m_sostituito)
        ::DeleteFileW(m_percorso.c_str());
}

std::optional<Errore> FileProvvisorio::scrivi(std::string_view byte)
{
    while (!byte.empty()) {
        const auto n = static_cast<DWORD>(std::min(byte.size(), MassimoPerScrittura));
        DWORD scritti = 0;
        if (!::WriteFile(Handle(m_maniglia), byte.data(), n, &scritti, nullptr))
            return DaCodice(::GetLastError());
        byte.remove_prefix(scritti);
    }
    return std::nullopt;
}

std::optional<Errore> FileProvvisorio::sostituisci()
{
    if (!::FlushFileBuffers(Handle(m_maniglia)))
        return DaCodice(::GetLastError());
    chiudi();
    // The hidden and temporary marks were for the file while it was written, not for the result.
    ::SetFileAttributesW(m_percorso.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!::MoveFileExW(m_percorso.c_str(), m_destinazione.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return DaCodice(::GetLastError());
    m_sostituito = true;
    return std::nullopt;
}

}  // namespace varnel::dettaglio
