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
  // The server forgot the session: the cookies kept from before are void.
  EXPECT_TRUE(Get("program=navbar", login.CookieHeader()).IsLoginPage());
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

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST_F(ConsoleProcessTest, ChangesOnlyFromTheConsolesOwnPages) {
  std::string cookies = tree_.LogIn().CookieHeader();
  // The first row of these applies to every change; an empty
  // Sec-Fetch-Site is a browser that sends none.
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
  size_t refusals = 0;
  for (const char* change : kChanges) {
    for (const Header& h : headers) {
      if (&h - headers >= 4 && change != kChanges[0]) break;
      std::map<std::string, std::string> env = h.env;
      env["HTTP_COOKIE"] = cookies;
      SCOPED_TRACE(std::string(change) + " " + h.env.begin()->second);
      ConsoleResponse page = tree_.Run("POST", "", env, change);
      EXPECT_EQ(page.Has(kNotOwnPage), h.refused) << page.body;
      EXPECT_FALSE(page.IsLoginPage());
      refusals += h.refused;
    }
  }
  std::string log = ConsoleTestTree::ReadFile(tree_.top() + "/logs/kvlogfile");
  EXPECT_EQ(Count(log, "refused: the request did not come from the console's own pages ("),
            refusals);
  EXPECT_NE(log.find(":KV_AUDIT:u-alice procconfDirAdmins: refused: the request did not "
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
  ConsoleResponse asked = Get(change);
  EXPECT_TRUE(asked.IsLoginPage());
  ConsoleResponse form = tree_.LogIn(change);
  ConsoleResponse web = Get(change, "", {{"REMOTE_USER", "alice-web"}});
  for (const ConsoleResponse* page : {&form, &web}) {
    EXPECT_TRUE(page->Has("name=\"application_navbar\"")) << page->body;
    EXPECT_FALSE(page->Has("did not store"));
    EXPECT_EQ(page->cookies.at("KavriUidCookie"), "u-alice");
  }
  // With the session, the same request runs.
  EXPECT_TRUE(Get(change, form.CookieHeader()).Has("did not store"));
}

TEST_F(ConsoleProcessTest, SessionsEndAtTheirAbsoluteLifetime) {
  ConsoleResponse login = tree_.LogIn();
  EXPECT_FALSE(Get("program=navbar", login.CookieHeader()).IsLoginPage());
  // The server's record of the session was made twelve hours ago.
  std::string path = tree_.top() + "/config/sessions.lst";
  std::istringstream records(ConsoleTestTree::ReadFile(path));
  std::string id, uid, aged;
  long long created, used;
  while (records >> id >> created >> used >> uid)
    aged += id + " " + std::to_string(created - 12 * 3600) + " " + std::to_string(used) +
            " " + uid + "\n";
  ASSERT_FALSE(aged.empty());
  ConsoleTestTree::WriteFile(path, aged);
  EXPECT_TRUE(Get("program=navbar", login.CookieHeader()).IsLoginPage());
}

TEST_F(ConsoleProcessTest, CookiesAreSecureOverHttps) {
  ConsoleResponse https = tree_.Run("POST", "", {{"HTTPS", "on"}}, "login=alice&password=secret");
  ASSERT_EQ(https.cookieText.size(), 5u);
  for (const auto& [name, text] : https.cookieText)
    EXPECT_EQ(text.substr(text.size() - 9), "; Secure;") << text;
  EXPECT_EQ(tree_.LogIn().cookieText["KavriUidCookie"], "KavriUidCookie=u-alice; path=/;");
}

TEST_F(ConsoleProcessTest, OversizedFormsAreRefused) {
  std::string cookies = tree_.LogIn().CookieHeader();
  std::string many;
  for (int i = 0; i < 5001; ++i) many += "&dirAdminUidVal=u-bob";
  struct Case {
    std::string body;
    const char* reason;  // null: within the limits
  } cases[] = {
      {"program=proModAddnalFlds&sub_program=processadd&size=10&fldheading=" +
           std::string(100 * 1024, 'h'),
       "the value of fldheading is longer than 256 bytes."},
      {"program=useradminChangeJcardLabel&sub_program=saveLabels&newentry_val_0=" +
           std::string(257, 'x'),
       "the value of newentry_val_0 is longer than 256 bytes."},
      {"program=procconfDirAdmins" + many,
       "more than 5000 values were sent for dirAdminUidVal."},
      {"program=processData&dataFile=/" + std::string(300, 'd'), nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body.substr(0, 60));
    ConsoleResponse page = tree_.Run("POST", "", {{"HTTP_COOKIE", cookies}}, c.body);
    EXPECT_EQ(page.Has("The change was not made"), c.reason != nullptr);
    if (c.reason) {
      EXPECT_TRUE(page.Has(std::string("The change was not made: ") + c.reason));
    }
  }
  std::string log = ConsoleTestTree::ReadFile(tree_.top() + "/logs/kvlogfile");
  EXPECT_NE(log.find(":KV_AUDIT:u-alice proModAddnalFlds/processadd: refused: the value of "
                     "fldheading is longer than 256 bytes."),
            std::string::npos);
}

}  // namespace
