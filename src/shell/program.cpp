#include "shell/program.h"

#include <memory>

#include "accounting/accounts.h"
#include "accounting/centres.h"
#include "cashdesk/cashwindow.h"
#include "cashdesk/series.h"
#include "platform/text.h"
#include "registers/company.h"
#include "registers/partners.h"
#include "registers/postcodes.h"
#include "registers/states.h"
#include "reports/printing.h"
#include "reports/viewer.h"
#include "shell/interaction_windows.h"
#include "shell/lock_client.h"
#include "shell/main_window.h"
#include "shell/pokladna.h"
#include "shell/settings_loader.h"
#include "storage/interaction.h"
#include "storage/locks.h"
#include "storage/roots.h"
#include "ui/app.h"
#include "ui/dialogs.h"

namespace pz::shell {

using platform::cz;

namespace {

// What a button or menu item of a part not built yet says, so that it never does nothing at all.
void JesteNeni() { ui::Zprava(cz("Tato funkce v této verzi programu ještě není.")); }

// The accounting menu of the main window. Its items open the corrections, the listing and the
// attaching of the cash desk's accounting entries once those windows exist.
void NabidkaUcetnictvi() {
  const int volba =
      ui::Vyber(30, 10, nullptr,
                {cz(" Opravy nepřipojených zápisů "), cz(" Opis nepřipojených zápisů "), cz(" Připojování účetních zápisů ")},
                cz(" Účetnictví z valutové pokladny "));
  if (volba > 0) JesteNeni();
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
    form1.naTisky = [] { JesteNeni(); };                  // the report list
    ui::sluzbyRolu().seznamSestav = [] { JesteNeni(); };  // Ctrl+F2 in every list
    // The own company first (the cash desk reads it throughout), then the series and cash desks.
    form1.naPokladnu = [this] {
      if (fma.UvodPokladny()) smyckaPokladny.Spust();
    };
    reports::RegistrujProhlizec(pozri, pozri2);
    reports::RegistrujTisk();
  }
  ~Okna() { ui::NastavProhlizecSestav({}); }
  TfClient klient;  // constructed first: the main window refers to it
  TForm1 form1;
  registers::TfFMA fma;
  cashdesk::TfPZRady pzRady;
  PokladniSmycka smyckaPokladny{pzRady};
  reports::TfPozri pozri{"fPozri"};    // reports shown from anywhere
  reports::TfPozri pozri2{"fPozri2"};  // a report shown while the first viewer is open
  registers::TfOrg org;
  registers::TfStaty staty;
  accounting::TfCis10 cis10;
  accounting::TfCis30 cis30;
  accounting::TfCi2005 ci2005;
  accounting::TfCis36 cis36;
  registers::TfPsc psc;
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
  struct Odregistruj {
    ~Odregistruj() {
      storage::ZrusSdileniZamku();
      storage::setLockLink(nullptr);
    }
  } odregistruj;
  okna->form1.showModal();
  return 0;
}

}  // namespace pz::shell
