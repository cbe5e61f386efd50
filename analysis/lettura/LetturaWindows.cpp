// SPDX-License-Identifier: GPL-3.0-or-later
#include "Lettura.h"
#include "TestoDiSistema.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <string>
#include <string_view>

namespace varnel {

using dettaglio::TestoDiSistema;

namespace {

// How long one wait on a pipe or device lasts before the cancel request is looked at again.
constexpr DWORD AttesaMs = 25;
// ReadFile takes a 32-bit length.
constexpr std::size_t MassimoPerLettura = std::size_t{1} << 30;

HANDLE Handle(void* maniglia) { return static_cast<HANDLE>(maniglia); }

Errore DaCodice(DWORD codice, Motivo seAltro)
{
    Motivo motivo = seAltro;
    switch (codice) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_DIRECTORY:  // a file where a folder of the path should be
        motivo = Motivo::NonTrovato;
        break;
    case ERROR_ACCESS_DENIED: motivo = Motivo::PermessoNegato; break;
    case ERROR_SHARING_VIOLATION:
        // Another program holds the file without letting others read it: the system's text says so.
        motivo = Motivo::Altro;
        break;
    default: break;
    }
    return {motivo, TestoDiSistema(codice)};
}

// ERROR_DIRECTORY_NOT_SUPPORTED, "an operation is not supported on a directory" (not in MinGW's headers).
constexpr DWORD ErroreCartellaNonAmmessa = 336;

Errore ErroreCartella() { return {Motivo::Cartella, TestoDiSistema(ErroreCartellaNonAmmessa)}; }

// An event for one overlapped read, closed with it.
class Evento {
public:
    Evento()
        : m_evento(::CreateEventW(nullptr, TRUE, FALSE, nullptr))
    {
    }
    ~Evento()
    {
        if (m_evento != nullptr)
            ::CloseHandle(m_evento);
    }
    Evento(const Evento&) = delete;
    Evento& operator=(const Evento&) = delete;
    [[nodiscard]] HANDLE get() const { return m_evento; }

private:
    HANDLE m_evento;
};

// One read at `posizione` (pipes and devices ignore it) on the handle, which is opened for
// overlapped reads so that reads from several threads neither wait on each other nor move a shared
// position. With `avanzamento`, a read that waits is looked at in slices and cancelled on request.
Esito<std::size_t> LeggiUnaVolta(HANDLE maniglia, HANDLE evento, std::uint64_t posizione,
                                 std::span<std::uint8_t> buffer, const Avanzamento* avanzamento)
{
    OVERLAPPED richiesta{};
    richiesta.Offset = static_cast<DWORD>(posizione & 0xFFFFFFFFu);
    richiesta.OffsetHigh = static_cast<DWORD>(posizione >> 32);
    richiesta.hEvent = evento;
    const auto chiesti = static_cast<DWORD>(std::min(buffer.size(), MassimoPerLettura));
    if (!::ReadFile(maniglia, buffer.data(), chiesti, nullptr, &richiesta)) {
        const DWORD codice = ::GetLastError();
        if (codice == ERROR_HANDLE_EOF || codice == ERROR_BROKEN_PIPE)
            return std::size_t{0};
        if (codice != ERROR_IO_PENDING)
            return DaCodice(codice, Motivo::ErroreLettura);
        if (avanzamento != nullptr) {
            while (::WaitForSingleObject(evento, AttesaMs) == WAIT_TIMEOUT) {
                if (avanzamento->annullata()) {
                    ::CancelIoEx(maniglia, &richiesta);
                    DWORD scartati = 0;
                    ::GetOverlappedResult(maniglia, &richiesta, &scartati, TRUE);  // the buffer is free again
                    return Errore{Motivo::Annullata, {}};
                }
            }
        }
    }
    DWORD letti = 0;
    if (!::GetOverlappedResult(maniglia, &richiesta, &letti, TRUE)) {
        const DWORD codice = ::GetLastError();
        if (codice == ERROR_HANDLE_EOF || codice == ERROR_BROKEN_PIPE)
            return std::size_t{0};
        if (codice == ERROR_MORE_DATA)  // a message longer than the buffer: its rest comes next
            return static_cast<std::size_t>(letti);
        return DaCodice(codice, Motivo::ErroreLettura);
    }
    return static_cast<std::size_t>(letti);
}

}  // namespace

