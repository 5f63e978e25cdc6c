// The access-control pages run as the web server runs them, over the real
// file directory back end: the rule of an attribute as written, what the save
// handlers leave in the directory, the operation form back from the person
// selector, and attribute names that must not reach a page raw.
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "FileBackendTest.h"
#include "TestSupport.h"

namespace {

using testsupport::Strings;

const char kEnvelope[] = "<img border=\"0\" src=\"images/style0/menvelopeicon.gif\">";

class AccessControlTest : public FileBackendTest {
 protected:
  void SetUp() override {
    InstallFileBackend(kPeople);
    if (HasFatalFailure()) return;
    ConsoleTestTree::WriteFile(tree_.bin() + "/adminmsg.lst",
                               "BEGIN:vNameList\nAccessControlMsg1:Choose who may change what.\n"
                               "END:vNameList\n");
  }

  // An access list ("attrmod", "attrappr", "opermod", "opernotify") where
  // the file back end keeps it.
  std::string ListPath(const std::string& list, const std::string& id) const {
    return tree_.top() + "/data/common/access/" + list + "-" + id + ".lst";
  }
  Strings Stored(const std::string& list, const std::string& id) const {
    ValList* items = new ValList;
    items->Read(ListPath(list, id).c_str());
    return testsupport::Texts(items);
  }
  void Store(const std::string& list, const std::string& id, const Strings& items) const {
    std::string text = "BEGIN:vList\n";
    for (const std::string& item : items) text += item + "\n";
    testsupport::WriteAll(ListPath(list, id), text + "END:vList\n");
  }

