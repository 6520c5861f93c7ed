#include "ui/browse_settings.h"

#include <algorithm>

#include "storage/czech.h"
#include "storage/params.h"
#include "storage/probes.h"
#include "ui/picture.h"

namespace pz::ui {

using storage::CtiPar;

bool VzhledOkna::tucne() const { return storage::VelkaPismena(styl).find("BOLD") != std::string::npos; }
bool VzhledOkna::kurziva() const { return storage::VelkaPismena(styl).find("ITALIC") != std::string::npos; }

std::string TextStylu(bool tucne, bool kurziva) {
  if (tucne && kurziva) return "BoldItalic";
  if (tucne) return "Bold";
  if (kurziva) return "Italic";
  return "Normal";
}

int CtiCislo(std::string_view soubor, std::string_view klic) { return TextNaCele(CtiPar(soubor, klic)); }

namespace {

// Limits within which a stored size is believed; outside them the default stays, so that a
// damaged file cannot make rows zero or hundreds of pixels high.
constexpr int kVyskaOd = 6, kVyskaDo = 60, kSirkaOd = 3, kSirkaDo = 40, kVelikostOd = 4, kVelikostDo = 72;

// Applies one look key to `v` when the value makes sense; true when it did.
bool pouzij(VzhledOkna& v, std::string_view klic, const std::string& hodnota) {
  if (hodnota.empty()) return false;
  const int n = TextNaCele(hodnota);
  if (klic == "VyskaFontu") {
    if (n < kVyskaOd || n > kVyskaDo) return false;
    v.vyskaZnaku = n;
  } else if (klic == "SirkaFontu") {
    if (n < kSirkaOd || n > kSirkaDo) return false;
    v.sirkaZnaku = n;
  } else if (klic == "FontName") {
    v.pismo = hodnota;
  } else if (klic == "FontStyle") {
    v.styl = hodnota;
  } else if (klic == "FontSize") {
    if (n < kVelikostOd || n > kVelikostDo) return false;
    v.velikost = n;
  } else if (klic == "FontColor" || klic == "FontPaper") {
    // Negative values are the system's named colours of another toolkit; they are not ours.
    if (n < 0 || n > 0xFFFFFF || hodnota.find_first_of("0123456789") == std::string::npos) return false;
    (klic == "FontColor" ? v.barvaPisma : v.barvaPapiru) = static_cast<Color>(n);
  }
  return true;
}

constexpr const char* kKliceVzhledu[] = {"VyskaFontu", "SirkaFontu", "FontName", "FontStyle",
                                         "FontSize",   "FontColor",  "FontPaper"};

}  // namespace

VzhledOkna VyresVzhled(const std::string& okno) {
  VzhledOkna v;
  if (storage::VelikostSouboru(kOknag) >= 7) {
    for (const char* k : kKliceVzhledu) pouzij(v, k, CtiPar(kOknag, k));
    return v;
  }
  for (const char* k : kKliceVzhledu)
    if (!pouzij(v, k, CtiPar(kOkna2, k))) pouzij(v, k, CtiPar(kOkna2, okno + " " + k));
  return v;
}

std::string FormatGeometrie(int v) { return FormatPlainE("@@@@", std::clamp(v, 0, 9999)); }
std::string FormatIndexu(int v) { return FormatPlainE("@@@@@@", std::clamp(v, 0, 999999)); }
std::string FormatVelikostiZnaku(int v) { return FormatPlainE("###", std::clamp(v, 0, 999)); }
std::string FormatVelikostiPisma(int v) { return FormatPlainE("@@@@-", v); }
std::string FormatBarvy(Color c) { return FormatPlainE("-@@@@@@@@@@@", static_cast<double>(c)); }

std::vector<int> RozeberGridy(std::string_view hodnota) {
  std::vector<int> sirky;
  for (size_t i = 0; i + 3 <= hodnota.size(); i += 3) {
    std::string_view g = hodnota.substr(i, 3);
    const bool cislo = std::all_of(g.begin(), g.end(), [](char c) { return (c >= '0' && c <= '9') || c == ' '; });
    const int n = cislo ? TextNaCele(g) : 0;
    sirky.push_back(n >= 1 ? n : 200);
  }
  return sirky;
}

bool GridyUveritelne(const std::vector<int>& sirky, int nejmensi) {
  if (sirky.size() < 3) return true;  // column 0 and a single column: any width is a choice
  return std::any_of(sirky.begin() + 1, sirky.end(), [nejmensi](int w) { return w > nejmensi; });
}

std::string SestavGridy(const std::vector<int>& sirky) {
  std::string s;
  for (size_t i = 0; i < sirky.size() && i <= 40; ++i) s += FormatPlainE("@@@", std::clamp(sirky[i], 1, 999));
  return s;
}

}  // namespace pz::ui
