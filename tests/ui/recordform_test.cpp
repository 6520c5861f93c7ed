// The record form over a small rate file, driven by keys as a user types them: what the file
// holds afterwards, what another station sees, and what the edit form and the exports show.
#include "ui/recordform.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "storage/fields.h"
#include "storage/interaction.h"
#include "storage/locks.h"
#include "storage/params.h"
#include "storage/roots.h"
#include "storage/settings.h"
#include "storage/textutil.h"
#include "support/tempdir.h"
#include "ui/app.h"
#include "ui/browse_settings.h"
#include "ui/export.h"

namespace pz::ui {
namespace {

using platform::cz;

// A key, or something the test does between two keys (another station's write, a look at the
// screen).
struct Krok {
  KeyEvent klavesa;
  std::function<void()> akce;
};

class KeyPresenter : public Presenter {
 public:
  explicit KeyPresenter(platform::VirtualClock& c) : clock(c) {}
  std::deque<Krok> kroky;
  void runModal(Form& f) override {
    while (!f.closeRequested() && !kroky.empty()) {
      Krok k = kroky.front();
      kroky.pop_front();
      clock.advance(20);
      if (k.akce) k.akce();
      else Application::instance().dispatchKey(k.klavesa);
    }
  }
  // Windows shown without a loop of their own (the flashing message), by their text.
  void showModeless(Form& f) override {
    CellGrid g = render(f);
    std::string t;
    for (int r = 0; r < g.rows(); ++r) t += g.rowText(r) + "\n";
    bezSmycky.push_back(t);
  }
  std::vector<std::string> bezSmycky;
  std::optional<Color> barva;  // the colour dialog's answer
  bool chooseColor(Color& c) override {
    if (barva) c = *barva;
    return barva.has_value();
  }
  platform::VirtualClock& clock;
};

// An order file of `pocet` entries in which row n shows record pocet + 1 - n, and back.
std::string obracenePoradi(int pocet) {
  std::string poradi;
  for (int n = 1; n <= pocet; ++n) {
    std::string e(8, '\0');
    storage::writeI32(e, 0, pocet + 1 - n);
    storage::writeI32(e, 4, pocet + 1 - n);
    poradi += e;
  }
  return poradi;
}

// The test record: code "X" 3, rate "###.####R", date "d", units "#####W", note "X" 10; 30 bytes.
constexpr int kVelikost = 30;

std::string veta(const std::string& kod, const std::string& kurz, const std::string& datum, const std::string& mnoz,
                 const std::string& pozn) {
  std::string v(kVelikost, '\0');
  EXPECT_EQ(UlozPole(*RozeberTyp("X"), 3, kod, v, 0), ChybaPole::Zadna);
  EXPECT_EQ(UlozPole(*RozeberTyp("###.####R"), 8, kurz, v, 4), ChybaPole::Zadna);
  EXPECT_EQ(UlozPole(*RozeberTyp("d"), 8, datum, v, 10), ChybaPole::Zadna);
  EXPECT_EQ(UlozPole(*RozeberTyp("#####W"), 5, mnoz, v, 17), ChybaPole::Zadna);
  EXPECT_EQ(UlozPole(*RozeberTyp("X"), 10, pozn, v, 19), ChybaPole::Zadna);
  return v;
}

class TfKurzTest : public TfSoub {
 public:
  TfKurzTest() : TfSoub("fKurzTest") {}
  bool skrytPoznamku = false;
  bool znackaMazani = false;
  bool sPoradim = false;  // opens the order files too
  std::vector<int> zmeny;
  void Otevri() {
    OtevriSoub({.soubor = "kursy.dta",
                .titulek = "Kurzy",
                .velikost = kVelikost + (sPoradim ? storage::kSPoradim : 0),
                .radek = 0,
                .barvaFormulare = kWhite,
                .formular = {5, 2, 50, 12},
                .seznam = {1, 1, 70, 20},
                .napovedaFormulare = cz(" F2=zápis Esc=ven "),
                .titulekFormulare = " Kurz ",
                .napovedaSeznamu = cz(" F4-Nový Mezera-Oprava F8-Ruš"),
                .pole = {{.popis = cz("Kód   "), .sirka = 3, .obrazek = "X", .titulek = cz("Kód")},
                         {.popis = "Kurz  ", .sirka = 8, .obrazek = "###.####", .ulozeni = 'R', .bocniText = "CZK",
                          .bocniSloupec = 30, .titulek = "Kurz"},
                         {.popis = "Datum ", .sirka = 8, .obrazek = "d", .titulek = "Datum"},
                         {.popis = cz("Množ. "), .sirka = 5, .obrazek = "#####", .ulozeni = 'W', .titulek = cz("Množ.")},
                         {.popis = cz("Pozn. "), .sirka = 10, .obrazek = "X"}},
                .sloupce = 4});
    if (skrytPoznamku) Pole(5).stav = -1;
  }
  void ZmenaPole(int i) override {
    zmeny.push_back(i);
    // A code needs its rate: the rate is in error while it is blank.
    if (i == 1 && !storage::Orez(Text(1)).empty() && storage::Orez(Text(2)).empty()) Pole(2).chyba = true;
  }
  void PriMazani() override {
    if (znackaMazani) Veta()[1] = '.';
  }
  // Its rows are its fields; `zPoli` off asks for them row by row instead, counted.
  bool zPoli = false;
  int radkuPoRadcich = 0;
  bool HledaniZPoli() const override { return zPoli; }
  std::string TextProHledani(int n) override {
    ++radkuPoRadcich;
    return TfSoub::TextProHledani(n);
  }
  using TfRol::VolnePorovnani;
};

class RecordForm : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::setClock(&clock);
    platform::paths().setWorkDir(dir.str());
    storage::ZapomenAdresy();
    storage::ZahodParametry();
    storage::setInteraction(&zpravy);
    Application::instance().setPresenter(&p);
  }
  void TearDown() override {
    w.Zavri();
    Application::instance().setPresenter(nullptr);
    storage::setInteraction(nullptr);
    storage::ZahodParametry();
    platform::paths().clear();
    platform::setClock(nullptr);
  }
  void klavesy(std::initializer_list<KeyEvent> k) {
    for (const auto& e : k) p.kroky.push_back({e, {}});
  }
  void pis(const std::string& t) {
    for (char c : t) p.kroky.push_back({keyForChar(c), {}});
  }
  void potom(std::function<void()> f) { p.kroky.push_back({{}, std::move(f)}); }
  // The text of the topmost window as it shows now.
  void zapamatujObrazovku(std::string& kam) {
    potom([&kam] {
      kam.clear();
      CellGrid g = render(*Application::instance().topForm());
      for (int r = 0; r < g.rows(); ++r) kam += g.rowText(r) + "\n";
    });
  }
  void ukaz() {
    w.Otevri();
    w.showModal();
  }
  std::string soubor() const { return dir.read("kursy.dta"); }
  std::string zaznam(int n) const { return soubor().substr(static_cast<size_t>((n - 1) * kVelikost), kVelikost); }

