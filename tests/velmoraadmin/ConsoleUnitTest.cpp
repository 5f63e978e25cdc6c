// The console's parts in one process: session time-outs on a fixed clock,
// the framework's login and the answer to an unreachable directory. The process works in a test installation tree, as the program
// does.
#include <unistd.h>

#include <cstring>

#include "ConsoleTestTree.h"
#include "MemoryRequest.h"
#include "TestSupport.h"

namespace {

ConsoleTestTree* gTree = nullptr;

class TreeEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    gTree = new ConsoleTestTree;
    ASSERT_EQ(chdir(gTree->bin().c_str()), 0);
  }
  void TearDown() override {
    if (chdir("/") != 0) ADD_FAILURE();
    delete gTree;
  }
};
const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new TreeEnvironment);

const time_t kNow = 1700000000;
time_t FixedClock() { return kNow; }

class Probe : public VelmoraAdminCommon {
 public:
  using VelmoraAdminCommon::HandleEventError;
  using VelmoraAdminCommon::VelmoraAdminCommon;
};

KvConfigDB* Config() { return VelmoraAdminGetApp()->GetConfigDB(); }

class SessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    KavriBaseCommon::SetClock(&FixedClock);
    Config()->WriteValue("userSessionTimeOut", "100", true);
  }
  void TearDown() override { KavriBaseCommon::SetClock(nullptr); }

  // A signed administrator's session for u-alice ending at expiry.
  void SetSession(MemoryRequest& req, const std::string& expiry) {
    ValNameList* cookies = req.cookies;
    cookies->Replace("KavriUidCookie", "u-alice");
    cookies->Replace("KavriUserLoginTime", expiry.c_str());
    cookies->Replace("KavriIsWebmaster", "TRUE");
    std::string id = KvSessionStart("u-alice", {kNow, 100, 1000});
    cookies->Replace("KavriSessionSig",
                     KvSessionSign(id.c_str(), "u-alice", expiry.c_str(), true, false).c_str());
  }
};

TEST_F(SessionTest, TimeOutWindow) {
  struct Case {
    const char* timeOut;
    long long offset;  // login time minus now
    bool timedOut;
  } cases[] = {{"100", 0, false}, {"100", -1, true}, {"100", 100, false},
               {"100", 101, true}, {"100", -100000, true},
               // No time-out: only a logout (login time 0) ends the session.
               {"0", 5 - kNow, false}, {"0", -kNow, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.timeOut) + " " + std::to_string(c.offset));
    Config()->WriteValue("userSessionTimeOut", c.timeOut, true);
    MemoryRequest req;
    VelmoraAdminCommon handler(&req, VelmoraAdminGetApp());
    SetSession(req, std::to_string(kNow + c.offset));
    if (c.timeOut[0] != '0') {
      EXPECT_EQ(handler.CheckIfTimedOut(100), c.timedOut);
    }
    EXPECT_EQ(handler.FindUid() == nullptr, c.timedOut);
  }
  MemoryRequest none;
  VelmoraAdminCommon handler(&none, VelmoraAdminGetApp());
  EXPECT_EQ(handler.CheckIfTimedOut(100), 1);
  EXPECT_EQ(handler.CheckIfLoggedOut(), 1);
}

