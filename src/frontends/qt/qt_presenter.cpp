#include "frontends/qt/qt_presenter.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QColorDialog>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFont>
#include <QFontDialog>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QHideEvent>
#include <QMouseEvent>
#include <QMoveEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScreen>
#include <QUrl>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "platform/clock.h"
#include "platform/file.h"
#include "platform/io.h"
#include "platform/process.h"
#include "platform/text.h"
#include "ui/timer.h"

namespace pz::qtfront {

using ui::Application;

namespace {

QColor toQColor(ui::Color c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

QString toQString(const std::string& cp1250) { return QString::fromStdString(platform::cp1250ToUtf8(cp1250)); }

}  // namespace

bool translateKey(int key, Qt::KeyboardModifiers mods, const QString& text, ui::KeyEvent& out) {
  using namespace ui;
  out = KeyEvent{};
  out.ctrl = mods & Qt::ControlModifier;
  out.shift = mods & Qt::ShiftModifier;
  out.alt = mods & Qt::AltModifier;
  const bool keypad = mods & Qt::KeypadModifier;
  switch (key) {
    case Qt::Key_Shift: case Qt::Key_Control: case Qt::Key_Alt: case Qt::Key_Meta: case Qt::Key_AltGr:
      return false;
    case Qt::Key_Return: case Qt::Key_Enter: out.vk = kVkReturn; break;
    case Qt::Key_Escape: out.vk = kVkEscape; break;
    case Qt::Key_Tab: out.vk = kVkTab; break;
    case Qt::Key_Backtab: out.vk = kVkTab; out.shift = true; break;
    case Qt::Key_Backspace: out.vk = kVkBack; break;
    case Qt::Key_Insert: out.vk = kVkInsert; break;
    case Qt::Key_Delete: out.vk = kVkDelete; break;
    case Qt::Key_Home: out.vk = kVkHome; break;
    case Qt::Key_End: out.vk = kVkEnd; break;
    case Qt::Key_PageUp: out.vk = kVkPrior; break;
    case Qt::Key_PageDown: out.vk = kVkNext; break;
    case Qt::Key_Left: out.vk = kVkLeft; break;
    case Qt::Key_Up: out.vk = kVkUp; break;
    case Qt::Key_Right: out.vk = kVkRight; break;
    case Qt::Key_Down: out.vk = kVkDown; break;
    case Qt::Key_CapsLock: out.vk = kVkCapital; break;
    case Qt::Key_Space: out.vk = kVkSpace; break;
    case Qt::Key_Plus: if (keypad) out.vk = kVkAdd; break;
    case Qt::Key_Minus: if (keypad) out.vk = kVkSubtract; break;
    case Qt::Key_Asterisk: if (keypad) out.vk = kVkMultiply; break;
    default:
      if (key >= Qt::Key_F1 && key <= Qt::Key_F12) out.vk = kVkF1 + (key - Qt::Key_F1);
      else if (key >= Qt::Key_A && key <= Qt::Key_Z) out.vk = kVkA + (key - Qt::Key_A);
      else if (key >= Qt::Key_0 && key <= Qt::Key_9) out.vk = kVk0 + (key - Qt::Key_0);
      break;
  }
  if (!out.ctrl && !out.alt && text.size() == 1 && text[0].unicode() >= 32) {
    std::string cp = platform::utf8ToCp1250(text.toStdString());
    if (cp.size() == 1) out.ch = cp[0];
  }
  return out.vk != 0 || out.ch != 0;
}

FormWidget::FormWidget(ui::Form& form, QtPresenter& presenter) : form_(form), presenter_(presenter) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  syncGeometry();
}

void FormWidget::syncGeometry() {
  setWindowTitle(toQString(form_.caption));
  const int w = form_.cols() * form_.look.cellWidth, h = form_.rows() * form_.look.cellHeight;
  if (form_.resizable) {
    setMinimumSize(8 * std::max(1, form_.look.cellWidth), 8 * std::max(1, form_.look.cellHeight));
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (size() != QSize(w, h)) resize(w, h);
  } else {
    setFixedSize(w, h);
  }
  // A stored position that would put the window (its title bar above all) off the work area of
  // the screen is moved onto it, so that the window can always be seen and dragged.
  if (const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen()) {
    const QRect a = s->availableGeometry();
    form_.geometry.x = std::clamp(form_.geometry.x, a.left(), std::max(a.left(), a.right() - 100));
    form_.geometry.y = std::clamp(form_.geometry.y, a.top(), std::max(a.top(), a.bottom() - 100));
  }
  synchronizuji_ = true;
  move(form_.geometry.x, form_.geometry.y);
  synchronizuji_ = false;
}

void FormWidget::paintEvent(QPaintEvent*) {
  painted_ = ui::render(form_);
  const int cw = form_.look.cellWidth, ch = form_.look.cellHeight;
  QPainter p(this);
  QFont font(QString::fromStdString(form_.look.fontName));
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPixelSize(std::max(6, ch * 3 / 4));
  font.setItalic(form_.look.fontItalic);
  QFont bold = font;
  bold.setBold(true);
  const int baseline = (ch + QFontMetrics(font).ascent() - QFontMetrics(font).descent()) / 2;
  for (int r = 0; r < painted_.rows(); ++r) {
    for (int c = 0; c < painted_.cols(); ++c) {
      const ui::Cell& cell = painted_.at(c, r);
      const QRect rect(c * cw, r * ch, cw, ch);
      p.fillRect(rect, toQColor(cell.bg));
      if (cell.ch == U' ') continue;
      p.setPen(toQColor(cell.fg));
      p.setFont(cell.bold ? bold : font);
      p.drawText(QPoint(rect.x(), rect.y() + baseline), QString::fromUcs4(&cell.ch, 1));
    }
  }
  // Document pictures, drawn into their image rectangle keeping their proportions. The bytes come
  // through the platform layer; a picture that cannot be read leaves the rectangle empty.
  for (const auto& c : form_.controls()) {
    const auto* img = dynamic_cast<const ui::Image*>(c.get());
    if (!img || !img->visible || img->picturePath.empty()) continue;
    if (img->picturePath != obrazekCesta_) {
      obrazekCesta_ = img->picturePath;
      std::string bytes;
      obrazek_ = QImage();
      if (platform::readWholeFile(img->picturePath, bytes, platform::Share::DenyNone) == platform::kIoOk)
        obrazek_.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<int>(bytes.size()));
    }
    if (obrazek_.isNull()) continue;
    const ui::CellRect a = form_.cellsOf(*img);
    const QRect box(a.col * cw, a.row * ch, a.cols * cw, a.rows * ch);
    QImage scaled = obrazek_.scaled(box.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    p.drawImage(box.topLeft(), scaled);
  }
  if (painted_.cursorCol >= 0 && hasFocus())
    p.fillRect(painted_.cursorCol * cw, painted_.cursorRow * ch + ch - 3, cw, 2, toQColor(form_.fontColor));
}

void FormWidget::keyPressEvent(QKeyEvent* ev) {
  ui::KeyEvent k;
  if (!translateKey(ev->key(), ev->modifiers(), ev->text(), k)) return;
  if (Application::instance().topForm() == &form_) Application::instance().dispatchKey(k);
  presenter_.afterEvent();
}

void FormWidget::mouse(QMouseEvent* ev, bool doubleClick) {
  if (Application::instance().topForm() != &form_) return;
  ui::MouseEvent m;
  m.button = ev->button() == Qt::RightButton ? ui::MouseButton::Right
             : ev->button() == Qt::MiddleButton ? ui::MouseButton::Middle
                                                : ui::MouseButton::Left;
  m.doubleClick = doubleClick;
  m.x = static_cast<int>(ev->position().x());
  m.y = static_cast<int>(ev->position().y());
  m.col = m.x / std::max(1, form_.look.cellWidth);
  m.row = m.y / std::max(1, form_.look.cellHeight);
  m.ctrl = ev->modifiers() & Qt::ControlModifier;
  m.shift = ev->modifiers() & Qt::ShiftModifier;
  m.alt = ev->modifiers() & Qt::AltModifier;
  Application::instance().dispatchMouse(m);
  presenter_.afterEvent();
}

void FormWidget::mousePressEvent(QMouseEvent* ev) {
  stisk_ = ev->button() == Qt::LeftButton ? ev->position().toPoint() : QPoint(-1, -1);
  mouse(ev, false);
}

// A left button released in another cell than it went down in is a drag (moving or sizing a
// picture panel).
void FormWidget::mouseReleaseEvent(QMouseEvent* ev) {
  const QPoint od = std::exchange(stisk_, QPoint(-1, -1));
  if (od.x() < 0 || ev->button() != Qt::LeftButton || Application::instance().topForm() != &form_) return;
  const int cw = std::max(1, form_.look.cellWidth), ch = std::max(1, form_.look.cellHeight);
  const QPoint kam = ev->position().toPoint();
  if (od.x() / cw == kam.x() / cw && od.y() / ch == kam.y() / ch) return;
  ui::MouseEvent m;
  m.drag = true;
  m.fromX = od.x();
  m.fromY = od.y();
  m.fromCol = od.x() / cw;
  m.fromRow = od.y() / ch;
  m.x = kam.x();
  m.y = kam.y();
  m.col = kam.x() / cw;
  m.row = kam.y() / ch;
  Application::instance().dispatchMouse(m);
  presenter_.afterEvent();
}

// The wheel scrolls as the arrow keys do, three lines a notch, as lists scroll on a desktop. A
// touchpad's small steps add up to whole notches.
void FormWidget::wheelEvent(QWheelEvent* ev) {
  ev->accept();
  if (Application::instance().topForm() != &form_) return;
  koleckoZbytek_ += ev->angleDelta().y();
  ui::KeyEvent k;
  k.vk = koleckoZbytek_ > 0 ? ui::kVkUp : ui::kVkDown;
  int radku = std::abs(koleckoZbytek_) / 120 * 3;
  koleckoZbytek_ %= 120;
  for (; radku > 0; --radku) Application::instance().dispatchKey(k);
  presenter_.afterEvent();
}

// A popup closed by a click outside it answers as Esc does.
void FormWidget::hideEvent(QHideEvent* ev) {
  QWidget::hideEvent(ev);
  if (!form_.popupMenu || form_.closeRequested() || Application::instance().topForm() != &form_) return;
  Application::instance().dispatchKey(ui::KeyEvent{ui::kVkEscape});
  presenter_.afterEvent();
}

// The window manager moved the window: the form keeps its place, which it stores like its size.
void FormWidget::moveEvent(QMoveEvent* ev) {
  QWidget::moveEvent(ev);
  if (synchronizuji_ || !isVisible()) return;
  form_.geometry.x = pos().x();
  form_.geometry.y = pos().y();
}

void FormWidget::resizeEvent(QResizeEvent* ev) {
  QWidget::resizeEvent(ev);
  if (!form_.resizable) return;
  // The size syncGeometry set from the form itself is no change of the user's.
  const int cw = std::max(1, form_.look.cellWidth), ch = std::max(1, form_.look.cellHeight);
  if (ev->size() == QSize(form_.cols() * cw, form_.rows() * ch)) return;
  form_.resizeTo(ev->size().width(), ev->size().height());
  update();
}
void FormWidget::mouseDoubleClickEvent(QMouseEvent* ev) { mouse(ev, true); }

// The window's close button acts as Esc, which every window of the system answers.
void FormWidget::closeEvent(QCloseEvent* ev) {
  ev->ignore();
  if (Application::instance().topForm() == &form_) {
    Application::instance().dispatchKey(ui::KeyEvent{ui::kVkEscape});
    presenter_.afterEvent();
  }
}

QtPresenter::QtPresenter() {
  timer_.setSingleShot(true);
  QObject::connect(&timer_, &QTimer::timeout, [this] {
    ui::TimerQueue::instance().fireDue(platform::clock().monotonicMs());
    afterEvent();
  });
  platform::setUrlOpener([](const std::string& url) { return QDesktopServices::openUrl(QUrl(QString::fromStdString(url))); });
}

QtPresenter::~QtPresenter() {
  // Owned windows are children of their owner's widget: each widget is freed once, by its slot.
  for (auto& [form, w] : widgets_)
    if (w) w->setParent(nullptr);
  platform::setUrlOpener(nullptr);
}

FormWidget* QtPresenter::widgetFor(const ui::Form& form) const {
  auto it = widgets_.find(&form);
  return it == widgets_.end() ? nullptr : it->second.get();
}

FormWidget& QtPresenter::widget(ui::Form& form) {
  auto& slot = widgets_[&form];
  if (!slot) slot = std::make_unique<FormWidget>(form, *this);
  slot->syncGeometry();
  return *slot;
}

void QtPresenter::showModeless(ui::Form& form) {
  FormWidget& w = widget(form);
  w.setAttribute(Qt::WA_ShowWithoutActivating);
  w.show();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtPresenter::hideModeless(ui::Form& form) {
  if (FormWidget* w = widgetFor(form)) w->hide();
}

// The window below a modal one owns it: a menu or choice list is a frameless popup of it (no
// task-bar entry, closed by Esc or a click outside), any other window a dialog transient for it.
void QtPresenter::pripojKVlastnikovi(ui::Form& form, FormWidget& w) {
  FormWidget* vlastnik = nullptr;
  const auto& open = Application::instance().openForms();
  for (auto it = open.rbegin(); it != open.rend(); ++it)
    if (*it != &form && !(*it)->isModeless()) {
      vlastnik = widgetFor(**it);
      break;
    }
  const Qt::WindowFlags druh = form.popupMenu ? Qt::Popup | Qt::FramelessWindowHint : Qt::WindowFlags(Qt::Dialog);
  if (!vlastnik) return;
  if (w.parentWidget() == vlastnik && (w.windowFlags() & druh) == druh) return;
  w.setParent(vlastnik, druh);
  w.syncGeometry();
}

void QtPresenter::runModal(ui::Form& form) {
  FormWidget* w = &widget(form);
  pripojKVlastnikovi(form, *w);
  w->setWindowModality(Qt::ApplicationModal);
  w->show();
  w->raise();
  w->activateWindow();
  w->setFocus();
  QEventLoop loop;
  loops_.push_back({&form, &loop});
  scheduleTimers();
  while (!form.closeRequested()) loop.exec();
  loops_.pop_back();
  w->hide();
  // The modal window below takes the keys again.
  const auto& open = Application::instance().openForms();
  for (auto it = open.rbegin(); it != open.rend(); ++it) {
    if (*it == &form || (*it)->isModeless()) continue;
    if (FormWidget* bw = widgetFor(**it)) {
      bw->activateWindow();
      bw->setFocus();
    }
    break;
  }
}

void QtPresenter::afterEvent() {
  for (auto& l : loops_)
    if (l.form->closeRequested()) l.loop->quit();
  for (auto& [form, w] : widgets_)
    if (w->isVisible()) {
      if (w->windowTitle() != toQString(form->caption)) w->syncGeometry();
      w->update();
    }
  scheduleTimers();
}

void QtPresenter::scheduleTimers() {
  const int64_t due = ui::TimerQueue::instance().nextDue();
  if (due < 0) {
    timer_.stop();
    return;
  }
  timer_.start(static_cast<int>(std::clamp<int64_t>(due - platform::clock().monotonicMs(), 0, 1 << 30)));
}

void QtPresenter::processPending() {
  QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  afterEvent();
}

void QtPresenter::beep() { QApplication::beep(); }

std::string QtPresenter::clipboardText() {
  return platform::utf8ToCp1250(QGuiApplication::clipboard()->text().toStdString());
}

void QtPresenter::setClipboardText(const std::string& cp1250) {
  QGuiApplication::clipboard()->setText(toQString(cp1250));
}

int QtPresenter::screenDpi() {
  QScreen* s = QGuiApplication::primaryScreen();
  return s ? static_cast<int>(s->logicalDotsPerInch()) : 96;
}

ui::Rect QtPresenter::workArea() {
  QScreen* s = QGuiApplication::primaryScreen();
  if (!s) return {};
  QRect r = s->availableGeometry();
  return {r.x(), r.y(), r.width(), r.height()};
}

bool QtPresenter::chooseFont(ui::FontChoice& font) {
  QFont initial(toQString(font.name), font.size);
  initial.setBold(font.bold);
  initial.setItalic(font.italic);
  bool ok = false;
  QFont f = QFontDialog::getFont(&ok, initial, nullptr, QString::fromUtf8("Písmo"), QFontDialog::MonospacedFonts);
  if (!ok) return false;
  font.name = platform::utf8ToCp1250(f.family().toStdString());
  font.size = f.pointSize() > 0 ? f.pointSize() : font.size;
  font.bold = f.bold();
  font.italic = f.italic();
  return true;
}

bool QtPresenter::chooseColor(ui::Color& color) {
  QColor c = QColorDialog::getColor(toQColor(color), nullptr, QString::fromUtf8("Barva"));
  if (!c.isValid()) return false;
  color = static_cast<ui::Color>(c.red() | (c.green() << 8) | (c.blue() << 16));
  return true;
}

}  // namespace pz::qtfront
