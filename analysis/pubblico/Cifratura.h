// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The teacher's side: a plaintext enciphered under a key drawn at random, built from a keyword or
// typed, for the class to break.

#include "Cifrario.h"
#include "Esito.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnel {

// The cipher alphabet: for each plain letter a–z, the capital letter that stands for it.
using Alfabeto = std::array<char, NumeroSlot>;

// The classic keyword alphabet: the keyword's letters without repeats (case ignored, accents
// folded, anything else skipped), then the other letters from a to z.
[[nodiscard]] Alfabeto AlfabetoDaParola(std::u32string_view parola);
// A key drawn from `seme`: the same on every machine and every build, and no letter stands for itself.
[[nodiscard]] Alfabeto AlfabetoCasuale(std::uint64_t seme);
// A typed key: the 26 letters in any case, each once; nothing when it is not one.
[[nodiscard]] std::optional<Alfabeto> AlfabetoDaTesto(std::u32string_view testo);
// The same key the other way, cipher letter (slot 0 for A) → plain letter, as deciphering keeps it
// and writes it to a key file.
[[nodiscard]] Chiave ChiaveDi(const Alfabeto& alfabeto);

enum class Spazi {
    Mantieni,        // spaces, punctuation and lines as in the plaintext
    Togli,           // letters only
    GruppiDiCinque,  // letters only, in groups of five
};
struct OpzioniCrittogramma {
    Spazi spazi = Spazi::Mantieni;
    bool togliAccenti = true;  // à is enciphered as a; otherwise accented letters stay, in capitals
};
// Without spaces, a line holds this many letters (ten groups of five).
inline constexpr std::size_t LetterePerRiga = 50;

struct TestoCifrato {
    std::u32string cifrato;  // in capitals
    std::u32string chiaro;   // character for character the plain letter, in lowercase: the solution
};
[[nodiscard]] TestoCifrato Cifra(std::u32string_view testo, const Alfabeto& alfabeto,
                                 const OpzioniCrittogramma& opzioni);

// The letters A–Z of a ciphertext.
[[nodiscard]] Conteggi ContaMaiuscole(std::u32string_view cifrato);

// A line of a text laid out at a width: where it starts and how many characters it takes.
struct Riga {
    std::size_t inizio = 0;
    std::size_t lunghezza = 0;
    friend bool operator==(const Riga&, const Riga&) = default;
};
// The text's lines, each broken at its last space within `larghezza` characters (the space
// dropped), or where a longer word reaches it.
[[nodiscard]] std::vector<Riga> Righe(std::u32string_view testo, std::size_t larghezza);

// A plaintext for a class fits many times over: a longer file is not opened as one.
inline constexpr std::uint64_t MassimoTestoInChiaro = 1024 * 1024;
// A plaintext's bytes decoded as the analysis decodes (UTF-8, UTF-16 with its mark, otherwise
// Windows-1252).
[[nodiscard]] std::u32string DecodificaTestoInChiaro(std::string_view byte);
// A plaintext file, read whole and so decoded.
[[nodiscard]] Esito<std::u32string> LeggiTestoInChiaro(const std::filesystem::path& percorso);

}  // namespace varnel
