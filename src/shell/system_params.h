// TfParSys, the system parameters window: the most important station and installation settings
// in one parameter window, written back to their four stores ("master.job", "UCPARAM.DTA",
// "par\okna2.par", "sys.par") every time it closes, with the settings in memory refreshed.
#pragma once

#include <string>
#include <vector>

#include "ui/paramwindow.h"

namespace pz::shell {

class TfParSys : public ui::TfOkno {
 public:
  static constexpr int kRadku = 25;  // the 24 station rows and the cash payment limit

  TfParSys();
  // Loads every row from its store and builds the window.
  void Otevri();
  // The open, the modal show and the store, as every caller does them.
  void Spust();
  // Stores every row (accepted or cancelled) and refreshes the settings in memory.
  void UlozParametry() override;

 protected:
  void EnterParametru(int i, std::string& text) override;
  void ZmenaParametru(int i, std::string& text) override;
  void NapovedaParametru(int i) override;

 private:
  void popisKurzu();
  std::vector<std::string> ulozene_;  // each row's stored text as it was read, by row
};

}  // namespace pz::shell