  platform::VirtualClock clock{{2026, 12, 9}, {8, 0, 0, 0}};
  pz::test::TempDir dir;
  pz::test::ScopedCwd cwd{dir.path()};
  storage::RecordingInteraction zpravy;
  KeyPresenter p{clock};
  TfKurzTest w;
};

KeyEvent K(int vk) { return KeyEvent{vk}; }
KeyEvent Ctrl(int vk) { return KeyEvent{vk, true, false, false}; }
KeyEvent Shift(int vk) { return KeyEvent{vk, false, true, false}; }

TEST_F(RecordForm, ANewRecordIsAppendedAndAnotherStationSeesItAfterItsReopen) {
  dir.write("kursy.dta", veta("USD", "22.5", "010124", "1", "a"));
  storage::RecordFile druha;
  ASSERT_TRUE(druha.OtevriSoubor("kursy.dta", kVelikost));
  EXPECT_EQ(druha.pocet(), 1);

  klavesy({K(kVkF4)});
  pis("EUR");
  klavesy({K(kVkReturn)});
  pis("25,5");
  klavesy({K(kVkReturn)});
  pis("15.3.24");
  klavesy({K(kVkTab)});
  pis("1");
  klavesy({K(kVkDown)});
  pis("nova");
  klavesy({K(kVkDown)});  // past the last field: accepted
  ukaz();

  EXPECT_FALSE(w.Zruseno);
  EXPECT_TRUE(w.Zmeneno);
  EXPECT_EQ(w.PocetRadku, 2);
  EXPECT_EQ(w.Radek, 2);
  EXPECT_EQ(zaznam(2), veta("EUR", "25.5", "150324", "1", "nova"));
  EXPECT_EQ(storage::readShortString(zaznam(2), 10, 6), "150324");  // "d": DDMMYY
  EXPECT_EQ(storage::readReal48(zaznam(2), 4), 25.5);
  ASSERT_TRUE(druha.ObnovSoubor());
  EXPECT_EQ(druha.pocet(), 2);
}

TEST_F(RecordForm, EscLeavesTheRecordUntouchedAndSetsTheCancelledFlag) {
  const std::string puvodni = veta("USD", "22.5", "010124", "1", "a");
  dir.write("kursy.dta", puvodni);
  klavesy({K(kVkSpace)});
  pis("X");
  klavesy({K(kVkTab), K(kVkEscape)});
  klavesy({K(kVkF4), K(kVkEscape)});
  ukaz();
  EXPECT_TRUE(w.Zruseno);
  EXPECT_FALSE(w.Zmeneno);
  EXPECT_EQ(soubor(), puvodni);
}

