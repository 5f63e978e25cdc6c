// Tests of the file helpers, temporary names, time stamps and the
// shared-library wrappers.

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <regex>
#include <string>

#include <dlfcn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TestUtil.h"

namespace {

std::string OnlyLine(KvError* e) {
  std::unique_ptr<KvError> owned(e);
  EXPECT_EQ(1, e->lines->count);
  return Str(e->lines->first ? e->lines->first->value : nullptr);
}

}  // namespace

TEST(KvFileUtilTest, StatHelpers) {
  ScratchDir dir;
  std::string file = dir.File("f");
  WriteAll(file, "12345");
  EXPECT_TRUE(KvCheckIfFile(file.c_str()));
  EXPECT_FALSE(KvCheckIfFile(dir.path().c_str()));
  EXPECT_TRUE(KvCheckIfDirectory(dir.path().c_str()));
  EXPECT_EQ(5, KvGetFileSize(file.c_str()));
  EXPECT_EQ(0, KvGetTimeStamp(dir.File("none").c_str()));
}

TEST(KvFileUtilTest, FileCopy) {
  ScratchDir dir;
  std::string from = dir.File("from"), to = dir.File("to");
  std::string big;
  for (int i = 0; i < 10000; ++i) big += std::to_string(i) + ",";
  WriteAll(from, big);
  WriteAll(to, std::string(100000, 'o'));  // an existing target is truncated
  EXPECT_TRUE(KvFileCopy(from.c_str(), to.c_str()));
  EXPECT_EQ(big, ReadAll(to));

  mode_t old = umask(0);
  std::string fresh = dir.File("fresh");
  EXPECT_TRUE(KvFileCopy(from.c_str(), fresh.c_str()));
  umask(old);
  struct stat st;
  ASSERT_EQ(0, stat(fresh.c_str(), &st));
  EXPECT_EQ(0644, st.st_mode & 0777);

  EXPECT_FALSE(KvFileCopy(dir.File("missing").c_str(), to.c_str()));
  EXPECT_FALSE(KvFileCopy(from.c_str(), dir.File("no/such/dir").c_str()));
  EXPECT_FALSE(KvFileCopy(from.c_str(), "/dev/full"));
}

TEST(KvFileUtilTest, FileCopyReportsAShortWrite) {
  ScratchDir dir;
  std::string from = dir.File("from"), to = dir.File("to");
  WriteAll(from, std::string(64 * 1024, 'x'));
  pid_t pid = fork();
  if (pid == 0) {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = {10000, 10000};
    setrlimit(RLIMIT_FSIZE, &limit);
    _exit(KvFileCopy(from.c_str(), to.c_str()) ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(pid, waitpid(pid, &status, 0));
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(1, WEXITSTATUS(status));
}

TEST(KvFileUtilTest, ReadFileIntoBuf) {
  ScratchDir dir;
  std::string path = dir.File("data");
  WriteAll(path, "abcdef");
  FILE* fp = fopen(path.c_str(), "r");
  char buf[4];
  int count = -1;
  EXPECT_TRUE(KvReadFileIntoBuf(fp, buf, 4, &count));
  EXPECT_TRUE(KvReadFileIntoBuf(fp, buf, 4, &count));
  EXPECT_EQ(2, count);
  EXPECT_FALSE(KvReadFileIntoBuf(fp, buf, 4, &count));
  EXPECT_EQ(0, count);
  fclose(fp);

  fp = fopen(dir.path().c_str(), "r");  // reading a directory fails
  ASSERT_NE(nullptr, fp);
  try {
    KvReadFileIntoBuf(fp, buf, 4, &count);
    ADD_FAILURE() << "no error";
  } catch (KvError* e) {
    EXPECT_NE(std::string::npos, OnlyLine(e).find(" : Error in fread :1"));
  }
  fclose(fp);
}

TEST(KvFileUtilTest, TemporaryNames) {
  std::string saved = getenv("TMPDIR") ? getenv("TMPDIR") : "";
  unsetenv("TMPDIR");
  EXPECT_STREQ("/tmp", Own(KvGetTmpdir()).get());
  ScratchDir dir;
  setenv("TMPDIR", (dir.path() + "/").c_str(), 1);
  CText first = Own(KvGetTmpFileName());
  CText second = Own(KvGetTmpFileName());
  ASSERT_NE(nullptr, first.get());
  ASSERT_NE(nullptr, second.get());
  EXPECT_STRNE(first.get(), second.get());
  EXPECT_EQ(0u, std::string(first.get()).find(dir.path() + "/" + std::to_string(getpid())));
  struct stat st;
  ASSERT_EQ(0, stat(first.get(), &st));
  EXPECT_TRUE(S_ISREG(st.st_mode));
  EXPECT_EQ(0600, st.st_mode & 0777);
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
  CText real = Own(realpath((dir.path() + "/tmp").c_str(), nullptr));
  EXPECT_STREQ(real.get(), own.get());
  ASSERT_EQ(0, stat(own.get(), &st));
  EXPECT_EQ(0700, st.st_mode & 0777);

  if (saved.empty()) {
    unsetenv("TMPDIR");
  } else {
    setenv("TMPDIR", saved.c_str(), 1);
  }
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

TEST(KvFileUtilTest, PlatformAndTimeStamp) {
  struct utsname names;
  ASSERT_EQ(0, uname(&names));
  EXPECT_EQ(std::string(names.sysname) + " " + names.machine, Own(KvGetPlatform()).get());

  setenv("TZ", "UTC", 1);
  KvTime stamp;
  char buf[64];
  std::string text = stamp.GetCurrentTimeString(buf, sizeof buf);
  EXPECT_TRUE(std::regex_match(text, std::regex(R"(\d\d-[A-Z][a-z]{2}-\d\d \d\d\.\d\d\.\d\d UTC)")))
      << text;
  unsetenv("TZ");
}

TEST(KvFileUtilTest, SharedLibraryErrors) {
  try {
    KvShLibOpen("/nonexistent-dir/libnone.so", RTLD_NOW);
    ADD_FAILURE() << "no error";
  } catch (KvError* e) {
    std::string line = OnlyLine(e);
    EXPECT_NE(std::string::npos,
              line.find(" : Unable to open the shared library /nonexistent-dir/libnone.so - "
                        "/nonexistent-dir/libnone.so: "))
        << line;
  }
  void* self = KvShLibOpen(nullptr, RTLD_NOW);
  ASSERT_NE(nullptr, self);
  EXPECT_NE(nullptr, KvShLibFindSym(self, "malloc"));
  try {
    KvShLibFindSym(self, "no_such_symbol_here");
    ADD_FAILURE() << "no error";
  } catch (KvError* e) {
    std::string line = OnlyLine(e);
    EXPECT_NE(std::string::npos,
              line.find(" : Look up of symbol - no_such_symbol_here failed - "))
        << line;
    EXPECT_NE(std::string::npos, line.find("undefined symbol"));
  }
  KvShLibClose(self);
}
