// Printing: the print canvas that the presenters implement, the list of printers, and the printer
// ports. The desktop prints through the system's printers (or into a PDF file); the terminal and
// headless runs write a trace of the canvas calls, one line per call, so that anyone without a
// printer sees exactly what would be printed:
//   BEGIN title
//   PAGE n                       (a new page; the first page needs none)
//   FONT face height width weight italic   (height and width in dots, as scaled for the device)
//   TEXT x y "text"              (UTF-8; the text starts at dot x of the line whose top is dot y)
//   IMAGE left top right bottom file
//   END
// The system printer of the trace is the file that the drive table maps to "PRN", "print.trace"
// in the working directory when it maps none; each document is appended.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file.h"

namespace pz::platform {

// The fields of a logical font as the font files store them; height and width here are device
// dots. A width of 0 lets the face decide the character pitch.
struct LogicalFont {
  int height = 0, width = 0, escapement = 0, orientation = 0, weight = 400;
  bool italic = false, underline = false, strikeOut = false;
  int charset = 0, outPrecision = 0, clipPrecision = 0, quality = 0, pitchAndFamily = 0;
  std::string faceName;  // at most 31 characters
};

class PrintCanvas {
 public:
  virtual ~PrintCanvas() = default;
  // An IoCode: 0 when the document could be started.
  virtual int begin(const std::string& title) = 0;
  virtual void newPage() = 0;
  virtual void setFont(const LogicalFont& font) = 0;
  // cp1250 text at dot x of the line whose top is dot y. With a font width above 0 every
  // character takes that many dots, so that the columns of a report line up.
  virtual void text(int x, int y, std::string_view cp1250) = 0;
  // A picture file (program path) stretched into the rectangle.
  virtual void image(int left, int top, int right, int bottom, const std::string& file) = 0;
  // An IoCode: 0 when the document went to the printer.
  virtual int end() = 0;
  virtual int dpiX() const = 0;
  virtual int dpiY() const = 0;
  // The printable height of a page in dots.
  virtual int pageHeight() const = 0;
};

class PrintService {
 public:
  virtual ~PrintService() = default;
  virtual std::vector<std::string> printers() = 0;
  virtual std::string defaultPrinter() = 0;
  // The system's printer dialog starting at `name`; false when the user cancels or there is none.
  virtual bool choosePrinter(std::string& name) {
    (void)name;
    return false;
  }
  // A canvas on the printer of that name (empty: the program's printer, else the default one).
  virtual std::unique_ptr<PrintCanvas> canvas(const std::string& printer) = 0;
};

// The trace canvas of the comment above, appending to a native file.
class TraceCanvas : public PrintCanvas {
 public:
  explicit TraceCanvas(std::string nativePath, int dpi = 300) : path_(std::move(nativePath)), dpi_(dpi) {}
  int begin(const std::string& title) override;
  void newPage() override;
  void setFont(const LogicalFont& font) override;
  void text(int x, int y, std::string_view cp1250) override;
  void image(int left, int top, int right, int bottom, const std::string& file) override;
  int end() override;
  int dpiX() const override { return dpi_; }
  int dpiY() const override { return dpi_; }
  int pageHeight() const override { return dpi_ * 1100 / 100; }  // 11 inches of an A4 page

 private:
  std::string path_;
  int dpi_;
  int page_ = 1;
  std::string out_;
};

// The service of the trace: one printer "PRN".
class TracePrintService : public PrintService {
 public:
  std::vector<std::string> printers() override { return {"PRN"}; }
  std::string defaultPrinter() override { return "PRN"; }
  std::unique_ptr<PrintCanvas> canvas(const std::string& printer) override;
};

// The registered service; the trace until a presenter registers its own.
PrintService& printService();
void setPrintService(PrintService* s);  // nullptr restores the trace

// Opens a printer port ("LPT1".."LPT4") as the drive table maps it, for writing at its end. A
// port the table does not name is "path not found" (3): never a new file called "LPT1".
int openPort(std::string_view port, File& out);

}  // namespace pz::platform