TEST_F(RecordForm, AnEditIsRefusedWhenAnotherStationChangedTheBytesEvenWithTheSameChecksum) {
  dir.write("kursy.dta", veta("USD", "22.5", "010124", "12", "Na 12") + veta("GBP", "28", "010124", "1", ""));
  const std::string cizi = veta("USD", "22.5", "010124", "12", "Na 21");  // same byte sum
  std::string zprava;
  klavesy({K(kVkHome), K(kVkSpace)});
  pis("CHF");
  potom([&] {
    storage::RecordFile jina;
    ASSERT_TRUE(jina.OtevriSoubor("kursy.dta", kVelikost));
    jina.veta().assign(cizi.begin(), cizi.end());
    ASSERT_TRUE(jina.PisVetu(1));
  });
  klavesy({K(kVkF2)});
  zapamatujObrazovku(zprava);
  klavesy({K(kVkReturn)});
  ukaz();
  EXPECT_NE(zprava.find("Vaše opravy neplatí, větu změnil jiný uživatel"), std::string::npos) << zprava;
  EXPECT_EQ(zaznam(1), cizi);
  EXPECT_FALSE(w.Zmeneno);
}

TEST_F(RecordForm, AnEditIsStoredWhenAnotherStationWroteTheSameBytes) {
  const std::string stejna = veta("USD", "22.5", "010124", "1", "a");
  dir.write("kursy.dta", stejna);
  klavesy({K(kVkSpace)});
  pis("CHF");
  potom([&] {
    storage::RecordFile jina;
    ASSERT_TRUE(jina.OtevriSoubor("kursy.dta", kVelikost));
    jina.veta().assign(stejna.begin(), stejna.end());
    ASSERT_TRUE(jina.PisVetu(1));
  });
  klavesy({K(kVkF2)});
  ukaz();
  EXPECT_EQ(zaznam(1), veta("CHF", "22.5", "010124", "1", "a"));
  EXPECT_TRUE(w.Zmeneno);
}

TEST_F(RecordForm, AHiddenFieldIsNotShownAndKeepsWhatTheFileHoldsNow) {
  w.skrytPoznamku = true;
  dir.write("kursy.dta", veta("USD", "22.5", "010124", "1", "tajne"));
  std::string formular;
  klavesy({K(kVkSpace)});
  zapamatujObrazovku(formular);
  pis("EUR");
  klavesy({K(kVkTab), K(kVkTab), K(kVkTab), K(kVkTab)});  // the note is skipped: accepted
  ukaz();
  EXPECT_EQ(formular.find("Pozn."), std::string::npos) << formular;
  EXPECT_NE(formular.find("CZK"), std::string::npos) << formular;  // the side text
  EXPECT_NE(formular.find("OK-F2"), std::string::npos);
  EXPECT_EQ(zaznam(1), veta("EUR", "22.5", "010124", "1", "tajne"));
}

TEST_F(RecordForm, F12InANewRecordPutsBackTheTextOfTheRecordWrittenLast) {
  dir.write("kursy.dta", "");
  klavesy({K(kVkF4)});
  pis("EUR");
  klavesy({K(kVkTab)});
  pis("25");
  klavesy({K(kVkF2)});
  // The second record: F12 in the code, then F12 in the rate.
  klavesy({K(kVkF4), K(kVkF12), K(kVkF12), K(kVkF2)});
  ukaz();
  ASSERT_EQ(w.PocetRadku, 2);
  EXPECT_EQ(zaznam(2), zaznam(1));
  EXPECT_EQ(storage::readShortString(zaznam(2), 0, 3), "EUR");
}

TEST_F(RecordForm, F8ReadsTheCurrentRowBeforeItWritesIt) {
  const std::string prvni = veta("USD", "22.5", "010124", "1", "a");
  const std::string treti = veta("JPY", "0.16", "010124", "100", "c");
  dir.write("kursy.dta", prvni + veta("GBP", "28", "010124", "1", "b") + treti);
  // Edit row 1 (the buffer then holds record 1), then F8 on row 3 with the default hook.
  klavesy({K(kVkHome), K(kVkSpace), K(kVkF2), K(kVkDown), K(kVkDown), K(kVkF8)});
  ukaz();
  EXPECT_EQ(zaznam(3), treti);
  EXPECT_TRUE(w.Zmeneno);

  // A subclass's marker goes on the row under the cursor, nowhere else.
  w.znackaMazani = true;
  klavesy({K(kVkF8)});
  w.showModal();
  std::string ocekavana = treti;
  ocekavana[1] = '.';
  EXPECT_EQ(zaznam(3), ocekavana);
  EXPECT_EQ(zaznam(1), prvni);
}

TEST_F(RecordForm, ZakaktParForbidsNewRecordsInEveryWindowOnTheFile) {
  dir.write("kursy.dta", veta("USD", "22.5", "010124", "1", "a"));
  storage::PisPar("par\\zakakt.par", "KURSY.DTA", "A");
  klavesy({K(kVkF4)});
  pis("EUR");
  klavesy({K(kVkF2)});
  ukaz();
  EXPECT_EQ(soubor().size(), static_cast<size_t>(kVelikost));
  EXPECT_EQ(w.AktivniFormular(), nullptr);
  EXPECT_FALSE(w.Zmeneno);
}

