#include "ui/lineedit.h"

#include <algorithm>

namespace pz::ui {

void LineEditor::setText(std::string text) {
  text_ = std::move(text);
  if (maxLength_ > 0 && static_cast<int>(text_.size()) > maxLength_) text_.resize(maxLength_);
  cursor_ = static_cast<int>(text_.size());
  scroll_ = 0;
}

void LineEditor::setCursor(int pos) { cursor_ = std::clamp(pos, 0, static_cast<int>(text_.size())); }

void LineEditor::setMaxLength(int n) {
  maxLength_ = std::max(0, n);
  if (maxLength_ > 0 && static_cast<int>(text_.size()) > maxLength_) {
    text_.resize(maxLength_);
    setCursor(cursor_);
  }
}

bool LineEditor::key(const KeyEvent& ev, bool* refused) {
  if (refused) *refused = false;
  const int len = static_cast<int>(text_.size());
  if (!ev.ctrl && !ev.alt) {
    switch (ev.vk) {
      case kVkLeft: if (cursor_ > 0) --cursor_; return true;
      case kVkRight: if (cursor_ < len) ++cursor_; return true;
      case kVkHome: cursor_ = 0; return true;
      case kVkEnd: cursor_ = len; return true;
      case kVkInsert: if (!ev.shift) { insert_ = !insert_; return true; } break;
      case kVkBack:
        if (cursor_ > 0) text_.erase(static_cast<size_t>(--cursor_), 1);
        return true;
      case kVkDelete:
        if (!ev.shift && cursor_ < len) text_.erase(static_cast<size_t>(cursor_), 1);
        return !ev.shift;
      default: break;
    }
  }
  if (ev.ctrl || ev.alt || static_cast<unsigned char>(ev.ch) < 32) return false;
  if (insert_ || cursor_ >= len) {
    if (maxLength_ > 0 && len >= maxLength_) {
      if (refused) *refused = true;
      return true;
    }
    text_.insert(static_cast<size_t>(cursor_), 1, ev.ch);
  } else {
    text_[static_cast<size_t>(cursor_)] = ev.ch;
  }
  ++cursor_;
  return true;
}

int LineEditor::scrollFor(int width) {
  if (width <= 0) return 0;
  if (cursor_ < scroll_) scroll_ = cursor_;
  if (cursor_ >= scroll_ + width) scroll_ = cursor_ - width + 1;
  scroll_ = std::max(0, std::min(scroll_, static_cast<int>(text_.size())));
  return scroll_;
}

}  // namespace pz::ui
