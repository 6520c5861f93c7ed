// TfFontyTisky, the window of the three print fonts: for 80, 100 and 130 characters a line, the
// height, width and face of "norm.fnt", "12zn.fnt" and "cond.fnt". A height or width is taken
// only as a whole number from 9 to 100; the values go into the font file of the selected line
// when a field is left, when another line is selected and when the window closes (Esc).
#pragma once

#include <string>

#include "ui/form.h"

namespace pz::ui {
class Edit;
class Label;
class ListBox;
}  // namespace pz::ui

namespace pz::reports {

class TfFontyTisky : public ui::Form {
 public:
  TfFontyTisky();
  // Shows the window modally; the font files are written when it closes.
  void Spust();

 protected:
  bool onKey(const ui::KeyEvent& ev) override;
  bool onMouse(const ui::MouseEvent& ev, ui::Control* hit) override;

 private:
  std::string soubor() const;
  void nacti();
  void uloz();
  void vyberFont();
  ui::ListBox* lbZnaku_ = nullptr;
  ui::Edit* eVyska_ = nullptr;
  ui::Edit* eSirka_ = nullptr;
  ui::Edit* eNazev_ = nullptr;
};

// Opens the window (from the system parameters).
void UpravFontyTisku();

}  // namespace pz::reports
