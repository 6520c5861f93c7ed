#include "frontends/qt/desktop.h"

#include <cstdlib>

#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "frontends/qt/qt_presenter.h"
#include "frontends/qt/qt_print.h"
#include "platform/print.h"

namespace pz::qtfront {

bool NactiCeskePreklady(QCoreApplication& app) {
  // The program speaks Czech whatever the desktop's language, so Qt's own dialogs do too.
  static QTranslator preklad;
  if (!preklad.load(QLocale(QLocale::Czech, QLocale::CzechRepublic), "qtbase", "_",
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    return false;
  return app.installTranslator(&preklad);
}

int runDesktop(int& argc, char** argv, const std::function<int()>& program) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("pzpokl");
  NactiCeskePreklady(app);  // without Debian's qt6-translations-l10n they stay English
  QtPresenter presenter;
  QtPrintService tiskarny;
  ui::Application::instance().setPresenter(&presenter);
  platform::setPrintService(&tiskarny);
  const int rc = program();
  platform::setPrintService(nullptr);
  ui::Application::instance().setPresenter(nullptr);
  return rc;
}

int runWithPdfPrinter(int& argc, char** argv, const std::function<int()>& run) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  QtPrintService tiskarny;
  platform::setPrintService(&tiskarny);
  const int rc = run();
  platform::setPrintService(nullptr);
  return rc;
}

}  // namespace pz::qtfront
