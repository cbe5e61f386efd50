// SPDX-License-Identifier: GPL-3.0-or-later
// The resources of the built Varnel.exe, read back through the Windows API: names, versions and web
// address, the Italian translation, Qt's Italian catalogue, and every resource tagged Italian
// (0410). The version expected is the generated one, from project() in CMakeLists.txt.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "VersioneProgramma.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using varnel::NumeriVersione;
using varnel::VersioneEseguibile;

constexpr WORD Italiano = MAKELANGID(LANG_ITALIAN, SUBLANG_ITALIAN);

class Versione : public testing::Test {
protected:
    void SetUp() override
    {
        DWORD zero = 0;
        const DWORD dimensione = ::GetFileVersionInfoSizeW(percorso.c_str(), &zero);
        ASSERT_GT(dimensione, 0u) << "no version record in " << percorso.string() << ", error " << ::GetLastError();
        record.resize(dimensione);
        ASSERT_TRUE(::GetFileVersionInfoW(percorso.c_str(), 0, dimensione, record.data()));
        modulo = ::LoadLibraryExW(percorso.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(modulo, nullptr) << ::GetLastError();
    }
    void TearDown() override
    {
        if (modulo != nullptr)
            ::FreeLibrary(modulo);
    }

    // A value of the record, or null; `lunghezza` is in the value's own units.
    const void* valore(const std::wstring& chiave, UINT& lunghezza) const
    {
        void* valore = nullptr;
        return ::VerQueryValueW(record.data(), chiave.c_str(), &valore, &lunghezza) ? valore : nullptr;
    }
    std::wstring campo(const wchar_t* nome) const
    {
        UINT lunghezza = 0;
        const auto* testo = static_cast<const wchar_t*>(valore(L"\\StringFileInfo\\041004B0\\" + std::wstring(nome), lunghezza));
        if (testo == nullptr)
            return L"(assente)";
        std::wstring campo(testo, lunghezza);
        while (!campo.empty() && campo.back() == L'\0')
            campo.pop_back();
        return campo;
    }

    const std::filesystem::path percorso = VARNEL_PROGRAMMA;
    std::vector<unsigned char> record;
    HMODULE modulo = nullptr;
};

TEST_F(Versione, RecordNamesAnItalianApplicationWithItsVersionAndWebAddress)
{
    const std::wstring versione(VersioneEseguibile.begin(), VersioneEseguibile.end());
    const std::wstring indirizzo = L"www.varnel.example";
    const std::pair<const wchar_t*, std::wstring> attesi[] = {
        {L"ProductName", L"Varnel"}, {L"InternalName", L"Varnel"},   {L"OriginalFilename", L"Varnel.exe"},
        {L"FileVersion", versione},  {L"ProductVersion", versione},  {L"FileDescription", L"Varnel - " + indirizzo},
        {L"CompanyName", indirizzo}, {L"LegalCopyright", indirizzo}, {L"LegalTrademarks", indirizzo},
    };
    for (const auto& [nome, atteso] : attesi)
        EXPECT_EQ(campo(nome), atteso) << std::filesystem::path(nome).string();

    UINT lunghezza = 0;
    const auto* fisso = static_cast<const VS_FIXEDFILEINFO*>(valore(L"\\", lunghezza));
    ASSERT_TRUE(fisso != nullptr && lunghezza >= sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fisso->dwSignature, 0xFEEF04BDu);
    const auto coppia = [](std::size_t i) { return DWORD{NumeriVersione[i]} << 16 | NumeriVersione[i + 1]; };
    EXPECT_EQ(fisso->dwFileVersionMS, coppia(0));
    EXPECT_EQ(fisso->dwFileVersionLS, coppia(2));
    EXPECT_EQ(fisso->dwProductVersionMS, coppia(0));
    EXPECT_EQ(fisso->dwProductVersionLS, coppia(2));
    EXPECT_EQ(fisso->dwFileType, static_cast<DWORD>(VFT_APP));

    // The translation: Italian (0410), Unicode (1200).
    const auto* traduzione = static_cast<const WORD*>(valore(L"\\VarFileInfo\\Translation", lunghezza));
    ASSERT_TRUE(traduzione != nullptr && lunghezza == 2 * sizeof(WORD));
    EXPECT_EQ(traduzione[0], 0x0410);
    EXPECT_EQ(traduzione[1], 1200);
}

TEST_F(Versione, CarriesQtsItalianCatalogueWhole)
{
    const HRSRC risorsa = ::FindResourceExW(modulo, MAKEINTRESOURCEW(10) /* RT_RCDATA */, L"QTBASE_IT", Italiano);
    ASSERT_NE(risorsa, nullptr) << ::GetLastError();
    const auto* dati = static_cast<const char*>(::LockResource(::LoadResource(modulo, risorsa)));
    const std::string incorporato(dati, ::SizeofResource(modulo, risorsa));
    std::ifstream file(std::filesystem::path(VARNEL_QTBASE_IT), std::ios::binary);
    const std::string originale{std::istreambuf_iterator<char>(file), {}};
    ASSERT_GT(originale.size(), 1000u);
    EXPECT_TRUE(incorporato == originale) << incorporato.size() << " bytes against " << originale.size();
}

// Every resource of the executable, by type, name and language.
struct Risorsa {
    std::wstring tipo;
    std::wstring nome;
    WORD lingua;
};

std::wstring Nome(LPCWSTR nome)
{
    return IS_INTRESOURCE(nome) ? L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(nome)) : std::wstring(nome);
}

BOOL CALLBACK Lingua(HMODULE, LPCWSTR tipo, LPCWSTR nome, WORD lingua, LONG_PTR dati)
{
    reinterpret_cast<std::vector<Risorsa>*>(dati)->push_back({Nome(tipo), Nome(nome), lingua});
    return TRUE;
}

BOOL CALLBACK NomeRisorsa(HMODULE modulo, LPCWSTR tipo, LPWSTR nome, LONG_PTR dati)
{
    return ::EnumResourceLanguagesW(modulo, tipo, nome, Lingua, dati);
}

BOOL CALLBACK Tipo(HMODULE modulo, LPWSTR tipo, LONG_PTR dati)
{
    return ::EnumResourceNamesW(modulo, tipo, NomeRisorsa, dati);
}

TEST_F(Versione, EveryResourceIsTaggedItalian)
{
    std::vector<Risorsa> risorse;
    ::EnumResourceTypesW(modulo, Tipo, reinterpret_cast<LONG_PTR>(&risorse));
    EXPECT_NE(
        ::FindResourceExW(modulo, MAKEINTRESOURCEW(16) /* RT_VERSION */, MAKEINTRESOURCEW(VS_VERSION_INFO), Italiano),
        nullptr);
    bool versione = false, icona = false;
    for (const auto& risorsa : risorse) {
        EXPECT_EQ(risorsa.lingua, Italiano)
            << std::filesystem::path(risorsa.tipo).string() << " " << std::filesystem::path(risorsa.nome).string();
        versione = versione || risorsa.tipo == L"#16";
        icona = icona || risorsa.tipo == L"#14";  // RT_GROUP_ICON
    }
    EXPECT_TRUE(versione);
    EXPECT_TRUE(icona);
}

}  // namespace
