#include "cashdesk/ratefile.h"

#include <string>

#include "platform/file.h"
#include "storage/money.h"
#include "ui/picture.h"

namespace pz::cashdesk {
namespace {

bool cislice(char c) { return c >= '0' && c <= '9'; }
int dveCislice(std::string_view s, std::size_t i) { return (s[i] - '0') * 10 + (s[i + 1] - '0'); }

}  // namespace

int DatumRadku(std::string_view radek) {
  if (radek.size() < 10) return 0;
  for (std::size_t i : {0, 1, 3, 4, 6, 7, 8, 9})
    if (!cislice(radek[i])) return 0;
  if (radek[2] != '.' || radek[5] != '.') return 0;
  const int den = dveCislice(radek, 0);
  const int mesic = dveCislice(radek, 3);
  const int rok = dveCislice(radek, 6) * 100 + dveCislice(radek, 8);
  if (den == 0 || mesic < 1 || mesic > 12) return 0;
  return rok * 10000 + mesic * 100 + den;
}

namespace {

// The rate in characters 12 to 31 of a data line; a comma counts as the decimal point. A line
// without a positive number there gives nothing.
std::optional<double> KurzRadku(std::string_view radek) {
  if (radek.size() <= 11) return std::nullopt;
  std::string text(radek.substr(11, 20));
  for (char& c : text)
    if (c == ',') c = '.';
  const std::size_t zacatek = text.find_first_not_of(" \t");
  if (zacatek == std::string::npos) return std::nullopt;
  text.erase(0, zacatek);
  if (!cislice(text[0]) && !(text[0] == '.' && text.size() > 1 && cislice(text[1]))) return std::nullopt;
  const storage::Decimal kurz = storage::parseDecimal(text);
  if (kurz.isZero()) return std::nullopt;
  return storage::toDouble(kurz);
}

// The unit count a heading line names after "Množství" (UTF-8 as the bank exports it, or
// Windows-1250 after a text editor saved it), or 0.
int MnozstviHlavicky(std::string_view radek) {
  for (std::string_view slovo : {std::string_view("Mno\xC5\xBEstv\xC3\xAD"), std::string_view("Mno\x9Estv\xED")}) {
    std::size_t i = radek.find(slovo);
    if (i == std::string_view::npos) continue;
    i += slovo.size();
    while (i < radek.size() && (radek[i] == ':' || radek[i] == ' ')) ++i;
    int n = 0;
    for (; i < radek.size() && cislice(radek[i]) && n < 100000; ++i) n = n * 10 + (radek[i] - '0');
    return n;
  }
  return 0;
}

}  // namespace

NalezenyKurz NajdiKurz(std::string_view obsah, std::string_view datumZapl) {
  NalezenyKurz n;
  if (obsah.starts_with("\xEF\xBB\xBF")) obsah.remove_prefix(3);
  // The heading precedes the first data line.
  for (std::string_view zbytek = obsah; !zbytek.empty() && n.mnozstvi == 0;) {
    const std::size_t konec = zbytek.find('\n');
    const std::string_view radek = zbytek.substr(0, konec);
    if (DatumRadku(radek) != 0) break;
    n.mnozstvi = MnozstviHlavicky(radek);
    zbytek.remove_prefix(konec == std::string_view::npos ? zbytek.size() : konec + 1);
  }
  n.kurz = KurzZTextu(obsah, datumZapl);
  return n;
}

NalezenyKurz NajdiKurzVSouboru(std::string_view cesta, std::string_view datumZapl) {
  std::string obsah;
  if (platform::readWholeFile(cesta, obsah, platform::Share::DenyNone) != 0) return {};
  return NajdiKurz(obsah, datumZapl);
}

std::optional<double> KurzZTextu(std::string_view obsah, std::string_view datumZapl) {
  const auto den = ui::RozeberDatum('d', datumZapl);
  if (!den) return std::nullopt;
  const int hledany = den->rok * 10000 + den->mesic * 100 + den->den;

  if (obsah.starts_with("\xEF\xBB\xBF")) obsah.remove_prefix(3);  // a byte order mark of UTF-8
  std::string_view predchozi;  // the whole previous data line, not just its start
  int datumPredchoziho = 0;
  while (!obsah.empty()) {
    const std::size_t konec = obsah.find('\n');
    std::string_view radek = obsah.substr(0, konec);
    obsah.remove_prefix(konec == std::string_view::npos ? obsah.size() : konec + 1);
    if (radek.ends_with('\r')) radek.remove_suffix(1);

    const int datum = DatumRadku(radek);
    if (datum == 0) continue;
    if (datumPredchoziho == 0) {
      // Before the first quote of the file only days of the same month take it.
      if (hledany / 100 == datum / 100 && hledany <= datum) return KurzRadku(radek);
    } else if (datumPredchoziho < hledany && hledany < datum) {
      // A day without a quote between two quotes, across month ends too, takes the last quote.
      return KurzRadku(predchozi);
    }
    if (datum == hledany) return KurzRadku(radek);
    predchozi = radek;
    datumPredchoziho = datum;
  }
  return std::nullopt;
}

std::optional<double> KurzZeSouboru(std::string_view cesta, std::string_view datumZapl) {
  std::string obsah;
  if (platform::readWholeFile(cesta, obsah, platform::Share::DenyNone) != 0) return std::nullopt;
  return KurzZTextu(obsah, datumZapl);
}

}  // namespace pz::cashdesk
