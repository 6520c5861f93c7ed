// The main window: the entry points of the cash desk program.
#pragma once

#include "ui/form.h"

namespace pz::shell {

class TForm1 : public ui::Form {
 public:
  TForm1();

  ui::Label& Label1;
  ui::Label& Label2;
  ui::Button& bPZPokl;
  ui::Button& bUcetnictvi;
  ui::CheckBox& CheckBox1;
  ui::Button& bTisky;
  ui::Button& bKurzy;
  ui::Button& bprirucka;
  ui::Button& bpruvodce;
  ui::Label& Label3;

 protected:
  bool onKey(const ui::KeyEvent& ev) override;
};

}  // namespace pz::shell
