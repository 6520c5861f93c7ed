#include "frontends/qt/qt_print.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "platform/io.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace pz::qtfront {

namespace {

QString q(const std::string& cp1250) { return QString::fromStdString(platform::cp1250ToUtf8(cp1250)); }
std::string cp(const QString& s) { return platform::utf8ToCp1250(s.toStdString()); }

bool endsWithPdf(const std::string& path) {
  return path.size() > 4 && QString::fromStdString(path.substr(path.size() - 4)).toLower() == ".pdf";
}

class QtCanvas : public platform::PrintCanvas {
 public:
  explicit QtCanvas(std::unique_ptr<QPrinter> printer) : printer_(std::move(printer)) {}
  int begin(const std::string& title) override {
    printer_->setDocName(q(title));
    printer_->setFullPage(false);
    return painter_.begin(printer_.get()) ? platform::kIoOk : platform::kIoWriteFailed;
  }
  void newPage() override { printer_->newPage(); }
  void setFont(const platform::LogicalFont& f) override {
    QFont font(q(f.faceName));
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(std::max(1, f.height));
    font.setBold(f.weight >= 600);
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    font.setStrikeOut(f.strikeOut);
    painter_.setFont(font);
    pitch_ = f.width;
  }
  void text(int x, int y, std::string_view cp1250) override {
    const QString t = q(std::string(cp1250));
    const int baseline = y + painter_.fontMetrics().ascent();
    if (pitch_ <= 0) {
      painter_.drawText(x, baseline, t);
      return;
    }
    // Every character in its own cell, so the columns of a report line up in any face.
    for (qsizetype i = 0; i < t.size(); ++i)
      if (t[i] != u' ') painter_.drawText(x + static_cast<int>(i) * pitch_, baseline, QString(t[i]));
  }
  void image(int left, int top, int right, int bottom, const std::string& file) override {
    QImage img(QString::fromStdString(platform::paths().toNative(file)));
    if (!img.isNull()) painter_.drawImage(QRect(left, top, right - left, bottom - top), img);
  }
  int end() override { return painter_.end() ? platform::kIoOk : platform::kIoWriteFailed; }
  int dpiX() const override { return std::max(72, printer_->resolution()); }
  int dpiY() const override { return std::max(72, printer_->resolution()); }
  int pageHeight() const override { return printer_->pageLayout().paintRectPixels(printer_->resolution()).height(); }

 private:
  std::unique_ptr<QPrinter> printer_;
  QPainter painter_;
  int pitch_ = 0;
};

std::string chosen;  // the printer of "Nastavení tiskárny" for this run

}  // namespace

std::unique_ptr<platform::PrintCanvas> pdfCanvas(const std::string& nativePath) {
  auto p = std::make_unique<QPrinter>(QPrinter::HighResolution);
  p->setOutputFormat(QPrinter::PdfFormat);
  p->setOutputFileName(QString::fromStdString(nativePath));
  return std::make_unique<QtCanvas>(std::move(p));
}

std::vector<std::string> QtPrintService::printers() {
  std::vector<std::string> r;
  for (const QString& n : QPrinterInfo::availablePrinterNames()) r.push_back(cp(n));
  return r;
}

std::string QtPrintService::defaultPrinter() { return cp(QPrinterInfo::defaultPrinterName()); }

bool QtPrintService::choosePrinter(std::string& name) {
  // A run without widgets (headless into a PDF file) has no dialog: the list of printers serves.
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return false;
  QPrinter printer;
  if (!name.empty()) printer.setPrinterName(q(name));
  QPrintDialog dialog(&printer);
  if (dialog.exec() != QDialog::Accepted) return false;
  name = printer.outputFormat() == QPrinter::PdfFormat ? cp(printer.outputFileName()) : cp(printer.printerName());
  chosen = name;
  return true;
}

std::unique_ptr<platform::PrintCanvas> QtPrintService::canvas(const std::string& printer) {
  const std::string prn = platform::paths().portPath("PRN");
  if (endsWithPdf(prn)) return pdfCanvas(prn);
  std::string name = printer.empty() ? chosen : printer;
  if (endsWithPdf(name)) return pdfCanvas(platform::paths().toNative(name));
  const QStringList names = QPrinterInfo::availablePrinterNames();
  if (name.empty() || !names.contains(q(name))) name = defaultPrinter();
  if (name.empty()) return pdfCanvas(platform::paths().workDir() + "/print.pdf");
  auto p = std::make_unique<QPrinter>(QPrinterInfo::printerInfo(q(name)), QPrinter::HighResolution);
  return std::make_unique<QtCanvas>(std::move(p));
}

}  // namespace pz::qtfront
