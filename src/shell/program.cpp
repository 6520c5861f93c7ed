#include "shell/program.h"

#include <memory>
#include <ostream>

#include "accounting/accounts.h"
#include "accounting/attach.h"
#include "accounting/centres.h"
#include "accounting/journal.h"
#include "accounting/templates.h"
#include "accounting/voucherprint.h"
#include "accounting/vatlines.h"
#include "cashdesk/cashwindow.h"
#include "cashdesk/intent.h"
#include "cashdesk/offbalance.h"
#include "cashdesk/ratefetch.h"
#include "cashdesk/series.h"
#include "platform/file.h"
#include "platform/fs.h"
#include "platform/io.h"
#include "platform/text.h"
#include "platform/clock.h"
#include "invoicing/invoices.h"
#include "rates/ratetable.h"
#include "registers/banks.h"
#include "registers/company.h"
#include "registers/keys.h"
#include "registers/texts.h"
#include "registers/partners.h"
#include "registers/postcodes.h"
#include "registers/states.h"
#include "reports/inout.h"
#include "reports/printing.h"
#include "reports/spool.h"
#include "reports/viewer.h"
#include "shell/interaction_windows.h"
#include "shell/lock_client.h"
#include "shell/main_window.h"
#include "shell/pokladna.h"
#include "shell/settings_loader.h"
#include "shell/system_params.h"
#include "storage/fields.h"
#include "storage/filehelpers.h"
#include "storage/intentrecord.h"
#include "storage/interaction.h"
#include "storage/locks.h"
#include "storage/roots.h"
#include "ui/app.h"
#include "ui/dialogs.h"
#include "ui/keys.h"
#include "ui/recordform.h"

