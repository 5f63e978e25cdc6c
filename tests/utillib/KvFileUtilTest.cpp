// Tests of errors passing up, the file helpers and ".lck" locks, temporary
// names, number parsing and the shared-library wrappers.

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <regex>
#include <string>

#include <dlfcn.h>
#include <sys/resource.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include "TestUtil.h"

namespace {

void Fail() { KV_THROW("M"); }

void Middle() {
  try {
    Fail();
  } catch (KvError* e) {
    KV_ADD_LINE(e, "A");
    throw;
  }
}

mode_t Mode(const std::string& path) {
  struct stat st;
  EXPECT_EQ(0, stat(path.c_str(), &st)) << path;
  return st.st_mode & 0777;
}

}  // namespace

TEST(KvFileUtilTest, ErrorLinesReadOutermostFirstThroughTwoRethrows) {
  try {
    try {
      Middle();
    } catch (KvError* e) {
      e->AddLine(7, "outer.cpp", "B", true);
      throw;
    }
  } catch (KvError* e) {
    std::unique_ptr<KvError> owned(e);
    Strings lines = Vals(*e->lines);
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ("Error : line 7 in file outer.cpp : B", lines[0]);
    EXPECT_TRUE(std::regex_match(lines[1], std::regex("Error : line \\d+ in file KvFileUtilTest.cpp : A")));
    EXPECT_TRUE(EndsWith(lines[2], " in file KvFileUtilTest.cpp : M"));
    EXPECT_EQ((Strings{"B"}), Vals(*e->userLines));
  }
}

TEST(KvFileUtilTest, FileCopyTruncatesAndReportsFailures) {
  ScratchDir dir;
  std::string from = dir.File("from"), to = dir.File("to"), fresh = dir.File("fresh");
  std::string big;
  for (int i = 0; i < 10000; ++i) big += std::to_string(i) + ",";
  WriteAll(from, big);
  WriteAll(to, std::string(100000, 'o'));  // an existing target is truncated
  EXPECT_TRUE(KvFileCopy(from.c_str(), to.c_str()));
  EXPECT_EQ(big, ReadAll(to));
  EXPECT_EQ(static_cast<long>(big.size()), KvGetFileSize(to.c_str()));
  mode_t old = umask(0);
  EXPECT_TRUE(KvFileCopy(from.c_str(), fresh.c_str()));
  umask(old);
  EXPECT_EQ(0644u, Mode(fresh));

  EXPECT_FALSE(KvFileCopy(dir.File("missing").c_str(), to.c_str()));
  EXPECT_FALSE(KvFileCopy(from.c_str(), dir.File("no/such/dir").c_str()));
  EXPECT_FALSE(KvFileCopy(from.c_str(), "/dev/full"));
  // A write cut short by the file size limit is a failure too.
  EXPECT_EQ(1, testsupport::InChild([&] {
              signal(SIGXFSZ, SIG_IGN);
              struct rlimit limit = {10000, 10000};
              setrlimit(RLIMIT_FSIZE, &limit);
              return KvFileCopy(from.c_str(), dir.File("short").c_str()) ? 0 : 1;
            }));
}

TEST(KvFileUtilTest, TemporaryNames) {
  std::string saved = getenv("TMPDIR") ? getenv("TMPDIR") : "";
  ScratchDir dir;
  setenv("TMPDIR", (dir.path() + "/").c_str(), 1);
  CText first = Own(KvGetTmpFileName());
  CText second = Own(KvGetTmpFileName());
  ASSERT_NE(nullptr, first.get());
  ASSERT_NE(nullptr, second.get());
  EXPECT_STRNE(first.get(), second.get());
  EXPECT_EQ(0u, std::string(first.get()).find(dir.path() + "/" + std::to_string(getpid())));
  EXPECT_TRUE(KvCheckIfFile(first.get()));
  EXPECT_EQ(0600u, Mode(first.get()));
  setenv("TMPDIR", "/nonexistent-dir", 1);
  EXPECT_EQ(nullptr, KvGetTmpFileName());
  setenv("TMPDIR", "", 1);  // set but empty counts as unset
  EXPECT_STREQ("/tmp", Own(KvGetTmpdir()).get());

  // A program of an installation (TOP/htdocs/<app>/bin beside TOP/config)
  // uses TOP/tmp, made private (0700) even when it was open to others.
  for (const char* sub : {"/config", "/htdocs", "/htdocs/admin", "/htdocs/admin/bin", "/tmp"})
    ASSERT_EQ(0, mkdir((dir.path() + sub).c_str(), 0777));
  chmod((dir.path() + "/tmp").c_str(), 0777);
  CText cwd = Own(getcwd(nullptr, 0));
  ASSERT_EQ(0, chdir((dir.path() + "/htdocs/admin/bin").c_str()));
  CText own = Own(KvGetTmpdir());
  ASSERT_EQ(0, chdir(cwd.get()));
  EXPECT_STREQ(Own(realpath((dir.path() + "/tmp").c_str(), nullptr)).get(), own.get());
  EXPECT_EQ(0700u, Mode(own.get()));
  saved.empty() ? unsetenv("TMPDIR") : setenv("TMPDIR", saved.c_str(), 1);
}

