// SPDX-License-Identifier: GPL-3.0-or-later
#include "Scrittura.h"

#include "FileProvvisorio.h"

#include <array>
#include <chrono>
#include <random>
#include <system_error>

namespace varnel {

namespace dettaglio {

std::filesystem::path NomeProvvisorio(const std::filesystem::path& destinazione, unsigned tentativo)
{
    // Random, so that two programs saving beside each other never pick the same name twice.
    static constexpr std::array<char, 36> Cifre{'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'a', 'b',
                                                'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l', 'm', 'n',
                                                'o', 'p', 'q', 'r', 's', 't', 'u', 'v', 'w', 'x', 'y', 'z'};
    std::random_device fonte;
    std::mt19937_64 generatore(
        fonte() ^ static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^ tentativo);
    std::string suffisso;
    for (int i = 0; i < 8; ++i)
        suffisso += Cifre[generatore() % Cifre.size()];
    auto nome = destinazione.filename().native();
    nome.insert(nome.begin(), '.');
    return destinazione.parent_path() / (nome + std::filesystem::path("." + suffisso + ".tmp").native());
}

FileProvvisorio::FileProvvisorio(FileProvvisorio&& altro) noexcept
    : m_maniglia(altro.m_maniglia)
    , m_percorso(std::move(altro.m_percorso))
    , m_destinazione(std::move(altro.m_destinazione))
    , m_aperto(altro.m_aperto)
    , m_sostituito(altro.m_sostituito)
{
    altro.m_aperto = false;
    altro.m_sostituito = true;
}

}  // namespace dettaglio

namespace {

// Written in place of a symbolic link's target, not of the link itself.
std::filesystem::path Bersaglio(const std::filesystem::path& destinazione)
{
    std::error_code errore;
    if (!std::filesystem::is_symlink(destinazione, errore))
        return destinazione;
    auto bersaglio = std::filesystem::canonical(destinazione, errore);
    return errore ? destinazione : bersaglio;
}

class UscitaSuFile final : public Uscita {
public:
    explicit UscitaSuFile(dettaglio::FileProvvisorio& file)
        : m_file(file)
    {
    }
    std::optional<Errore> scrivi(std::string_view byte) override { return m_file.scrivi(byte); }

private:
    dettaglio::FileProvvisorio& m_file;
};

}  // namespace

Esito<Scritto> ScriviFile(const std::filesystem::path& destinazione, const Contenuto& contenuto)
{
    const auto bersaglio = Bersaglio(destinazione);
    if (auto rifiuto = dettaglio::ControllaDestinazione(bersaglio))
        return *rifiuto;
    auto file = dettaglio::FileProvvisorio::Crea(bersaglio);
    if (!file.riuscito())
        return file.errore();
    UscitaSuFile uscita(file.valore());
    if (auto errore = contenuto(uscita))
        return *errore;
    if (auto errore = file.valore().sostituisci())
        return *errore;
    return Scritto{};
}

Esito<Scritto> ScriviFile(const std::filesystem::path& destinazione, std::string_view contenuto)
{
    return ScriviFile(destinazione, [contenuto](Uscita& uscita) { return uscita.scrivi(contenuto); });
}

}  // namespace varnel