TEST_F(RecordForm, AValueThatDoesNotFitKeepsTheFocusAndIsNeverStored) {
  dir.write("kursy.dta", veta("USD", "22.5", "010124", "1", "a"));
  int pole = 0;
  klavesy({K(kVkSpace), K(kVkTab)});
  for (int i = 0; i < 8; ++i) klavesy({K(kVkBack)});
  pis("1234.5");  // "###.####" holds three whole digits
  klavesy({K(kVkTab), K(kVkF2), K(kVkDown)});
  potom([&] { pole = w.AktivniFormular()->AktualniPole(); });
  klavesy({K(kVkEscape)});
  ukaz();
  EXPECT_EQ(pole, 2);
  EXPECT_EQ(zaznam(1), veta("USD", "22.5", "010124", "1", "a"));
}

TEST_F(RecordForm, AcceptingNamesTheFirstFieldInErrorAndGoesThere) {
  dir.write("kursy.dta", "");
  std::string zprava;
  int pole = 0;
  klavesy({K(kVkF4)});
  pis("EUR");
  klavesy({K(kVkF2)});  // the code is fine, but now the blank rate is in error
  zapamatujObrazovku(zprava);
  klavesy({K(kVkReturn)});
  potom([&] { pole = w.AktivniFormular()->AktualniPole(); });
  pis("25");
  klavesy({K(kVkF2)});
  ukaz();
  EXPECT_NE(zprava.find("Údaj Kurz   je chybný"), std::string::npos) << zprava;
  EXPECT_EQ(pole, 2);
  EXPECT_EQ(w.PocetRadku, 1);
  EXPECT_EQ(storage::readReal48(zaznam(1), 4), 25.0);
}

TEST_F(RecordForm, CodeEntryTurnsTheCzechNumberRowIntoDigits) {
  dir.write("kursy.dta", "");
  klavesy({K(kVkF4), Ctrl('B')});
  pis(cz("+ěš"));
  klavesy({K(kVkReturn), K(kVkF2)});
  ukaz();
  EXPECT_EQ(storage::readShortString(zaznam(1), 0, 3), "123");
}

TEST_F(RecordForm, TheTemplateOfARowIsSavedAndAppliedToAnotherRow) {
  dir.write("kursy.dta", veta("USD", "22.5", "010124", "1", "a") + veta("GBP", "28", "020224", "2", "b"));
  klavesy({K(kVkHome), Ctrl(kVkF12), K(kVkDown), Shift(kVkF12)});
  pis("a");  // "Skutečně přepsat tento řádek": yes
  ukaz();
  EXPECT_EQ(storage::CtiPar("par\\fKurzTes.F12", "  1"), "USD");
  EXPECT_EQ(zaznam(2), zaznam(1));
}

TEST_F(RecordForm, ReadLockOnTheFileWhileTheWindowIsOpen) {
  std::filesystem::create_directories(dir / "data");
  dir.write("data.adr", (dir / "data").string() + "/\r\n");
  storage::ZapomenAdresy();
  storage::RegistrujSdileniZamku();
  w.Otevri();
  const std::string tabulka = dir.read("data/FOT.tab");
  ASSERT_EQ(tabulka.size(), 1980u);
  EXPECT_EQ(tabulka.substr(1, 12), "KURSY.DTA   ");
  EXPECT_EQ(tabulka.substr(19, 1), "R");
  w.Zavri();
  EXPECT_EQ(dir.read("data/FOT.tab").substr(1, 12), std::string(12, ' '));
  storage::ZrusSdileniZamku();
}

TEST_F(RecordForm, TheListShowsTheFieldsAsTheFormDoes) {
  dir.write("kursy.dta", veta("USD", "22.5", "150324", "100", "a"));
  w.Otevri();
  EXPECT_EQ(w.TextRadku(1), "USD  22.5000 15.03.24   100");
}

TEST_F(RecordForm, TheEditFormKeepsItsPlaceAndItsTemplateInTheWindowsSettings) {
  dir.write("kursy.dta", "");
  storage::PisPar(kOkna2, "fKurzTest AktLeft", "0200");
  int x = 0;
  klavesy({K(kVkF4)});
  potom([&] { x = w.AktivniFormular()->geometry.x; });
  pis("EUR");
  klavesy({K(kVkTab)});
  pis("25");
  klavesy({Ctrl(kVkF12), K(kVkEscape)});  // the texts go to the template, the record nowhere
  klavesy({K(kVkF4), Shift(kVkF12), K(kVkF2)});
  ukaz();
  EXPECT_EQ(x, 200);
  EXPECT_EQ(storage::CtiPar(kOkna2, "fKurzTest AktTop").size(), 4u);
  EXPECT_EQ(storage::CtiPar("par\\fKurzTes.F12", "  1"), "EUR");
  ASSERT_EQ(w.PocetRadku, 1);
  EXPECT_EQ(storage::readShortString(zaznam(1), 0, 3), "EUR");
  EXPECT_EQ(storage::readReal48(zaznam(1), 4), 25.0);
}

