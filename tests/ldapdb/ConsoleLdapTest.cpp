// The console on the LDAP back end, run as the web server runs it: the
// navigation bar and names of the LDAP format, and the set-up page when the
// server cannot be reached and the values it posts.
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

// The LDAP format has no employee data or account pages; its attribute
// names and display names come from the server.
TEST_F(ConsoleLdapTest, TheLdapNavigationBarAndNames) {
  std::string cookies = Cookies();
  ConsoleResponse navbar = tree.Run("GET", "program=navbar", {{"HTTP_COOKIE", cookies}});
  EXPECT_TRUE(navbar.Has("Set Access Control"));
  EXPECT_FALSE(navbar.Has("Configure Employee Data"));
  EXPECT_FALSE(navbar.Has("Generate all user accounts"));
  EXPECT_TRUE(tree.Run("GET", "program=showAttribList", {{"HTTP_COOKIE", cookies}})
                  .Has("<option value=\"telephoneNumber\">"));
  ConsoleResponse form = Post("program=saveAttributeModifier&attribId=mobile",
                              "accessControl=YES&attrib_uid_val=zadams&attrib_uid_val=lschmidt", cookies);
  EXPECT_TRUE(form.Has("Zoe Adams") && form.Has("Lena Schmidt")) << form.body;
}

TEST_F(ConsoleLdapTest, AnUnreachableServerLeadsToTheSetUpPageAndItsValuesAreStored) {
  std::string cookies = Cookies();
  int port = TheWorld().server.port();
  int nowhere = FreePort();
  tree.SetConfig(LdapConfig(nowhere));
  ConsoleResponse setup =
      tree.Run("GET", "program=showAttribList", {{"HTTP_COOKIE", cookies}});
  for (const std::string& piece :
       Strings{"Can't contact LDAP server", "action=\"admin.cgi\"", "value=\"updateLDAPSetupInfo\"",
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

}  // namespace
