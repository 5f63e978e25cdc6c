// The console run as the web server runs it: login, sessions, routing to
// pages, the navigation bar and the error pages, one process per request.
#include <sys/stat.h>

#include "ConsoleTestTree.h"
#include "dblib.h"

namespace {

class ConsoleProcessTest : public ::testing::Test {
 protected:
  ConsoleResponse Get(const std::string& query, const std::string& cookies = "",
                      const std::map<std::string, std::string>& more = {}) {
    std::map<std::string, std::string> env = more;
    if (!cookies.empty()) env["HTTP_COOKIE"] = cookies;
    return tree_.Run("GET", query, env);
  }

  ConsoleTestTree tree_;
};

TEST_F(ConsoleProcessTest, LoginLeadsToFrontPageAndNavbar) {
  ConsoleResponse first = Get("");
  EXPECT_EQ(first.status, 0);
  EXPECT_TRUE(first.IsLoginPage());
  EXPECT_TRUE(first.Has("<title>Console Login</title>"));
  EXPECT_TRUE(first.Has("Please log in"));
  EXPECT_TRUE(first.cookies.empty());

  ConsoleResponse login = tree_.LogIn();
  EXPECT_EQ(login.status, 0);
  EXPECT_FALSE(login.IsLoginPage());
  EXPECT_TRUE(login.Has("name=\"application_navbar\""));
  EXPECT_TRUE(login.Has("src=\"velmoraadmin.cgi?program=navbar\""));
  EXPECT_TRUE(login.Has("src=\"../help/diradmin_sum.htm\""));
  EXPECT_TRUE(login.Has("<frameset cols=\"90,*\""));
  EXPECT_EQ(login.cookies["KavriUidCookie"], "u-alice");
  EXPECT_EQ(login.cookies["KavriIsWebmaster"], "TRUE");
  EXPECT_EQ(login.cookies["KavriDrovakLogin"], "FALSE");
  EXPECT_EQ(login.cookies["KavriSessionSig"].size(), 97u);
  EXPECT_EQ(login.cookieText["KavriSessionSig"].find("path=/; HttpOnly; SameSite=Strict;"),
            97u + 18);
  EXPECT_EQ(login.cookieText["KavriUidCookie"], "KavriUidCookie=u-alice; path=/;");
  EXPECT_EQ(tree_.TakeDirectoryCalls(), "CheckPassword u-alice\nUserLoggedIn u-alice\n");

  ConsoleResponse navbar = Get("program=navbar", login.CookieHeader());
  EXPECT_TRUE(navbar.Has("velmoraadmin.cgi?program=genDirAdminsConfPage"));
  EXPECT_TRUE(navbar.Has("Logout"));
  EXPECT_TRUE(navbar.Has("bgcolor=\"#cece9c\""));
  // Every page renews the session.
  EXPECT_EQ(navbar.cookies["KavriUidCookie"], "u-alice");
  EXPECT_EQ(navbar.cookies["KavriSessionSig"].size(), 97u);

  // The secret was made on first need, readable by the owner only.
  struct stat info;
  ASSERT_EQ(stat((tree_.top() + "/config/session.key").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_EQ(info.st_size, 32);
}

TEST_F(ConsoleProcessTest, FrontPageAndNavbarAsWritten) {
  struct Case {
    const char* query;
    const char* golden;
  } cases[] = {{"", "front_page.html"}, {"program=navbar", "navbar_file_format.html"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.golden);
    ConsoleResponse page = tree_.LogIn(c.query);
    EXPECT_EQ(page.body, ConsoleTestTree::ReadFile(std::string(TEST_DATA_DIR) +
                                                   "/velmoraadmin/" + c.golden));
  }
}

TEST_F(ConsoleProcessTest, RequestedPageFollowsFormLogin) {
  ConsoleResponse login = tree_.LogIn("program=navbar");
  EXPECT_FALSE(login.IsLoginPage());
  EXPECT_TRUE(login.Has("side_confdirectoryadmins"));
  EXPECT_EQ(login.cookies["KavriUidCookie"], "u-alice");

  // The login page carries the request to repeat, without the password.
  ConsoleResponse page = Get("program=navbar&extra=a%20b");
  EXPECT_TRUE(page.IsLoginPage());
  EXPECT_TRUE(page.Has("action=\"velmoraadmin.cgi?program=navbar&extra=a%20b\""))
      << page.body;
  ConsoleResponse failed = tree_.LogIn("program=navbar", "alice", "wrong");
  EXPECT_TRUE(failed.Has("action=\"velmoraadmin.cgi?program=navbar\""));
  EXPECT_FALSE(failed.Has("wrong"));
}

TEST_F(ConsoleProcessTest, LoginRefusals) {
  struct Case {
    const char* login;
    const char* password;
    const char* message;  // null: the plain login page
    const char* calls;
  } cases[] = {
      {"nobody", "secret", "Incorrect username, please try again", ""},
      // Not an administrator: refused before the password is looked at.
      {"carol", "pw", "You are not on the list of valid administrators.", ""},
      {"carol", "wrong", "You are not on the list of valid administrators.", ""},
      {"alice", "wrong", "Incorrect password, please try again",
       "CheckPassword u-alice\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.login) + "/" + c.password);
    ConsoleResponse page = tree_.LogIn("", c.login, c.password);
    EXPECT_TRUE(page.IsLoginPage());
    EXPECT_TRUE(page.Has(std::string("<h2>") + c.message + "</h2>")) << page.body;
    EXPECT_TRUE(page.cookies.empty());
    EXPECT_EQ(tree_.TakeDirectoryCalls(), c.calls);
  }
  // Early browsers submit on change and track the focus themselves.
  ConsoleResponse old = tree_.Run("GET", "", {{"HTTP_USER_AGENT", "Mozilla/3.01 (X11)"}});
  EXPECT_TRUE(old.Has("var loginFocussed = true;"));
  EXPECT_TRUE(old.Has("onFocus=\"loginOnFocus();\""));
  EXPECT_TRUE(old.Has("onChange=\"checkAndSubmitForm('passwd');\""));
  EXPECT_FALSE(tree_.Run("GET", "", {{"HTTP_USER_AGENT", "Mozilla/4.5"}}).Has("loginFocussed"));
  ConsoleResponse noPassword = tree_.Run("POST", "", {}, "login=alice");
  EXPECT_TRUE(noPassword.IsLoginPage());
  EXPECT_FALSE(noPassword.Has("Incorrect"));
}

TEST_F(ConsoleProcessTest, CommonLoginNameNeedsNoLoginInAnyCase) {
  tree_.SetDirectory({{"unreachable", "1"}});
  ConsoleResponse page = Get("program=APP_COMMON_PROG_LOGIN");
  EXPECT_EQ(page.status, 0);
  EXPECT_TRUE(page.IsLoginPage());
  EXPECT_TRUE(page.cookies.empty());
}

TEST_F(ConsoleProcessTest, ImportDataNeedsLogin) {
  ConsoleResponse page = Get("program=IMPORTDATA");
  EXPECT_TRUE(page.IsLoginPage());
  EXPECT_FALSE(page.Has("Bad program name"));
}

TEST_F(ConsoleProcessTest, UnknownProgramGivesBugReport) {
  std::string cookies = tree_.LogIn().CookieHeader();
  for (const char* name : {"noSuchPage", "operationDisplay"}) {
    ConsoleResponse page = Get(std::string("program=") + name, cookies);
    EXPECT_EQ(page.status, 0);
    EXPECT_TRUE(page.Has("Bug Report Form"));
    EXPECT_TRUE(page.Has(std::string("Bad program name ") + name));
    EXPECT_FALSE(page.Has("Module Main returned non-zero status"));
    EXPECT_NE(page.headers.find("Window-target: _top"), std::string::npos);
  }
  // A capable browser gets the mail form with the traceback.
  ConsoleResponse form = Get("program=noSuchPage", cookies,
                             {{"HTTP_USER_AGENT", "Mozilla/4.5 [en]"}});
  EXPECT_TRUE(form.Has("name=\"createform\""));
  EXPECT_TRUE(form.Has("value=\"Fatal\" selected=\"true\""));
  EXPECT_TRUE(form.Has("name=\"traceback\""));
  // A Microsoft browser always gets the instructions instead.
  ConsoleResponse msie = Get("program=noSuchPage", cookies,
                             {{"HTTP_USER_AGENT", "Mozilla/4.0 (compatible; MSIE 5.0)"}});
  EXPECT_FALSE(msie.Has("name=\"createform\""));
  EXPECT_TRUE(msie.Has("Make sure to append the following traceback in the mail."));
}

TEST_F(ConsoleProcessTest, ProgramFaultGivesBugReportAndIsLogged) {
  // Without its back-end library the directory cannot be created.
  unlink((tree_.top() + "/lib/kvfiledblib_cgi.so").c_str());
  ConsoleResponse page = Get("");
  EXPECT_EQ(page.status, 0);
  EXPECT_TRUE(page.Has("Bug Report Form"));
  EXPECT_TRUE(page.Has("Unable to locate the shared library to load!"));
  std::string log = ConsoleTestTree::ReadFile(tree_.top() + "/logs/kvlogfile");
  EXPECT_NE(log.find(":VelmoraAdmin:KV_ERROR:Error : line "), std::string::npos);
  EXPECT_NE(log.find("Unable to access the user data!"), std::string::npos);
}

TEST_F(ConsoleProcessTest, WebServerLogin) {
  ConsoleResponse front = Get("", "", {{"REMOTE_USER", "alice-web"}});
  EXPECT_FALSE(front.IsLoginPage());
  EXPECT_TRUE(front.Has("name=\"application_navbar\""));
  EXPECT_EQ(front.cookies["KavriDrovakLogin"], "TRUE");
  EXPECT_EQ(tree_.TakeDirectoryCalls(), "UserLoggedIn u-alice\n");

  ConsoleResponse navbar = Get("program=navbar", front.CookieHeader());
  EXPECT_TRUE(navbar.Has("side_confdirectoryadmins"));
  EXPECT_FALSE(navbar.Has("side_blogout"));

  // A web-server user who is no administrator gets the form.
  ConsoleResponse carol = Get("", "", {{"REMOTE_USER", "carol-web"}});
  EXPECT_TRUE(carol.IsLoginPage());
}

TEST_F(ConsoleProcessTest, NavbarButtonsByFormat) {
  struct Case {
    const char* format;
    bool accessControl, employeeData, accounts;
  } cases[] = {{"KV_KAVRI", false, true, true},
               {"KV_LDAP", true, false, false},
               {"KV_SQL", true, false, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    tree_.SetConfig({{"empDirDBFormat", c.format}});
    ConsoleResponse page = tree_.LogIn("program=navbar");
    ASSERT_FALSE(page.IsLoginPage());
    EXPECT_EQ(page.Has("Set Access Control"), c.accessControl);
    EXPECT_EQ(page.Has("Configure Employee Data"), c.employeeData);
    EXPECT_EQ(page.Has("Generate all user accounts"), c.accounts);
    for (const char* always : {"Customize Photos", "Customize Business Card",
                               "View Online Help", "Product Information and Feedback",
                               "Logout", "Do you really want to logout ?"})
      EXPECT_TRUE(page.Has(always)) << always;
  }
}

TEST_F(ConsoleProcessTest, ForgedAndCopiedCookiesAreRefused) {
  ConsoleResponse alice = tree_.LogIn();
  ConsoleResponse bob = tree_.LogIn("", "bob", "hunter2");
  auto with = [](std::map<std::string, std::string> cookies, const std::string& name,
                 const std::string& value) {
    cookies[name] = value;
    ConsoleResponse fake;
    fake.cookies = cookies;
    return fake.CookieHeader();
  };
  EXPECT_FALSE(Get("program=navbar", alice.CookieHeader()).IsLoginPage());

  struct Case {
    const char* what;
    std::string cookies;
  } cases[] = {
      {"no signature", with(alice.cookies, "KavriSessionSig", "")},
      {"other uid", with(alice.cookies, "KavriUidCookie", "u-bob")},
      {"bob's signature on alice's uid", with(alice.cookies, "KavriSessionSig",
                                              bob.cookies["KavriSessionSig"])},
      {"later expiry", with(alice.cookies, "KavriUserLoginTime",
                            std::to_string(std::stoll(alice.cookies["KavriUserLoginTime"]) + 60))},
      {"web-server flag", with(alice.cookies, "KavriDrovakLogin", "TRUE")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_TRUE(Get("program=navbar", c.cookies).IsLoginPage());
  }

  // Cookies of another installation carry a signature made with its key.
  ConsoleTestTree other;
  ConsoleResponse elsewhere = other.LogIn();
  EXPECT_FALSE(other.Run("GET", "program=navbar", {{"HTTP_COOKIE", elsewhere.CookieHeader()}})
                   .IsLoginPage());
  EXPECT_TRUE(Get("program=navbar", elsewhere.CookieHeader()).IsLoginPage());
}

TEST_F(ConsoleProcessTest, RemovedAdministratorLosesAccess) {
  std::string cookies = tree_.LogIn().CookieHeader();
  EXPECT_FALSE(Get("program=navbar", cookies).IsLoginPage());
  tree_.RemoveFromDirectory("admin.u-alice");
  EXPECT_TRUE(Get("program=navbar", cookies).IsLoginPage());
  tree_.AddToDirectory("admin.u-alice", "1");
  EXPECT_FALSE(Get("program=navbar", cookies).IsLoginPage());
}

TEST_F(ConsoleProcessTest, LogoutVoidsTheSession) {
  ConsoleResponse login = tree_.LogIn();
  ConsoleResponse out = Get("program=app_common_prog_logout", login.CookieHeader());
  EXPECT_TRUE(out.IsLoginPage());
  EXPECT_TRUE(out.Has("You have been logged out"));
  EXPECT_EQ(out.cookies["KavriUserLoginTime"], "0");
  EXPECT_EQ(out.cookies["KavriIsWebmaster"], "FALSE");
  EXPECT_EQ(out.cookies["KavriSessionSig"], "");
  EXPECT_EQ(out.cookies.count("KavriUidCookie"), 0u);
  std::string log = ConsoleTestTree::ReadFile(tree_.top() + "/logs/kvlogfile");
  EXPECT_NE(log.find(":KV_INFO:Uid u-alice logged out"), std::string::npos);

  std::map<std::string, std::string> after = login.cookies;
  for (const auto& [name, value] : out.cookies) after[name] = value;
  ConsoleResponse merged;
  merged.cookies = after;
  EXPECT_TRUE(Get("program=navbar", merged.CookieHeader()).IsLoginPage());
}

TEST_F(ConsoleProcessTest, UnreachableDirectoryAtLogin) {
  tree_.SetDirectory({{"unreachable", "1"}});
  ConsoleResponse page = Get("");
  EXPECT_EQ(page.status, 0);
  EXPECT_TRUE(page.Has("The following messages were produced by the product."));
  EXPECT_TRUE(page.Has("<b>The directory server is not responding</b>"));
  std::string log = ConsoleTestTree::ReadFile(tree_.top() + "/logs/kvlogfile");
  EXPECT_NE(log.find("KV_ERROR:Error : line "), std::string::npos);
}

TEST_F(ConsoleProcessTest, SignedSessionOutlastsADirectoryOutage) {
  std::string cookies = tree_.LogIn().CookieHeader();
  tree_.AddToDirectory("unreachable", "1");
  // The administrator stays in, so that the pages can report the outage.
  EXPECT_TRUE(Get("program=navbar", cookies).Has("side_confdirectoryadmins"));
  EXPECT_TRUE(Get("program=navbar", "").Has("<b>The directory server is not responding</b>"));
}

TEST_F(ConsoleProcessTest, UnreadableConfigurationStillGivesAPage) {
  ConsoleTestTree::WriteFile(tree_.top() + "/config/configInfo.lst", "");
  ConsoleResponse page = Get("");
  EXPECT_TRUE(page.Has("Bug Report Form"));
  EXPECT_TRUE(page.Has("No logging done!"));
  EXPECT_TRUE(page.Has("Corrupt config file"));
  EXPECT_TRUE(page.Has(std::string("mailto:") + kKvDefaultBugReportAddr));
}

TEST_F(ConsoleProcessTest, HelpAboutAndFeedbackPages) {
  std::string cookies = tree_.LogIn().CookieHeader();
  ConsoleResponse top = Get("program=app_common_prog_help_top", cookies);
  EXPECT_TRUE(top.Has("<frameset rows=\"37,*\""));
  EXPECT_TRUE(top.Has("velmoraadmin.cgi?program=app_common_prog_help_navbar"));
  ConsoleResponse nav = Get("program=app_common_prog_help_navbar", cookies);
  EXPECT_TRUE(nav.Has("faboutkavri.gif"));
  EXPECT_TRUE(nav.Has("target=\"about_main\""));
  ConsoleResponse about = Get("program=app_common_prog_about_kavri", cookies);
  EXPECT_TRUE(about.Has("Server platform: "));
  // The support address is one link, not a link inside a link.
  EXPECT_TRUE(about.Has("target=\"_blank\">https://support.velmora.example/</a>"))
      << about.body;
  ConsoleResponse feedback = Get("program=app_common_prog_help_feedback", cookies,
                                 {{"HTTP_USER_AGENT", "Mozilla/4.0"}});
  EXPECT_TRUE(feedback.Has("Tell us"));
  EXPECT_TRUE(feedback.Has("value=\"Enhancement\" selected=\"true\""));
}

TEST_F(ConsoleProcessTest, RequestBodyCapComesFromConfiguration) {
  std::string padding(200, 'x');
  std::string body = "login=alice&password=secret&pad=" + padding;
  tree_.SetConfig({{"maxRequestSize", "100"}});
  ConsoleResponse capped = tree_.Run("POST", "", {}, body);
  EXPECT_TRUE(capped.Has("Request body too large"));
  EXPECT_TRUE(capped.cookies.empty());
  tree_.SetConfig({{"maxRequestSize", "1000"}});
  EXPECT_FALSE(tree_.Run("POST", "", {}, body).IsLoginPage());
}

}  // namespace
