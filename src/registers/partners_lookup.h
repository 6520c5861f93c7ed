// A new partner's data from the public registers: the register of economic subjects (by IČO:
// name, seat, DIČ, tax office) and the VAT register (by the VAT number's digits: the published
// bank account and the unreliable-payer status). Both are asked through the HTTP client of the
// settings, run with an argument vector and a time limit, each lookup in a temporary folder of
// its own. Texts are cp1250.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pz::registers {

struct AresUdaje {
  std::string ico;       // the eight digits the register answered for
  std::string dic;       // "CZ..." or empty for a subject that is no VAT payer
  std::string nazev;     // the whole business name
  std::string ulice;     // street (or part of the town), one blank, house number
  std::string psc;       // five digits
  std::string mesto;
  std::string stat;
  std::string financniUrad;  // three digits
};

struct DphUdaje {
  std::string kodBanky;  // four digits; empty when no account was published
  std::string ucet;      // prefix-number or the number alone; empty likewise
  std::string status;    // the register's word: "NE", "ANO" or "NENALEZEN"
};

// The IČO as the register takes it: 1 to 8 digits (blanks around are ignored), given back as
// eight digits with leading zeros; nothing for any other text.
std::optional<std::string> PlatneIco(std::string_view text);
// True when the eight digits pass the register's weighted check digit.
bool KontrolniCisliceIco(const std::string& ico8);
// The digits of a Czech VAT number ("CZ" and blanks may come first): 8 to 10 digits; nothing
// for any other text.
std::optional<std::string> CisliceDic(std::string_view text);

// The answers read. `chyba` (cp1250) says why there is no result: the register's own error code
// or a reason of the program; empty when the answer held the subject.
struct CteniAres {
  std::optional<AresUdaje> udaje;
  std::string chyba;
};
CteniAres CtiOdpovedAres(std::string_view json, const std::string& ico8);
struct CteniDph {
  std::optional<DphUdaje> udaje;
  std::string chyba;
};
CteniDph CtiOdpovedDph(std::string_view xml, const std::string& dic);
// The request body of the VAT register for the digits `dic` (escaped as XML text).
std::string DotazDph(const std::string& dic);

// The lookups. A text that is not an IČO (a VAT number) is refused with a message before any
// program starts. A try that gets no answer is repeated; after three "Chyba spojení" is shown.
// A register's error, a maintenance answer or an answer that cannot be read is shown and the
// lookup fails. On failure the result is left untouched.
bool HledejAres(const std::string& ico, AresUdaje& vysledek);
bool HledejSpolehlivost(const std::string& dic, DphUdaje& vysledek);

}  // namespace pz::registers
