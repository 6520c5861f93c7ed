// The calculator: an adding machine with a paper tape. Every entry field reaches it with
// Ctrl+F9, the choice menu and the question form with F9.
#pragma once

#include <string>
#include <vector>

#include "ui/form.h"

namespace pz::ui {

struct VysledekKalkulacky {
  bool potvrzeno = false;  // the user confirmed the result
  std::string text;        // the result field without blanks
};
VysledekKalkulacky& vysledekKalkulacky();

// Opens the calculator on `hodnota`; returns the result when confirmed, else 0 (callers test
// vysledekKalkulacky().potvrzeno).
double Kalkulacka(double hodnota);

class TfKalk : public Form {
 public:
  TfKalk();
  double spust(double hodnota);

  Label& Label2;
  Edit& EdtVy;
  Label& Label1;
  Edit& EdtOp;
  Button& Button1;
  Button& Button2;
  Memo& Memo1;

 protected:
  bool onKey(const KeyEvent& ev) override;
  bool onMouse(const MouseEvent& ev, Control* hit) override;

 private:
  void krok(char op);
  void vynuluj(bool paska);
  void potvrd();
  void tiskni();
  bool novyOperand_ = true;
};

TfKalk& kalkulacka();

}  // namespace pz::ui
