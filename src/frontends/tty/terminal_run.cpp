#include "frontends/tty/terminal_run.h"

#include "frontends/tty/tty_presenter.h"

namespace pz::tty {

int runTerminal(const std::function<int()>& program) {
  TtyPresenter presenter;
  if (!presenter.start()) return 2;
  ui::Application::instance().setPresenter(&presenter);
  const int rc = program();
  ui::Application::instance().setPresenter(nullptr);
  presenter.stop();
  return rc;
}

}  // namespace pz::tty