TEST_F(RecordForm, F11InTheEditFormChangesTheLookOfThisWindowsEditForms) {
  dir.write("kursy.dta", veta("USD", "22.5", "010124", "1", "a"));
  sluzbyRolu().vyber = [](const std::string&, int, int, const std::vector<std::string>&) { return 2; };
  p.barva = 255;
  Color poZmene = 0;
  klavesy({K(kVkSpace), K(kVkF11)});
  potom([&] { poZmene = w.AktivniFormular()->color; });
  klavesy({K(kVkEscape), K(kVkSpace)});
  Color priDalsim = 0;
  potom([&] { priDalsim = w.AktivniFormular()->color; });
  klavesy({K(kVkEscape)});
  ukaz();
  sluzbyRolu().vyber = nullptr;
  EXPECT_EQ(poZmene, 255u);
  EXPECT_EQ(priDalsim, 255u);
  EXPECT_EQ(storage::CtiPar(kOkna2, "fKurzTest AktPapir"), FormatBarvy(255));
}

TEST_F(RecordForm, HooksThatDoMoreThanWriteCanAskWhetherTheRecordChangedMeanwhile) {
  const std::string puvodni = veta("USD", "22.5", "010124", "1", "a");
  dir.write("kursy.dta", puvodni);
  bool predZmenou = true, poZmene = false;
  klavesy({K(kVkSpace)});
  potom([&] {
    predZmenou = w.ZmenilJiny();
    dir.write("kursy.dta", veta("USD", "22.5", "010124", "2", "a"));
    poZmene = w.ZmenilJiny();
  });
  klavesy({K(kVkEscape)});
  ukaz();
  EXPECT_FALSE(predZmenou);
  EXPECT_TRUE(poZmene);
}

TEST_F(RecordForm, TheButtonsBelowTheListActAsTheirKeys) {
  dir.write("kursy.dta", veta("USD", "22.5", "010124", "1", "a"));
  w.UkazTlacitka(true);
  auto klik = [this](Button& b) {
    potom([this, &b] {
      const CellRect c = w.cellsOf(b);
      MouseEvent m;
      m.col = c.col;
      m.row = c.row;
      Application::instance().dispatchMouse(m);
    });
  };
  klik(w.KlF4);
  pis("EUR");
  klavesy({K(kVkTab)});
  pis("25");
  klavesy({K(kVkF2)});
  klik(w.KlF8);
  ukaz();
  EXPECT_TRUE(w.KlF4.visible);
  EXPECT_EQ(w.RezervovaneRadky, 2);
  EXPECT_EQ(w.PocetRadku, 2);
  EXPECT_GT(w.cellsOf(w.KlF4).row, w.cellsOf(w.sgRol).row + w.cellsOf(w.sgRol).rows - 1);
  EXPECT_EQ(storage::readShortString(zaznam(2), 0, 3), "EUR");
}

TEST_F(RecordForm, APictureChosenForARecordIsKeptBelowTheDataRootAndShownInTheClear) {
  dir.write("kursy.dta", veta("USD", "22.5", "010124", "1", "a"));
  dir.write("obr/scan.jpg", "JPEG 1");
  storage::PisPar("par\\sys.par", "SlozkaObr", "obr");
  std::string dotaz;
  sluzbySouboru().vyberSouboru = [&](const std::string& slozka, const std::string& maska, const std::string& titulek) {
    dotaz = slozka + " " + maska + " " + titulek;
    return std::string("obr\\scan.jpg");
  };
  w.Obrazky = true;
  pis("ff");  // two pictures of record 1
  ukaz();
  EXPECT_EQ(dotaz, "obr *.jpg " + cz("Vyber obrázek"));
  EXPECT_EQ(dir.read("doklady/000001-01.jpg"), "JPEG 1");
  EXPECT_EQ(dir.read("doklady/000001-02.jpg"), "JPEG 1");
  EXPECT_EQ(w.CisloObrazku, 2);
  EXPECT_EQ(w.Image1.picturePath, "doklady\\000001-02.jpg");
  w.CisloObrazku = 3;
  w.NaObrazekDvakrat();  // past the last picture: the first again
  EXPECT_EQ(w.CisloObrazku, 1);

  // With personal data protected the stored picture is scrambled; the shown one is a clear copy.
  storage::settings().gdpr = true;
  pis("f");
  w.showModal();
  storage::settings().gdpr = false;
  EXPECT_NE(dir.read("doklady/000001-03.jpg"), "JPEG 1");
  EXPECT_EQ(w.Image1.picturePath, "a.jpg");
  EXPECT_EQ(dir.read("a.jpg"), "JPEG 1");
  sluzbySouboru().vyberSouboru = nullptr;
}

TEST_F(RecordForm, AColumnSortShowsTheWaitMessageAndKeepsTheCursorOnItsRecord) {
  dir.write("kursy.dta", veta("USD", "22.5", "010124", "1", "a") + veta("EUR", "25", "311299", "1", "b") +
                             veta("CHF", "26", "010105", "1", "c"));
  w.Otevri();
  w.JdiNa(1);
  w.NaTitulek(3);  // the dates: 31.12.99 comes before 01.01.05 and 01.01.24
  ASSERT_FALSE(p.bezSmycky.empty());
  EXPECT_NE(p.bezSmycky[0].find("Moment, třídím"), std::string::npos) << p.bezSmycky[0];
  EXPECT_EQ(w.AktivniPoradi(), 1);
  EXPECT_EQ(w.TextRadku(1).substr(0, 3), "EUR");
  EXPECT_EQ(w.TextRadku(2).substr(0, 3), "CHF");
  EXPECT_EQ(w.Radek, 3);  // USD, record 1, is the last row now
  EXPECT_EQ(w.CisloZPoradi(w.Radek), 1);
}