namespace pz::shell {

using platform::cz;

namespace {

// The accounting menu of the main window: the corrections of the cash desk's batch of entries,
// its voucher print, and its attaching to the general ledger.
void NabidkaUcetnictvi() {
  const int volba =
      ui::Vyber(30, 10, nullptr,
                {cz(" Opravy nepřipojených zápisů "), cz(" Opis nepřipojených zápisů "), cz(" Připojování účetních zápisů "),
                 cz(" Faktury vydané a přijaté ")},
                cz(" Účetnictví z valutové pokladny "));
  if (volba == 1) accounting::OpravyDavky("PZUC.dta");
  else if (volba == 2) accounting::TiskPredpisu("PZUC.dta");
  else if (volba == 3) accounting::PripojDavku("PZUC.dta");
  else if (volba == 4) invoicing::SpravaFaktur();
}

// The business partners as the chooser of a partner's name (the entries' text mode 3).
std::string VyberNazvuPartnera() {
  registers::TfOrg& org = registers::Partneri();
  if (!org.Nastav()) return {};
  org.Sestav();
  org.JdiNa(1);
  org.showModal();
  std::string nazev;
  if (org.KoncovaKlavesa == ui::kVkReturn && org.Radek >= 1 && org.Radek <= org.Soubor().pocet()) {
    org.CtiVetu(org.Radek);
    nazev = storage::readShortString(org.Veta(), registers::tOrganizace::kNazev, 30);
  }
  org.Zavri();
  return nazev;
}

// The personal fields of every partner record scrambled or unscrambled, as the file holds them
// (the reading hooks stay out of it), through a work file that replaces the register at once,
// while this station alone holds it. 0 or the I/O code; a missing register is nothing to do.
int PrevedOrg(bool zasifruj) {
  const std::string cesta = storage::DataCesta("org.dta");
  if (!platform::fileExists(cesta)) return 0;
  const storage::Zamek z = storage::Zamkni(cesta, "W");
  if (!storage::MuzePokracovat(z)) return platform::kIoSharingViolation;
  std::string obsah;
  int e = platform::readWholeFile(cesta, obsah);
  if (e == 0) {
    const size_t n = static_cast<size_t>(registers::tOrganizace::kVelikost);
    for (size_t od = 0; od + n <= obsah.size(); od += n) {
      std::span<std::uint8_t> veta(reinterpret_cast<std::uint8_t*>(obsah.data()) + od, n);
      if (zasifruj) registers::ZakodujOrg(veta);
      else registers::DekodujOrg(veta);
    }
    const std::string pracovni = storage::DataCesta("org.wrk");
    e = platform::writeWholeFile(pracovni, obsah);
    e = e == 0 ? storage::NahradSoubor(pracovni, cesta) : e;
    if (e != 0) platform::removeFile(pracovni);
  }
  if (z == storage::Zamek::Drzen) storage::Odemkni(cesta);
  return e;
}

// The windows of the program, created once at start in this order and living until it ends.
// Each part of the program adds its windows here in their place in the order.
struct Okna {
  Okna() : form1(&klient) {
    ui::VytvorDialogy();
    // Entry points whose windows exist now; the others are wired by their own parts.
    form1.naNapovedu = [](const std::string& soubor, const std::string& tema) { ui::Napoveda(soubor, tema); };
    form1.naPruvodce = [](const std::string& adresar, const std::string& jmeno) { ui::Navod(adresar, jmeno); };
    form1.naUcetnictvi = [] { NabidkaUcetnictvi(); };
    form1.naTisky = [this] { spool.Ukaz(); };                  // the report list
    ui::sluzbyRolu().seznamSestav = [this] {
      if (!spool.isShowing()) spool.Ukaz();
    };  // Ctrl+F2 in every list
    ui::sluzbyRolu().parametrySystemu = [this] { parSys.Spust(); };  // the lists' and the viewer's menus
    // The own company first (the cash desk reads it throughout), then the series and cash desks.
    form1.naPokladnu = [this] {
      if (fma.UvodPokladny()) smyckaPokladny.Spust();
    };
    reports::RegistrujProhlizec(pozri, pozri2);
    reports::RegistrujVolbuSouboru(inOut);
    reports::sluzbySeznamu().prevedOrg = PrevedOrg;
    reports::RegistrujTisk();
    accounting::sluzbyZapisu().vyberTextu = [](const std::string& soubor, const std::string& titulek) {
      return registers::Texty().Vyber(soubor, titulek);
    };
    accounting::sluzbyZapisu().vyberPartnera = VyberNazvuPartnera;
  }
  ~Okna() {
    ui::NastavProhlizecSestav({});
    ui::sluzbySouboru().vyberSouboru = nullptr;
    ui::sluzbyRolu().seznamSestav = nullptr;
    ui::sluzbyRolu().parametrySystemu = nullptr;
    reports::sluzbySeznamu().prevedOrg = nullptr;
    accounting::sluzbyZapisu() = {};
  }
  TfClient klient;  // constructed first: the main window refers to it
  TForm1 form1;
  registers::TfFMA fma;
  registers::TfBankKody bankKody;
  cashdesk::TfPZRady pzRady;
  PokladniSmycka smyckaPokladny{pzRady};
  reports::TfPozri pozri{"fPozri"};    // reports shown from anywhere
  reports::TfPozri pozri2{"fPozri2"};  // a report shown while the first viewer is open
  accounting::TfUc uc{"fUc"};          // the journal of a batch
  accounting::TfUc uc2{"fUc2"};        // a second journal (a ledger beside a batch)
  accounting::TfUp up;                 // the voucher window of a posting
  reports::TfInOut inOut;              // the file chooser of every opener
  reports::TfSpool spool;              // the report list
  TfParSys parSys;                     // the system parameters
  registers::TfOrg org;
  registers::TfKl kl;
  registers::TfStaty staty;
  accounting::TfCiDPH ciDph;
  accounting::TfCis10 cis10;
  accounting::TfCis30 cis30;
  accounting::TfCi2005 ci2005;
  rates::TfKursy kursy;
  accounting::TfCis11 cis11;
  accounting::TfCis36 cis36;
  registers::TfTXT1 txt1;
  cashdesk::TfDEVU devu;               // the off-balance account sets
  registers::TfPsc psc;
  registers::TfKodyBank kodyBank;
  cashdesk::TfPZPokl pokladna;  // the documents of the series chosen in the series list
  OknoPZPokl oknoPokladny{pokladna, smyckaPokladny};
};

}  // namespace

int runProgram() {
  ShellInteraction dialogy;
  storage::setInteraction(&dialogy);
  struct Obnov {
    ~Obnov() { storage::setInteraction(nullptr); }
  } obnov;

  // The address files first: a data root that cannot be read must not send the run to the
  // working directory.
  if (!storage::NactiAdresy()) return 1;
  auto* presenter = ui::Application::instance().presenter();
  if (!NactiNastaveni(presenter ? presenter->screenDpi() : 96)) return 1;

  auto okna = std::make_unique<Okna>();
  // Record files and every other lock go through the sharing table or, when one is named, the
  // lock server on this link.
  storage::setLockLink(&okna->klient);
  storage::RegistrujSdileniZamku();
  cashdesk::RegistrujVraceniPrerusenych();
  struct Odregistruj {
    ~Odregistruj() {
      storage::NastavVraceniPrerusenych(nullptr);
      storage::ZrusSdileniZamku();
      storage::setLockLink(nullptr);
    }
  } odregistruj;
  okna->form1.showModal();
  return 0;
}

int runFetchRates(std::ostream& out, std::ostream& err) {
  // No windows: what the storage layer would show goes to `err` at the end.
  storage::RecordingInteraction zpravy;
  storage::setInteraction(&zpravy);
  struct Obnov {
    ~Obnov() { storage::setInteraction(nullptr); }
  } obnov;
  const auto vypisZpravy = [&] {
    for (const std::string& z : zpravy.messages) err << platform::cp1250ToUtf8(z) << "\n";
  };
  if (!storage::NactiAdresy() || !NactiNastaveni(96)) {
    vypisZpravy();
    return 1;
  }
  const cashdesk::VysledekStazeni v = cashdesk::StahniKurzy(platform::clock().today());
  for (const std::string& radek : v.radky) out << platform::cp1250ToUtf8(radek) << "\n";
  for (const std::string& radek : v.chybne) err << platform::cp1250ToUtf8(radek) << "\n";
  vypisZpravy();
  return v.chybne.empty() ? 0 : 1;
}

}  // namespace pz::shell
