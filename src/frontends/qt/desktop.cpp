#include "frontends/qt/desktop.h"

#include "frontends/qt/qt_presenter.h"

namespace pz::qtfront {

int runDesktop(int& argc, char** argv, const std::function<int()>& program) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("pzpokl");
  QtPresenter presenter;
  ui::Application::instance().setPresenter(&presenter);
  const int rc = program();
  ui::Application::instance().setPresenter(nullptr);
  return rc;
}

}  // namespace pz::qtfront
