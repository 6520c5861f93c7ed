// The terminal presenter: the same cells as every presenter, on a terminal (for work over SSH).
// Plain escape sequences rather than curses: the presenter needs the xterm modifier parameters
// of the function keys, which curses folds into a patchy set of key codes, and it draws only
// whole cells that the screen model has already laid out.
#pragma once

#include <string>
#include <vector>

#include "frontends/tty/compose.h"
#include "frontends/tty/keydecode.h"
#include "platform/terminal.h"
#include "ui/app.h"

namespace pz::tty {

class TtyPresenter : public ui::Presenter {
 public:
  // Takes the terminal; false when standard input and output are no terminal.
  bool start();
  void stop();
  ~TtyPresenter() override { stop(); }

  void runModal(ui::Form& form) override;
  void processPending() override;
  void beep() override;

 private:
  void draw();
  void deliver(const TtyEvent& ev);
  bool pollInput(int timeoutMs);
  // Alt with a cursor key moves the view of a window larger than the terminal; true when the key
  // was taken for that.
  bool panKey(const ui::KeyEvent& key);

  platform::Terminal term_;
  KeyDecoder decoder_;
  std::vector<TtyEvent> queue_;
  ui::CellGrid shown_;  // what the terminal shows now
  std::vector<Placement> placements_;
  Pan pan_;                           // the user's move of the top window's view
  const ui::Form* panned_ = nullptr;  // the window pan_ belongs to
  bool fullRedraw_ = true;
  int64_t lastClickMs_ = -1;
  int lastClickCol_ = -1, lastClickRow_ = -1;
};

}  // namespace pz::tty
