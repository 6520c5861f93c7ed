// The desktop presenter on Qt's offscreen platform: keys through Qt's event system reach the
// screen model with the system's key numbers, and the window paints the model's cells.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QFile>
#include <QLibraryInfo>
#include <QScreen>
#include <QTimer>
#include <QWheelEvent>

#include <cstdlib>
#include <memory>
#include <vector>

#include "frontends/qt/qt_presenter.h"
#include "frontends/qt/qt_print.h"
#include "reports/printing.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "support/tempdir.h"
#include "ui/app.h"
#include "ui/form.h"

namespace pz::qtfront {
namespace {

QApplication& app() {
  static int argc = 1;
  static char name[] = "test_qt";
  static char* argv[] = {name, nullptr};
  // Never destroyed: Qt's own statics may already be gone when those of the test end.
  static QApplication* a = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);  // a run under Xvfb asks for "xcb"
    return new QApplication(argc, argv);
  }();
  return *a;
}

// Records the key numbers it receives; Esc closes it.
class KeyProbe : public ui::Form {
 public:
  KeyProbe() : ui::Form("TfProbe", "Probe") { geometry = {10, 10, 320, 96}; }
  std::vector<int> numbers;

 protected:
  bool onKey(const ui::KeyEvent& ev) override {
    numbers.push_back(ev.number());
    if (ev.vk == ui::kVkEscape) close();
    return true;
  }
};

void post(QWidget* w, int key, Qt::KeyboardModifiers mods, const QString& text = {}) {
  QCoreApplication::postEvent(w, new QKeyEvent(QEvent::KeyPress, key, mods, text));
}

TEST(Desktop, KeysReachTheModelWithTheSystemNumbers) {
  app();
  QtPresenter presenter;
  ui::Application::instance().setPresenter(&presenter);
  KeyProbe probe;
  QTimer::singleShot(0, [&] {
    QWidget* w = presenter.widgetFor(probe);
    ASSERT_NE(w, nullptr);
    post(w, Qt::Key_F3, Qt::ControlModifier);
    post(w, Qt::Key_F1, Qt::AltModifier);
    post(w, Qt::Key_A, Qt::ShiftModifier, "A");
    post(w, Qt::Key_Plus, Qt::KeypadModifier, "+");
    post(w, Qt::Key_Escape, Qt::NoModifier);
  });
  probe.showModal();
  ui::Application::instance().setPresenter(nullptr);
  EXPECT_EQ(probe.numbers, (std::vector<int>{1114, 3112, 2065, 107, 27}));
}

// The wheel scrolls a window as the arrow keys do: three lines a notch, up and down.
TEST(Desktop, TheWheelScrollsThreeLinesANotch) {
  app();
  QtPresenter presenter;
  ui::Application::instance().setPresenter(&presenter);
  KeyProbe probe;
  QTimer::singleShot(0, [&] {
    QWidget* w = presenter.widgetFor(probe);
    ASSERT_NE(w, nullptr);
    const auto kolecko = [w](int uhel) {
      QCoreApplication::postEvent(w, new QWheelEvent(QPointF(5, 5), QPointF(15, 15), QPoint(), QPoint(0, uhel),
                                                     Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false));
    };
    kolecko(-120);    // one notch towards the user: down
    kolecko(60);      // half a notch up: nothing yet
    kolecko(60);      // the other half: up
    post(w, Qt::Key_Escape, Qt::NoModifier);
  });
  probe.showModal();
  ui::Application::instance().setPresenter(nullptr);
  EXPECT_EQ(probe.numbers, (std::vector<int>{40, 40, 40, 38, 38, 38, 27}));
}

TEST(Desktop, WindowPaintsTheModelsCellsAndIsNotBlank) {
  app();
  QtPresenter presenter;
  ui::Application::instance().setPresenter(&presenter);
  KeyProbe main;
  auto& title = main.add<ui::Label>("Label1");
  title.geometry = {8, 8, 300, 16};
  title.text = platform::cz("V A L U T O V Á   P O K L A D N A");
  title.fontColor = ui::kNavy;
  auto& button = main.add<ui::Button>("bPZPokl");
  button.geometry = {40, 40, 240, 16};
  button.text = platform::cz("Valutová pokladna");
  QImage shot;
  ui::CellGrid painted;
  QTimer::singleShot(0, [&] {
    FormWidget* w = presenter.widgetFor(main);
    ASSERT_NE(w, nullptr);
    shot = w->grab().toImage();
    painted = w->paintedCells();
    post(w, Qt::Key_Escape, Qt::NoModifier);
  });
  main.showModal();
  ui::Application::instance().setPresenter(nullptr);
  ASSERT_FALSE(shot.isNull());
  EXPECT_EQ(shot.width(), main.cols() * main.look.cellWidth);
  // Not blank: the background colour and the text colours both appear.
  const QRgb first = shot.pixel(0, 0);
  bool other = false;
  for (int y = 0; y < shot.height() && !other; ++y)
    for (int x = 0; x < shot.width() && !other; ++x) other = shot.pixel(x, y) != first;
  EXPECT_TRUE(other);
  // What was painted is exactly what the headless presenter prints for the same form.
  ui::CellGrid expected = ui::render(main);
  ASSERT_EQ(painted.rows(), expected.rows());
  for (int r = 0; r < expected.rows(); ++r) EXPECT_EQ(painted.rowText(r), expected.rowText(r));
}

