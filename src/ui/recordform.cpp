// The record form TfSoub. Map of this file:
//   - helpers and the record file whose hooks go to the window
//   - construction, the buttons below the grid
//   - Fields                         declarations, columns, texts to and from the record
//   - Opening and closing            OtevriSoub from a list layout, the template and deleted
//                                    record of the code lists
//   - Reading and writing            the record buffer and the row's cells
//   - New record, edit, delete       F4, Space, F8 and the edit form around them
//   - Templates                      saved and loaded defaults of new records
//   - Exports                        CSV and DBF of the marked records
//   - Pictures of documents
//   - The rest of the list's keys

#include "ui/recordform.h"

#include <algorithm>
#include <cstring>

#include "platform/file.h"
#include "platform/io.h"
#include "platform/text.h"
#include "reportfiles/report.h"
#include "storage/czech.h"
#include "storage/fields.h"
#include "storage/interaction.h"
#include "storage/params.h"
#include "storage/roots.h"
#include "storage/probes.h"
#include "storage/settings.h"
#include "storage/sortarray.h"
#include "storage/sortfile.h"
#include "storage/textutil.h"
#include "ui/dialogs.h"
#include "ui/export.h"

namespace pz::ui {

using platform::cz;

SluzbySouboru& sluzbySouboru() {
  static SluzbySouboru s;
  return s;
}

namespace {

constexpr std::size_t kNejdelsiPopis = 50;
constexpr std::size_t kNejdelsiTyp = 30;
constexpr std::size_t kNejdelsiBocni = 100;
constexpr int kNejvicObrazku = 99;
constexpr const char* kZakazAkt = "par\\zakakt.par";

// A type text that says nothing is a fixed text.
TypPole typZTextu(const std::string& typ) {
  if (auto t = RozeberTyp(typ.empty() ? std::string(" ") : typ)) return *t;
  return *RozeberTyp(" ");
}

// The name a file is known by in "par\zakakt.par": without its directory.
std::string jmenoBezCesty(const std::string& s) {
  std::string n = s;
  if (!n.empty() && n[0] == '=') n.erase(0, 1);
  const std::size_t l = n.find_last_of("\\/:");
  return l == std::string::npos ? n : n.substr(l + 1);
}

}  // namespace

// The record file of the window: its hooks go to the window's.
class TfSoub::SouborOkna : public storage::RecordFile {
 public:
  explicit SouborOkna(TfSoub& w) : w_(w) {}
  void PoCteni(std::span<std::uint8_t> b, storage::Buffer which) override { w_.PoCteni(b, which); }
  void PredZapisem(std::span<std::uint8_t> b) override { w_.PredZapisem(b); }
  std::string KlicRadku(std::int32_t n) override { return w_.KlicRadku(n); }