TEST(KvFileUtilTest, ParseIntNeverOverflows) {
  struct Case {
    const char* text;
    long low, high, value;  // value 0: refused
  } cases[] = {
      {"42", 0, 100, 42}, {" -7 ", -10, 10, -7}, {"-2147483648", -1, 100, 0},
      {"99999999999999999999999", 0, LONG_MAX, 0}, {"-99999999999999999999999", LONG_MIN, 0, 0},
      {"12abc", 0, 100, 0}, {"", 0, 100, 0}, {nullptr, 0, 100, 0}, {"101", 0, 100, 0},
  };
  for (const Case& c : cases) {
    long value = 0;
    EXPECT_EQ(c.value != 0, KvParseInt(c.text, c.low, c.high, &value)) << Str(c.text);
    EXPECT_EQ(c.value, value) << Str(c.text);
  }
}

TEST(KvFileUtilTest, SharedLibraryErrors) {
  void* self = KvShLibOpen(nullptr, RTLD_NOW);
  ASSERT_NE(nullptr, self);
  EXPECT_NE(nullptr, KvShLibFindSym(self, "malloc"));
  Strings sym = ErrorLines([&] { KvShLibFindSym(self, "no_such_symbol_here"); });
  ASSERT_EQ(1u, sym.size());
  EXPECT_TRUE(Has(sym[0], " : Look up of symbol - no_such_symbol_here failed - "));
  EXPECT_TRUE(Has(sym[0], "undefined symbol"));
  KvShLibClose(self);
}

// While a shared lock is held another process gets a shared one but no
// exclusive one; after the release it gets that too.
TEST(KvLockTest, SharedLockKeepsExclusiveGrabsOfOtherProcessesOut) {
  ScratchDir dir;
  std::string path = dir.File("data.lck");
  auto grabInChild = [&path](KvLockType type) {
    return testsupport::InChild([&] {
      void* handle = nullptr;
      KvLockFileGrab(path.c_str(), false, type, &handle);
      KvLockFileRelease(handle, true);
      return 0;
    });
  };
  void* shared = nullptr;
  KvLockFileGrab(path.c_str(), true, kKvLockShared, &shared);
  EXPECT_NE(0, grabInChild(kKvLockExclusive));
  EXPECT_EQ(0, grabInChild(kKvLockShared));
  KvLockFileRelease(shared, true);
  EXPECT_EQ(0, grabInChild(kKvLockExclusive));
}

TEST(KvLockTest, NewLockFileIsWorldWritableDespiteUmaskAndFailuresSayWhy) {
  ScratchDir dir;
  std::string path = dir.File("new.lck");
  mode_t old = umask(077);
  KvLockGuard(path.c_str(), kKvLockExclusive).Release();
  umask(old);
  EXPECT_EQ(0666u, Mode(path));
  EXPECT_EQ(0, KvGetFileSize(path.c_str()));
  void* handle = nullptr;  // the file stays; grabbing it again reuses it
  KvLockFileGrab(path.c_str(), true, kKvLockShared, &handle);
  KvLockFileRelease(handle, true);

  handle = nullptr;
  Strings lines =
      ErrorLines([&] { KvLockFileGrab("/nonexistent-dir/x.lck", true, kKvLockShared, &handle); });
  ASSERT_EQ(3u, lines.size());
  EXPECT_TRUE(Has(lines[0], " : Exception rethrown in KvLockFileGrab"));
  EXPECT_TRUE(Has(lines[1], " error creating new lock file /nonexistent-dir/x.lck"));
  EXPECT_TRUE(Has(lines[2], " : No such file or directory"));
  EXPECT_EQ(nullptr, handle);
}
