#include "storage/probes.h"

#include <string>

#include "platform/clock.h"
#include "platform/file.h"
#include "platform/fs.h"
#include "platform/io.h"
#include "storage/interaction.h"
#include "storage/textutil.h"

namespace pz::storage {

using namespace platform;

namespace {

constexpr int kCekaniMs = 100;             // one retry of a busy file
constexpr int64_t kNejdelsiCekaniMs = 60000;  // then the file counts as busy
constexpr size_t kNejdelsiRadek = 65536;   // a first line is never longer than this

bool jeOddelovac(char c) { return c == '\\' || c == '/'; }

}  // namespace

std::string TextChyby(int code, std::string_view name) {
  std::string text = "Err" + DoplnZleva(std::to_string(code), 5) + " ";
  text += name;
  return text;
}

int64_t VelikostSouboru(std::string_view name) {
  File f;
  int code = f.open(name, Access::Read, Share::DenyNone);
  if (code == kIoSharingViolation) {
    const int64_t konec = clock().monotonicMs() + kNejdelsiCekaniMs;
    bool volny = interaction().waitFor(TextChyby(code, name), kCekaniMs, [&] {
      code = f.open(name, Access::Read, Share::DenyNone);
      return code != kIoSharingViolation || clock().monotonicMs() >= konec;
    });
    if (!volny) return -kIoSharingViolation;
  }
  if (code != kIoOk) return -code;
  int64_t size = 0;
  code = f.size(size);
  return code == kIoOk ? size : -code;
}

int CtiPrvniRadek(std::string_view name, std::string& line) {
  line.clear();
  File f;
  int code = f.open(name, Access::Read, Share::DenyNone);
  if (code != kIoOk) return code;
  char buf[512];
  for (int64_t pos = 0; line.size() < kNejdelsiRadek;) {
    size_t got = 0;
    code = f.readAt(pos, buf, sizeof buf, &got);
    if (code != kIoOk && code != kIoReadPastEnd) {
      line.clear();
      return code;
    }
    for (size_t i = 0; i < got; ++i) {
      // A text file's line ends at CR or LF; Ctrl+Z marks the end of an old DOS text file.
      if (buf[i] == '\r' || buf[i] == '\n' || buf[i] == '\x1A') return kIoOk;
      line += buf[i];
    }
    if (got < sizeof buf) break;
    pos += static_cast<int64_t>(got);
  }
  return kIoOk;
}

std::string PrvniRadek(std::string_view name) {
  std::string line;
  int code = CtiPrvniRadek(name, line);
  if (code == kIoSharingViolation) interaction().message(TextChyby(code, name));
  return line;
}

void ZalozCestu(std::string_view path) {
  for (size_t i = 0; i < path.size(); ++i) {
    if (!jeOddelovac(path[i])) continue;
    std::string_view prefix = path.substr(0, i);
    if (prefix.empty() || jeOddelovac(prefix.back())) continue;  // the root, or "\\" of a share
    if (prefix.size() == 2 && prefix[1] == ':') continue;          // a drive
    // "\\server" alone is no directory that can be made.
    if (prefix.size() > 2 && jeOddelovac(prefix[0]) && jeOddelovac(prefix[1]) &&
        prefix.find_first_of("\\/", 2) == std::string_view::npos)
      continue;
    makeDirectory(prefix);
  }
}

}  // namespace pz::storage