 private:
  TfSoub& w_;
};

TfSoub::TfSoub(std::string nazev, std::string titulek)
    : TfRol(std::move(nazev), std::move(titulek)),
      KlF4(add<Button>("KlF4")),
      KlMez(add<Button>("KlMez")),
      KlF8(add<Button>("KlF8")),
      KlNajdi(add<Button>("KlNajdi")),
      soubor_(std::make_unique<SouborOkna>(*this)),
      poradiSouboru_(std::make_unique<PoradiSouboru>(*soubor_)) {
  KlF4.text = cz("Nový");
  KlMez.text = "Oprav";
  KlF8.text = cz("Zruš");
  KlNajdi.text = "Hledej";
  auto tlacitko = [this](Button& b, void (TfSoub::*akce)()) {
    b.visible = false;
    b.onClick = [this, akce] {
      setFocus(&sgRol);
      (this->*akce)();
      if (!closeRequested()) Prekresli();
    };
  };
  tlacitko(KlF4, &TfSoub::NaF4);
  tlacitko(KlMez, &TfSoub::opravAktualni);
  tlacitko(KlF8, &TfSoub::NaF8);
  tlacitko(KlNajdi, &TfSoub::prepniHledani);
}

TfSoub::~TfSoub() = default;

void TfSoub::opravAktualni() {
  if (Radek > 0) Oprav();
}

void TfSoub::prepniHledani() {
  if (Hleda()) deliverKey(KeyEvent{kVkEscape});
  else NaF3();
}

void TfSoub::UkazTlacitka(bool ano) {
  tlacitka_ = ano;
  for (Button* b : {&KlF4, &KlMez, &KlF8, &KlNajdi}) b->visible = ano;
  RezervovaneRadky = ano ? 2 : 0;
}

// ---------------------------------------------------------------------------------------------
// Fields

std::string TfSoub::Text(int i) const {
  return i >= 1 && i <= PocetPoli() ? Pole(i).text : std::string();
}

void TfSoub::NastavText(int i, const std::string& text) {
  if (i < 1 || i > PocetPoli()) return;
  Pole(i).text = text;
  if (formular_) formular_->Ukaz();
}

void TfSoub::DeklarujPole(int i, const std::string& popis, int sloupec, const std::string& bocniText, int radek,
                          int bocniSloupec, const std::string& pocatecni, const std::string& typ) {
  if (i < 1) return;
  if (i > PocetPoli()) pole_.resize(static_cast<std::size_t>(i));
  PoleSouboru& p = Pole(i);
  p = PoleSouboru{};
  p.popis = popis.substr(0, kNejdelsiPopis);
  p.sloupec = std::clamp(sloupec, 0, 255);
  p.radek = std::clamp(radek, 0, 255);
  p.typ = typZTextu(typ.substr(0, kNejdelsiTyp));
  p.typText = p.typ.ciselny() ? p.typ.obrazek : typ.substr(0, kNejdelsiTyp);
  p.bocniText = bocniText.substr(0, kNejdelsiBocni);
  p.bocniSloupec = std::clamp(bocniSloupec, 0, 255);
  p.sirka = static_cast<int>(std::min<std::size_t>(pocatecni.size(), 255));
  p.text = p.puvodni = p.predchozi = pocatecni.substr(0, 255);
  // The field follows the one declared before it in the record.
  if (i > 1) {
    const PoleSouboru& q = Pole(i - 1);
    p.offset = q.offset + SirkaUlozeni(q.typ, static_cast<std::size_t>(q.sirka));
  }
  rozvrzeni_ = true;
}

void TfSoub::NastavSloupce(const std::vector<std::string>& titulky) {
  Sloupce.clear();
  for (const auto& t : titulky) Sloupce.push_back({t, 0, false});
  sloupcePoli_.assign(Sloupce.size(), true);
  rozvrzeni_ = true;
}

// Columns named by NastavSloupce take the width their field shows.
void TfSoub::pripravSloupce() {
  for (std::size_t c = 0; c < Sloupce.size(); ++c) {
    if (c >= sloupcePoli_.size() || !sloupcePoli_[c] || c >= pole_.size()) continue;
    const PoleSouboru& p = pole_[c];
    int w = p.sirka;
    if (p.typ.ciselny()) w = static_cast<int>(p.typ.obrazek.size());
    else if (p.typ.datum()) w = (p.typ.druh == DruhPole::DatumRRMD || p.typ.druh == DruhPole::DatumDMRR) ? 10 : 8;
    else if (p.typ.druh == DruhPole::Cas) w = 8;
    Sloupce[c].sirka = std::max(1, w);
    Sloupce[c].datumCas = p.typ.datum() || p.typ.druh == DruhPole::Cas;
  }
}

void TfSoub::TextyZVety() {
  for (auto& p : pole_) p.text = ZobrazPole(p.typ, static_cast<std::size_t>(p.sirka), Veta(), p.offset);
}

int TfSoub::TextyDoVety() {
  for (std::size_t k = 0; k < pole_.size(); ++k) {
    PoleSouboru& p = pole_[k];
    // A hidden field keeps what the record holds.
    if (p.stav < 0) continue;
    if (UlozPole(p.typ, static_cast<std::size_t>(p.sirka), p.text, Veta(), p.offset) != ChybaPole::Zadna) {
      p.chyba = true;
      return static_cast<int>(k) + 1;
    }
  }
  return 0;
}

void TfSoub::normalizuj(int i) {
  PoleSouboru& p = Pole(i);
  const UpravenyText u = UpravPole(p.typ, static_cast<std::size_t>(p.sirka), p.text);
  p.text = u.text;
  p.chyba = u.chyba != ChybaPole::Zadna;
}

void TfSoub::predchoziZeSoucasnych() {
  for (auto& p : pole_) p.predchozi = p.puvodni = p.text;
}

std::string TfSoub::ZpravaChyby(int i) const {
  const std::string udaj = (cz("Údaj ") + Pole(i).popis).substr(0, 55);
  return (udaj + cz(" je chybný")).substr(0, 65);
}

// ---------------------------------------------------------------------------------------------
// Opening and closing

bool TfSoub::OtevriSoub(const RozvrzeniSeznamu& r) {
  const int pocet = static_cast<int>(r.pole.size());
  const int sloupce = r.sloupce < 0 ? pocet : std::min(r.sloupce, pocet);
  std::vector<std::string> titulky;
  for (int i = 0; i < sloupce; ++i) {
    const PopisPole& d = r.pole[static_cast<std::size_t>(i)];
    titulky.push_back(d.titulek ? *d.titulek : TitulekSloupce(d.popis, d.sirka));
  }
  if (sloupce > 0) NastavSloupce(titulky);

  if (soubor_->otevren()) soubor_->ZavriSoubor();
  pole_.assign(static_cast<std::size_t>(pocet), PoleSouboru{});
  PovolenNovy = PovolenaOprava = PovolenoMazani = true;
  Zmeneno = false;
  Zruseno = false;
  BarvaTextuFormulare = r.barvaTextuFormulare;
  BarvaFormulare = r.barvaFormulare;
  FormDolni = r.formular.dolni;
  FormPravy = r.formular.pravy;
  FormHorni = r.formular.horni;
  FormLevy = r.formular.levy;
  NapovedaFormulare = r.napovedaFormulare;
  TitulekFormulare = r.titulekFormulare;
  jmenoSouboru_ = r.soubor;

  const bool ok = r.soubor.empty() || soubor_->OtevriSoubor(r.soubor, r.velikost);
  NastavZdrojPoradi(r.velikost >= storage::kSPoradim ? poradiSouboru_.get() : nullptr);
  if (tlacitka_) RezervovaneRadky = 2;
  rozvrzeni_ = true;
  const MistoOkna& l = r.seznam;
  OtevriRol(l.levy, l.horni, l.pravy, l.dolni, r.barvaSeznamu, r.barvaTextuSeznamu, r.titulek, r.napovedaSeznamu,
            r.radek, soubor_->pocet());

  for (int i = 1; i <= pocet; ++i) {
    const PopisPole& d = r.pole[static_cast<std::size_t>(i - 1)];
    std::string typ = d.obrazek;
    if (d.ulozeni) typ += d.ulozeni;
    const std::string pocatecni = d.pocatecni.empty() ? std::string(static_cast<std::size_t>(d.sirka), ' ') : d.pocatecni;
    DeklarujPole(i, d.popis, d.sloupec, d.bocniText, d.radek ? d.radek : i, d.bocniSloupec, pocatecni,
                 typ.empty() ? " " : typ);
    if (d.offset != PopisPole::kZaPredchozim) Pole(i).offset = d.offset;
  }
  return ok;
}

std::string TfSoub::TitulekSloupce(const std::string& popis, int sirka) {
  std::string t = popis.substr(0, static_cast<std::size_t>(std::max(0, sirka)));
  t.resize(static_cast<std::size_t>(std::max(0, sirka)), ' ');
  return t;
}

void TfSoub::ZapamatujSablonu() {
  Veta().assign(static_cast<std::size_t>(Soubor().velikost()), 0);
  TextyDoVety();
  SablonaVety = Veta();
}

void TfSoub::SmazanaVeta(std::size_t offset, std::size_t sirka, const char* znacka) {
  Veta() = SablonaVety;
  (void)storage::writeShortString(Veta(), offset, sirka, znacka);
}

std::string TfSoub::VybranyText(std::size_t offset, std::size_t sirka) {
  if (KoncovaKlavesa != 13 || Radek < 1 || Radek > PocetRadku) return {};
  CtiVetu(Radek);
  return storage::readShortString(Veta(), offset, sirka);
}

void TfSoub::Zavri() {
  soubor_->ZavriSoubor();
  NastavZdrojPoradi(nullptr);
  pole_.clear();
  TfRol::Zavri();
}

void TfSoub::onShow() {
  if (rozvrzeni_) {
    pripravSloupce();
    Sestav();
    rozvrzeni_ = false;
  }
  TfRol::onShow();
}

void TfSoub::Sestav() {
  pripravSloupce();
  TfRol::Sestav();
  umistiTlacitka();
}

void TfSoub::Prekresli() {
  TfRol::Prekresli();
  umistiTlacitka();
}

void TfSoub::umistiTlacitka() {
  if (!tlacitka_) return;
  const int rh = VyskaRadku() + 1;
  const int cw = std::max(1, look.cellWidth);
  // The line below the search line and the position label.
  const int y = std::max(lKolik.geometry.y, eHled.geometry.y) + rh;
  int x = cw;
  for (Button* b : {&KlF4, &KlMez, &KlF8, &KlNajdi}) {
    const int w = (static_cast<int>(b->text.size()) + 2) * cw;
    b->geometry = {x, y, w, rh};
    x += w + cw;
  }
}

bool TfSoub::onMouse(const MouseEvent& ev, Control* hit) {
  for (Button* b : {&KlF4, &KlMez, &KlF8, &KlNajdi})
    if (hit == b) {
      if (ev.button == MouseButton::Left && b->onClick) b->onClick();
      return true;
    }
  return TfRol::onMouse(ev, hit);
}

// After the file was reopened or appended to: the list's rows follow the record count.
void TfSoub::poSouboru(int radek) {
  PocetRadku = soubor_->pocet();
  Sestav();
  JdiNa(radek, 2);
}

void TfSoub::obnov() {
  const int r = Radek;
  if (soubor_->otevren()) soubor_->ObnovSoubor();
  poSouboru(r);
}

// ---------------------------------------------------------------------------------------------
// Reading and writing

void TfSoub::CtiVetu(int n) { soubor_->CtiVetu(n); }
void TfSoub::CtiPuvodni(int n) { soubor_->CtiPuvodni(n); }

// A search reads every row once: in file order the records come in blocks of 256 KB, one read
// each; through an order its entries come so, and the records, scattered, one by one.
void TfSoub::ZacatekHledani() {
  constexpr size_t kBlokHledani = 256 * 1024;
  hledaniVBlocich_.reset();
  sloupceHledani_.clear();
  const bool poradi = soubor_->poradi() != 0;
  hledaniVBlocich_ = std::make_unique<storage::RecordFile::CteniVBlocich>(
      *soubor_, poradi ? static_cast<size_t>(std::max(soubor_->velikost(), 1)) : kBlokHledani, kBlokHledani / 4,
      poradi ? 1 : 2);
}

void TfSoub::KonecHledani() { hledaniVBlocich_.reset(); }

// What TextProHledani gives (the row read into the compare buffer, the cells filled as
// NaplnSloupce fills them, joined as TextRadku joins them, folded), built from the block's bytes
// without a string per cell. The after-read hook of the GDPR switch changes the bytes first, so
// then the row goes the usual way.
void TfSoub::TextProHledaniDo(int n, std::string& text) {
  if (!HledaniZPoli() || !TextPoliZBloku(n, text)) TfRol::TextProHledaniDo(n, text);
}

void TfSoub::rozvrhniHledani() {
  const std::size_t sloupcu = std::max<std::size_t>(1, Sloupce.size());
  const std::size_t poli = std::min(Sloupce.size(), pole_.size());
  sloupceHledani_.assign(sloupcu, {});
  mistoHledani_ = 0;
  for (std::size_t c = 0; c < sloupcu; ++c) {
    SloupecHledani& s = sloupceHledani_[c];
    mistoHledani_ += 1;  // the blank before it
    if (c >= poli) continue;
    const PoleSouboru& p = pole_[c];
    s.pole = true;
    s.offset = p.offset;
    s.sirka = static_cast<std::size_t>(std::max(p.sirka, 0));
    s.cislo = p.typ.ciselny() || p.typ.datum() || p.typ.druh == DruhPole::Cas;
    s.ulozeni = SirkaUlozeni(p.typ, s.sirka);
    // A text shows at most its width; a number, date or time its picture (at most 30), so 64
    // leaves room without a check in the common case.
    mistoHledani_ += s.cislo ? std::max<std::size_t>(s.sirka, 64) : s.sirka;
  }
}

bool TfSoub::TextPoliZBloku(int n, std::string& text) {
  const std::uint8_t* v = hledaniVBlocich_ && !storage::settings().gdpr ? soubor_->VetaZBloku(n) : nullptr;
  if (!v) return false;
  std::vector<std::uint8_t>& puvodni = Puvodni();
  std::memcpy(puvodni.data(), v, puvodni.size());  // as CtiPuvodni leaves it
  if (sloupceHledani_.empty()) rozvrhniHledani();
  const std::size_t velikost = puvodni.size();
  const std::uint8_t* const veta = puvodni.data();
  // Written through a pointer into room for the longest row; a text longer than its room (a
  // number whose picture is wider than thought) makes more.
  if (text.size() < mistoHledani_) text.resize(mistoHledani_);
  std::size_t delka = 0;
  const auto pridej = [&](const char* z, std::size_t k) __attribute__((always_inline)) {
    if (text.size() - delka < k) text.resize(delka + k + mistoHledani_);
    std::memcpy(text.data() + delka, z, k);
    delka += k;
  };
  for (std::size_t c = 0; c < sloupceHledani_.size(); ++c) {
    SloupecHledani& s = sloupceHledani_[c];
    if (c > 0) text[delka++] = ' ';
    if (!s.pole) continue;
    // A field of text or code shows its stored characters as they lie: straight from the bytes.
    if (!s.cislo && s.offset < velikost) {
      const std::size_t d = std::min<std::size_t>(veta[s.offset], s.sirka);
      if (s.offset + 1 + d <= velikost) {
        pridej(reinterpret_cast<const char*>(veta) + s.offset + 1, d);
        continue;
      }
    }
    // A number, a date or a time: the text made for the same bytes in a row before, or made now.
    const char* bajty = reinterpret_cast<const char*>(veta) + s.offset;
    const bool cela = s.cislo && s.offset + s.ulozeni <= velikost;
    if (cela && s.bajty.size() == s.ulozeni && std::memcmp(s.bajty.data(), bajty, s.ulozeni) == 0) {
      pridej(s.text.data(), s.text.size());
      continue;
    }
    ZobrazPole(bunkaHledani_, pole_[c].typ, s.sirka, puvodni, s.offset);
    if (cela) {
      s.bajty.assign(bajty, s.ulozeni);
      s.text = bunkaHledani_;
    }
    pridej(bunkaHledani_.data(), bunkaHledani_.size());
  }
  text.resize(delka);
  SlozProHledani(text);
  return true;
}
void TfSoub::PisVetu(int n) { soubor_->PisVetu(n); }

void TfSoub::NaplnSloupce() {
  const std::size_t n = std::min(Sloupce.size(), pole_.size());
  for (std::size_t c = 1; c <= n && c < Bunky.size(); ++c) {
    const PoleSouboru& p = pole_[c - 1];
    ZobrazPole(Bunky[c], p.typ, static_cast<std::size_t>(p.sirka), Puvodni(), p.offset);
  }
}

void TfSoub::NovaVeta() { soubor_->PridejVetu(); }

bool TfSoub::ZakazanyNovy() const {
  return !jmenoSouboru_.empty() && !storage::CtiPar(kZakazAkt, jmenoBezCesty(jmenoSouboru_)).empty();
}

// ---------------------------------------------------------------------------------------------
// New record, edit, delete

void TfSoub::NaF4() {
  if (!PovolenNovy || ZakazanyNovy()) return;
  TextyZVety();
  for (auto& p : pole_) p.puvodni = p.text;
  if (!Formular()) return;
  if (const int chybne = TextyDoVety(); chybne > 0) {
    Zprava(ZpravaChyby(chybne));
    return;
  }
  predchoziZeSoucasnych();
  // Other stations may have appended since the list was counted; the append goes to the true
  // end of the file anyway, and the list then shows it last.
  if (soubor_->otevren()) soubor_->ObnovSoubor();
  NovaVeta();
  Zmeneno = true;
  poSouboru(soubor_->pocet());
}

bool TfSoub::ZmenilJiny() {
  if (editovany_ < 1 || kopie_.empty()) return false;
  std::vector<std::uint8_t> ted = Veta();
  const bool precteno = soubor_->CtiVetuPrimo(editovany_);
  const bool jina = !precteno || Veta() != kopie_;
  Veta() = std::move(ted);
  return jina;
}

void TfSoub::Oprav() {
  if (PocetRadku <= 0 || !PovolenaOprava) return;
  obnov();
  if (Radek < 1 || Radek > soubor_->pocet()) return;
  const int radek = Radek;
  CtiVetu(radek);
  // The record as this edit found it, byte for byte: a change by another station that keeps the
  // checksum ("12" -> "21") must still refuse the edit.
  editovany_ = soubor_->posledni();
  kopie_ = Veta();
  TextyZVety();
  for (auto& p : pole_) p.puvodni = p.text;
  const bool prijato = Formular();
  if (prijato) {
    const int zaznam = editovany_;
    if (!soubor_->CtiVetuPrimo(zaznam) || Veta() != kopie_) {
      Zprava(cz("Vaše opravy neplatí, větu změnil jiný uživatel"));
    } else if (const int chybne = TextyDoVety(); chybne > 0) {
      Zprava(ZpravaChyby(chybne));
    } else {
      for (auto& p : pole_) p.predchozi = p.text;
      // The list's order may have been replaced meanwhile: the record goes where it was read.
      if (CisloZPoradi(radek) == zaznam) PisVetu(radek);
      else soubor_->PisVetuPrimo(zaznam);
      Zmeneno = true;
    }
  }
  editovany_ = 0;
  kopie_.clear();
  obnov();
}

void TfSoub::NaShiftF4() {
  if (Radek < 1 || Radek > PocetRadku) return;
  TextyZVety();
  for (auto& p : pole_) p.puvodni = p.text;
  if (!Formular()) return;
  if (const int chybne = TextyDoVety(); chybne > 0) {
    Zprava(ZpravaChyby(chybne));
    return;
  }
  for (auto& p : pole_) p.predchozi = p.text;
  PisVetu(Radek);
  Zmeneno = true;
}

void TfSoub::NaF8() {
  if (!PovolenoMazani || Radek < 1 || Radek > PocetRadku) return;
  // The buffer may hold another record (the last one edited): the marker goes on this one.
  CtiVetu(Radek);
  PriMazani();
  PisVetu(Radek);
  Zmeneno = true;
}

// ---------------------------------------------------------------------------------------------
// Templates

std::string TfSoub::SouborSablony() const { return "par\\" + name().substr(0, 8) + ".F12"; }

namespace {
std::string klicSablony(int i) { return FormatPlainE("###", i); }
}  // namespace

void TfSoub::NaCtrlF12() {
  if (Radek < 1 || Radek > PocetRadku) return;
  CtiVetu(Radek);
  TextyZVety();
  for (int i = 1; i <= PocetPoli(); ++i) storage::PisPar(SouborSablony(), klicSablony(i), Pole(i).text);
}

bool TfSoub::zeSablony() {
  for (int i = 1; i <= PocetPoli(); ++i) {
    PoleSouboru& p = Pole(i);
    if (p.stav != 1) continue;
    // A field the template holds nothing for keeps its text.
    const std::string v = storage::CtiPar(SouborSablony(), klicSablony(i));
    if (v.empty()) continue;
    p.text = v;
    normalizuj(i);
    if (p.chyba) return false;
  }
  return true;
}

void TfSoub::NaShiftF12() {
  if (Radek < 1 || Radek > PocetRadku) return;
  if (!Dotaz(10, 10, cz("Skutečně přepsat tento řádek"))) return;
  CtiVetu(Radek);
  TextyZVety();
  if (!zeSablony()) {
    for (int i = 1; i <= PocetPoli(); ++i)
      if (Pole(i).chyba) {
        Zprava(ZpravaChyby(i));
        return;
      }
  }
  if (const int chybne = TextyDoVety(); chybne > 0) {
    Zprava(ZpravaChyby(chybne));
    return;
  }
  PisVetu(Radek);
  Zmeneno = true;
}

void TfSoub::UlozSablonu(int) {
  if (formular_) formular_->Precti();
  for (int i = 1; i <= PocetPoli(); ++i) storage::PisPar(SouborSablony(), klicSablony(i), Pole(i).text);
}

void TfSoub::NactiSablonu(int) {
  if (formular_) formular_->Precti();
  zeSablony();
  if (formular_) formular_->Ukaz();
}

// ---------------------------------------------------------------------------------------------
// Exports

std::vector<PoleVyvozu> TfSoub::poleVyvozu() const {
  std::vector<PoleVyvozu> v;
  for (const auto& p : pole_)
    if (p.stav >= 0) v.push_back({p.popis, p.typ, static_cast<std::size_t>(p.sirka), p.offset});
  return v;
}

template <class Vyvoz>
bool TfSoub::vyvezVety(Vyvoz& vyvoz) {
  const int n = soubor_->pocet();
  const bool jenOznacene = PocetOznacenych > 0;
  const std::vector<std::uint8_t> buffer = Veta();
  for (int z = 1; z <= n; ++z) {
    if (jenOznacene && !Znacky.je(z)) continue;
    if (!soubor_->CtiVetuPrimo(z)) break;
    vyvoz.pridej(Veta());
  }
  Veta() = buffer;
  // The marks have served their export.
  Znacky.vycisti();
  PocetOznacenych = 0;
  SeznamZnacek.clear();
  return vyvoz.zavri();
}

void TfSoub::VyvozCsv() {
  const std::string jmeno = "XLS\\" + JmenoVyvozu(jmenoSouboru_) + ".CSV";
  storage::ZalozCestu(jmeno);
  Blik(cz("Vytvoření souboru ") + jmeno + cz(" pro EXCEL,WORD"));
  ui::VyvozCsv v;
  bool ok = v.otevri(jmeno, poleVyvozu());
  if (ok) ok = vyvezVety(v);
  BlikKonec();
  if (!ok) {
    Zprava(cz("Soubor ") + jmeno + cz(" nelze zapsat"));
    return;
  }
  ZpravaTicha(cz("Soubor ") + jmeno + cz(" pro EXCEL,WORD je vytvořen"));
}

void TfSoub::VyvozDbf() {
  const std::string jmeno = "\\TAMBRA3W\\" + JmenoVyvozu(jmenoSouboru_) + ".DBF";
  storage::ZalozCestu(jmeno);
  ui::VyvozDbf v;
  bool ok = v.otevri(jmeno, poleVyvozu());
  if (ok) ok = vyvezVety(v);
  if (!ok) {
    Zprava(cz("Soubor ") + jmeno + cz(" nelze zapsat"));
    return;
  }
  ZpravaTicha(cz("Soubor ") + jmeno + cz(" je vytvořen"));
}

void TfSoub::NaCtrlE() { VyvozCsv(); }
void TfSoub::NaCtrlD() { VyvozDbf(); }

// ---------------------------------------------------------------------------------------------
// Pictures of documents

std::string TfSoub::CestaObrazku(int n, int cislo) {
  return storage::DataCesta("doklady\\" + KlicObrazku(n)) + "-" + FormatPlainE("@@", cislo) + ".jpg";
}

std::string TfSoub::SouborObrazku(int n) {
  const std::string cesta = CestaObrazku(n, CisloObrazku);
  if (!storage::settings().gdpr) return cesta;
  // Pictures are stored scrambled: the one shown is a clear copy in the working directory.
  std::string obsah;
  if (platform::readWholeFile(cesta, obsah, platform::Share::DenyNone) != platform::kIoOk) return cesta;
  platform::writeWholeFile("a.jpg", reports::Dekoduj(obsah, reports::KlicSestav()));
  return "a.jpg";
}

void TfSoub::NaObrazekDvakrat() {
  // Past the last picture of the record the first one comes again.
  if (Radek > 0 && storage::VelikostSouboru(CestaObrazku(Radek, CisloObrazku)) < 1) CisloObrazku = 1;
}

void TfSoub::NaPismeno(char) {
  if (!Obrazky || Radek < 1 || !sluzbySouboru().vyberSouboru) return;
  const std::string slozka = storage::CtiPar("par\\sys.par", "SlozkaObr");
  const std::string vybrany = sluzbySouboru().vyberSouboru(slozka, "*.jpg", cz("Vyber obrázek"));
  if (vybrany.empty()) return;
  std::string obsah;
  if (platform::readWholeFile(vybrany, obsah, platform::Share::DenyNone) != platform::kIoOk) {
    Zprava(cz("Soubor ") + vybrany + cz(" nelze přečíst"));
    return;
  }
  int cislo = 1;
  while (cislo < kNejvicObrazku && storage::VelikostSouboru(CestaObrazku(Radek, cislo)) >= 1) ++cislo;
  const std::string cil = CestaObrazku(Radek, cislo);
  storage::ZalozCestu(cil);
  if (storage::settings().gdpr) obsah = reports::Zakoduj(obsah, reports::KlicSestav());
  if (platform::writeWholeFile(cil, obsah) != platform::kIoOk) {
    Zprava(cz("Soubor ") + cil + cz(" nelze zapsat"));
    return;
  }
  CisloObrazku = cislo;
}

// ---------------------------------------------------------------------------------------------
// The rest of the list's keys

void TfSoub::NaKodCteckou(const std::string& kod) {
  if (!formular_) return;
  formular_->KodCteckou(kod);
}

void TfSoub::NaTitulek(int sloupec) { SetridPodleSloupce(sloupec); }

void TfSoub::SetridPodleSloupce(int sloupec) {
  if (!soubor_->otevren() || sloupec < 1 || sloupec > static_cast<int>(Sloupce.size())) return;
  if (!storage::sharing().IfVolny(soubor_->cesta()).empty()) {
    Zprava(cz("Se souborem se pracuje"));
    return;
  }
  const int zaznam = Radek >= 1 ? CisloZPoradi(Radek) : 0;
  ZpetNaSoubor();
  if (zaznam >= 1) JdiNa(zaznam, 0);
  const int pocet = soubor_->pocet();
  if (pocet < 2) return;
  const std::string titulek = storage::OrezZprava(Sloupce[static_cast<std::size_t>(sloupec - 1)].titulek);
  int cislo = 0;
  for (int i = 1; i <= PocetPoli() && cislo == 0; ++i)
    if (storage::OrezZprava(Pole(i).popis) == titulek) cislo = i;
  if (cislo == 0) return;
  const PoleSouboru p = Pole(cislo);
  const storage::DruhSloupce druh = p.typ.druh == DruhPole::DatumRMD || p.typ.druh == DruhPole::DatumDMR
                                        ? storage::DruhSloupce::DatumDdMmRr
                                    : p.typ.datum() ? storage::DruhSloupce::DatumDdMmRrrr
                                                    : storage::DruhSloupce::Text;

  Blik(cz("Moment, třídím"));
  // The order file cannot be replaced while this window holds it open: the file is closed for
  // the sort and opened again with its order files.
  const std::string jmeno = soubor_->jmeno();
  const std::int32_t velikost = soubor_->velikost();
  const std::string cesta = soubor_->cesta();
  std::vector<std::uint8_t> buffer = Veta();
  std::vector<std::uint8_t> veta;
  platform::File data;
  soubor_->ZavriSoubor();
  int stav = data.open(cesta, platform::Access::Read, platform::Share::DenyNone);
  if (stav == platform::kIoOk) {
    veta.resize(static_cast<std::size_t>(velikost));
    stav = storage::VytvorPoradi(
        storage::RecordFile::CestaPoradi(cesta, 1), pocet,
        [&](std::int32_t e) {
          std::fill(veta.begin(), veta.end(), std::uint8_t{0});
          data.readAt(static_cast<std::int64_t>(e - 1) * velikost, veta.data(), veta.size());
          if (storage::settings().gdpr) PoCteni(veta, storage::Buffer::Record);
          return storage::KlicSloupce(ZobrazPole(p.typ, static_cast<std::size_t>(p.sirka), veta, p.offset), druh, e);
        },
        [](std::int64_t hotovo, std::int64_t celkem) {
          BlikPostup(static_cast<int>(std::min<std::int64_t>(celkem, 1000000000)),
                     static_cast<int>(std::min<std::int64_t>(hotovo, 1000000000)));
        });
    data.close();
  }
  soubor_->OtevriSoubor(jmeno, velikost + storage::kSPoradim);
  Veta() = std::move(buffer);
  NastavZdrojPoradi(poradiSouboru_.get());
  PocetRadku = soubor_->pocet();
  Sestav();
  BlikKonec();
  if (stav == storage::kStavSetrideno) Poradi(1);
}

void TfSoub::CtrlF1Pole(int i) {
  if (sluzbyRolu().navod) sluzbyRolu().navod(name() + FormatPlainE("@@", i));
}

}  // namespace pz::ui