TEST_F(SessionTest, RecordsEndAtTheAbsoluteLifetimeIdleTimeOutOrRemoval) {
  auto at = [](long seconds, long lifetime) {
    return KvSessionLimits{kNow + seconds, 100, lifetime};
  };
  // Used every 90 seconds, a session still ends 300 seconds after login.
  std::string busy = KvSessionStart("u-alice", at(0, 300));
  for (long t : {0, 90, 180, 270, 299})
    EXPECT_EQ(KvSessionAlive(busy.c_str(), "u-alice", at(t, 300)), 1) << t;
  EXPECT_EQ(KvSessionAlive(busy.c_str(), "u-alice", at(300, 300)), 0);
  // Idle: the last use, written once a minute, may lag by that minute.
  std::string idle = KvSessionStart("u-alice", at(0, 0));
  EXPECT_EQ(KvSessionAlive(idle.c_str(), "u-alice", at(160, 0)), 1);
  EXPECT_EQ(KvSessionAlive(idle.c_str(), "u-alice", at(320, 0)), 1);
  EXPECT_EQ(KvSessionAlive(idle.c_str(), "u-alice", at(481, 0)), 0);
  // Another uid, an unknown id, a removed user.
  std::string other = KvSessionStart("u-alice", at(0, 0));
  EXPECT_EQ(KvSessionAlive(other.c_str(), "u-bob", at(0, 0)), 0);
  EXPECT_EQ(KvSessionAlive(std::string(32, '0').c_str(), "u-alice", at(0, 0)), 0);
  EXPECT_GE(KvSessionEndUser("u-alice"), 1);
  EXPECT_EQ(KvSessionAlive(other.c_str(), "u-alice", at(0, 0)), 0);
  // A login sweeps the records that have expired.
  KvSessionStart("u-carol", at(100000, 300));
  EXPECT_EQ(ConsoleTestTree::ReadFile("../../../config/sessions.lst").find("u-alice"),
            std::string::npos);
}

TEST(SessionKeyTest, SignaturesDependOnEveryField) {
  std::string base = KvSessionSign("i", "u", "10", true, false);
  EXPECT_EQ(base.size(), 66u);
  EXPECT_EQ(KvSessionIdOf(base.c_str()), "i");
  EXPECT_EQ(KvSessionVerify(base.c_str(), "u", "10", true, false), 1);
  for (const std::string& other :
       {KvSessionSign("j", "u", "10", true, false), KvSessionSign("i", "u", "11", true, false),
        KvSessionSign("i", "u", "10", false, false), KvSessionSign("i", "u", "10", true, true),
        // Lengths keep "u"+"10" apart from "u1"+"0".
        KvSessionSign("i", "u1", "0", true, false)})
    EXPECT_NE(base.substr(2), other.substr(2));
  // Another session's id under this signature does not verify.
  EXPECT_EQ(KvSessionVerify(("j" + base.substr(1)).c_str(), "u", "10", true, false), 0);
  EXPECT_EQ(KvSessionVerify(nullptr, "u", "10", true, false), 0);
  EXPECT_EQ(KvSessionVerify("i.zz", "u", "10", true, false), 0);
  std::string upper = base;
  for (char& ch : upper) ch = static_cast<char>(toupper(ch));
  upper[0] = 'i';
  EXPECT_EQ(KvSessionVerify(upper.c_str(), "u", "10", true, false), 1);
}

TEST(UnreachableDirectoryTest, DatabasePageOrLDAPFormAndOtherFaultsRethrown) {
  auto unreachable = [] {
    KvError* error = new KvError;
    error->SetKind(kKvErrorUnreachable);
    error->AddLine(1, "x.cpp", "LDAP server ldap.example.com is down", true);
    return error;
  };
  for (bool ldap : {false, true}) {
    if (ldap) {
      Config()->DBFormat(KV_LDAP, true, KV_EMPDIR);
      Config()->WriteValue("ldapServerName", "ldap.example.com", true);
      Config()->WriteValue("rootPasswd", "s3cr3t-pw", true);
      Config()->WriteValue("ldapServerPort", "389", true);
      Config()->WriteValue("rootDN", "cn=admin", true);
      Config()->WriteValue("ldapSearchBase", "o=Test", true);
    }
    MemoryRequest req;
    Probe handler(&req, VelmoraAdminGetApp());
    std::string page = req.Emit(handler.HandleEventError(unreachable(), "ctx"));
    Config()->DBFormat(KV_KAVRI, true, KV_EMPDIR);
    EXPECT_EQ(page.find("The following database error was reported.") != std::string::npos, !ldap);
    for (const char* piece : {"LDAP server ldap.example.com is down",
                              "value=\"updateLDAPSetupInfo\"",
                              "name=\"machineNo\" size=\"40\" value=\"ldap.example.com\"",
                              "name=\"rootPasswd\" size=\"40\" value=\"\""})
      EXPECT_EQ(page.find(piece) != std::string::npos, ldap || piece[0] == 'L') << piece << page;
    EXPECT_EQ(page.find("s3cr3t-pw"), std::string::npos);
  }
  MemoryRequest req;
  Probe handler(&req, VelmoraAdminGetApp());
  KvError* fault = new KvError;
  fault->AddLine(1, "x.cpp", "broken", false);
  try {
    handler.HandleEventError(fault, "Exception rethrown in here");
    ADD_FAILURE() << "not rethrown";
  } catch (KvError* e) {
    EXPECT_EQ(e, fault);
    EXPECT_NE(testsupport::Lines(e).find("Exception rethrown in here"), std::string::npos);
  }
}

