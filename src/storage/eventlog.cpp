#include "storage/eventlog.h"

#include <cstdio>

#include "platform/clock.h"
#include "platform/file.h"
#include "platform/io.h"
#include "platform/text.h"
#include "storage/interaction.h"
#include "storage/roots.h"
#include "storage/settings.h"

namespace pz::storage {
namespace {

std::string record(std::string_view line) {
  std::string rec(kLogRecord, '\0');
  const size_t n = std::min(line.size(), kLogRecord - 1);
  rec[0] = static_cast<char>(n);
  rec.replace(1, n, line.substr(0, n));
  return rec;
}

std::string errorText(std::string_view what, int code) {
  std::string user = settings().user;
  char num[16];
  std::snprintf(num, sizeof num, "%6d", code);
  return "Uz: " + user + " " + std::string(what) + " protokol: - err " + num;
}

}  // namespace

std::string PrefixProtokolu() {
  const platform::Date d = platform::clock().today();
  const platform::TimeOfDay t = platform::clock().now();
  char buf[40];
  std::snprintf(buf, sizeof buf, "%02d.%02d.%02d %2d:%02d:%02d ", d.day, d.month, d.year % 100, t.hour, t.minute, t.second);
  const std::string& user = settings().user;
  return std::string(buf) + settings().workstation + " " + (user.empty() ? std::string("  ") : user) + " ";
}

bool Zapis(std::string_view message) {
  const std::string path = DataCesta("PROTOKOL.PRT");
  platform::File f;
  // Created when missing; an existing log is never emptied, whatever else fails.
  int code = f.open(path, platform::Access::ReadWrite, platform::Share::DenyNone, platform::Create::OpenAlways);
  if (code != platform::kIoOk) {
    interaction().message(errorText("otvira", code));
    return false;
  }
  code = f.lockAppend();
  int64_t size = 0;
  if (code == platform::kIoOk) code = f.size(size);
  if (code == platform::kIoOk) {
    const std::string prefix = PrefixProtokolu();
    std::string bytes;
    // A new or empty log starts with a line of its own, so that its first record is no event.
    if (size < 2) bytes = record(prefix + platform::cz(" Prázdný protokol"));
    bytes += record(prefix + std::string(message));
    // A record torn by a crash is written over, never built on.
    const int64_t end = size < 2 ? 0 : size - size % static_cast<int64_t>(kLogRecord);
    code = f.writeAt(end, bytes.data(), bytes.size());
    f.unlockAppend();
  }
  if (code != platform::kIoOk) {
    interaction().message(errorText("pis", code));
    return false;
  }
  return true;
}

}  // namespace pz::storage