// Another station has every file open.
class CiziStanice : public storage::Sharing {
 public:
  std::string IfVolny(const std::string&) override { return "R 02   NOVAK"; }
};

TEST_F(RecordForm, AColumnIsNotSortedWhileAnotherStationHasTheFileOpen) {
  dir.write("kursy.dta", veta("USD", "22.5", "010124", "1", "a") + veta("EUR", "25", "010124", "1", "b"));
  CiziStanice cizi;
  storage::setSharing(&cizi);
  std::string zprava;
  w.Otevri();
  zapamatujObrazovku(zprava);  // the message box, shown from inside the click
  klavesy({K(kVkReturn)});
  w.NaTitulek(1);
  storage::setSharing(nullptr);
  EXPECT_NE(zprava.find("Se souborem se pracuje"), std::string::npos) << zprava;
  EXPECT_FALSE(std::filesystem::exists(dir / "kursy.dt1"));
}

// ---------------------------------------------------------------------------------------------
// Exports

TEST_F(RecordForm, CtrlEWritesTheMarkedRecordsForASpreadsheet) {
  dir.write("kursy.dta", veta("USD", "22.5", "150324", "1", "Re \"X\"") + veta("GBP", "28", "010124", "1", "b") +
                             veta("JPY", "0.165", "310199", "100", "c"));
  klavesy({K(kVkHome), K(kVkInsert), K(kVkDown), K(kVkInsert), Ctrl('E'), K(kVkReturn)});  // rows 1 and 3
  ukaz();
  const std::string csv = dir.read("XLS/KURSY.CSV");
  EXPECT_EQ(csv, cz("Kód;Kurz    ;Datum   ;Množ.;Pozn.     ;\r\n") + "08;05;14;02;08;\r\n" +
                     "\"USD\"; 22,5000;150324;    1;\"Re \"\"X\"\"    \";\r\n" +
                     "\"JPY\";  0,1650;310199;  100;\"c         \";\r\n");
  EXPECT_EQ(w.PocetOznacenych, 0);  // the marks served the export
}

TEST_F(RecordForm, CtrlDWritesADbaseTableThatDbaseReadersOpen) {
  dir.write("kursy.dta", veta("USD", "22.5", "150324", "1", cz("Kč")) + veta("JPY", "-0.165", "310199", "100", "c"));
  klavesy({Ctrl('D'), K(kVkReturn)});
  ukaz();
  const std::string d = dir.read("TAMBRA3W/KURSY.DBF");
  ASSERT_GE(d.size(), 32u);
  auto u8 = [&](size_t i) { return static_cast<unsigned>(static_cast<unsigned char>(d[i])); };
  EXPECT_EQ(u8(0), 3u);                                         // dBASE III
  EXPECT_EQ(u8(1), 126u);                                       // 2026
  EXPECT_EQ(u8(4) | u8(5) << 8, 2u);                            // records
  const unsigned hlavicka = u8(8) | u8(9) << 8, delka = u8(10) | u8(11) << 8;
  EXPECT_EQ(hlavicka, 32u + 5 * 32 + 1);
  EXPECT_EQ(delka, 1u + 3 + 9 + 8 + 6 + 10);                    // flag, C3, N9.4, D8, N6, C10
  EXPECT_EQ(u8(29), 0xC8u);                                     // cp1250
  EXPECT_EQ(d.substr(32, 3), "KOD");
  EXPECT_EQ(d[32 + 11], 'C');
  EXPECT_EQ(d[64 + 11], 'N');
  EXPECT_EQ(u8(64 + 16), 9u);
  EXPECT_EQ(u8(64 + 17), 4u);
  EXPECT_EQ(d[96 + 11], 'D');
  EXPECT_EQ(d[hlavicka - 1], '\x0D');
  EXPECT_EQ(d.substr(hlavicka, delka), " USD  22.500020240315     1" + cz("Kč") + std::string(8, ' '));
  EXPECT_EQ(d.substr(hlavicka + delka, delka), " JPY  -0.165019990131   100c         ");
  EXPECT_EQ(d.back(), '\x1A');

  // An independent reader, when the machine has one.
  if (std::system("/usr/bin/python3 -c 'import dbfread' 2>/dev/null") != 0) GTEST_SKIP() << "no dbfread";
  const std::string prikaz = "/usr/bin/python3 -c \"import dbfread; t = dbfread.DBF('" +
                             (dir / "TAMBRA3W" / "KURSY.DBF").string() +
                             "'); print([f.name + f.type + str(f.length) + '.' + str(f.decimal_count) for f in t.fields]);"
                             " [print(r['KOD'], r['KURZ'], r['DATUM'], r['MNOZ'], r['POZN']) for r in t]\" > " +
                             (dir / "dbf.txt").string();
  ASSERT_EQ(std::system(prikaz.c_str()), 0);
  EXPECT_EQ(dir.read("dbf.txt"),
            "['KODC3.0', 'KURZN9.4', 'DATUMD8.0', 'MNOZN6.0', 'POZNC10.0']\n"
            "USD 22.5 2024-03-15 1 K\xC4\x8D\n"
            "JPY -0.165 1999-01-31 100 c\n");
}

