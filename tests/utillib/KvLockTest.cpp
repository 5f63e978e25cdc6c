// Tests of the ".lck" file locks across processes: a shared lock keeps an
// exclusive one out until it is released, and new lock files are 0666.

#include <gtest/gtest.h>

#include <string>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TestUtil.h"

namespace {

// Grabs the lock in a child process, which exits 0 when it was granted and 1
// when refused; the child writes a byte to `ready` just before trying.
pid_t GrabInChild(const std::string& path, KvLockType type, KvBoolean wait, int ready) {
  fflush(nullptr);
  pid_t pid = fork();
  if (pid != 0) return pid;
  if (write(ready, "x", 1) != 1) _exit(3);
  void* handle = nullptr;
  try {
    KvLockFileGrab(path.c_str(), wait, type, &handle);
    KvLockFileRelease(handle, true);
  } catch (KvError* e) {
    delete e;
    _exit(1);
  }
  _exit(0);
}

// The exit status, or -1 while the child runs (after `tries` polls 50ms apart).
int ExitStatus(pid_t pid, int tries) {
  for (int i = 0; i < tries; ++i) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
    usleep(50 * 1000);
  }
  return -1;
}

}  // namespace

TEST(KvLockTest, SharedLockBlocksExclusiveGrabInAnotherProcess) {
  ScratchDir dir;
  std::string path = dir.File("data.lck");
  void* shared = nullptr;
  KvLockFileGrab(path.c_str(), true, kKvLockShared, &shared);
  int fds[2];
  ASSERT_EQ(0, pipe(fds));
  char byte;
  // Without waiting, an exclusive grab fails at once; a shared one succeeds.
  EXPECT_EQ(1, ExitStatus(GrabInChild(path, kKvLockExclusive, false, fds[1]), 100));
  EXPECT_EQ(0, ExitStatus(GrabInChild(path, kKvLockShared, false, fds[1]), 100));
  // Waiting, the exclusive grab blocks until the release.
  pid_t waiter = GrabInChild(path, kKvLockExclusive, true, fds[1]);
  for (int i = 0; i < 3; ++i) ASSERT_EQ(1, read(fds[0], &byte, 1));
  EXPECT_EQ(-1, ExitStatus(waiter, 6)) << "exclusive lock granted while a shared one was held";
  KvLockFileRelease(shared, true);
  int status = ExitStatus(waiter, 100);
  if (status == -1) {
    kill(waiter, SIGKILL);
    waitpid(waiter, nullptr, 0);
  }
  EXPECT_EQ(0, status);
  close(fds[0]);
  close(fds[1]);
}

TEST(KvLockTest, NewLockFileIsWorldWritableDespiteUmask) {
  ScratchDir dir;
  std::string path = dir.File("new.lck");
  mode_t old = umask(077);
  KvLockGuard(path.c_str(), kKvLockExclusive).Release();
  umask(old);
  struct stat st;
  ASSERT_EQ(0, stat(path.c_str(), &st));
  EXPECT_EQ(0666u, st.st_mode & 0777);
  EXPECT_EQ(0, st.st_size);
  // The file stays; grabbing it again reuses it.
  void* handle = nullptr;
  KvLockFileGrab(path.c_str(), true, kKvLockShared, &handle);
  KvLockFileRelease(handle, true);
  EXPECT_TRUE(KvCheckIfFile(path.c_str()));
}

TEST(KvLockTest, FailuresCarryTheirContext) {
  void* handle = nullptr;
  Strings lines =
      ErrorLines([&] { KvLockFileGrab("/nonexistent-dir/x.lck", true, kKvLockShared, &handle); });
  ASSERT_EQ(3u, lines.size());
  EXPECT_TRUE(Has(lines[0], " : Exception rethrown in KvLockFileGrab"));
  EXPECT_TRUE(Has(lines[1], " error creating new lock file /nonexistent-dir/x.lck"));
  EXPECT_TRUE(Has(lines[2], " : No such file or directory"));
  EXPECT_EQ(nullptr, handle);
}
