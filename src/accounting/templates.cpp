#include "accounting/templates.h"

#include <cstdio>

#include "platform/text.h"
#include "reportfiles/report.h"
#include "storage/czech.h"
#include "storage/textutil.h"
#include "ui/dialogs.h"

namespace pz::accounting {

using platform::cz;
namespace pk = predkontace;

namespace {
TfCis11* g_predkontace = nullptr;
}  // namespace

TfCis11::TfCis11() : TfCiselnik("fCis11", {"CI11.DTA", 3, pk::kVelikost, cz("Třídím seznam účtů")}) {
  g_predkontace = this;
  auto& it = PopupMenu1.items.at(0);
  it.caption = "Opis";
  it.visible = true;
  it.onClick = [this] { Opis(); };
}

TfCis11::~TfCis11() {
  if (g_predkontace == this) g_predkontace = nullptr;
}

TfCis11& Predkontace() { return PosledniOkno(g_predkontace); }

void TfCis11::Deklaruj() {
  std::vector<ui::PopisPole> pole = {{.popis = cz("číslo "), .sirka = 3, .obrazek = "P", .radek = 1, .pocatecni = "000"},
                                     {.popis = " ", .sirka = 30, .obrazek = " ", .radek = 1, .sloupec = 12}};
  // Each line: debit account and centre, credit account and centre, on row line + 1.
  const char* const popisy[] = {"Účet M ", "Stř. M ", "Účet D ", "Stř. D "};
  const int sloupce[] = {2, 20, 37, 55}, sirky[] = {6, 5, 6, 5};
  for (int k = 1; k <= pk::kRadku; ++k) {
    char cislo[8];
    std::snprintf(cislo, sizeof cislo, "%2d.", k);
    for (int s = 0; s < 4; ++s)
      pole.push_back({.popis = cislo + cz(popisy[s]), .sirka = sirky[s], .obrazek = s % 2 ? "Y" : "X", .radek = k + 1,
                      .sloupec = sloupce[s]});
  }
  pole.push_back({.popis = cz("Datum změny "), .sirka = 6, .obrazek = " ", .radek = 12, .sloupec = 6});
  OtevriSoub({.soubor = "CI11.DTA",
              .titulek = cz("Předkontace"),
              .velikost = pk::kVelikost,
              .radek = 0,
              .formular = {4, 2, 76, 16},
              .napovedaFormulare = cz(" F2=zápis  Esc=nic "),
              .titulekFormulare = " CI11 ",
              .napovedaSeznamu = cz(" F1-Help F10=Opis F4-Nová "),
              .pole = std::move(pole),
              .sloupce = 0});
  std::vector<int> vsechna;
  for (int i = 1; i <= 43; ++i) vsechna.push_back(i);
  NastavSloupcePoli(vsechna);
}

std::string TfCis11::TextProHledani(int n) { return storage::HledaciTvar(TextRadku(n)); }

void TfCis11::UkazSeznam() {
  Ukaz();
  ZavriSeznam();
}

void TfCis11::Opis() {
  Nastav();
  if (!reports::OtevriSestavu("CI_OPIS", 132)) return;
  std::vector<reports::SloupecSestavy> sloupce;
  for (const auto& s : Sloupce) sloupce.push_back({s.titulek, s.sirka});
  reports::StrankovanaSestava sestava(cz("Předkontace (11)"), sloupce);
  for (int n = 1; n <= Soubor().pocet(); ++n)
    if (!sestava.radek(TextRadku(n).substr(0, 132))) break;
  if (reports::ZavriSestavu()) ui::UkazSestavu("CI_OPIS");
}

bool RadekPredkontace::prazdny() const {
  return storage::Orez(ucetM + strM + ucetD + strD).empty();
}

std::string NazevPredkontace(const std::vector<std::uint8_t>& veta) { return TextVety(veta, pk::kNazev, 30); }

std::vector<RadekPredkontace> RadkyPredkontace(const std::vector<std::uint8_t>& veta) {
  std::vector<RadekPredkontace> radky;
  for (int k = 0; k < pk::kRadku; ++k) {
    const std::size_t o = pk::kRadky + static_cast<std::size_t>(k) * pk::kRadek;
    RadekPredkontace r{TextVety(veta, o + pk::kUcetM, 6), TextVety(veta, o + pk::kStrM, 5),
                       TextVety(veta, o + pk::kUcetD, 6), TextVety(veta, o + pk::kStrD, 5)};
    if (!r.prazdny()) radky.push_back(r);
  }
  return radky;
}

}  // namespace pz::accounting
