// The configuration database: defaults, parsed values, setters with their
// rules, writing, backups and scrambled passwords; and shared between
// processes: changes seen on the next read, no lost updates, the change lock,
// a writer killed or starved of disk space never leaving a broken file.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <time.h>

#include <cstring>

#include "DbTestTree.h"

using dbtest::ChangedInChild;
using dbtest::ReadAll;
using dbtest::S;
using dbtest::TreeTest;

namespace {

class ConfigTest : public TreeTest {};

TEST_F(ConfigTest, NoFileKeepsDefaultsInMemoryUntilAChangeIsWritten) {
  KvConfigDB config;
  EXPECT_EQ(config.WriteToFile(), 1);
  EXPECT_FALSE(KvCheckIfFile(Config().c_str())) << "nothing changed yet";
  EXPECT_FALSE(KvCheckIfFile(kKvMimeTypesPath));
  config.LogLevel(KV_WARNING, true);
  EXPECT_EQ(config.WriteToFile(), 1);
  std::string text = ReadAll(Config());
  for (const char* line : {"logLevel:KV_WARNING\n", "photoHeight:80\n", "empDirDBFormat:KV_KAVRI\n"})
    EXPECT_TRUE(dbtest::Has(text, line)) << text;
  EXPECT_TRUE(KvCheckIfFile(kKvMimeTypesPath));
  EXPECT_EQ(KvConfigDB().LogLevel(), KV_WARNING);
}

// Stored texts as the getters read them; keys ignore case.
TEST_F(ConfigTest, ValuesAreParsedWithSafeFallbacks) {
  WriteConfig("unrelated:x\n");
  KvConfigDB config;
  const long kMax = 64L * 1024 * 1024;
  struct Case {
    const char* key;
    const char* text;
    std::function<long()> get;
    long want;
  } cases[] = {
      {"logLevel", "kv_audit", [&] { return long(config.LogLevel()); }, KV_AUDIT},
      {"logLevel", "verbose", [&] { return long(config.LogLevel()); }, KV_ERROR},
      {"projDBFormat", "kv_sql", [&] { return long(config.DBFormat(KV_PROJDIR)); }, KV_SQL},
      {"projDBFormat", "oracle", [&] { return long(config.DBFormat(KV_PROJDIR)); }, KV_KAVRI},
      {"maxRequestSize", "1048576", [&] { return config.MaxRequestSize(); }, 1048576},
      {"maxRequestSize", "0", [&] { return config.MaxRequestSize(); }, kMax},
      {"maxRequestSize", "-5", [&] { return config.MaxRequestSize(); }, kMax},
      {"maxRequestSize", "12abc", [&] { return config.MaxRequestSize(); }, kMax},
      {"USERSESSIONTIMEOUT", "60", [&] { return long(config.UserSessionTimeOut()); }, 60},
  };
  for (const Case& c : cases) {
    config.WriteValue(c.key, c.text, true);
    EXPECT_EQ(c.get(), c.want) << c.key << " " << c.text;
  }
  EXPECT_EQ(config.DBFormat(KV_EMPDIR), KV_KAVRI);
}

TEST_F(ConfigTest, PhotoStyleAndDBFormatNeedTheirData) {
  WriteConfig("photoStyle:KV_VARIABLE\n");
  KvConfigDB config;
  EXPECT_EQ(config.PhotoStyle(KV_FIXED, true, "  ", nullptr), 0);
  EXPECT_EQ(config.PhotoHeight(), nullptr) << "nothing written";
  EXPECT_EQ(config.PhotoStyle("kv_fixed", true, "100", ""), 1);
  EXPECT_EQ(config.PhotoStyle(), KV_FIXED);
  EXPECT_EQ(config.PhotoStyle("other", true, nullptr, nullptr), 1);
  EXPECT_EQ(config.PhotoStyle(), KV_VARIABLE);
  EXPECT_EQ(S(config.PhotoHeight()), "100") << "sizes stay";

  EXPECT_EQ(config.DBFormat(KV_LDAP, true, nullptr, KV_EMPDIR), 0);
  char server[] = "ldap.example.com", dn[] = "cn=root", pw[] = "pw:1", base[] = "o=x";
  LDAPInfoRec ldap = {636, server, dn, pw, base};
  EXPECT_EQ(config.DBFormat("KV_LDAP", true, &ldap, KV_EMPDIR), 1);
  EXPECT_EQ(config.LDAPServerPort(), 636);
  EXPECT_EQ(S(config.LDAPRootPasswd()), "pw:1");
  EXPECT_EQ(config.DBFormat(KV_EMPDIR), KV_LDAP);
}

TEST_F(ConfigTest, PasswordsAreScrambledOnDiskAndPlainInMemory) {
  WriteConfig("logLevel:KV_ERROR\n");
  KvConfigDB config;
  char server[] = "ldap", dn[] = "cn=root", pw[] = "Secret#Root", base[] = "";
  LDAPInfoRec ldap = {389, server, dn, pw, base};
  config.DBFormat(KV_LDAP, true, &ldap, KV_EMPDIR);
  config.WriteValue("USERPASSWD", "Sql$Secret", true);
  ASSERT_EQ(config.WriteToFile(), 1);
  std::string text = ReadAll(Config());
  KvCrypt crypt;
  char* scrambled = crypt.Encrypt("Secret#Root");
  EXPECT_TRUE(dbtest::Has(text, std::string("rootPasswd:") + scrambled + "\n"));
  free(scrambled);
  EXPECT_EQ(S(config.SqlUserPasswd()), "Sql$Secret");
  KvConfigDB fresh;
  EXPECT_EQ(S(fresh.LDAPRootPasswd()), "Secret#Root");
  fresh.WebmasterAddr("w@x", true);
  ASSERT_EQ(fresh.WriteToFile(), 1);
  text += ReadAll(Config()) + ReadAll(Config() + ".bak");
  EXPECT_FALSE(dbtest::Has(text, "Secret#Root")) << text;
  EXPECT_FALSE(dbtest::Has(text, "Sql$Secret")) << text;
}

TEST_F(ConfigTest, BackupHoldsThePreviousVersionAndSurvivesIdleWrites) {
  WriteConfig("logLevel:KV_ERROR\n");
  std::string first = ReadAll(Config());
  chmod(Config().c_str(), 0640);
  KvConfigDB config;
  config.LogLevel(KV_INFO, true);
  ASSERT_EQ(config.WriteToFile(), 1);
  EXPECT_EQ(ReadAll(Config() + ".bak"), first);
  struct stat st;
  ASSERT_EQ(stat(Config().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u) << "permission bits kept";
  std::string second = ReadAll(Config());
  EXPECT_EQ(config.WriteToFile(), 1);
  EXPECT_EQ(ReadAll(Config() + ".bak"), first) << "no change, no new backup";
  EXPECT_EQ(ReadAll(Config()), second);
}

// A copy changed on its own, and the log file's default filled in without
// dropping the changes made before.
TEST_F(ConfigTest, ChangesWrittenReadBack) {
  WriteConfig("defaultStyle:a\n");
  KvConfigDB config;
  config.DefaultStyle("b", true);
  EXPECT_EQ(S(config.LogFile()), top + "/logs/kvlogfile");
  KvConfigDB copy(config);
  copy.DefaultStyle("c", true);
  EXPECT_EQ(S(config.DefaultStyle()), "b");
  ASSERT_EQ(config.WriteToFile(), 1);
  EXPECT_EQ(S(KvConfigDB().DefaultStyle()), "b");
  ASSERT_EQ(copy.WriteToFile(), 1);
  EXPECT_EQ(S(KvConfigDB().DefaultStyle()), "c");
}

TEST_F(ConfigTest, CorruptFileIsAnError) {
  WriteConfig("");
  std::string lines = dbtest::ErrorText([] { KvConfigDB config; });
  EXPECT_TRUE(dbtest::Has(lines, "Read of the config file"));
  EXPECT_TRUE(dbtest::Has(lines, ". Read failed!")) << lines;
}

TEST_F(ConfigTest, AnotherProcessesChangeIsSeenOnTheNextRead) {
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
TEST_F(ConfigTest, NoLostUpdates) {
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

// Nested change scopes keep other processes out until the outermost ends.
TEST_F(ConfigTest, ChangeLockHeldUntilTheOutermostScopeEnds) {
  std::string config = top + "/config";
  auto othersGetIt = [&config]() {
    return dbtest::InChild([&config]() {
             void* handle = nullptr;
             KvLockFileGrab(KvChangeLock::LockPath(config.c_str()).c_str(), false,
                            kKvLockExclusive, &handle);
             KvLockFileRelease(handle, true);
             return 0;
           }) == 0;
  };
  {
    KvChangeLock outer(config.c_str());
    EXPECT_FALSE(othersGetIt());
    { KvChangeLock inner(config.c_str()); }
    EXPECT_FALSE(othersGetIt()) << "the inner scope let the lock go";
  }
  EXPECT_TRUE(othersGetIt());
}

TEST_F(ConfigTest, FullDiskLeavesTheOldFileAndReportsTheError) {
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

TEST_F(ConfigTest, KilledWriterNeverLeavesAnUnreadableFile) {
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
