// Printing on the desktop: the system's printers (CUPS) through QPrinter, the printer dialog, and
// a PDF file as a printer. The drive table's "PRN" naming a file ending in ".pdf" makes every
// print go into that file; a machine without printers prints into "print.pdf" of the working
// directory.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/print.h"

namespace pz::qtfront {

class QtPrintService : public platform::PrintService {
 public:
  std::vector<std::string> printers() override;
  std::string defaultPrinter() override;
  bool choosePrinter(std::string& name) override;
  std::unique_ptr<platform::PrintCanvas> canvas(const std::string& printer) override;
};

// A canvas that prints into the PDF file at a native path.
std::unique_ptr<platform::PrintCanvas> pdfCanvas(const std::string& nativePath);

}  // namespace pz::qtfront
