#include "platform/file.h"

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "platform/fs.h"
#include "platform/io.h"
#include "platform/paths.h"
#include "platform/syscalls.h"
#include "support/faults.h"
#include "support/tempdir.h"

namespace pz::platform {
namespace {

class FileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    paths().clear();
    paths().setWorkDir(dir.str());
    dir.write("DATA/Kursy.dta", "0123456789");
  }
  void TearDown() override { paths().clear(); }
  test::TempDir dir;
};

// Runs `fn` in a child process that holds its result until the parent has checked; returns the
// child's open result through its exit status.
template <class Fn>
int inChild(Fn fn, int holdPipe[2]) {
  pid_t pid = fork();
  if (pid == 0) {
    int rc = fn();
    char c = static_cast<char>(rc);
    (void)!write(holdPipe[1], &c, 1);  // report, then wait until the parent lets go
    char go;
    (void)!read(holdPipe[0], &go, 1);
    _exit(0);
  }
  return pid;
}

TEST_F(FileTest, SharingBetweenProcessesFollowsWindowsRules) {
  int toParent[2], toChild[2];
  ASSERT_EQ(pipe(toParent), 0);
  ASSERT_EQ(pipe(toChild), 0);
  int childPipe[2] = {toChild[0], toParent[1]};
  pid_t pid = inChild(
      [] {
        static File f;  // stays open while the child waits
        return f.open("data\\kursy.dta", Access::Read, Share::DenyNone);
      },
      childPipe);
  char rc;
  ASSERT_EQ(read(toParent[0], &rc, 1), 1);
  EXPECT_EQ(rc, kIoOk);

  File exclusive;
  EXPECT_EQ(exclusive.open("data\\kursy.dta", Access::ReadWrite, Share::DenyReadWrite), kIoSharingViolation);
  File shared;
  EXPECT_EQ(shared.open("data\\kursy.dta", Access::ReadWrite, Share::DenyNone), kIoOk);
  EXPECT_EQ(removeFile("data\\kursy.dta"), kIoSharingViolation);
  EXPECT_EQ(renameFile("data\\kursy.dta", "data\\jine.dta"), kIoSharingViolation);
  shared.close();

  ASSERT_EQ(write(toChild[1], "x", 1), 1);
  waitpid(pid, nullptr, 0);
  // The child is gone, and so are its marks.
  EXPECT_EQ(exclusive.open("data\\kursy.dta", Access::ReadWrite, Share::DenyReadWrite), kIoOk);
}

TEST_F(FileTest, ExclusiveHolderRefusesEveryOtherOpen) {
  File owner;
  ASSERT_EQ(owner.open("data\\kursy.dta", Access::ReadWrite, Share::DenyReadWrite), kIoOk);
  File other;
  EXPECT_EQ(other.open("data\\kursy.dta", Access::Read, Share::DenyNone), kIoSharingViolation);
  owner.close();
  EXPECT_EQ(other.open("data\\kursy.dta", Access::Read, Share::DenyNone), kIoOk);
}

TEST_F(FileTest, DenyWriteAdmitsReadersButNotWriters) {
  File reader;
  ASSERT_EQ(reader.open("data\\kursy.dta", Access::Read, Share::DenyWrite), kIoOk);
  File second;
  EXPECT_EQ(second.open("data\\kursy.dta", Access::Read, Share::DenyWrite), kIoOk);
  File writer;
  EXPECT_EQ(writer.open("data\\kursy.dta", Access::ReadWrite, Share::DenyNone), kIoSharingViolation);
  // And a file open for writing cannot be opened deny-write.
  reader.close();
  second.close();
  ASSERT_EQ(writer.open("data\\kursy.dta", Access::ReadWrite, Share::DenyNone), kIoOk);
  EXPECT_EQ(reader.open("data\\kursy.dta", Access::Read, Share::DenyWrite), kIoSharingViolation);
}

TEST_F(FileTest, MissingFilesAndDirectoriesGiveTheirCodes) {
  File f;
  EXPECT_EQ(f.open("data\\nic.dta", Access::Read, Share::DenyNone), kIoFileNotFound);
  EXPECT_EQ(f.open("nikde\\nic.dta", Access::Read, Share::DenyNone), kIoPathNotFound);
  EXPECT_EQ(f.open("Q:\\nic.dta", Access::Read, Share::DenyNone), kIoPathNotFound);  // no such drive
  char buf[4];
  EXPECT_EQ(f.readAt(0, buf, 4), kIoFileNotOpen);
}

