// Result codes of every file operation: the runtime's I/O error numbers, because the system shows
// them in its messages ("... err     32").
#pragma once

namespace pz::platform {

enum IoCode : int {
  kIoOk = 0,
  kIoFileNotFound = 2,
  kIoPathNotFound = 3,
  kIoTooManyOpenFiles = 4,
  kIoAccessDenied = 5,
  kIoSharingViolation = 32,
  kIoFileExists = 80,
  kIoReadPastEnd = 100,
  kIoWriteFailed = 101,
  kIoFileNotOpen = 103,
};

// The code for an errno value of a failed system call; `writing` picks 101 over 100 for EIO.
int ioCodeFromErrno(int err, bool writing = false);

}  // namespace pz::platform
