// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A key worked by hand: its history of changes, what it leaves free, the letters it gives twice,
// the text under it by the classic convention, and the key written as text and read back.

#include "Cifrario.h"
#include "Esito.h"

#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnel {

// What changed the key: each change is one step of its history.
enum class Modifica { Digitata, Cancellata, Incollata, PerFrequenza, Proposta, Azzerata, Caricata };

// The keys the work went through, for undo and redo.
class StoriaChiave {
public:
    [[nodiscard]] const Chiave& attuale() const { return m_passi[m_posizione].chiave; }
    // A step after the current one, dropping the steps undone before it; the oldest steps go past
    // PassiRicordati. False, and no step, when the key stays as it is.
    bool cambia(const Chiave& nuova, Modifica perche);
    // What undo, or redo, would take back or do again.
    [[nodiscard]] std::optional<Modifica> daAnnullare() const;
    [[nodiscard]] std::optional<Modifica> daRipetere() const;
    bool annulla();
    bool ripeti();
    // An empty key with nothing to undo: the work on another text.
    void ricomincia();

    static constexpr std::size_t PassiRicordati = 1000;

private:
    struct Passo {
        Chiave chiave;
        Modifica perche;  // what led here; the first step's is never read
    };
    std::vector<Passo> m_passi{Passo{{}, Modifica::Azzerata}};
    std::size_t m_posizione = 0;
};

// Slots, or letters (a in bit 0), as a set.
using InsiemeSlot = std::bitset<NumeroSlot>;
// The plain letters the key gives to no symbol.
[[nodiscard]] InsiemeSlot LettereNonUsate(const Chiave& chiave);
// The slots without a letter.
[[nodiscard]] InsiemeSlot SimboliSenzaLettera(const Chiave& chiave);
// The slots whose letter the key gives to another slot too.
[[nodiscard]] InsiemeSlot Doppioni(const Chiave& chiave);

// How a character of the text under a key stands.
enum class Segno : std::uint8_t {
    Cifrato,     // as in the ciphertext
    Sostituito,  // the key's letter
    Doppione,    // the key's letter, which it gives to another symbol too
};
struct TestoSegnato {
    std::u32string testo;
    std::vector<Segno> segni;  // one a character
};
// The classic convention, which reads in plain text: a symbol the key deciphers shows as its plain
// letter in lowercase, every other letter of the ciphertext in uppercase.
[[nodiscard]] TestoSegnato ConvenzioneClassica(std::u32string_view testo, const Criterio& criterio,
                                               const Chiave& chiave);

// A key as UTF-8 text: a comment line, then one "symbol=letter" line for each symbol with a letter,
// in window order. A symbol that would not read as itself at the start of a line (a space, a
// control character, '#') is written U+XXXX.
[[nodiscard]] std::string ScriviChiave(const Chiave& chiave, const Criterio& criterio);
// A key so written: blank lines and lines starting with '#' are passed over; a symbol is written as
// itself or as U+XXXX, a letter in either case. Any other line refuses the whole, naming the line.
[[nodiscard]] Esito<Chiave> LeggiChiave(std::string_view testo, const Criterio& criterio);
// A key file is a few hundred bytes; anything much larger is some other file.
inline constexpr std::size_t LimiteFileChiave = 64 * 1024;
// The first bytes of a file opened as a key, at least LimiteFileChiave + 1 of them when it has
// them: refused when longer than the limit, otherwise read by LeggiChiave.
[[nodiscard]] Esito<Chiave> LeggiFileChiave(std::string_view inizio, const Criterio& criterio);

// Text pasted into key box `casella`: 26 letters in window order ('-' for none) or a key as
// written above replace the whole key; fewer letters are typed from that box on. Gives the key and
// the box the cursor goes to.
struct Incollato {
    Chiave chiave;
    std::size_t casella;
};
[[nodiscard]] Esito<Incollato> Incolla(std::string_view testo, const Criterio& criterio, const Chiave& attuale,
                                       std::size_t casella);

}  // namespace varnel
