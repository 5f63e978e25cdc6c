// The configuration database shared between processes: changes seen on the
// next read, no lost updates, a writer killed or starved of disk space never
// leaves a broken file, and texts handed out survive reloads.
#include <signal.h>
#include <sys/resource.h>
#include <time.h>

#include <cstring>

#include "DbTestTree.h"

using dbtest::ChangedInChild;
using dbtest::ReadAll;
using dbtest::S;
using dbtest::TreeTest;

namespace {

class ConfigSharingTest : public TreeTest {};

TEST_F(ConfigSharingTest, AnotherProcessesChangeIsSeenOnTheNextRead) {
  WriteConfig("webmasterEmailAddress:first@x\ndefaultStyle:one\n");
  KvConfigDB config;
  char* addr = config.WebmasterAddr();
  char* style = config.DefaultStyle();
  // Within the same second as the read above: the modification time in
  // seconds alone would not tell the versions apart.
  for (const char* next : {"second@x", "third@x", "fourth@x"}) {
    ASSERT_TRUE(ChangedInChild([next](KvConfigDB& other) { other.WebmasterAddr(next, true); }));
    EXPECT_EQ(S(config.WebmasterAddr()), next);
  }
  config.DefaultStyle("two", true);
  config.Reload(true);
  // Texts handed out earlier stay valid (the address sanitizer would see a
  // freed one here).
  EXPECT_STREQ(addr, "first@x");
  EXPECT_STREQ(style, "one");
  EXPECT_EQ(S(config.DefaultStyle()), "two");
}

// Two processes change different settings; both changes survive whether or
// not this process read (and so reloaded) before writing.
TEST_F(ConfigSharingTest, NoLostUpdates) {
  for (bool readFirst : {true, false}) {
    WriteConfig("logLevel:KV_ERROR\n");
    KvConfigDB mine;
    mine.WebmasterAddr("mine@x", true);
    ASSERT_TRUE(ChangedInChild([](KvConfigDB& theirs) {
      theirs.SMTPServerName("mail.theirs", true);
      theirs.LogLevel(KV_AUDIT, true);
    }));
    if (readFirst) {
      EXPECT_EQ(S(mine.SMTPServerName()), "mail.theirs");
      EXPECT_EQ(S(mine.WebmasterAddr()), "mine@x");
      mine.LogLevel(KV_WARNING, true);
    }
    ASSERT_EQ(mine.WriteToFile(), 1);
    KvConfigDB fresh;
    EXPECT_EQ(S(fresh.WebmasterAddr()), "mine@x") << readFirst;
    EXPECT_EQ(S(fresh.SMTPServerName()), "mail.theirs") << readFirst;
    EXPECT_EQ(fresh.LogLevel(), readFirst ? KV_WARNING : KV_AUDIT) << "the later write wins its key";
  }
}

TEST_F(ConfigSharingTest, FullDiskLeavesTheOldFileAndReportsTheError) {
  WriteConfig("logLevel:KV_ERROR\nwebmasterEmailAddress:keep@x\n");
  std::string before = ReadAll(Config());
  int rc = dbtest::InChild([]() {
    signal(SIGXFSZ, SIG_IGN);
    KvConfigDB config;
    config.FeedbackAddr(std::string(4096, 'f').c_str(), true);
    struct rlimit limit = {256, 256};
    setrlimit(RLIMIT_FSIZE, &limit);
    try {
      config.WriteToFile();
    } catch (KvError* e) {
      std::string lines = dbtest::Lines(e);
      bool named = dbtest::Has(lines, std::string("Write to the config file ") + kKvConfigPath + " failed!");
      return named && dbtest::Has(lines, "File too large") ? 0 : 2;
    }
    return 1;  // reported success
  });
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(ReadAll(Config()), before);
  ExpectOnlyInConfig({"configInfo.lst", "configInfo.lst.lck", "configInfo.lst.bak"});
  EXPECT_EQ(S(KvConfigDB().WebmasterAddr()), "keep@x");
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
    EXPECT_TRUE(addr == nullptr || addr == a || addr == b) << "round " << round;
  }
}

}  // namespace
