// Tests of the ".lck" file locks across processes: a shared lock keeps an
// exclusive one out until it is released, and new lock files are 0666.

#include <gtest/gtest.h>

#include <string>

#include <signal.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TestUtil.h"

namespace {

// In a child process: tries to grab the lock and reports by exit status
// (0 granted, 1 refused). Writes one byte to `ready` just before trying.
pid_t GrabInChild(const std::string& path, KvLockType type, KvBoolean wait, int ready) {
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

int ExitStatus(pid_t pid, int options, bool* exited) {
  int status = 0;
  pid_t done = waitpid(pid, &status, options);
  *exited = done == pid;
  return *exited && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(KvLockTest, SharedLockBlocksExclusiveGrabInAnotherProcess) {
  ScratchDir dir;
  std::string path = dir.File("data.lck");
  void* shared = nullptr;
  KvLockFileGrab(path.c_str(), true, kKvLockShared, &shared);
  int pipeFds[2];
  ASSERT_EQ(0, pipe(pipeFds));
  char byte;

  // Without waiting, an exclusive grab fails at once; a shared one succeeds.
  bool exited = false;
  pid_t refused = GrabInChild(path, kKvLockExclusive, false, pipeFds[1]);
  EXPECT_EQ(1, ExitStatus(refused, 0, &exited));
  ASSERT_EQ(1, read(pipeFds[0], &byte, 1));
  pid_t sharer = GrabInChild(path, kKvLockShared, false, pipeFds[1]);
  EXPECT_EQ(0, ExitStatus(sharer, 0, &exited));
  ASSERT_EQ(1, read(pipeFds[0], &byte, 1));

  // Waiting, the exclusive grab blocks until the release.
  pid_t waiter = GrabInChild(path, kKvLockExclusive, true, pipeFds[1]);
  ASSERT_EQ(1, read(pipeFds[0], &byte, 1));
  usleep(300 * 1000);
  ExitStatus(waiter, WNOHANG, &exited);
  EXPECT_FALSE(exited) << "exclusive lock granted while a shared one was held";
  KvLockFileRelease(shared, true);
  int status = -1;
  for (int i = 0; i < 100 && !exited; ++i) {
    status = ExitStatus(waiter, WNOHANG, &exited);
    if (!exited) usleep(50 * 1000);
  }
  if (!exited) {
    kill(waiter, SIGKILL);
    waitpid(waiter, nullptr, 0);
  }
  EXPECT_TRUE(exited);
  EXPECT_EQ(0, status);
  close(pipeFds[0]);
  close(pipeFds[1]);
}

TEST(KvLockTest, NewLockFileIsWorldWritableDespiteUmask) {
  ScratchDir dir;
  std::string path = dir.File("new.lck");
  mode_t old = umask(077);
  {
    KvLockGuard guard(path.c_str(), kKvLockExclusive);
    guard.Release();
  }
  umask(old);
  struct stat st;
  ASSERT_EQ(0, stat(path.c_str(), &st));
  EXPECT_EQ(0666, st.st_mode & 0777);
  EXPECT_EQ(0, st.st_size);

  // The file stays; grabbing it again reuses it.
  void* handle = nullptr;
  KvLockFileGrab(path.c_str(), true, kKvLockShared, &handle);
  KvLockFileRelease(handle, true);
  EXPECT_TRUE(KvCheckIfFile(path.c_str()));
}

TEST(KvLockTest, FailuresCarryTheirContext) {
  std::string path = "/nonexistent-dir/x.lck";
  void* handle = nullptr;
  try {
    KvLockFileGrab(path.c_str(), true, kKvLockShared, &handle);
    FAIL() << "no error";
  } catch (KvError* e) {
    std::unique_ptr<KvError> owned(e);
    ASSERT_EQ(3, e->lines->count);
    const char* tails[] = {" : Exception rethrown in KvLockFileGrab",
                           " error creating new lock file /nonexistent-dir/x.lck",
                           " : No such file or directory"};
    for (int i = 0; i < 3; ++i) {
      EXPECT_NE(std::string::npos, std::string(e->lines->GetNthItem(i)->value).find(tails[i]));
    }
  }
  EXPECT_EQ(nullptr, handle);
}