TEST(Export, FileNamesComeFromTheBaseNameOfTheRecordFile) {
  EXPECT_EQ(JmenoVyvozu("kursy.dta"), "KURSY");
  EXPECT_EQ(JmenoVyvozu("=C:\\x\\y.dta"), "Y");
  EXPECT_EQ(JmenoVyvozu("PZ01_.dta"), "PZ01_");
}

TEST(Export, NumericColumnsHoldTheDigitsPointAndSignOfThePicture) {
  EXPECT_EQ(SirkaCislaDbf("### ### ###.##-").sirka, 13);
  EXPECT_EQ(SirkaCislaDbf("### ### ###.##-").desetin, 2);
  EXPECT_EQ(SirkaCislaDbf("#####").sirka, 6);
  EXPECT_EQ(SirkaCislaDbf("#####").desetin, 0);
}

}  // namespace
}  // namespace pz::ui

namespace pz::ui {
namespace {

// A list of more records than one block of the search holds, on disk, with a reversed order;
// it counts the rows whose text the search asks for and can make each row cost a millisecond.
class TfDlouhySeznam : public TfSoub {
 public:
  explicit TfDlouhySeznam(platform::VirtualClock& c) : TfSoub("fDlouhy"), clock_(c) {}
  void Otevri() {
    OtevriSoub({.soubor = "dlouhy.dta", .titulek = "Dlouhy", .velikost = kVelikost + storage::kSPoradim,
                .radek = 1, .seznam = {1, 1, 70, 20},
                .pole = {{.popis = cz("Kód"), .sirka = 3, .obrazek = "X"}, {.popis = "Text", .sirka = 25, .obrazek = "X"}}});
  }
  std::string TextProHledani(int n) override {
    ++precteno;
    if (pomalu) clock_.advance(1);
    if (precteno == escNa) Application::instance().dispatchKey(KeyEvent{kVkEscape});
    return TfSoub::TextProHledani(n);
  }
  int najdi(const std::string& text, int odRadku) {
    eHled.setValue(text);
    Radek = odRadku;
    precteno = 0;
    Hledej();
    return Radek;
  }
  int precteno = 0, escNa = -1;
  bool pomalu = false;

 private:
  platform::VirtualClock& clock_;
};

TEST_F(RecordForm, ASearchOverALongFileFindsWhatTheRowsShowReadsEachRowOnceAndALongOneFlashesAndStopsOnEsc) {
  constexpr int kPocet = 12000;  // 360,000 bytes: more than one block of the search
  std::string data;
  for (int n = 1; n <= kPocet; ++n) {
    char text[32];
    std::snprintf(text, sizeof text, "radek %05d", n);
    std::string t = n == 3000 ? "7 Plzen" : n == 9000 ? cz("Plzeň 7") : text;
    std::string v(kVelikost, '\0');
    ASSERT_TRUE(storage::writeShortString(v, 0, 3, std::to_string(n % 1000)));
    ASSERT_TRUE(storage::writeShortString(v, 4, 25, t));
    data += v;
  }
  dir.write("dlouhy.dta", data);
  dir.write("dlouhy.dt1", obracenePoradi(kPocet));
  TfDlouhySeznam s(clock);
  s.Otevri();
  ASSERT_EQ(s.PocetRadku, kPocet);
  // The searches run while the list is shown, as F3 runs them, so that keys reach it.
  potom([&] {
    // The exact match wins over a loose one that comes first; each row's text is asked for once.
    EXPECT_EQ(s.najdi("plzen 7", 1), 9000);
    EXPECT_EQ(s.precteno, 8999);
    // From the exact match itself: the rest and the wrap hold no other, so the loose retry finds
    // the words in another order, in the same pass.
    EXPECT_EQ(s.najdi("plzen 7", 9000), 3000);
    EXPECT_EQ(s.precteno, kPocet - 1);
    // The first record of the second block, from before it and, wrapping, from after it.
    EXPECT_EQ(s.najdi("radek 08739", 1), 8739);
    EXPECT_EQ(s.najdi("RADEK 08739", 8800), 8739);
    // A text in no row: every row read once for both comparisons; the cursor stays.
    EXPECT_EQ(s.najdi("zzz", 5), 5);
    EXPECT_EQ(s.precteno, kPocet - 1);
    // Through the order: record 5 stands at row 11996.
    s.Poradi(1);
    EXPECT_EQ(s.najdi("radek 00005", 1), kPocet - 4);
    s.ZpetNaSoubor();
    // None of these took a second: nothing flashed.
    EXPECT_TRUE(p.bezSmycky.empty());

    // A millisecond a row: after a second the flashing message shows what is searched for, and
    // Esc stops the search where it is; the cursor stays and the help line comes back.
    const std::string napoveda = s.lHelp.text;
    s.pomalu = true;
    s.escNa = 4500;
    EXPECT_EQ(s.najdi("zzz", 1), 1);
    EXPECT_LE(s.precteno, 5000);
    ASSERT_FALSE(p.bezSmycky.empty());
    EXPECT_NE(p.bezSmycky.front().find("Hledám: ZZZ"), std::string::npos) << p.bezSmycky.front();
    EXPECT_EQ(s.lHelp.text, napoveda);
    EXPECT_TRUE(s.lHelp.visible);
  });
  klavesy({K(kVkEscape)});
  s.showModal();
  s.Soubor().ZavriSoubor();
}

}  // namespace
}  // namespace pz::ui

