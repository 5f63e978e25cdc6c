// The console run as the web server runs it: login, sessions, routing to
// pages, the error pages and the checks every change passes, one process per
// request.
#include <sys/stat.h>

#include <functional>

#include "ConsoleTestTree.h"
#include "TestSupport.h"
#include "dblib.h"

namespace {

using testsupport::CountOf;

class ConsoleProcessTest : public ::testing::Test {
 protected:
  ConsoleResponse Get(const std::string& query, const std::string& cookies = "",
                      std::map<std::string, std::string> env = {}) {
    if (!cookies.empty()) env["HTTP_COOKIE"] = cookies;
    return tree_.Run("GET", query, env);
  }
  std::string Log() const { return ConsoleTestTree::ReadFile(tree_.top() + "/logs/kvlogfile"); }

  ConsoleTestTree tree_;
};

TEST_F(ConsoleProcessTest, LoginSetsASessionThatEveryPageRenews) {
  ConsoleResponse first = Get("");
  EXPECT_TRUE(first.IsLoginPage() && first.cookies.empty());

  ConsoleResponse login = tree_.LogIn();
  EXPECT_FALSE(login.IsLoginPage());
  EXPECT_EQ(login.cookies["KavriUidCookie"], "u-alice");
  EXPECT_EQ(login.cookies["KavriIsWebmaster"], "TRUE");
  EXPECT_EQ(login.cookies["KavriDrovakLogin"], "FALSE");
  EXPECT_EQ(login.cookieText["KavriSessionSig"].find("path=/; HttpOnly; SameSite=Strict;"),
            97u + 18);
  EXPECT_EQ(login.cookieText["KavriUidCookie"], "KavriUidCookie=u-alice; path=/;");
  EXPECT_EQ(tree_.TakeDirectoryCalls(), "CheckPassword u-alice\nUserLoggedIn u-alice\n");

  // Every page renews the session. Pages, by any case of their name, need the
  // login; a name that is no page gives the bug report.
  ConsoleResponse navbar = Get("program=navbar", login.CookieHeader());
  EXPECT_EQ(navbar.cookies["KavriUidCookie"], "u-alice");
  EXPECT_EQ(navbar.cookies["KavriSessionSig"].size(), 97u);
  EXPECT_TRUE(Get("program=IMPORTDATA").IsLoginPage());
  ConsoleResponse bad = Get("program=operationDisplay", login.CookieHeader());
  EXPECT_TRUE(bad.Has("Bad program name operationDisplay")) << bad.body;
  EXPECT_NE(bad.headers.find("Window-target: _top"), std::string::npos);

  // The secret was made on first need, readable by the owner only.
  struct stat info;
  ASSERT_EQ(stat((tree_.top() + "/config/session.key").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_EQ(info.st_size, 32);

  ConsoleResponse https = tree_.Run("POST", "", {{"HTTPS", "on"}}, "login=alice&password=secret");
  ASSERT_EQ(https.cookieText.size(), 5u);
  for (const auto& [name, text] : https.cookieText)
    EXPECT_EQ(text.substr(text.size() - 9), "; Secure;") << text;
}

TEST_F(ConsoleProcessTest, LoginRefusals) {
  struct Case {
    const char* login;
    const char* password;
    const char* message;
    const char* calls;
  } cases[] = {
      {"nobody", "secret", "Incorrect username, please try again", ""},
      // Not an administrator: refused before the password is looked at.
      {"carol", "pw", "You are not on the list of valid administrators.", ""},
      {"alice", "wrong", "Incorrect password, please try again", "CheckPassword u-alice\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.login) + "/" + c.password);
    ConsoleResponse page = tree_.LogIn("program=navbar", c.login, c.password);
    EXPECT_TRUE(page.IsLoginPage());
    EXPECT_TRUE(page.Has(std::string("<h2>") + c.message + "</h2>")) << page.body;
    EXPECT_TRUE(page.cookies.empty());
    EXPECT_EQ(tree_.TakeDirectoryCalls(), c.calls);
    // The form repeats the request, never the password.
    EXPECT_TRUE(page.Has("action=\"velmoraadmin.cgi?program=navbar\""));
    EXPECT_FALSE(page.Has(std::string("\"") + c.password + "\""));
  }
  ConsoleResponse noPassword = tree_.Run("POST", "", {}, "login=alice");
  EXPECT_TRUE(noPassword.IsLoginPage());
  EXPECT_FALSE(noPassword.Has("Incorrect"));
}

// Installations that cannot work still answer with a page that says why.
TEST_F(ConsoleProcessTest, BrokenInstallationsGiveAPage) {
  struct Case {
    const char* what;
    std::function<void(ConsoleTestTree&)> breakIt;
    const char* query;
    std::vector<std::string> pieces;
    const char* logged;  // in the log, or null
  } cases[] = {
      {"no back-end library",
       [](ConsoleTestTree& t) { unlink((t.top() + "/lib/kvfiledblib_cgi.so").c_str()); }, "",
       {"Bug Report Form", "Unable to locate the shared library to load!"},
       "Unable to access the user data!"},
      {"the login needs no directory",
       [](ConsoleTestTree& t) { t.SetDirectory({{"unreachable", "1"}}); },
       "program=APP_COMMON_PROG_LOGIN", {"name=\"loginform\""}, nullptr},
      {"unreadable configuration",
       [](ConsoleTestTree& t) { t.WriteFile(t.top() + "/config/configInfo.lst", ""); }, "",
       {"Bug Report Form", "No logging done!", "Corrupt config file",
        std::string("mailto:") + kKvDefaultBugReportAddr},
       nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ConsoleTestTree tree;
    c.breakIt(tree);
    ConsoleResponse page = tree.Run("GET", c.query);
    for (const std::string& piece : c.pieces) EXPECT_TRUE(page.Has(piece)) << piece << page.body;
    if (c.logged) {
      EXPECT_NE(ConsoleTestTree::ReadFile(tree.top() + "/logs/kvlogfile").find(c.logged),
                std::string::npos);
    }
  }
}

TEST_F(ConsoleProcessTest, ForgedCopiedRevokedAndAgedSessionsAreRefused) {
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
  // The administrator stays in through an outage, so that the pages can
  // report it.
  tree_.AddToDirectory("unreachable", "1");
  EXPECT_TRUE(Get("program=navbar", alice.CookieHeader()).Has("side_confdirectoryadmins"));
  tree_.RemoveFromDirectory("unreachable");
  // Cookies of another installation carry a signature made with its key.
  ConsoleTestTree other;
  struct Case {
    const char* what;
    std::string cookies;
  } cases[] = {
      {"no signature", with(alice.cookies, "KavriSessionSig", "")},
      {"other uid", with(alice.cookies, "KavriUidCookie", "u-bob")},
      {"bob's signature on alice's uid",
       with(alice.cookies, "KavriSessionSig", bob.cookies["KavriSessionSig"])},
      {"later expiry", with(alice.cookies, "KavriUserLoginTime",
                            std::to_string(std::stoll(alice.cookies["KavriUserLoginTime"]) + 60))},
      {"web-server flag", with(alice.cookies, "KavriDrovakLogin", "TRUE")},
      {"another installation", other.LogIn().CookieHeader()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_TRUE(Get("program=navbar", c.cookies).IsLoginPage());
  }
  // An administrator taken off the list is out while off it.
  tree_.RemoveFromDirectory("admin.u-alice");
  EXPECT_TRUE(Get("program=navbar", alice.CookieHeader()).IsLoginPage());
  tree_.AddToDirectory("admin.u-alice", "1");
  EXPECT_FALSE(Get("program=navbar", alice.CookieHeader()).IsLoginPage());
  // Sessions end twelve hours after their login, however busy.
  std::string path = tree_.top() + "/config/sessions.lst";
  std::istringstream records(ConsoleTestTree::ReadFile(path));
  std::string id, uid, aged;
  long long created, used;
  while (records >> id >> created >> used >> uid)
    aged += id + " " + std::to_string(created - 12 * 3600) + " " + std::to_string(used) + " " +
            uid + "\n";
  ASSERT_FALSE(aged.empty());
  ConsoleTestTree::WriteFile(path, aged);
  EXPECT_TRUE(Get("program=navbar", alice.CookieHeader()).IsLoginPage());
}

TEST_F(ConsoleProcessTest, LogoutVoidsTheSession) {
  ConsoleResponse login = tree_.LogIn();
  ConsoleResponse out = Get("program=app_common_prog_logout", login.CookieHeader());
  EXPECT_EQ(out.cookies["KavriSessionSig"], "");
  EXPECT_NE(Log().find(":KV_INFO:Uid u-alice logged out"), std::string::npos);
  // The server forgot the session: the cookies kept from before are void,
  // with or without those of the logout.
  EXPECT_TRUE(Get("program=navbar", login.CookieHeader()).IsLoginPage());
  ConsoleResponse merged = login;
  for (const auto& [name, value] : out.cookies) merged.cookies[name] = value;
  EXPECT_TRUE(Get("program=navbar", merged.CookieHeader()).IsLoginPage());
}

// Every program that stores something, as the console's own pages ask.
const char* const kChanges[] = {
    "program=useradminChangeJcardLabel&sub_program=saveLabels",
    "program=useradminChangeEmpPageLabel&sub_program=genLabelOrder",
    "program=proModAddnalFlds&sub_program=processadd&fldheading=x&size=1",
    "program=proModAddnalFlds&sub_program=procDel&arg=Desc_1",
    "program=proModAddnalFlds&sub_program=procSave",
    "program=proModAddnalFlds&sub_program=procSaveOrder&hiddennumFlds=0",
    "program=saveAttributeModifier&attribId=title&accessControl=NO",
    "program=processSelectEmail&attribId=title",
    "program=progSaveOperModifier&operId=add",
    "program=processOperationEmail&operId=add",
    "program=processData&dataFile=",
    "program=processPhotos&photosDir=",
    "program=procconfDirAdmins&dirAdminUidVal=u-bob",
    "program=progProcessGenerateAccounts",
    "program=importdata&sub_program=displayOptions&filePath=x",
    "program=importdata&sub_program=saveCategories&categories=0",
    "program=importdata&sub_program=saveSubCategories&subcategories=0",
    "program=importdata&sub_program=genVersitFile",
};
const char kNotOwnPage[] =
    "The change was not made: the request did not come from the console's own pages.";

TEST_F(ConsoleProcessTest, ChangesOnlyFromTheConsolesOwnPages) {
  std::string cookies = tree_.LogIn().CookieHeader();
  // The first rows apply to every change; the others to the first only. An
  // empty Sec-Fetch-Site is a browser that sends none.
  struct Header {
    std::map<std::string, std::string> env;
    bool refused;
  } headers[] = {
      {{{"HTTP_SEC_FETCH_SITE", "same-site"}}, true},
      {{{"HTTP_SEC_FETCH_SITE", "cross-site"}}, true},
      {{{"HTTP_SEC_FETCH_SITE", ""}, {"HTTP_ORIGIN", "http://localhost:8463"}}, true},
      {{{"HTTP_SEC_FETCH_SITE", "same-origin"}}, false},
      {{{"HTTP_SEC_FETCH_SITE", "none"}}, false},
      {{{"HTTP_SEC_FETCH_SITE", ""}}, true},
      {{{"HTTP_SEC_FETCH_SITE", ""}, {"HTTP_ORIGIN", "http://localhost"}}, false},
      {{{"HTTP_SEC_FETCH_SITE", ""}, {"HTTP_HOST", "localhost:8462"},
        {"HTTP_REFERER", "http://localhost:8462/admin/bin/velmoraadmin.cgi"}}, false},
  };
  int refusals = 0;
  for (const char* change : kChanges) {
    for (const Header& h : headers) {
      if (&h - headers >= 4 && change != kChanges[0]) break;
      std::map<std::string, std::string> env = h.env;
      env["HTTP_COOKIE"] = cookies;
      SCOPED_TRACE(std::string(change) + " " + h.env.begin()->second);
      ConsoleResponse page = tree_.Run("POST", "", env, change);
      EXPECT_EQ(page.Has(kNotOwnPage), h.refused) << page.body;
      EXPECT_FALSE(page.IsLoginPage());
      EXPECT_FALSE(page.Has("Bad program name"));
      refusals += h.refused;
    }
  }
  EXPECT_EQ(CountOf(Log(), "refused: the request did not come from the console's own pages ("),
            refusals);
  EXPECT_NE(Log().find(":KV_AUDIT:u-alice procconfDirAdmins: refused: the request did not "
                       "come from the console's own pages (Sec-Fetch-Site cross-site)"),
            std::string::npos);
  // A GET of a change is refused like a POST; display pages are unaffected.
  std::map<std::string, std::string> foreign = {{"HTTP_SEC_FETCH_SITE", "cross-site"}};
  EXPECT_TRUE(Get("program=processOperationEmail&operId=add", cookies, foreign).Has(kNotOwnPage));
  ConsoleResponse display = Get("program=genDirAdminsConfPage", cookies, foreign);
  EXPECT_FALSE(display.Has(kNotOwnPage));
  EXPECT_TRUE(display.Has("dirAdminsSelector"));
}

TEST_F(ConsoleProcessTest, ALoginNeverRunsAChange) {
  // The test directory refuses to store administrators and says so: a
  // change that ran would show it.
  const std::string change = "program=procconfDirAdmins&dirAdminUidVal=u-bob";
  EXPECT_TRUE(Get(change).IsLoginPage());
  ConsoleResponse form = tree_.LogIn(change);
  ConsoleResponse web = Get(change, "", {{"REMOTE_USER", "alice-web"}});
  for (const ConsoleResponse* page : {&form, &web}) {
    EXPECT_TRUE(page->Has("name=\"application_navbar\"")) << page->body;
    EXPECT_FALSE(page->Has("did not store"));
  }
  // The web server's login is marked as such; one who is no administrator
  // gets the form.
  EXPECT_EQ(web.cookies["KavriDrovakLogin"], "TRUE");
  EXPECT_TRUE(Get("", "", {{"REMOTE_USER", "carol-web"}}).IsLoginPage());
  // With the session, the same request runs.
  EXPECT_TRUE(Get(change, form.CookieHeader()).Has("did not store"));
}

TEST_F(ConsoleProcessTest, OversizedRequestsAreRefused) {
  std::string cookies = tree_.LogIn().CookieHeader();
  std::string many;
  for (int i = 0; i < 5001; ++i) many += "&dirAdminUidVal=u-bob";
  struct Case {
    std::string body;
    const char* reason;  // null: within the limits
  } cases[] = {
      {"program=proModAddnalFlds&sub_program=processadd&size=10&fldheading=" +
           std::string(100 * 1024, 'h'),
       "The change was not made: the value of fldheading is longer than 256 bytes."},
      {"program=useradminChangeJcardLabel&sub_program=saveLabels&newentry_val_0=" +
           std::string(257, 'x'),
       "The change was not made: the value of newentry_val_0 is longer than 256 bytes."},
      {"program=procconfDirAdmins" + many,
       "The change was not made: more than 5000 values were sent for dirAdminUidVal."},
      {"program=processData&dataFile=/" + std::string(300, 'd'), nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body.substr(0, 60));
    ConsoleResponse page = tree_.Run("POST", "", {{"HTTP_COOKIE", cookies}}, c.body);
    EXPECT_EQ(page.Has("The change was not made"), c.reason != nullptr);
    if (c.reason) {
      EXPECT_TRUE(page.Has(c.reason));
    }
  }
  EXPECT_NE(Log().find(":KV_AUDIT:u-alice proModAddnalFlds/processadd: refused: the value of "
                       "fldheading is longer than 256 bytes."),
            std::string::npos);
  // The cap on the whole body comes from the configuration.
  std::string body = "login=alice&password=secret&pad=" + std::string(200, 'x');
  tree_.SetConfig({{"maxRequestSize", "100"}});
  ConsoleResponse capped = tree_.Run("POST", "", {}, body);
  EXPECT_TRUE(capped.Has("Request body too large"));
  EXPECT_TRUE(capped.cookies.empty());
  tree_.SetConfig({{"maxRequestSize", "1000"}});
  EXPECT_FALSE(tree_.Run("POST", "", {}, body).IsLoginPage());
}

}  // namespace
