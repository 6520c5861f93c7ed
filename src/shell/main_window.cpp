#include "shell/main_window.h"

#include "platform/text.h"

namespace pz::shell {

using platform::cz;

TForm1::TForm1()
    : ui::Form("TForm1", "TAMBRA"),
      Label1(add<ui::Label>("Label1")),
      Label2(add<ui::Label>("Label2")),
      bPZPokl(add<ui::Button>("bPZPokl")),
      bUcetnictvi(add<ui::Button>("bUcetnictvi")),
      CheckBox1(add<ui::CheckBox>("CheckBox1")),
      bTisky(add<ui::Button>("bTisky")),
      bKurzy(add<ui::Button>("bKurzy")),
      bprirucka(add<ui::Button>("bprirucka")),
      bpruvodce(add<ui::Button>("bpruvodce")),
      Label3(add<ui::Label>("Label3")) {
  geometry = {200, 150, 422, 292};
  Label1.geometry = {8, 8, 406, 16};
  Label1.text = cz("V A L U T O V Á   P O K L A D N A");
  Label1.align = ui::Align::Center;
  Label1.fontColor = ui::kNavy;
  Label1.bold = true;
  Label2.geometry = {8, 32, 406, 16};
  Label2.text = "ver.16.4.2026";
  Label2.align = ui::Align::Center;

  const struct {
    ui::Button& b;
    int y;
    const char* text;
  } buttons[] = {
      {bPZPokl, 64, "Valutová pokladna"},
      {bUcetnictvi, 88, "Účetnictví"},
      {bTisky, 136, "Tisky"},
      {bKurzy, 160, "Kurzy měn ČNB a jejich stažení z webu  "},
  };
  for (const auto& b : buttons) {
    b.b.geometry = {40, b.y, 344, 16};
    b.b.text = cz(b.text);
  }
  bPZPokl.isDefault = true;
  CheckBox1.geometry = {40, 112, 344, 16};
  CheckBox1.text = cz("Podrozvahové zúčtování");
  bprirucka.geometry = {40, 200, 168, 16};
  bprirucka.text = cz("F1 - příručka");
  bpruvodce.geometry = {216, 200, 168, 16};
  bpruvodce.text = cz("Ctrl+F1-průvodce");
  Label3.geometry = {8, 256, 406, 16};
  Label3.text = cz("Nastavené sazby DPH : ");
  setFocus(&bPZPokl);
}

bool TForm1::onKey(const ui::KeyEvent& ev) {
  if (ev.vk == ui::kVkEscape && ev.plain()) {
    close();
    return true;
  }
  return false;
}

}  // namespace pz::shell