namespace pz::ui {
namespace {

// A list whose rows are its fields builds each row's text from the bytes of the blocks it reads:
// over a file of more than one block, with numbers, dates and amounts in the columns, a field
// that is no column, an order, the wrap and both comparisons, it finds what the row-by-row
// search finds, and never asks for a row's text the slow way.
TEST_F(RecordForm, ARowBuiltFromTheBlockBytesFindsWhatTheRowByRowSearchFinds) {
  constexpr int kPocet = 12000;        // 360,000 bytes: a search block holds 8,738 records
  std::string data;
  for (int n = 1; n <= kPocet; ++n) {
    char kod[8], kurz[16], datum[8], mnoz[8];
    std::snprintf(kod, sizeof kod, "K%02d", n % 100);
    std::snprintf(kurz, sizeof kurz, "%d.%04d", n % 900, n % 10000);
    std::snprintf(datum, sizeof datum, "%02d%02d24", 1 + n % 28, 1 + n % 12);
    std::snprintf(mnoz, sizeof mnoz, "%d", n);
    const bool chf = n == 9000;
    data += veta(chf ? "CHF" : n == 8738 ? "BLA" : n == 8739 ? "BLB" : kod, kurz, chf ? "311299" : datum, mnoz, "zzz");
  }
  dir.write("kursy.dta", data);
  dir.write("kursy.dt1", obracenePoradi(kPocet));
  w.sPoradim = true;
  w.Otevri();
  ASSERT_EQ(w.PocetRadku, kPocet);
  auto najdi = [&](bool zPoli, const std::string& text, int od, bool volne) {
    w.zPoli = zPoli;
    w.radkuPoRadcich = 0;
    w.eHled.setValue(text);
    w.Radek = od;
    w.VolnePorovnani = volne;
    w.Hledej();
    w.VolnePorovnani = false;
    return w.Radek;
  };
  struct Pripad {
    std::string text;
    int od;
    bool volne;
    int radek;
  };
  const std::vector<Pripad> pripady = {
      {"CHF", 1, false, 9000},           // in the second block
      {"chf", 9500, false, 9000},        // folded, found after the wrap
      {"31.12.99 CHF", 1, false, 9000},  // no exact match: the loose one of the same pass
      {"99 chf", 1, true, 9000},         // Ctrl+F3
      {"BLB", 8738, false, 8739},        // the first record of the second block
      {"BLA", 8739, false, 8738},        // the last of the first, wrapping
      {"zzz", 5, false, 5},              // in a field that is no column: found nowhere
  };
  // The searches run while the list is shown, as F3 runs them.
  potom([&] {
  for (const Pripad& c : pripady) {
    SCOPED_TRACE(c.text + " from " + std::to_string(c.od));
    EXPECT_EQ(najdi(false, c.text, c.od, c.volne), c.radek);
    EXPECT_GT(w.radkuPoRadcich, 0);
    EXPECT_EQ(najdi(true, c.text, c.od, c.volne), c.radek);
    EXPECT_EQ(w.radkuPoRadcich, 0);
  }
  // Texts across the joints of the columns, as the rows show them ("K39  39.0039 12.04.24    39":
  // the rate and the units right-aligned), in file order and through the order.
  const std::vector<std::pair<std::string, int>> spoje = {{"K39 239.0239", 239}, {"BLB 639.8739", 8739}, {"12.04.24    39", 39}};
  for (int poradi : {0, 1}) {
    if (poradi) w.Poradi(1);
    for (const auto& [t, zaznam] : spoje) {
      SCOPED_TRACE(t + " order " + std::to_string(poradi));
      const int radek = poradi ? kPocet + 1 - zaznam : zaznam;
      EXPECT_EQ(najdi(false, t, 11999, false), radek);
      EXPECT_EQ(najdi(true, t, 11999, false), radek);
      EXPECT_EQ(najdi(true, t, 11999, true), najdi(false, t, 11999, true));  // the words anywhere
    }
  }
  });
  klavesy({K(kVkEscape)});
  w.showModal();
}

}  // namespace
}  // namespace pz::ui
