// The menus' masks "VYBER.PAR" (a "-" at an item's place forbids the item) and their last choices
// "VYBER.IDX" are parameter files kept by hand and copied between stations: with any content a
// menu opens, closes on Esc, never hands back a forbidden item, and remembers exactly the item
// that was chosen.
// Input: VYBER.PAR, a NUL, VYBER.IDX (a missing part gives a missing file).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/text.h"
#include "storage/params.h"
#include "support.h"
#include "ui/app.h"
#include "ui/dialogs.h"
#include "ui/form.h"
#include "ui/keys.h"
#include "ui/picture.h"

namespace {

using pz::platform::cz;
using pz::ui::KeyEvent;

// Plays the keys of one menu, then Esc; a menu that Esc does not close is a hang.
class Klavesy : public pz::ui::Presenter {
 public:
  std::vector<KeyEvent> keys;
  void runModal(pz::ui::Form& f) override {
    size_t next = 0;
    int escapes = 0;
    while (!f.closeRequested()) {
      if (next < keys.size()) {
        pz::ui::Application::instance().dispatchKey(keys[next++]);
      } else {
        if (++escapes > 3) __builtin_trap();
        pz::ui::Application::instance().dispatchKey({pz::ui::kVkEscape});
      }
    }
  }
};

struct Menu {
  std::string titul;
  std::vector<std::string> polozky;
};

std::vector<Menu> menus() {
  std::vector<Menu> m;
  m.push_back({cz("Připojit ÚP z PZ"), {cz("Nepřipojovat"), cz("Podle výběru"), cz("Všechny")}});
  m.push_back({cz("Jak seřadit"), {cz("Dle kódů"), "Dle data"}});
  Menu setrid{cz("Setřídit dle"), {}};
  for (const char* t : {"Agenda", "Účetní předpis", "Text", "Účet MD", "Středisko MD", "Zakázka MD", "Účet Dal",
                        "Středislo Dal", "Zakázka DAL", "Částka", "Datum", "Pár.údaj"})
    setrid.polozky.push_back(cz(t));
  m.push_back(setrid);
  return m;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Klavesy klavesy;
  static const std::vector<Menu> nabidky = menus();
  static const std::vector<std::vector<KeyEvent>> hry = {
      {{pz::ui::kVkReturn}},
      {{pz::ui::kVkDown}, {pz::ui::kVkDown}, {pz::ui::kVkReturn}},
      {{pz::ui::kVkUp}, {pz::ui::kVkF2}},
      {{pz::ui::kVkEscape}}};
  pz::fuzz::putParts({reinterpret_cast<const char*>(data), size}, {"par/VYBER.PAR", "par/VYBER.IDX"});
  pz::storage::ZahodParametry();
  pz::ui::Application::instance().setPresenter(&klavesy);

  for (const Menu& m : nabidky) {
    const std::string klic = m.titul.substr(0, 15);
    for (const auto& hra : hry) {
      const std::string predtim = pz::storage::CtiPar("par\\VYBER.IDX", klic + " VyberIndex");
      klavesy.keys = hra;
      const int volba = pz::ui::Vyber(30, 10, nullptr, m.polozky, m.titul);
      if (volba < 0 || volba > static_cast<int>(m.polozky.size())) __builtin_trap();
      const std::string maska = pz::storage::CtiPar("par\\VYBER.PAR", klic);
      const std::string potom = pz::storage::CtiPar("par\\VYBER.IDX", klic + " VyberIndex");
      if (volba == 0) {
        if (potom != predtim) __builtin_trap();  // nothing chosen, nothing remembered
        continue;
      }
      if (static_cast<size_t>(volba) <= maska.size() && maska[static_cast<size_t>(volba) - 1] == '-') __builtin_trap();
      if (pz::ui::TextNaCele(potom) != volba) __builtin_trap();
    }
  }
  pz::ui::Application::instance().setPresenter(nullptr);
  return 0;
}
