// The console on the LDAP back end, run as the web server runs it: login by
// bind, the navigation bar of the LDAP format, the set-up page when the
// server cannot be reached and the values it posts, and an access-control
// change stored in the server and replicated to a second one.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "LdapTestWorld.h"

using namespace ldaptest;

namespace {

class ConsoleLdapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::unique_ptr<ValList> admins(ListOf({"bvogel"}));
    db->SetDirAdmins(admins.get());
    tree.SetConfig(LdapConfig(TheWorld().server.port()));
  }
  // Logged in as bvogel (password from the conversion).
  std::string Cookies() {
    ConsoleResponse login = tree.LogIn("", "bvogel", "bianca_vogel");
    EXPECT_FALSE(login.IsLoginPage()) << login.body;
    return login.CookieHeader();
  }
  ConsoleResponse Post(const std::string& query, const std::string& body,
                       const std::string& cookies) {
    return tree.Run("POST", query, {{"HTTP_COOKIE", cookies}}, body);
  }
  std::string Config() { return ReadAll(tree.top() + "/config/configInfo.lst"); }

  ConsoleTestTree& tree = *TheWorld().console;
  UserDBHolder db{TheWorld().server};
};

TEST_F(ConsoleLdapTest, LoginByBindAndTheLdapNavigationBar) {
  struct Case {
    const char* login;
    const char* password;
    const char* refusal;  // null: logged in
  } cases[] = {
      {"bvogel", "bianca_vogel", nullptr},
      {"bvogel", "wrong", "Incorrect password, please try again"},
      {"bvogel", "", "Incorrect password, please try again"},
      {"mbrown", "mark_brown", "You are not on the list of valid administrators."},
      {"*", "x", "Incorrect username, please try again"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.login) + "/" + c.password);
    ConsoleResponse page = tree.LogIn("", c.login, c.password);
    EXPECT_EQ(page.IsLoginPage(), c.refusal != nullptr);
    if (c.refusal) {
      EXPECT_TRUE(page.Has(c.refusal)) << page.body;
    }
  }
  ConsoleResponse navbar = tree.Run("GET", "program=navbar", {{"HTTP_COOKIE", Cookies()}});
  EXPECT_TRUE(navbar.Has("Set Access Control"));
  EXPECT_FALSE(navbar.Has("Configure Employee Data"));
  EXPECT_FALSE(navbar.Has("Generate all user accounts"));
}

TEST_F(ConsoleLdapTest, AnUnreachableServerLeadsToTheSetUpPageAndItsValuesAreStored) {
  std::string cookies = Cookies();
  int port = TheWorld().server.port();
  int nowhere = FreePort();
  tree.SetConfig(LdapConfig(nowhere));
  ConsoleResponse setup =
      tree.Run("GET", "program=showAttribList", {{"HTTP_COOKIE", cookies}});
  for (const std::string& piece :
       Strings{"<h1>LDAP Configuration</h1>", "Could not connect to database.",
               "Can't contact LDAP server", "action=\"admin.cgi\"", "value=\"updateLDAPSetupInfo\"",
               "name=\"portNo\" size=\"40\" value=\"" + std::to_string(nowhere)})
    EXPECT_TRUE(setup.Has(piece)) << piece << "\n" << setup.body;

  std::string root = "rootDN=cn%3Dadmin%2Co%3DKavri%2Cc%3DUS&searchBase=o%3DKavri%2Cc%3DUS";
  struct Case {
    std::string body;
    const char* answer;
    bool stored;  // the posted port is in the configuration afterwards
  } cases[] = {
      {"machineNo=127.0.0.1&portNo=0&" + root, "The LDAP settings were not saved.", false},
      {"machineNo=127.0.0.1&portNo=12a&" + root, "whole number from 1 to 65535", false},
      {"machineNo=&portNo=" + std::to_string(port) + "&" + root, "not saved", false},
      {"machineNo=127.0.0.1%0AevilKey%3A1&portNo=" + std::to_string(port) + "&" + root,
       "may not hold line breaks", false},
      {"machineNo=127.0.0.1&portNo=" + std::to_string(FreePort()) + "&rootPasswd=secret&" + root,
       "saved, but the directory cannot be reached", true},
      // The password field is empty: the stored one stays.
      {"machineNo=127.0.0.1&portNo=" + std::to_string(port) + "&rootPasswd=&" + root,
       "The LDAP settings were saved and the directory answers.", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    std::string before = Config();
    ConsoleResponse answer = Post("", "program=updateLDAPSetupInfo&" + c.body, cookies);
    EXPECT_TRUE(answer.Has(c.answer)) << answer.body;
    if (!c.stored) {
      EXPECT_EQ(Config(), before);
    }
  }
  std::string config = Config();
  EXPECT_NE(config.find("ldapServerPort:" + std::to_string(port) + "\n"), std::string::npos);
  EXPECT_EQ(config.find("evilKey"), std::string::npos);
  EXPECT_EQ(config.find("secret"), std::string::npos);  // kept scrambled
  EXPECT_FALSE(tree.Run("GET", "program=navbar", {{"HTTP_COOKIE", cookies}}).IsLoginPage());

  // Without a session nothing is stored.
  tree.SetConfig(LdapConfig(nowhere));
  std::string before = Config();
  Post("", "program=updateLDAPSetupInfo&machineNo=evil.example&portNo=389&" + root, "");
  EXPECT_EQ(Config(), before);
}

TEST_F(ConsoleLdapTest, AConsoleChangeReachesAReplica) {
  Slapd replica;
  ASSERT_TRUE(replica.Start(TheWorld().server.uri()));
  std::string cookies = Cookies();
  Post("program=saveAttributeModifier&attribId=mobile",
       "accessControl=YES&attrib_uid_val=zadams&adminCheckbox=dirAdmin", cookies);
  ConsoleResponse rule = Post("program=processSelectEmail&attribId=mobile",
                              "attrib_uid_val=lschmidt", cookies);
  EXPECT_TRUE(rule.Has("Zoe Adams")) << rule.body;  // display names from LDAP
  EXPECT_EQ(Texts(db->GetAttribApprovers(nullptr, "mobile")), Strings{"lschmidt"});
  EXPECT_TRUE(tree.Run("GET", "program=showAttribList", {{"HTTP_COOKIE", cookies}})
                  .Has("<option value=\"telephoneNumber\">"));
  Strings want = {"dirAdmin", "zadams"};
  Strings seen;
  for (int i = 0; i < 200 && seen != want; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    try {
      UserDBHolder copy(replica);
      seen = Sorted(Texts(copy->GetAttribModifiers(nullptr, "mobile")));
    } catch (KvError* e) {
      delete e;  // the replica may not have the base yet
    }
  }
  EXPECT_EQ(seen, want);
}

}  // namespace