TEST(Desktop, DocumentPictureIsDrawnIntoItsImageRectangle) {
  app();
  test::TempDir dir;
  platform::paths().clear();
  platform::paths().setWorkDir(dir.str());
  QImage red(40, 40, QImage::Format_RGB32);
  red.fill(QColor(255, 0, 0));
  ASSERT_TRUE(red.save(QString::fromStdString((dir.path() / "doklad.png").string()), "PNG"));
  QtPresenter presenter;
  ui::Application::instance().setPresenter(&presenter);
  KeyProbe form;
  auto& img = form.add<ui::Image>("Image1");
  img.geometry = {160, 16, 80, 64};
  img.picturePath = "doklad.png";
  QImage shot;
  QTimer::singleShot(0, [&] {
    FormWidget* w = presenter.widgetFor(form);
    shot = w->grab().toImage();
    post(w, Qt::Key_Escape, Qt::NoModifier);
  });
  form.showModal();
  ui::Application::instance().setPresenter(nullptr);
  ASSERT_FALSE(shot.isNull());
  EXPECT_EQ(QColor(shot.pixel(200, 48)), QColor(255, 0, 0));   // inside the picture
  EXPECT_NE(QColor(shot.pixel(20, 48)), QColor(255, 0, 0));    // the rest of the window
}

TEST(Desktop, KeyTranslationKeepsCzechCharactersAndDropsLoneModifiers) {
  ui::KeyEvent k;
  EXPECT_TRUE(translateKey(0, Qt::NoModifier, QString::fromUtf8("ř"), k));
  EXPECT_EQ(k.ch, platform::cz("ř")[0]);
  EXPECT_FALSE(translateKey(Qt::Key_Control, Qt::ControlModifier, {}, k));
  EXPECT_TRUE(translateKey(Qt::Key_Tab, Qt::NoModifier, "\t", k));
  EXPECT_EQ(k.ch, 0);  // Tab moves the focus, it types nothing
  EXPECT_TRUE(translateKey(Qt::Key_Backtab, Qt::ShiftModifier, {}, k));
  EXPECT_EQ(k.number(), 2009);
}

// A window moved by the window manager keeps its new place in the form (which stores it like its
// size), and a place off the screen's work area is moved onto it.
TEST(Desktop, AMovedWindowKeepsItsPlaceAndAPlaceOffTheScreenIsMovedOnIt) {
  app();
  QtPresenter presenter;
  ui::Application::instance().setPresenter(&presenter);
  KeyProbe probe;
  probe.geometry.x = 50000;
  probe.geometry.y = -300;  // the title bar above the screen
  QRect pracovni, okno;
  ui::Rect poPresunu;
  QTimer::singleShot(0, [&] {
    QWidget* w = presenter.widgetFor(probe);
    ASSERT_NE(w, nullptr);
    pracovni = w->screen()->availableGeometry();
    okno = QRect(w->pos(), w->size());
    w->move(pracovni.left() + 123, pracovni.top() + 77);
    poPresunu = probe.geometry;
    post(w, Qt::Key_Escape, Qt::NoModifier);
  });
  probe.showModal();
  ui::Application::instance().setPresenter(nullptr);
  EXPECT_GE(okno.top(), pracovni.top());
  EXPECT_LE(okno.left(), pracovni.right() - 100);
  EXPECT_EQ(poPresunu.x, pracovni.left() + 123);
  EXPECT_EQ(poPresunu.y, pracovni.top() + 77);
}

