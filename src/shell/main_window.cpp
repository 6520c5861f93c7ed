#include "shell/main_window.h"

#include "cashdesk/offbalance.h"
#include "cashdesk/ratefetch.h"
#include "platform/clock.h"
#include "platform/process.h"
#include "platform/text.h"
#include "shell/lock_client.h"
#include "storage/eventlog.h"
#include "storage/interaction.h"
#include "storage/masterjob.h"
#include "storage/params.h"
#include "storage/roots.h"
#include "storage/settings.h"
#include "ui/app.h"
#include "ui/picture.h"

namespace pz::shell {

using platform::cz;

namespace {

using cashdesk::kParametryPokladny;
constexpr const char* kPodrozvaha = cashdesk::kKlicPodrozvahy;

const char* const kNavodKurzy =
    "V následující tabulce zvolte měnu, formát - TEXT a zvolte Vytvořit sestavu. Po vytvoření sestavy zvolte "
    "Soubor/Uložit jako (vyberte místo pro uložení - musí to být adresář TAMBRA3W v hlavním adresáři na disku s "
    "daty, název souboru přepište na název měny (musí být stejné jako označení měny uvedené u řady v seznamu "
    "pokladních řad) např EUR.TXT a soubor uložte). Takto připravený soubor je potom použitelný pro vyhledávání "
    "kurzů při práci s valutovou pokladnou.";

// A Windows colour from a settings text; a negative value (a system colour) gives the button face.
ui::Color barva(const std::string& text) {
  const int v = ui::TextNaCele(text);
  return v < 0 ? ui::kBtnFace : static_cast<ui::Color>(v);
}

}  // namespace

std::string AdresaKurzuCnb() {
  std::string server = storage::CtiPar(kParametryPokladny, "WebCNB");
  if (server.empty()) server = "https://www.cnb.cz";
  while (!server.empty() && server.back() == '/') server.pop_back();
  return server + "/cs/financni-trhy/devizovy-trh/kurzy-devizoveho-trhu/kurzy-devizoveho-trhu/vybrane_form.html";
}

TForm1::TForm1(TfClient* klient)
    : ui::Form("TForm1", "TAMBRA"),
      Label1(add<ui::Label>("Label1")),
      Label2(add<ui::Label>("Label2")),
      bPZPokl(add<ui::Button>("bPZPokl")),
      bUcetnictvi(add<ui::Button>("bUcetnictvi")),
      CheckBox1(add<ui::CheckBox>("CheckBox1")),
      bTisky(add<ui::Button>("bTisky")),
      bKurzy(add<ui::Button>("bKurzy")),
      bprirucka(add<ui::Button>("bprirucka")),
      bpruvodce(add<ui::Button>("bpruvodce")),
      bStahniKurzy(add<ui::Button>("bStahniKurzy")),
      Label3(add<ui::Label>("Label3")),
      Timer1(kIntervalKontrolyMs, [this] { kontrolaSady(); }, true),
      vlastniKlient_(klient ? nullptr : std::make_unique<TfClient>()),
      klient_(klient ? *klient : *vlastniKlient_) {
  geometry = {200, 150, 422, 292};
  Label1.geometry = {8, 8, 406, 16};
  Label1.text = cz("V A L U T O V Á   P O K L A D N A");
  Label1.align = ui::Align::Center;
  Label1.fontColor = ui::kNavy;
  Label1.bold = true;
  Label2.geometry = {8, 32, 406, 16};
  Label2.text = "ver.16.4.2026";
  Label2.align = ui::Align::Center;

  const struct {
    ui::Button& b;
    int y;
    const char* text;
  } buttons[] = {
      {bPZPokl, 64, "Valutová pokladna"},
      {bUcetnictvi, 88, "Účetnictví"},
      {bTisky, 136, "Tisky"},
      {bKurzy, 160, "Kurzy měn ČNB a jejich stažení z webu  "},
      {bStahniKurzy, 224, "Stáhnout kurzy ČNB do souborů kurzů"},
  };
  for (const auto& b : buttons) {
    b.b.geometry = {40, b.y, 344, 16};
    b.b.text = cz(b.text);
  }
  bPZPokl.isDefault = true;
  CheckBox1.geometry = {40, 112, 344, 16};
  CheckBox1.text = cz("Podrozvahové zúčtování");
  bprirucka.geometry = {40, 200, 168, 16};
  bprirucka.text = cz("F1 - příručka");
  bpruvodce.geometry = {216, 200, 168, 16};
  bpruvodce.text = cz("Ctrl+F1-průvodce");
  Label3.geometry = {8, 256, 406, 16};
  Label3.text = cz("Nastavené sazby DPH : ");
  for (ui::Button* b : {&bPZPokl, &bUcetnictvi, &bTisky, &bKurzy, &bStahniKurzy, &bprirucka, &bpruvodce}) b->color = ui::kBtnFace;
  CheckBox1.color = ui::kBtnFace;
  setFocus(&bPZPokl);

  bPZPokl.onClick = [this] {
    storage::Zapis(cz("* START - Valutová pokladna"));
    if (naPokladnu) naPokladnu();
  };
  bUcetnictvi.onClick = [this] {
    if (naUcetnictvi) naUcetnictvi();
  };
  bTisky.onClick = [this] {
    if (naTisky) naTisky();
  };
  bKurzy.onClick = [this] { kurzy(); };
  bStahniKurzy.onClick = [this] { stahniKurzy(); };
  bprirucka.onClick = [this] {
    if (naNapovedu) naNapovedu("\\pz\\pz", cz("Valutová pokladna"));
    setFocus(&bPZPokl);
  };
  bpruvodce.onClick = [this] {
    if (naPruvodce) naPruvodce(storage::ProgCesta("\\NAVODY\\"), "PZ");
    setFocus(&bPZPokl);
  };
  // Every click stores the switch that the posting of cash documents reads; an empty value
  // removes the key from the file.
  CheckBox1.onClick = [this] { storage::PisPar(kParametryPokladny, kPodrozvaha, CheckBox1.checked ? "ANO" : ""); };
}

TForm1::~TForm1() = default;

void TForm1::onShow() {
  if (!prvniAktivace_) return;
  prvniAktivace_ = false;
  prvniAktivace();
}

void TForm1::prvniAktivace() {
  const auto& s = storage::settings();
  if (!s.lockServer.empty()) {
    // With a lock server the suite-presence check is not used; without the server the station
    // would work uncoordinated, so the program ends.
    Timer1.setEnabled(false);
    if (klient_.otevri(s.lockServer) != TfClient::kUspech) {
      close();
      return;
    }
  }
  Label3.text += s.vatReduced2Text + " , " + s.vatReducedText + " , " + s.vatBasicText;
  // A station that started without its table (master.job missing or too short to hold an
  // entry) runs on the fallbacks: the caption says so instead of showing no user.
  caption = s.user.empty() ? cz("TAMBRA - chybí master.job") : "TAMBRA " + s.user.substr(0, 9);
  color = barva(storage::CtiPar("par\\sys.par", "Pozadi2"));
  const bool pokladniKniha = !storage::CtiJobV(storage::DataCesta(""), "FJ").empty();
  bUcetnictvi.visible = !pokladniKniha;
  CheckBox1.visible = !pokladniKniha;
  if (!pokladniKniha) CheckBox1.checked = storage::CtiPar(kParametryPokladny, kPodrozvaha) == "ANO";
}

void TForm1::kontrolaSady() {
  Timer1.setEnabled(false);
  const auto vysledek = sada_.zkontroluj(storage::DataCesta(kTabulkaUzivatelu), storage::settings().userNumber);
  if (vysledek == KontrolaSady::Vysledek::Ukoncit) {
    ui::Application::instance().beep();
    storage::interaction().message(cz("Program \"Valutová pokladna\" byl opuštěn programem TAMBRA"));
    close();
    return;
  }
  Timer1.setEnabled(true);
}

void TForm1::kurzy() {
  storage::interaction().message(cz(kNavodKurzy));
  platform::openUrl(AdresaKurzuCnb());
}

void TForm1::stahniKurzy() {
  const cashdesk::VysledekStazeni v = cashdesk::StahniKurzy(platform::clock().today());
  std::string text;
  for (const std::string& radek : v.radky) text += (text.empty() ? "" : "\n") + radek;
  storage::interaction().message(text, !v.chybne.empty());
  setFocus(&bStahniKurzy);
}

void TForm1::napovedaTlacitka(const ui::Control* c, bool mys) {
  if (!naNapovedu || !c) return;
  if (c == &bPZPokl) naNapovedu("\\pz\\pz", cz("Valutová pokladna"));
  else if (c == &bUcetnictvi) naNapovedu("\\pz\\pz", cz("Účtování"));
  else if (c == &bTisky) naNapovedu("\\2\\spool", "Tisky");
  else if ((c == &bKurzy || c == &bStahniKurzy) && !mys) naNapovedu("\\pz\\pz", cz("Kurzy měn ČNB"));
}

bool TForm1::onKey(const ui::KeyEvent& ev) {
  if (ev.vk == ui::kVkEscape && ev.plain()) {
    close();
    return true;
  }
  if (ev.vk == ui::kVkF1 && ev.plain()) {
    napovedaTlacitka(focused(), false);
    return true;
  }
  // As in the dialogs of the desktop the window imitates, the arrows move between its buttons.
  if ((ev.vk == ui::kVkDown || ev.vk == ui::kVkUp) && ev.plain()) {
    focusNext(ev.vk == ui::kVkUp);
    return true;
  }
  return false;
}

bool TForm1::onMouse(const ui::MouseEvent& ev, ui::Control* hit) {
  if (ev.button != ui::MouseButton::Right) return false;
  napovedaTlacitka(hit, true);
  return true;
}

void TForm1::onClose() {
  Timer1.setEnabled(false);
  // Closes the code-list windows left open and writes the changed parameter files. Settings
  // that cannot be written now would be lost with the process, so the user may try again (after
  // closing the program that holds the file, say).
  while (!storage::DokonciUlohu()) {
    std::string soubory;
    for (const auto& s : storage::NeulozeneParametry()) soubory += (soubory.empty() ? "" : ", ") + s;
    if (!storage::interaction().question(
            cz("Nastavení se nepodařilo uložit do souboru ") + soubory + cz(". Zkusit znovu?"), true))
      break;
  }
  storage::Zapis(cz("* KONEC - Valutová pokladna"));
  klient_.zavri();
}

}  // namespace pz::shell
