// The configuration database within one process: defaults, typed getters,
// setters with their rules, writing, backups and scrambled passwords.
#include <sys/stat.h>

#include <cstring>

#include "DbTestTree.h"

using dbtest::ReadAll;
using dbtest::TreeTest;

namespace {

class ConfigTest : public TreeTest {};

std::string S(const char* s) { return s ? s : "(null)"; }

TEST_F(ConfigTest, NoFileKeepsDefaultsInMemoryUntilAChangeIsWritten) {
  KvConfigDB config;
  EXPECT_EQ(config.LogLevel(), KV_ERROR);
  EXPECT_EQ(config.PhotoStyle(), KV_VARIABLE);
  EXPECT_EQ(S(config.PhotoHeight()), "80");
  EXPECT_EQ(S(config.PhotoWidth()), "60");
  EXPECT_EQ(S(config.BugReportAddr()), kKvDefaultBugReportAddr);
  EXPECT_EQ(S(config.LogFile()), top + "/logs/kvlogfile");
  EXPECT_EQ(config.DBFormat(KV_EMPDIR), KV_KAVRI);

  EXPECT_EQ(config.WriteToFile(), 1);
  EXPECT_FALSE(KvCheckIfFile(Config().c_str())) << "nothing changed yet";
  EXPECT_FALSE(KvCheckIfFile(kKvMimeTypesPath));

  config.LogLevel(KV_WARNING, true);
  EXPECT_EQ(config.WriteToFile(), 1);
  std::string text = ReadAll(Config());
  EXPECT_NE(text.find("logLevel:KV_WARNING\n"), std::string::npos);
  EXPECT_NE(text.find("photoHeight:80\n"), std::string::npos) << text;
  EXPECT_NE(text.find("empDirDBFormat:KV_KAVRI\n"), std::string::npos);
  EXPECT_TRUE(KvCheckIfFile(kKvMimeTypesPath));

  KvConfigDB other;
  EXPECT_EQ(other.LogLevel(), KV_WARNING);
}

// Each getter against a file that holds none of the keys, and against odd
// values.
TEST_F(ConfigTest, GettersGiveTheirDefaultsAndParseValues) {
  WriteConfig("unrelated:x\n");
  KvConfigDB config;
  struct TextCase {
    const char* name;
    char* (KvConfigDB::*get)();
    const char* expected;  // null: absent
  } texts[] = {
      {"WebmasterAddr", &KvConfigDB::WebmasterAddr, nullptr},
      {"BugReportAddr", &KvConfigDB::BugReportAddr, kKvDefaultBugReportAddr},
      {"FeedbackAddr", &KvConfigDB::FeedbackAddr, kKvDefaultFeedbackAddr},
      {"PhotoHeight", &KvConfigDB::PhotoHeight, nullptr},
      {"SMTPServerName", &KvConfigDB::SMTPServerName, nullptr},
      {"LDAPRootPasswd", &KvConfigDB::LDAPRootPasswd, nullptr},
      {"DefaultStyle", &KvConfigDB::DefaultStyle, "style0"},
      {"DefaultOnlyStyle", &KvConfigDB::DefaultOnlyStyle, "FALSE"},
      {"SqlUserPasswd", &KvConfigDB::SqlUserPasswd, nullptr},
      {"SqlDbName", &KvConfigDB::SqlDbName, ""},
      {"SqlPrimaryKey", &KvConfigDB::SqlPrimaryKey, ""},
      {"SqlEmpTbl", &KvConfigDB::SqlEmpTbl, ""},
      {"SqlPhotoTable", &KvConfigDB::SqlPhotoTable, ""},
      {"SqlPhotoCol", &KvConfigDB::SqlPhotoCol, ""},
      {"SqlDbServer", &KvConfigDB::SqlDbServer, nullptr},
      {"SqlDbEnv", &KvConfigDB::SqlDbEnv, nullptr},
      {"SqlDbTrace", &KvConfigDB::SqlDbTrace, nullptr},
  };
  for (const TextCase& c : texts)
    EXPECT_EQ(S((config.*c.get)()), S(c.expected)) << c.name;
  EXPECT_EQ(config.SMTPServerPort(), -1);
  EXPECT_EQ(config.LDAPServerPort(), -1);
  EXPECT_EQ(config.UserSessionTimeOut(), 10800);
  EXPECT_EQ(config.WebAdminSessionTimeOut(), 10800);
  EXPECT_EQ(config.LogLevel(), KV_ERROR);
  EXPECT_EQ(config.MaxRequestSize(), 64L * 1024 * 1024);

  struct LevelCase {
    const char* text;
    KvLogLevel level;
  } levels[] = {{"KV_INFO", KV_INFO},       {"kv_audit", KV_AUDIT},
                {"kv_warning", KV_WARNING}, {"KV_ERROR", KV_ERROR},
                {"verbose", KV_ERROR},      {"", KV_ERROR}};
  for (const LevelCase& c : levels) {
    config.LogLevel(c.text, true);
    EXPECT_EQ(config.LogLevel(), c.level) << c.text;
  }

  struct FormatCase {
    const char* text;
    KvDBFormat format;
  } formats[] = {{"KV_LDAP", KV_LDAP}, {"kv_sql", KV_SQL},
                 {"KV_KAVRI", KV_KAVRI}, {"oracle", KV_KAVRI}};
  for (const FormatCase& c : formats) {
    config.WriteValue("projDBFormat", c.text, true);
    EXPECT_EQ(config.DBFormat(KV_PROJDIR), c.format) << c.text;
    EXPECT_EQ(config.DBFormat(KV_EMPDIR), KV_KAVRI);
  }

  struct SizeCase {
    const char* text;
    long size;
  } sizes[] = {{"1048576", 1048576},          {"0", 64L * 1024 * 1024},
               {"-5", 64L * 1024 * 1024},     {"12abc", 64L * 1024 * 1024},
               {"lots", 64L * 1024 * 1024}};
  for (const SizeCase& c : sizes) {
    config.WriteValue("maxRequestSize", c.text, true);
    EXPECT_EQ(config.MaxRequestSize(), c.size) << c.text;
  }

  config.WriteValue("ldapServerPort", "389", true);
  config.WriteValue("USERSESSIONTIMEOUT", "60", true);
  EXPECT_EQ(config.LDAPServerPort(), 389);
  EXPECT_EQ(config.UserSessionTimeOut(), 60) << "keys ignore case";
}

TEST_F(ConfigTest, PhotoStyleNeedsASize) {
  WriteConfig("photoStyle:KV_VARIABLE\n");
  KvConfigDB config;
  EXPECT_EQ(config.PhotoStyle(KV_FIXED, true, "  ", nullptr), 0);
  EXPECT_EQ(config.PhotoStyle(), KV_VARIABLE);
  EXPECT_EQ(config.PhotoHeight(), nullptr) << "nothing written";

  EXPECT_EQ(config.PhotoStyle("kv_fixed", true, "100", ""), 1);
  EXPECT_EQ(config.PhotoStyle(), KV_FIXED);
  EXPECT_EQ(S(config.PhotoHeight()), "100");

  EXPECT_EQ(config.PhotoStyle("other", true, nullptr, nullptr), 1);
  EXPECT_EQ(config.PhotoStyle(), KV_VARIABLE);
  EXPECT_EQ(S(config.PhotoHeight()), "100") << "sizes stay";
}

TEST_F(ConfigTest, DBFormatStoresConnectionData) {
  WriteConfig("DBENV:old\nDBNAME:old\n");
  KvConfigDB config;
  EXPECT_EQ(config.DBFormat(KV_LDAP, true, nullptr, KV_EMPDIR), 0);
  EXPECT_EQ(config.DBFormat(KV_EMPDIR), KV_KAVRI);

  char server[] = "ldap.example.com", dn[] = "cn=root", pw[] = "pw:1",
       base[] = "o=x";
  LDAPInfoRec ldap = {636, server, dn, pw, base};
  EXPECT_EQ(config.DBFormat("KV_LDAP", true, &ldap, KV_EMPDIR), 1);
  EXPECT_EQ(config.DBFormat(KV_EMPDIR), KV_LDAP);
  EXPECT_EQ(config.LDAPServerPort(), 636);
  EXPECT_EQ(S(config.LDAPRootPasswd()), "pw:1");

  char srv[] = "db1", user[] = "sa", upw[] = "sqlpw";
  SQLInfoRec sql = {srv, nullptr, srv, srv, user, upw, nullptr, nullptr,
                    nullptr};
  EXPECT_EQ(config.DBFormat(KV_SQL, true, &sql, KV_PROJDIR), 1);
  EXPECT_EQ(config.DBFormat(KV_PROJDIR), KV_SQL);
  EXPECT_EQ(config.DBFormat(KV_EMPDIR), KV_LDAP);
  EXPECT_EQ(config.ReadValue("DBENV"), nullptr) << "null removes";
  EXPECT_EQ(config.ReadValue("DBNAME"), nullptr);
  EXPECT_EQ(config.ReadValue("PRIMARYKEY"), nullptr) << "null leaves absent";

  SQLInfoRec got;
  config.GetSQLInfo(&got);
  EXPECT_EQ(S(got.userPasswd), "sqlpw");
  EXPECT_EQ(S(got.srvName), "db1");
  EXPECT_EQ(got.empTbl, nullptr);
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
  EXPECT_EQ(text.find("Secret#Root"), std::string::npos) << text;
  EXPECT_EQ(text.find("Sql$Secret"), std::string::npos) << text;
  KvCrypt crypt;
  char* scrambled = crypt.Encrypt("Secret#Root");
  EXPECT_NE(text.find(std::string("rootPasswd:") + scrambled + "\n"),
            std::string::npos);
  free(scrambled);
  EXPECT_EQ(S(config.LDAPRootPasswd()), "Secret#Root");
  EXPECT_EQ(S(config.SqlUserPasswd()), "Sql$Secret");

  KvConfigDB fresh;
  EXPECT_EQ(S(fresh.LDAPRootPasswd()), "Secret#Root");
  fresh.WebmasterAddr("w@x", true);
  ASSERT_EQ(fresh.WriteToFile(), 1);
  text = ReadAll(Config()) + ReadAll(Config() + ".bak");
  EXPECT_EQ(text.find("Secret#Root"), std::string::npos) << text;
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

TEST_F(ConfigTest, LogFileDefaultDoesNotDropEarlierChanges) {
  WriteConfig("logLevel:KV_ERROR\n");
  KvConfigDB config;
  config.DefaultStyle("blue", true);
  EXPECT_EQ(S(config.LogFile()), top + "/logs/kvlogfile");
  ASSERT_EQ(config.WriteToFile(), 1);
  KvConfigDB fresh;
  EXPECT_EQ(S(fresh.DefaultStyle()), "blue");
}

TEST_F(ConfigTest, RemovedAndEmptiedSettings) {
  WriteConfig("PHOTOCOL:pic\nPHOTOTABLE:photos\nsmtpServerName:mail\n");
  KvConfigDB config;
  config.SqlPhotoCol(nullptr, true);
  config.SqlPhotoTable("t2", true);
  config.SMTPServerName(nullptr, true);
  ASSERT_EQ(config.WriteToFile(), 1);
  KvConfigDB fresh;
  EXPECT_EQ(S(fresh.SqlPhotoCol()), "");
  EXPECT_EQ(fresh.ReadValue("PHOTOCOL"), nullptr);
  EXPECT_EQ(S(fresh.SqlPhotoTable()), "t2");
  char* smtp = fresh.SMTPServerName();
  EXPECT_TRUE(smtp == nullptr || *smtp == '\0') << smtp;
}

TEST_F(ConfigTest, CorruptFileIsAnError) {
  WriteConfig("");
  try {
    KvConfigDB config;
    FAIL() << "an empty configuration must not load";
  } catch (KvError* e) {
    std::string lines = dbtest::Lines(e);
    EXPECT_NE(lines.find("Read of the config file"), std::string::npos);
    EXPECT_NE(lines.find(". Read failed!"), std::string::npos) << lines;
  }
}

TEST_F(ConfigTest, CopyIsIndependent) {
  WriteConfig("defaultStyle:a\n");
  KvConfigDB config;
  config.DefaultStyle("b", true);
  KvConfigDB copy(config);
  copy.DefaultStyle("c", true);
  EXPECT_EQ(S(config.DefaultStyle()), "b");
  EXPECT_EQ(S(copy.DefaultStyle()), "c");
  ASSERT_EQ(copy.WriteToFile(), 1);
  EXPECT_EQ(S(KvConfigDB().DefaultStyle()), "c");
}

TEST_F(ConfigTest, TopDirectoryAndBackEndLibraryNames) {
  KvConfigDB config;
  EXPECT_EQ(S(config.GetTopKavriDir()), top);
  dbtest::WriteAll(top + "/lib/kvldapdblib_cgi.so", "");
  dbtest::WriteAll(top + "/lib/kvsqldblib_cgi.so", "");
  struct Case {
    KvDBFormat format;
    const char* file;  // null: no such library
  } cases[] = {{KV_KAVRI, nullptr},
               {KV_LDAP, "/lib/kvldapdblib_cgi.so"},
               {KV_SQL, "/lib/kvsqldblib_cgi.so"}};
  for (const Case& c : cases) {
    char* got = KvConfigDB::GetDLLPath(top.c_str(), c.format);
    EXPECT_EQ(S(got), c.file ? top + c.file : "(null)");
    free(got);
  }
  dbtest::WriteAll(top + "/lib/kvfiledblib_cgi.so", "");
  char* got = KvConfigDB::GetDLLPath(config.GetTopKavriDir(), KV_KAVRI);
  EXPECT_EQ(S(got), top + "/lib/kvfiledblib_cgi.so");
  free(got);
}

}  // namespace