// A menu opened over a window is a frameless popup owned by it, and a dialog is transient for
// it; a popup hidden by a click outside answers as Esc.
TEST(Desktop, MenusArePopupsAndDialogsAreTransientForTheirOwner) {
  app();
  QtPresenter presenter;
  ui::Application::instance().setPresenter(&presenter);
  KeyProbe okno, nabidka, dialog;
  nabidka.popupMenu = true;
  QWidget *vlastnik = nullptr, *rodicNabidky = nullptr, *rodicDialogu = nullptr;
  Qt::WindowFlags priznakyNabidky, priznakyDialogu;
  QTimer::singleShot(0, [&] {
    vlastnik = presenter.widgetFor(okno);
    QTimer::singleShot(0, [&] {
      QWidget* w = presenter.widgetFor(nabidka);
      rodicNabidky = w->parentWidget();
      priznakyNabidky = w->windowFlags();
      w->hide();  // what a click outside the popup does
    });
    nabidka.showModal();
    QTimer::singleShot(0, [&] {
      QWidget* w = presenter.widgetFor(dialog);
      rodicDialogu = w->parentWidget();
      priznakyDialogu = w->windowFlags();
      post(w, Qt::Key_Escape, Qt::NoModifier);
    });
    dialog.showModal();
    post(vlastnik, Qt::Key_Escape, Qt::NoModifier);
  });
  okno.showModal();
  ui::Application::instance().setPresenter(nullptr);
  ASSERT_NE(vlastnik, nullptr);
  EXPECT_EQ(rodicNabidky, vlastnik);
  EXPECT_TRUE(priznakyNabidky.testFlag(Qt::Popup));
  EXPECT_TRUE(priznakyNabidky.testFlag(Qt::FramelessWindowHint));
  EXPECT_EQ(nabidka.numbers, std::vector<int>{27});  // the hidden popup answered Esc
  EXPECT_EQ(rodicDialogu, vlastnik);
  EXPECT_EQ(priznakyDialogu & Qt::WindowType_Mask, Qt::Dialog);
}

// Qt's own dialogs speak Czech: with Qt's translations installed, the colour dialog's texts are
// the Czech ones.
TEST(Desktop, QtsOwnDialogsSpeakCzech) {
  app();
  const QString adresar = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (!QFile::exists(adresar + "/qtbase_cs.qm")) GTEST_SKIP() << "no qtbase_cs.qm in " << adresar.toStdString();
  ASSERT_TRUE(NactiCeskePreklady(app()));
  const QString anglicky = "&Basic colors";
  const QString cesky = QCoreApplication::translate("QColorDialog", "&Basic colors");
  EXPECT_NE(cesky, anglicky);
  EXPECT_TRUE(cesky.contains(QString::fromUtf8("barvy"), Qt::CaseInsensitive)) << cesky.toStdString();
}

}  // namespace
}  // namespace pz::qtfront

namespace pz::qtfront {
namespace {

// A report printed into a PDF printer reads back with its Czech letters, and its columns line up
// as they do on the screen (the text of the PDF laid out by position).
TEST(Desktop, APdfPrintKeepsTheReportsLettersAndColumns) {
  app();
  if (std::system("command -v pdftotext >/dev/null 2>&1") != 0) GTEST_SKIP() << "pdftotext (poppler-utils) is missing";
  test::TempDir dir;
  const std::string pdf = dir.str() + "/out.pdf";
  const std::vector<std::string> lines = {platform::cz("Měna    Částka  Účet"), platform::cz("EUR     100,00  221"),
                                          platform::cz("Kč    2 345,67  211"), "\f" + platform::cz("Strana 2 žluťoučký")};
  reports::FontyTisku fonty;
  for (platform::LogicalFont* f : {&fonty.norm, &fonty.elit, &fonty.cond}) {
    f->height = 50;
    f->width = 30;
    f->faceName = "DejaVu Sans Mono";
  }
  auto canvas = pdfCanvas(pdf);
  ASSERT_TRUE(reports::TiskNaPlatno(*canvas, lines, {}, fonty));
  ASSERT_EQ(std::system(("pdftotext -layout '" + pdf + "' '" + dir.str() + "/out.txt'").c_str()), 0);
  const std::string text = dir.read("out.txt");
  EXPECT_NE(text.find("Strana 2 žluťoučký"), std::string::npos) << text;
  // Each report line on a line of its own, the amounts ending in one column.
  std::vector<std::string> found;
  for (const std::string key : {"Měna", "EUR", "Kč"}) {
    const size_t at = text.find(key);
    ASSERT_NE(at, std::string::npos) << text;
    const size_t start = text.rfind('\n', at) + 1;
    found.push_back(text.substr(start, text.find('\n', at) - start));
  }
  const auto column = [](const std::string& utf8, const std::string& part) {
    return QString::fromStdString(utf8.substr(0, utf8.find(part))).size();
  };
  EXPECT_EQ(column(found[1], "100,00"), column(found[2], "2 345,67") + 2) << text;
  EXPECT_EQ(column(found[0], "Účet"), column(found[1], "221")) << text;
  EXPECT_NE(text.find('\f'), std::string::npos) << "two pages: " << text;
}

}  // namespace
}  // namespace pz::qtfront
