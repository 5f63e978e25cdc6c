// The configuration database shared between processes: changes seen on the
// next read, no lost updates, a writer killed or starved of disk space never
// leaves a broken file, and texts handed out survive reloads.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <time.h>

#include <cstring>

#include "DbTestTree.h"

using dbtest::InChild;
using dbtest::ReadAll;
using dbtest::TreeTest;

namespace {

class ConfigSharingTest : public TreeTest {};

std::string S(const char* s) { return s ? s : "(null)"; }

TEST_F(ConfigSharingTest, AnotherProcessesChangeIsSeenOnTheNextRead) {
  WriteConfig("logLevel:KV_ERROR\n");
  KvConfigDB config;
  ASSERT_EQ(config.LogLevel(), KV_ERROR);
  // Within the same second as the read above: the modification time in
  // seconds alone would not tell the versions apart.
  for (KvLogLevel level : {KV_INFO, KV_WARNING, KV_AUDIT}) {
    ASSERT_EQ(InChild([level]() {
                KvConfigDB other;
                other.LogLevel(level, true);
                return other.WriteToFile() == 1 ? 0 : 1;
              }),
              0);
    EXPECT_EQ(config.LogLevel(), level);
  }
}

TEST_F(ConfigSharingTest, TwoProcessesChangingDifferentSettingsBothSurvive) {
  WriteConfig("logLevel:KV_ERROR\n");
  KvConfigDB mine;
  ASSERT_EQ(mine.LogLevel(), KV_ERROR);
  mine.WebmasterAddr("mine@x", true);
  ASSERT_EQ(InChild([]() {
              KvConfigDB theirs;
              theirs.SMTPServerName("mail.theirs", true);
              theirs.LogLevel(KV_AUDIT, true);
              return theirs.WriteToFile() == 1 ? 0 : 1;
            }),
            0);
  // A reload before writing keeps what this process changed.
  EXPECT_EQ(S(mine.SMTPServerName()), "mail.theirs");
  EXPECT_EQ(S(mine.WebmasterAddr()), "mine@x");
  mine.LogLevel(KV_WARNING, true);
  ASSERT_EQ(mine.WriteToFile(), 1);

  KvConfigDB fresh;
  EXPECT_EQ(S(fresh.WebmasterAddr()), "mine@x");
  EXPECT_EQ(S(fresh.SMTPServerName()), "mail.theirs");
  EXPECT_EQ(fresh.LogLevel(), KV_WARNING) << "the later write wins its key";
}

TEST_F(ConfigSharingTest, WriterThatDidNotReloadDoesNotUndoOthers) {
  WriteConfig("logLevel:KV_ERROR\n");
  KvConfigDB mine;
  mine.DefaultStyle("green", true);
  ASSERT_EQ(InChild([]() {
              KvConfigDB theirs;
              theirs.FeedbackAddr("fb@x", true);
              return theirs.WriteToFile() == 1 ? 0 : 1;
            }),
            0);
  ASSERT_EQ(mine.WriteToFile(), 1);  // no getter ran in between
  KvConfigDB fresh;
  EXPECT_EQ(S(fresh.FeedbackAddr()), "fb@x");
  EXPECT_EQ(S(fresh.DefaultStyle()), "green");
}

TEST_F(ConfigSharingTest, TextsStayValidAcrossReloadsAndChanges) {
  WriteConfig("webmasterEmailAddress:first@x\ndefaultStyle:one\n");
  KvConfigDB config;
  char* addr = config.WebmasterAddr();
  char* style = config.DefaultStyle();
  ASSERT_EQ(InChild([]() {
              KvConfigDB other;
              other.WebmasterAddr("second@x", true);
              return other.WriteToFile() == 1 ? 0 : 1;
            }),
            0);
  EXPECT_EQ(S(config.WebmasterAddr()), "second@x");  // reloads
  config.DefaultStyle("two", true);
  config.Reload(true);
  // Under the address sanitizer a freed text would be reported here.
  EXPECT_STREQ(addr, "first@x");
  EXPECT_STREQ(style, "one");
  EXPECT_EQ(S(config.DefaultStyle()), "two");
}

TEST_F(ConfigSharingTest, FullDiskLeavesTheOldFileAndReportsTheError) {
  WriteConfig("logLevel:KV_ERROR\nwebmasterEmailAddress:keep@x\n");
  std::string before = ReadAll(Config());
  int rc = InChild([]() {
    signal(SIGXFSZ, SIG_IGN);
    KvConfigDB config;
    config.FeedbackAddr(std::string(4096, 'f').c_str(), true);
    struct rlimit limit = {256, 256};
    setrlimit(RLIMIT_FSIZE, &limit);
    try {
      config.WriteToFile();
    } catch (KvError* e) {
      std::string lines = dbtest::Lines(e);
      bool named = lines.find(std::string("Write to the config file ") +
                              kKvConfigPath + " failed!") != std::string::npos;
      bool cause = lines.find("File too large") != std::string::npos;
      return named && cause ? 0 : 2;
    }
    return 1;  // reported success
  });
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(ReadAll(Config()), before);
  // No temporary file is left in the config folder.
  for (const auto& entry : std::filesystem::directory_iterator(top + "/config")) {
    std::string name = entry.path().filename().string();
    EXPECT_TRUE(entry.is_directory() || name == "configInfo.lst" ||
                name == "configInfo.lst.lck" ||
                name == "configInfo.lst.bak")
        << name;
  }
  KvConfigDB after;
  EXPECT_EQ(S(after.WebmasterAddr()), "keep@x");
}

TEST_F(ConfigSharingTest, KilledWriterNeverLeavesAnUnreadableFile) {
  WriteConfig("logLevel:KV_ERROR\nphotoHeight:1\n");
  const std::string a(2000, 'a'), b(3000, 'b');
  for (int round = 0; round < 25; round++) {
    fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
      KvConfigDB writer;
      for (int i = 0;; i++) {
        writer.WebmasterAddr(i % 2 ? a.c_str() : b.c_str(), true);
        writer.PhotoHeight(std::to_string(i).c_str(), true);
        writer.WriteToFile();
      }
    }
    struct timespec pause = {0, 200000L + 150000L * (round % 10)};
    nanosleep(&pause, nullptr);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    KvConfigDB reader;
    EXPECT_EQ(reader.LogLevel(), KV_ERROR) << "round " << round;
    char* addr = reader.WebmasterAddr();
    if (addr) {
      EXPECT_TRUE(addr == a || addr == b) << "round " << round;
    }
  }
}

}  // namespace
