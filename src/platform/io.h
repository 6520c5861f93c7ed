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
  kIoReadFault = 30,  // the device failed while reading (not the end of the file)
  kIoSharingViolation = 32,
  kIoFileExists = 80,
  kIoReadPastEnd = 100,
  kIoWriteFailed = 101,
  kIoFileNotOpen = 103,
};

// The code for an errno value of a failed system call; for EIO and other device errors `writing`
// picks 101, reading 30. A read never answers 100 for a failure: callers take 100 for "the file
// ends here" and go on with what was read.
int ioCodeFromErrno(int err, bool writing = false);

}  // namespace pz::platform
