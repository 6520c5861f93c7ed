// The desktop presenter: one top-level Qt window per shown form, at the form's pixel position,
// painting the cells the screen model renders in the form's font and colours.
#pragma once

#include <QApplication>
#include <QImage>
#include <QTimer>
#include <QWidget>

#include <map>
#include <memory>
#include <vector>

#include "ui/app.h"
#include "ui/cells.h"
#include "ui/form.h"

namespace pz::qtfront {

// Installs Qt's Czech translations (colour, font, file and printer dialogs) into the application;
// false when they are not installed (Debian's qt6-translations-l10n).
bool NactiCeskePreklady(QCoreApplication& app);

class QtPresenter;

class FormWidget : public QWidget {
 public:
  FormWidget(ui::Form& form, QtPresenter& presenter);
  ui::Form& form() const { return form_; }
  // The cells painted last: exactly what the screen model rendered.
  const ui::CellGrid& paintedCells() const { return painted_; }
  void syncGeometry();

 protected:
  void paintEvent(QPaintEvent*) override;
  void keyPressEvent(QKeyEvent* ev) override;
  void mousePressEvent(QMouseEvent* ev) override;
  void mouseDoubleClickEvent(QMouseEvent* ev) override;
  void mouseReleaseEvent(QMouseEvent* ev) override;
  void wheelEvent(QWheelEvent* ev) override;
  void moveEvent(QMoveEvent* ev) override;
  void hideEvent(QHideEvent* ev) override;
  void resizeEvent(QResizeEvent* ev) override;
  void closeEvent(QCloseEvent* ev) override;
  bool focusNextPrevChild(bool) override { return false; }  // Tab belongs to the form

 private:
  void mouse(QMouseEvent* ev, bool doubleClick);
  ui::Form& form_;
  QPoint stisk_{-1, -1};  // where the left button went down, for a drag
  int koleckoZbytek_ = 0;
  bool synchronizuji_ = false;  // the move comes from the form's own geometry  // wheel turn (eighths of a degree) not yet a whole notch
  QtPresenter& presenter_;
  ui::CellGrid painted_;
  std::string obrazekCesta_;  // the picture loaded last, so that a redraw does not read it again
  QImage obrazek_;
};

// Translates a Qt key press into the model's key event; false for a lone modifier key.
bool translateKey(int qtKey, Qt::KeyboardModifiers mods, const QString& text, ui::KeyEvent& out);

class QtPresenter : public ui::Presenter {
 public:
  // A QApplication must exist.
  QtPresenter();
  ~QtPresenter() override;

  void runModal(ui::Form& form) override;
  void showModeless(ui::Form& form) override;
  void hideModeless(ui::Form& form) override;
  void processPending() override;
  void beep() override;
  std::string clipboardText() override;
  void setClipboardText(const std::string& cp1250) override;
  int screenDpi() override;
  ui::Rect workArea() override;
  bool chooseFont(ui::FontChoice& font) override;
  bool chooseColor(ui::Color& color) override;
  bool hasSystemDialogs() const override { return true; }

  FormWidget* widgetFor(const ui::Form& form) const;
  // After every event: ends loops of closed forms, repaints, schedules the next timer.
  void afterEvent();

 private:
  void scheduleTimers();
  FormWidget& widget(ui::Form& form);
  void pripojKVlastnikovi(ui::Form& form, FormWidget& w);
  std::map<const ui::Form*, std::unique_ptr<FormWidget>> widgets_;
  struct Loop {
    ui::Form* form;
    QEventLoop* loop;
  };
  std::vector<Loop> loops_;
  QTimer timer_;
};

}  // namespace pz::qtfront