TEST_F(FileTest, ReadPastTheEndSaysHowMuchCame) {
  File f;
  ASSERT_EQ(f.open("data\\kursy.dta", Access::Read, Share::DenyNone), kIoOk);
  char buf[8];
  size_t got = 0;
  EXPECT_EQ(f.readAt(6, buf, 8, &got), kIoReadPastEnd);
  EXPECT_EQ(got, 4u);
  EXPECT_EQ(f.writeAt(0, "x", 1), kIoAccessDenied);  // opened for reading only
}

// A device error is no end of file: callers read a short file as far as it goes, and would take
// the bytes before a failed read for the whole file (and write that back).
TEST_F(FileTest, AFailedReadIsNotTheEndOfTheFile) {
  File f;
  ASSERT_EQ(f.open("data\\kursy.dta", Access::Read, Share::DenyNone), kIoOk);
  char buf[8];
  std::string whole;
  {
    test::FaultInjector inject;
    inject.failNth(test::FaultOp::Read, 1, EIO);
    EXPECT_EQ(f.readAt(0, buf, 8), kIoReadFault);
    inject.failNth(test::FaultOp::Read, 1, EIO);
    EXPECT_EQ(readWholeFile("data\\kursy.dta", whole, Share::DenyNone), kIoReadFault);
  }
  EXPECT_EQ(f.readAt(0, buf, 8), kIoOk);
}

TEST_F(FileTest, CreateAlwaysEmptiesOnlyWhenAllowedToOpen) {
  File holder;
  ASSERT_EQ(holder.open("data\\kursy.dta", Access::Read, Share::DenyWrite), kIoOk);
  File f;
  EXPECT_EQ(f.open("data\\kursy.dta", Access::Write, Share::DenyNone, Create::CreateAlways), kIoSharingViolation);
  EXPECT_EQ(dir.read("DATA/Kursy.dta"), "0123456789");  // refused open leaves the bytes alone
}

TEST_F(FileTest, AppendRecordWritesAtTheTrueEndOverAPartialRecord) {
  dir.write("zaznamy.dta", std::string("AAAABBBBCC"));  // two records of 4 and a torn third
  File a, b;
  ASSERT_EQ(a.open("zaznamy.dta", Access::ReadWrite, Share::DenyNone), kIoOk);
  ASSERT_EQ(b.open("zaznamy.dta", Access::ReadWrite, Share::DenyNone), kIoOk);
  int64_t at1 = -1, at2 = -1;
  EXPECT_EQ(a.appendRecord("CCCC", 4, &at1), kIoOk);
  EXPECT_EQ(b.appendRecord("DDDD", 4, &at2), kIoOk);  // b's idea of the size is not used
  EXPECT_EQ(at1, 8);
  EXPECT_EQ(at2, 12);
  EXPECT_EQ(dir.read("zaznamy.dta"), "AAAABBBBCCCCDDDD");
}

TEST_F(FileTest, RenameReplacesAtomicallyOrRefuses) {
  dir.write("novy.dta", "new");
  EXPECT_EQ(renameFile("novy.dta", "data\\kursy.dta"), kIoAccessDenied);
  EXPECT_EQ(renameFile("NOVY.DTA", "data\\kursy.dta", true), kIoOk);
  EXPECT_EQ(dir.read("DATA/Kursy.dta"), "new");
  EXPECT_FALSE(fileExists("novy.dta"));
}

TEST_F(FileTest, FailingWriteIsReportedNotSwallowed) {
  File f;
  ASSERT_EQ(f.open("data\\kursy.dta", Access::ReadWrite, Share::DenyNone), kIoOk);
  sys().pwrite = [](int, const void*, size_t, off_t) -> ssize_t {
    errno = ENOSPC;
    return -1;
  };
  EXPECT_EQ(f.writeAt(0, "zz", 2), kIoWriteFailed);
  sys() = realSysCalls();
  EXPECT_EQ(dir.read("DATA/Kursy.dta"), "0123456789");
}

}  // namespace
}  // namespace pz::platform
