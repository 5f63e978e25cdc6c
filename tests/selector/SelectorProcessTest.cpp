// The person selector run as the web server runs it, over the file directory:
// searching, keeping the choice, and handing it back to the console in the
// cookies the console reads.
#include <sys/stat.h>

#include "FileBackendTest.h"

namespace {

const char kZoe[] =
    "BEGIN:VCARD\nFN:Zoe Adams\nEMAIL;INTERNET:zadams@example.com\nUID:zadams\nEND:VCARD\n";
const char kBack[] = "..%2F..%2Fadmin%2Fbin%2Fvelmoraadmin.cgi%3Fprogram%3DgenDirAdminsConfPage";

class SelectorTest : public FileBackendTest {
 protected:
  void Install(const std::string& more) {
    mkdir((tree_.top() + "/htdocs/selector").c_str(), 0755);
    mkdir((tree_.top() + "/htdocs/selector/bin").c_str(), 0755);
    std::string program = tree_.top() + "/htdocs/selector/bin/selector.cgi";
    ASSERT_EQ(symlink(SELECTOR_PROGRAM, program.c_str()), 0);
    InstallFileBackend((std::string(kZoe) + more).c_str());
    tree_.program = "selector/bin/selector.cgi";
  }
  static std::string Person(const std::string& uid, const std::string& name) {
    return "BEGIN:VCARD\nFN:" + name + "\nEMAIL:" + uid + "@example.com\nUID:" + uid +
           "\nEND:VCARD\n";
  }
};

TEST_F(SelectorTest, SearchesTenThousandPeopleThroughTheIndex) {
  std::string cards = Person("evil", "<b>Evil & Co</b>");
  for (int i = 0; i < 10000; ++i)
    cards += Person("p" + std::to_string(i),
                    "Given" + std::to_string(i) + " Family" + std::to_string(i % 100));
  Install(cards);

  struct Case {
    const char* query;
    size_t shown;
    const char* part;  // a piece of the page
  } cases[] = {
      {"given1234", 1, "value=\"p1234\""},          // first name
      {"FAMILY7", 50, "More people match"},         // family name, any case: 1100 match
      {"p999", 11, "<b>Given9990 Family90</b>"},    // uid, in name order
      {"p42%40example", 1, "p42@example.com"},      // e-mail address
      {"%3Cb%3Eevil", 1, "&lt;b&gt;Evil &amp; Co&lt;/b&gt;"},
      {"nobody", 0, "Nobody matches."},
  };
  for (const Case& c : cases) {
    ConsoleResponse r = Get(std::string("program=selector&q=") + c.query);
    EXPECT_EQ(Count(r.body, "name=\"pick\""), c.shown) << c.query;
    EXPECT_TRUE(r.Has(c.part)) << c.query << "\n" << r.body;
    EXPECT_FALSE(r.Has("<b>Evil")) << c.query;
  }
}

TEST_F(SelectorTest, HandsTheChoiceBackInTheCookiesTheConsoleReads) {
  Install(Person("p1", "Ann One") + Person("p2", "Ben Two") + Person("p3", "Cat Three"));
  ConsoleTestTree::WriteFile(tree_.top() + "/data/common/groups.lst",
                             "BEGIN:vNameList\ng-eng:Engineering\nEND:vNameList\n");
  ConsoleTestTree::WriteFile(tree_.top() + "/data/common/groupmembers.lst",
                             "BEGIN:vNameList\ng-eng:p1\nEND:vNameList\n");

  // Removing, and adding in single mode, keep the choice in the form.
  std::string state = "program=selector&chosen=p1&chosen=p2&chosenGroup=g-eng";
  ConsoleResponse removed = Post("", state + "&action=Remove&drop=p2&dropGroup=g-eng");
  EXPECT_EQ(Count(removed.body, "name=\"chosen\""), 1u);
  EXPECT_FALSE(removed.Has("name=\"chosenGroup\""));
  ConsoleResponse single =
      Post("", state + "&selector_mode=single&action=Add&pick=p3");
  EXPECT_EQ(Count(single.body, "name=\"chosen\""), 1u);
  EXPECT_TRUE(single.Has("name=\"chosen\" value=\"p3\""));

  // OK writes the cookies and loads the return link with "selector".
  ConsoleResponse ok =
      Post("", state + "&chosen=p3&chosen=bad%3Avalue&action=OK&return_url=" + kBack);
  EXPECT_EQ(ok.cookieText["PersonSelectorCookie"], "PersonSelectorCookie=p1:p2:p3; path=/;");
  EXPECT_EQ(ok.cookieText["GroupSelectorCookie"], "GroupSelectorCookie=g-eng; path=/;");
  EXPECT_TRUE(ok.Has("name=\"back\" value=\"../../admin/bin/velmoraadmin.cgi?"
                     "program=genDirAdminsConfPage&amp;selector=1\""))
      << ok.body;

  // Nothing chosen; a return link elsewhere is not followed.
  ConsoleResponse empty =
      Post("", "program=selector&action=OK&return_url=javascript%3Aalert(1)");
  EXPECT_EQ(empty.cookies["PersonSelectorCookie"], ":");
  EXPECT_FALSE(empty.Has("name=\"back\""));

  // Without a session the selector asks for a login and comes back to itself.
  ConsoleResponse anonymous = tree_.Run("GET", "program=front");
  EXPECT_TRUE(anonymous.IsLoginPage());
  EXPECT_TRUE(anonymous.Has("selector.cgi")) << anonymous.body;
}

}  // namespace