Esito<FileInLettura> FileInLettura::Apri(const std::filesystem::path& percorso)
{
    // The path reaches the system as UTF-16. Others may go on reading, writing, renaming or deleting
    // the file while it is read, as on POSIX; a change is caught by ControllaInvariato. Opening a
    // pipe never waits (a busy one fails at once). A folder cannot be opened without
    // FILE_FLAG_BACKUP_SEMANTICS and fails as a forbidden file does: its attributes tell them apart.
    const HANDLE maniglia = ::CreateFileW(percorso.c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_OVERLAPPED | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (maniglia == INVALID_HANDLE_VALUE) {
        const DWORD codice = ::GetLastError();
        if (codice == ERROR_ACCESS_DENIED) {
            const DWORD attributi = ::GetFileAttributesW(percorso.c_str());
            if (attributi != INVALID_FILE_ATTRIBUTES && (attributi & FILE_ATTRIBUTE_DIRECTORY) != 0)
                return ErroreCartella();
        }
        return DaCodice(codice, Motivo::Altro);
    }
    const auto impronta = Rileva(maniglia);
    if (!impronta) {
        const DWORD codice = ::GetLastError();
        ::CloseHandle(maniglia);
        return DaCodice(codice, Motivo::Altro);
    }
    return FileInLettura(maniglia, *impronta);
}

FileInLettura::FileInLettura(FileInLettura&& altro) noexcept
    : m_maniglia(altro.m_maniglia)
    , m_impronta(altro.m_impronta)
{
    altro.m_maniglia = INVALID_HANDLE_VALUE;
}

FileInLettura::~FileInLettura()
{
    if (Handle(m_maniglia) != INVALID_HANDLE_VALUE)
        ::CloseHandle(Handle(m_maniglia));
}

std::optional<ImprontaFile> FileInLettura::Rileva(Maniglia maniglia)
{
    ::SetLastError(ERROR_SUCCESS);
    const DWORD tipo = ::GetFileType(Handle(maniglia));
    if (tipo == FILE_TYPE_UNKNOWN && ::GetLastError() != ERROR_SUCCESS)
        return std::nullopt;
    if (tipo != FILE_TYPE_DISK)
        return ImprontaFile{};  // a pipe or a device: no size, no time
    BY_HANDLE_FILE_INFORMATION dati{};
    if (!::GetFileInformationByHandle(Handle(maniglia), &dati))
        return std::nullopt;
    // The write time in the 100 ns steps the system keeps: a rewrite of the same size within the
    // same second changes it too, where the C library's whole seconds would not.
    const std::uint64_t modifica = (std::uint64_t{dati.ftLastWriteTime.dwHighDateTime} << 32)
                                   | dati.ftLastWriteTime.dwLowDateTime;
    return ImprontaFile{dati.dwVolumeSerialNumber, (std::uint64_t{dati.nFileIndexHigh} << 32) | dati.nFileIndexLow,
                        (std::uint64_t{dati.nFileSizeHigh} << 32) | dati.nFileSizeLow,
                        static_cast<std::int64_t>(modifica), true};
}

Esito<ImprontaFile> ImprontaDi(const std::filesystem::path& percorso)
{
    // No access asked: the file's facts need no permission to read it.
    const HANDLE maniglia = ::CreateFileW(percorso.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (maniglia == INVALID_HANDLE_VALUE)
        return DaCodice(::GetLastError(), Motivo::Altro);
    const auto impronta = FileInLettura::Rileva(maniglia);
    const DWORD codice = ::GetLastError();
    ::CloseHandle(maniglia);
    if (!impronta)
        return DaCodice(codice, Motivo::Altro);
    return *impronta;
}

Esito<std::size_t> FileInLettura::Leggi(std::span<std::uint8_t> buffer, const Avanzamento& avanzamento)
{
    if (avanzamento.annullata())
        return Errore{Motivo::Annullata, {}};
    const Evento evento;
    if (evento.get() == nullptr)
        return DaCodice(::GetLastError(), Motivo::ErroreLettura);
    if (!m_impronta.regolare)
        return LeggiUnaVolta(Handle(m_maniglia), evento.get(), 0, buffer, &avanzamento);
    // An overlapped handle has no position of its own that reads move: the file pointer keeps it.
    LARGE_INTEGER posizione{};
    if (!::SetFilePointerEx(Handle(m_maniglia), LARGE_INTEGER{}, &posizione, FILE_CURRENT))
        return DaCodice(::GetLastError(), Motivo::ErroreLettura);
    auto letti = LeggiUnaVolta(Handle(m_maniglia), evento.get(), static_cast<std::uint64_t>(posizione.QuadPart), buffer,
                               nullptr);
    if (letti.riuscito() && letti.valore() > 0) {
        LARGE_INTEGER dopo{};
        dopo.QuadPart = posizione.QuadPart + static_cast<LONGLONG>(letti.valore());
        if (!::SetFilePointerEx(Handle(m_maniglia), dopo, nullptr, FILE_BEGIN))
            return DaCodice(::GetLastError(), Motivo::ErroreLettura);
    }
    return letti;
}

Esito<std::size_t> FileInLettura::LeggiDa(std::uint64_t posizione, std::span<std::uint8_t> buffer) const
{
    const Evento evento;
    if (evento.get() == nullptr)
        return DaCodice(::GetLastError(), Motivo::ErroreLettura);
    std::size_t fatti = 0;
    while (fatti < buffer.size()) {
        const auto letti = LeggiUnaVolta(Handle(m_maniglia), evento.get(), posizione + fatti, buffer.subspan(fatti),
                                         nullptr);
        if (!letti.riuscito())
            return letti.errore();
        if (letti.valore() == 0)
            break;
        fatti += letti.valore();
    }
    return fatti;
}

}  // namespace varnel
