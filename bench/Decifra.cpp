// SPDX-License-Identifier: GPL-3.0-or-later
// How often the proposed key breaks a classroom cryptogram, and how long it takes: cryptograms of
// 80 and 150 letters cut from the fortunes that the language tables were not made from (accents
// already folded), letters substituted, spaces and punctuation kept.
#include "Cifrario.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <numeric>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using namespace varnel;

namespace {

std::vector<std::string> Fortune(const std::string& percorso)
{
    std::ifstream file(percorso);
    std::stringstream tutto;
    tutto << file.rdbuf();
    std::vector<std::string> pezzi;
    std::string riga;
    std::string pezzo;
    while (std::getline(tutto, riga)) {
        if (riga == "%") {
            pezzi.push_back(pezzo);
            pezzo.clear();
        } else {
            pezzo += riga + '\n';
        }
    }
    pezzi.push_back(pezzo);
    return pezzi;
}

// The fortune's first `lettere` letters with what stands between them, lowercase; empty when short.
std::string Taglia(const std::string& fortuna, std::size_t lettere)
{
    std::string testo;
    std::size_t contate = 0;
    for (const char c : fortuna) {
        if (contate == lettere)
            break;
        const char minuscola = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        contate += (minuscola >= 'a' && minuscola <= 'z') ? 1u : 0u;
        testo += minuscola;
    }
    return contate == lettere ? testo : std::string{};
}

struct Prova {
    double giuste;  // share of the letters deciphered right
    double secondi;
};

Prova Risolvi(const std::string& chiaro, std::mt19937& caso, Lingua lingua)
{
    std::array<char, 26> cifra{};
    std::iota(cifra.begin(), cifra.end(), 'a');
    std::shuffle(cifra.begin(), cifra.end(), caso);
    std::u32string cifrato;
    Conteggi conteggi{};
    for (const char c : chiaro) {
        const bool lettera = c >= 'a' && c <= 'z';
        const char x = lettera ? cifra[static_cast<std::size_t>(c - 'a')] : c;
        cifrato += static_cast<char32_t>(static_cast<unsigned char>(x));
        if (lettera)
            ++conteggi[static_cast<std::size_t>(x - 'a')];
    }
    const Criterio criterio = ModoLettere::Minuscole;
    const auto inizio = std::clock();
    Avanzamento avanzamento;
    const auto chiave = ProponiChiave(SequenzaSimboli(cifrato, criterio), conteggi, lingua, avanzamento);
    const double durata = static_cast<double>(std::clock() - inizio) / CLOCKS_PER_SEC;
    const auto decifrato = Sostituzione(criterio, chiave.valore()).applica(cifrato);
    std::size_t giuste = 0;
    std::size_t lettere = 0;
    for (std::size_t i = 0; i < chiaro.size(); ++i) {
        if (chiaro[i] >= 'a' && chiaro[i] <= 'z') {
            ++lettere;
            giuste += decifrato[i] == static_cast<char32_t>(chiaro[i]) ? 1u : 0u;
        }
    }
    return {static_cast<double>(giuste) / static_cast<double>(lettere), durata};
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string cartella = argc > 1 ? argv[1] : VARNEL_LINGUE;
    const std::size_t massimo = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 200;
    std::printf("%-8s %7s %6s %9s %11s\n", "lingua", "lettere", "prove", "risolte", "mediana (s)");
    for (const auto& [lingua, nome, sigla] :
         {std::tuple{Lingua::Italiano, "italiano", "it"}, std::tuple{Lingua::Inglese, "inglese", "en"}}) {
        const auto fortune = Fortune(cartella + "/riservato-" + sigla + ".txt");
        for (const std::size_t lettere : {std::size_t{80}, std::size_t{150}}) {
            std::mt19937 caso(static_cast<unsigned>(lettere));
            std::vector<Prova> prove;
            for (const auto& fortuna : fortune) {
                const auto chiaro = Taglia(fortuna, lettere);
                if (!chiaro.empty() && prove.size() < massimo)
                    prove.push_back(Risolvi(chiaro, caso, lingua));
            }
            const auto risolte = std::ranges::count_if(prove, [](const Prova& p) { return p.giuste >= 0.9; });
            std::vector<double> tempi;
            for (const auto& p : prove)
                tempi.push_back(p.secondi);
            std::ranges::sort(tempi);
            std::printf("%-8s %7zu %6zu %8.1f%% %11.3f\n", nome, lettere, prove.size(),
                        100.0 * static_cast<double>(risolte) / static_cast<double>(prove.size()),
                        tempi.empty() ? 0.0 : tempi[tempi.size() / 2]);
        }
    }
}
