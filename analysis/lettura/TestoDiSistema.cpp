// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestoDiSistema.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <string_view>

namespace varnel::dettaglio {

namespace {

std::string Utf8(std::wstring_view testo)
{
    if (testo.empty())
        return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, testo.data(), static_cast<int>(testo.size()), nullptr, 0, nullptr,
                                        nullptr);
    std::string risultato(static_cast<std::size_t>(std::max(n, 0)), '\0');
    if (n > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, testo.data(), static_cast<int>(testo.size()), risultato.data(), n, nullptr,
                              nullptr);
    return risultato;
}

}  // namespace

std::string TestoDiSistema(unsigned long codice)
{
    wchar_t* testo = nullptr;
    const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                                         | FORMAT_MESSAGE_IGNORE_INSERTS,
                                     nullptr, codice, 0, reinterpret_cast<LPWSTR>(&testo), 0, nullptr);
    std::wstring_view vista(testo != nullptr ? testo : L"", testo != nullptr ? n : 0);
    while (!vista.empty()
           && (vista.back() == L'\r' || vista.back() == L'\n' || vista.back() == L' ' || vista.back() == L'.'))
        vista.remove_suffix(1);
    std::string risultato = Utf8(vista);
    if (testo != nullptr)
        ::LocalFree(testo);
    if (risultato.empty())
        risultato = "errore di sistema " + std::to_string(codice);
    return risultato;
}

}  // namespace varnel::dettaglio