  static std::string Golden(const std::string& name) {
    return ConsoleTestTree::ReadFile(std::string(TEST_DATA_DIR) + "/velmoraadmin/" + name);
  }
};

TEST_F(AccessControlTest, RuleWithPeopleAndApproversAsWritten) {
  Store("attrmod", "TITLE", {"mbrown", "self", "efox", "cyoung", "dlee", "dirAdmin"});
  Store("attrappr", "TITLE", {"efox", "dirAdmin", "cyoung"});
  EXPECT_EQ(Get("program=attribMainFrame&attribId=TITLE").body, Golden("access_rule.html"));
}

// Every save handler: what it leaves in its list and the page that follows.
TEST_F(AccessControlTest, SavingStoresTheListAndLeadsOn) {
  Store("attrappr", "TITLE", {"cyoung"});
  Store("opermod", "delete", {"dlee"});
  struct Case {
    const char* query;  // after "program="
    const char* list;
    const char* id;
    const char* body;
    Strings stored;
    std::string next;             // a piece of the page that follows
    const char* absent = nullptr; // not on that page
  } cases[] = {
      // Access checks off: nothing but "any", whatever else was ticked.
      {"saveAttributeModifier&attribId=TITLE", "attrmod", "TITLE",
       "accessControl=NO&attrib_uid_val=mbrown&empCheckbox=self&adminCheckbox=dirAdmin",
       {"any"}, "Anyone can modify attribute TITLE for anyone"},
      {"saveAttributeModifier&attribId=TITLE", "attrmod", "TITLE",
       "accessControl=default&attrib_uid_val=mbrown", {"default"},
       "Default access control set for attribute TITLE"},
      {"saveAttributeModifier&attribId=TITLE", "attrmod", "TITLE", "accessControl=YES", {},
       "No one is allowed to modify attribute TITLE"},
      // Only the users themselves: nobody to approve, so the rule follows.
      {"saveAttributeModifier&attribId=TITLE", "attrmod", "TITLE",
       "accessControl=YES&empCheckbox=self", {"self"}, "<li>Users(for themselves)"},
      // Approvers are chosen among the modifiers; the stored ones are ticked.
      {"saveAttributeModifier&attribId=TITLE", "attrmod", "TITLE",
       "accessControl=YES&attrib_uid_val=mbrown&attrib_uid_val=cyoung&adminCheckbox=x",
       {"mbrown", "cyoung", "dirAdmin"},
       "name=\"attrib_uid_val\" value=\"cyoung\" checked=\"true\">"},
      {"processSelectEmail&attribId=TITLE", "attrappr", "TITLE",
       "attrib_uid_val=mbrown&adminCheckbox=dirAdmin&hack=hack", {"mbrown", "dirAdmin"},
       std::string("<li>Directory admin(s)") + kEnvelope},
      // A token or a repeat sent as a uid is not stored.
      {"saveAttributeModifier&attribId=TITLE", "attrmod", "TITLE",
       "accessControl=YES&attrib_uid_val=any&attrib_uid_val=&attrib_uid_val=dlee"
       "&attrib_uid_val=DLEE",
       {"dlee"}, "program=processSelectEmail"},
      // The default rule cannot follow itself.
      {"saveAttributeModifier&attribId=defaultAttr", "attrmod", "defaultAttr",
       "accessControl=DEFAULT&adminCheckbox=dirAdmin", {"dirAdmin"},
       "<b>Select the person(s) who can, </b><i><b>by default, </b></i><b>approve change request "
       "for </b><i><b>all </b></i><b>the attributes</b>"},
      // Only the chosen people, not "self", may be notified.
      {"progSaveOperModifier&operId=add", "opermod", "add",
       "oper_uid_val=mbrown&oper_uid_val=cyoung&oper_uid_val=self&adminCheckbox=dirAdmin",
       {"mbrown", "cyoung", "dirAdmin"}, "name=\"oper_uid_val\" value=\"cyoung\"",
       "value=\"self\""},
      {"processOperationEmail&operId=add", "opernotify", "add",
       "oper_uid_val=cyoung&adminCheckbox=dirAdmin", {"cyoung", "dirAdmin"}, "cyoung"},
      // Any operation but "add" works on the delete lists; nobody left skips
      // the notification form.
      {"progSaveOperModifier&operId=remove", "opermod", "delete", "hack=hack", {},
       "hdeleteentry.gif\">\n    <br><i>No one is allowed to delete entries</i>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.query) + " " + c.body);
    ConsoleResponse page = Post(std::string("program=") + c.query, c.body);
    EXPECT_EQ(Stored(c.list, c.id), c.stored);
    EXPECT_TRUE(page.Has(c.next)) << page.body;
    EXPECT_FALSE(c.absent && page.Has(c.absent));
  }

  // Back from the selector, the edit form keeps only people of the cookie.
  Store("opermod", "delete", {"dirAdmin", "dlee"});
  ConsoleResponse back = Get("program=modifyOperPeople&operId=delete&selector=1",
                             {{"HTTP_COOKIE", "PersonSelectorCookie=efox:dirAdmin:cyoung"}});
  EXPECT_FALSE(back.Has("value=\"dirAdmin\" checked"));
  EXPECT_EQ(Count(back.body, "name=\"oper_uid_val\""), 2u);
  EXPECT_EQ(back.cookies["PersonSelectorCookie"], "efox:cyoung");
}

TEST_F(AccessControlTest, AttributeIdsNeverReachThePageOrScriptsRaw) {
  ConsoleResponse rule = Get("program=attribMainFrame&attribId=%3Cscript%3Ex");
  EXPECT_TRUE(rule.Has("Default access control set for attribute &lt;script&gt;x")) << rule.body;
  EXPECT_FALSE(rule.Has("<script>x"));
  EXPECT_TRUE(rule.Has("attribId=%3Cscript%3Ex\""));

  // An apostrophe cannot end the script string of the selector link.
  ConsoleResponse form = Get("program=attribModifyPeople&attribId=a%27)%3Balert(1)%3B%2F%2F");
  EXPECT_EQ(Count(form.body, "');alert"), 1u) << form.body;  // the heading's text
  EXPECT_TRUE(form.Has("attribId%3Da%2527%2529%253Balert%25281%2529%253B%252F%252F')\""));

  // Without an attribute there is nothing to show or store.
  for (const char* query : {"program=attribMainFrame", "program=saveAttributeModifier&attribId=",
                            "program=processSelectEmail"})
    EXPECT_TRUE(Get(query).Has("Bug Report Form")) << query;
  EXPECT_EQ(Stored("attrmod", ""), Strings{});
}

}  // namespace
