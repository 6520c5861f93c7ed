#include "platform/print.h"

#include "platform/io.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace pz::platform {

namespace {

std::string quoted(std::string_view cp1250) {
  std::string q = "\"";
  for (char c : cp1250ToUtf8(std::string(cp1250))) {
    if (c == '"' || c == '\\') q += '\\';
    q += c;
  }
  return q + "\"";
}

PrintService* registered = nullptr;

}  // namespace

int TraceCanvas::begin(const std::string& title) {
  out_ = "BEGIN " + cp1250ToUtf8(title) + "\n";
  page_ = 1;
  return kIoOk;
}

void TraceCanvas::newPage() { out_ += "PAGE " + std::to_string(++page_) + "\n"; }

void TraceCanvas::setFont(const LogicalFont& f) {
  out_ += "FONT " + cp1250ToUtf8(f.faceName) + " " + std::to_string(f.height) + " " + std::to_string(f.width) + " " +
          std::to_string(f.weight) + " " + (f.italic ? "1" : "0") + "\n";
}

void TraceCanvas::text(int x, int y, std::string_view cp1250) {
  out_ += "TEXT " + std::to_string(x) + " " + std::to_string(y) + " " + quoted(cp1250) + "\n";
}

void TraceCanvas::image(int left, int top, int right, int bottom, const std::string& file) {
  out_ += "IMAGE " + std::to_string(left) + " " + std::to_string(top) + " " + std::to_string(right) + " " +
          std::to_string(bottom) + " " + cp1250ToUtf8(file) + "\n";
}

int TraceCanvas::end() {
  out_ += "END\n";
  File f;
  int code = f.openNative(path_, Access::Write, Share::DenyWrite, Create::OpenAlways);
  if (code == kIoOk) code = f.append(out_.data(), out_.size());
  out_.clear();
  return code;
}

std::unique_ptr<PrintCanvas> TracePrintService::canvas(const std::string&) {
  std::string path = paths().portPath("PRN");
  if (path.empty()) path = paths().workDir() + "/print.trace";
  return std::make_unique<TraceCanvas>(path);
}

PrintService& printService() {
  static TracePrintService trace;
  return registered ? *registered : trace;
}

void setPrintService(PrintService* s) { registered = s; }

int openPort(std::string_view port, File& out) {
  const std::string native = paths().portPath(port);
  if (native.empty()) return kIoPathNotFound;
  return out.openNative(native, Access::Write, Share::DenyNone, Create::OpenAlways);
}

}  // namespace pz::platform
