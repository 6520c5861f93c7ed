// The main window: the entry points of the cash desk program (cash desk, accounting, reports,
// exchange rates, help), the suite-presence check and the orderly end of the program. It holds
// no data of its own; every task runs in a modal window of its own and comes back here.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "shell/suite_check.h"
#include "ui/form.h"
#include "ui/timer.h"

namespace pz::shell {

class TfClient;

class TForm1 : public ui::Form {
 public:
  // `klient` is the program's lock-server link; without one the window keeps a link of its own.
  explicit TForm1(TfClient* klient = nullptr);
  ~TForm1() override;

  ui::Label& Label1;
  ui::Label& Label2;
  ui::Button& bPZPokl;
  ui::Button& bUcetnictvi;
  ui::CheckBox& CheckBox1;
  ui::Button& bTisky;
  ui::Button& bKurzy;
  ui::Button& bprirucka;
  ui::Button& bpruvodce;
  ui::Button& bStahniKurzy;  // fetches the bank's rates into the rate files
  ui::Label& Label3;
  ui::Timer Timer1;  // the suite-presence check

  // Entry points whose windows come with their own parts of the program; until those are wired
  // the buttons do nothing.
  std::function<void()> naPokladnu;    // bPZPokl: series list and cash desk loop
  std::function<void()> naUcetnictvi;  // bUcetnictvi: the accounting menu
  std::function<void()> naTisky;       // bTisky: report list and viewer
  std::function<void(const std::string& soubor, const std::string& tema)> naNapovedu;  // a help page
  std::function<void(const std::string& adresar, const std::string& predpona)> naPruvodce;  // guide pages

  // The suite-presence check run by Timer1 (public so that it can be driven directly).
  void kontrolaSady();
  const KontrolaSady& stavSady() const { return sada_; }

 protected:
  void onShow() override;
  bool onKey(const ui::KeyEvent& ev) override;
  bool onMouse(const ui::MouseEvent& ev, ui::Control* hit) override;
  void onClose() override;

 private:
  void prvniAktivace();
  void napovedaTlacitka(const ui::Control* c, bool mys);
  void kurzy();
  void stahniKurzy();

  std::unique_ptr<TfClient> vlastniKlient_;
  TfClient& klient_;
  KontrolaSady sada_;
  bool prvniAktivace_ = true;
};

// The Czech National Bank's form of selected exchange rates: the server comes from "PZPOKL.PAR"
// key "WebCNB" (default https://www.cnb.cz), the page path is fixed.
std::string AdresaKurzuCnb();

}  // namespace pz::shell
