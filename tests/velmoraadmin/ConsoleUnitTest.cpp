// The console's parts in one process: session time-outs on a fixed clock,
// session records and signatures, and the answer to an unreachable
// directory. The process works in a test installation tree, as the program
// does.
#include <unistd.h>


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
}

// The set-up form an unreachable LDAP server leads to never shows the stored
// password; other faults go on up.
TEST(UnreachableDirectoryTest, LDAPFormWithoutThePasswordAndOtherFaultsRethrown) {
  KvError* error = new KvError;
  error->SetKind(kKvErrorUnreachable);
  error->AddLine(1, "x.cpp", "LDAP server ldap.example.com is down", true);
  Config()->DBFormat(KV_LDAP, true, KV_EMPDIR);
  Config()->WriteValue("ldapServerName", "ldap.example.com", true);
  Config()->WriteValue("rootPasswd", "s3cr3t-pw", true);
  MemoryRequest ldapReq;
  Probe probe(&ldapReq, VelmoraAdminGetApp());
  std::string page = ldapReq.Emit(probe.HandleEventError(error, "ctx"));
  Config()->DBFormat(KV_KAVRI, true, KV_EMPDIR);
  EXPECT_TRUE(page.find("name=\"machineNo\" size=\"40\" value=\"ldap.example.com\"") !=
              std::string::npos) << page;
  EXPECT_NE(page.find("name=\"rootPasswd\" size=\"40\" value=\"\""), std::string::npos);
  EXPECT_EQ(page.find("s3cr3t-pw"), std::string::npos);

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

}  // namespace
