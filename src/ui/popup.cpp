#include "ui/popup.h"

#include <algorithm>

#include "ui/form.h"

namespace pz::ui {
namespace {

// A caption as the menu shows it: "&" marks the item's access letter and is not shown ("&&" is
// one "&").
std::string bezZnacky(const std::string& caption) {
  std::string t;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) ++i;
    t += caption[i];
  }
  return t;
}

class MenuWindow : public Form {
 public:
  MenuWindow(const std::string& name, const std::vector<MenuItem>& items)
      : Form(name, ""), list_(add<ListBox>("lItems")), items_(items) {
    for (size_t i = 0; i < items.size(); ++i)
      if (items[i].visible) {
        shown_.push_back(static_cast<int>(i));
        list_.items.push_back(bezZnacky(items[i].caption));
        list_.grayed.push_back(!items[i].enabled);
      }
    list_.itemIndex = 0;
    list_.onClick = [this] { choose(); };
    popupMenu = true;
    setFocus(&list_);
  }
  int chosen = -1;
  ListBox& list() { return list_; }

 protected:
  bool onKey(const KeyEvent& ev) override {
    if (ev.plain() && ev.vk == kVkReturn) {
      choose();
      return true;
    }
    if (ev.plain() && ev.vk == kVkEscape) {
      close(0);
      return true;
    }
    return false;
  }

 private:
  void choose() {
    const int i = list_.itemIndex;
    if (i < 0 || i >= static_cast<int>(shown_.size())) return;
    const int item = shown_[static_cast<size_t>(i)];
    if (!items_[static_cast<size_t>(item)].enabled) return;  // a disabled item does nothing
    chosen = item;
    close(1);
  }
  ListBox& list_;
  const std::vector<MenuItem>& items_;
  std::vector<int> shown_;
};

}  // namespace

MenuItem* PopupMenu::find(const std::string& itemName) {
  for (auto& i : items)
    if (i.name == itemName) return &i;
  return nullptr;
}

bool PopupMenu::hasVisibleItems() const {
  return std::any_of(items.begin(), items.end(), [](const MenuItem& i) { return i.visible; });
}

int PopupMenu::popup(const Form& owner, int col, int row) {
  if (!hasVisibleItems()) return -1;
  MenuWindow w(name_, items);
  w.look = owner.look;
  w.color = kWhite;
  w.fontColor = kBlack;
  size_t longest = 1;
  for (const auto& c : w.list().items) longest = std::max(longest, c.size());
  const int cw = std::max(1, owner.look.cellWidth), ch = std::max(1, owner.look.cellHeight);
  const int n = static_cast<int>(w.list().items.size());
  w.geometry = {owner.geometry.x + col * cw, owner.geometry.y + row * ch, static_cast<int>(longest + 2) * cw, n * ch};
  w.list().geometry = {cw, 0, static_cast<int>(longest) * cw, n * ch};
  w.showModal();
  const int chosen = w.chosen;
  if (chosen >= 0) {
    auto run = items[static_cast<size_t>(chosen)].onClick;  // the handler may change the menu
    if (run) run();
  }
  return chosen;
}

}  // namespace pz::ui
