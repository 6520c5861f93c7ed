// The lock server's request parser and lock table on any byte stream of three connections, cut
// into pieces anywhere: no crash, and when every connection has dropped no lock is left.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "pzlockd/server.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  pz::lockd::Server server;
  int64_t now = 0;
  // Each piece: a control byte (connection, length, time step), then up to 31 bytes of stream.
  for (size_t at = 0; at < size;) {
    const uint8_t control = data[at++];
    const int connection = control % 3;
    const size_t length = std::min<size_t>((control >> 2) & 31, size - at);
    now += (control & 0x80) ? 2500 : 10;
    (void)server.prijmi(connection, std::string_view(reinterpret_cast<const char*>(data + at), length), now);
    at += length;
    (void)server.tik(now);
    if (control == 0xFF) server.odpoj(connection);
  }
  for (int connection = 0; connection < 3; ++connection) server.odpoj(connection);
  if (server.tabulka().pocet() != 0) std::abort();
  return 0;
}