// The framework's own login, for programs open to every user of the
// directory: the password is checked first, administrators are marked as
// such, and the person's chosen style is put in force.
TEST(BaseLoginTest, EveryValidUserMayLogIn) {
  struct Case {
    const char* login;     // null: no form
    const char* password;
    const char* remote;    // REMOTE_USER
    const char* setup;     // "0": the directory is not set up
    const char* uid;       // logged in as, or null
    const char* webmaster; // the "KavriIsWebmaster" cookie, or null
    const char* drovak;
    const char* message;   // on the login page, when not logged in
  } cases[] = {
      {"carol", "pw", "", "1", "u-carol", nullptr, "FALSE", nullptr},
      {"alice", "secret", "", "1", "u-alice", "TRUE", "FALSE", nullptr},
      {nullptr, nullptr, "carol-web", "1", "u-carol", nullptr, "TRUE", nullptr},
      {"carol", "wrong", "", "1", nullptr, nullptr, nullptr,
       "Incorrect password, please try again"},
      {"nobody", "pw", "", "1", nullptr, nullptr, nullptr,
       "Incorrect username, please try again"},
      {"carol", "pw", "", "0", nullptr, nullptr, nullptr,
       "Cannot login as the application is not setup"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.login ? c.login : c.remote) + " setup " + c.setup);
    gTree->AddToDirectory("setup", c.setup);
    MemoryRequest req;
    free(req.remoteUser);
    req.remoteUser = strdup(c.remote);
    if (c.login) req.Set({{"login", c.login}, {"password", c.password}});
    KavriBaseCommon handler(&req, VelmoraAdminGetApp(), false);
    Page* page = handler.UserAuthenticateAndLogin();
    gTree->RemoveFromDirectory("setup");
    EXPECT_STREQ(handler.GetMyUid(), c.uid);
    if (c.uid) {
      EXPECT_EQ(page, nullptr);
      EXPECT_STREQ(req.FindCookie("KavriIsWebmaster"), c.webmaster);
      EXPECT_STREQ(req.FindCookie("KavriDrovakLogin"), c.drovak);
    } else {
      std::string text = req.Emit(page);
      EXPECT_NE(text.find(std::string("<h2>") + c.message + "</h2>"), std::string::npos) << text;
    }
  }
}

TEST(BaseLoginTest, UsersChosenStyle) {
  struct Case {
    const char* chosen;       // the person's "style", or null
    const char* defaultOnly;  // "defaultOnly" setting
    const char* style;        // in force after the login
  } cases[] = {{"STYLE1", "false", "style1"}, {"nosuchstyle", "FALSE", "style0"},
               {"style1", "TRUE", "style0"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.chosen ? c.chosen : "(none)") + " " + c.defaultOnly);
    if (c.chosen) gTree->AddToDirectory("style.u-carol", c.chosen);
    Config()->WriteValue("defaultOnly", c.defaultOnly, true);
    MemoryRequest req({{"login", "carol"}, {"password", "pw"}});
    KavriBaseCommon handler(&req, VelmoraAdminGetApp(), false);
    EXPECT_EQ(handler.UserAuthenticateAndLogin(), nullptr);
    EXPECT_STREQ(handler.GetStyleName(), c.style);
    gTree->RemoveFromDirectory("style.u-carol");
  }
  Config()->RemoveValue("defaultOnly", true);
}

}  // namespace
