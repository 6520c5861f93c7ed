#include "shell/interaction_windows.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/text.h"
#include "ui/app.h"
#include "ui/dialogs.h"
#include "ui/form.h"
#include "ui/timer.h"

namespace pz::shell {

using platform::cz;

namespace {

constexpr size_t kSirkaTextu = 60;  // characters of a line of a message

// A form with the wrapped text at the top and room for one row of buttons below it.
class TextovyFormular : public ui::Form {
 public:
  TextovyFormular(std::string name, std::string caption, const std::string& text)
      : ui::Form(std::move(name), std::move(caption)), mText(add<ui::Memo>("mText")) {
    mText.lines = ui::ZalomText(text, kSirkaTextu);
    size_t width = 20;
    for (const auto& l : mText.lines) width = std::max(width, l.size());
    const int cw = look.cellWidth, ch = look.cellHeight;
    const int lines = static_cast<int>(std::max<size_t>(1, mText.lines.size()));
    geometry = {160, 120, static_cast<int>(width + 4) * cw, (lines + 4) * ch};
    mText.geometry = {2 * cw, ch, static_cast<int>(width) * cw, lines * ch};
    tlacitkaY = (lines + 2) * ch;
  }

  ui::Button& tlacitko(const std::string& name, const std::string& text, int col, int result) {
    auto& b = add<ui::Button>(name);
    b.text = text;
    b.geometry = {col * look.cellWidth, tlacitkaY, static_cast<int>(text.size() + 4) * look.cellWidth,
                  look.cellHeight};
    b.onClick = [this, result] { close(result); };
    return b;
  }

  int sloupecStredu(size_t width) const { return std::max(0, (cols() - static_cast<int>(width)) / 2); }

  ui::Memo& mText;
  int tlacitkaY = 0;
  int naEsc = 0;  // the result of Esc

 protected:
  bool onKey(const ui::KeyEvent& ev) override {
    if (ev.vk == ui::kVkEscape && ev.plain()) {
      close(naEsc);
      return true;
    }
    return false;
  }
};

// The red wait window: the text in yellow Fixedsys, caption "Počkejte na uvolnění !!! ".
class TfErr : public TextovyFormular {
 public:
  explicit TfErr(const std::string& text) : TextovyFormular("TfErr", cz("Počkejte na uvolnění !!! "), text) {
    geometry = {40, 107, std::max(700, geometry.w), std::max(95, geometry.h)};
    color = kCervena;
    fontColor = ui::kYellow;
    look.fontName = "Fixedsys";
  }
  std::function<void()> naPravem;

 protected:
  bool onMouse(const ui::MouseEvent& ev, ui::Control*) override {
    if (ev.button != ui::MouseButton::Right || !naPravem) return false;
    naPravem();
    return true;
  }

 private:
  static constexpr ui::Color kCervena = 0x0000FF;  // colours are stored blue-green-red
};

}  // namespace

void ShellInteraction::message(const std::string& text, bool beep) {
  if (beep) ui::Zprava(text);
  else ui::ZpravaTicha(text);
}

// The standard question of the dialogs (A and N answer it, Esc says no), so that a question of
// the storage layer takes the same keys as every other.
bool ShellInteraction::question(const std::string& text, bool defaultYes) { return ui::DotazVychozi(text, defaultYes); }

bool ShellInteraction::waitFor(const std::string& text, int intervalMs, const std::function<bool()>& attempt) {
  ignoreProtection = false;
  TfErr f(text);
  // The attempt that succeeded has taken what it waited for (a lock, a file): the timer must not
  // try again while the window is closing, or it would meet its own lock as somebody else's.
  bool hotovo = false;
  ui::Timer retry(std::max(1, intervalMs), [&] {
    if (hotovo) return;
    if (attempt()) {
      hotovo = true;
      retry.setEnabled(false);
      f.close(1);
    }
  });
  // A right click is the way out of a wait that does not end: the user may choose to go on
  // without the protection of the sharing table.
  f.naPravem = [&] {
    retry.setEnabled(false);
    if (question(cz("Došlo k poruše, chcete ignorovat ochranu souborů"), false)) {
      ignoreProtection = true;
      f.close(0);
    } else {
      if (!hotovo) retry.setEnabled(true);
    }
  };
  retry.setEnabled(true);
  return f.showModal() == 1;
}

}  // namespace pz::shell
