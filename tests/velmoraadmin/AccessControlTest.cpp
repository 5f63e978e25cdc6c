// The access-control pages run as the web server runs them, over the real
// file directory back end: the frames, the rule of an attribute and of an
// operation, the forms that edit them (first visit and return from the
// person selector), and what the save handlers leave in the directory.
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "FileBackendTest.h"
#include "TestSupport.h"

namespace {

using testsupport::Strings;

// Five people, so that a rule can list four or more; zadams is the directory
// administrator and makes every request through the web server.
const char kPeople[] =
    "BEGIN:VCARD\nFN:Zoe Adams\nUID:zadams\nEND:VCARD\n"
    "BEGIN:VCARD\nFN:Mark Brown\nUID:mbrown\nEND:VCARD\n"
    "BEGIN:VCARD\nFN:Carl Young\nUID:cyoung\nEND:VCARD\n"
    "BEGIN:VCARD\nFN:Dana Lee\nUID:dlee\nEND:VCARD\n"
    "BEGIN:VCARD\nFN:Eve Fox\nUID:efox\nEND:VCARD\n";
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

TEST_F(AccessControlTest, AttributeRuleTexts) {
  struct Case {
    const char* attribId;
    Strings modifiers;
    const char* text;
  } cases[] = {
      {"defaultAttr", {"any"},
       "<i>By default, anyone can modify any attribute for anyone(no access check)</i>"},
      // An item after "default" is ignored.
      {"TITLE", {"default", "self"}, "<i>Default access control set for attribute TITLE</i>"},
      {"defaultAttr", {}, "<i>By default, no one is allowed to modify any attribute</i>"},
      {"defaultAttr", {"dirAdmin"},
       "<b>By default, the following people can modify </b><i><b>all</b></i><b> the attributes.</b>"
       "\n    <br>\n    <ul>\n      <li>Directory admin(s)\n      </li>\n    </ul>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Store("attrmod", c.attribId, c.modifiers);
    ConsoleResponse page = Get(std::string("program=attribMainFrame&attribId=") + c.attribId);
    EXPECT_TRUE(page.Has(c.text)) << page.body;
    EXPECT_EQ(Count(page.body, "<li>"), c.modifiers.size() == 1 && c.modifiers[0] != "any" ? 1u : 0u);
    EXPECT_TRUE(page.Has(std::string("</hr><a href=\"velmoraadmin.cgi?program=attribModifyPeople"
                                     "&attribId=") + c.attribId + "\""));
  }
}

TEST_F(AccessControlTest, RuleWithPeopleAndApproversAsWritten) {
  Store("attrmod", "TITLE", {"mbrown", "self", "efox", "cyoung", "dlee", "dirAdmin"});
  Store("attrappr", "TITLE", {"efox", "dirAdmin", "cyoung"});
  EXPECT_EQ(Get("program=attribMainFrame&attribId=TITLE").body, Golden("access_rule.html"));

  // Fewer than four people sit beside the blank heading, centred.
  Store("attrmod", "TITLE", {"mbrown", "cyoung"});
  ConsoleResponse few = Get("program=attribMainFrame&attribId=TITLE");
  EXPECT_TRUE(few.Has("<td valign=\"center\" align=\"left\"><b></b></td>")) << few.body;
  EXPECT_TRUE(few.Has(std::string("Carl Young</a>") + kEnvelope));
  EXPECT_EQ(Count(few.body, kEnvelope), 1u);
}

TEST_F(AccessControlTest, SavingModifiersStoresTheListAndLeadsOn) {
  struct Case {
    const char* attribId;
    const char* body;
    Strings stored;
    const char* next;  // a piece of the page that follows
  } cases[] = {
      // Access checks off: nothing but "any", whatever else was ticked.
      {"TITLE", "accessControl=NO&attrib_uid_val=mbrown&empCheckbox=self&adminCheckbox=dirAdmin",
       {"any"}, "Anyone can modify attribute TITLE for anyone"},
      {"TITLE", "accessControl=default&attrib_uid_val=mbrown", {"default"},
       "Default access control set for attribute TITLE"},
      {"TITLE", "accessControl=YES", {}, "No one is allowed to modify attribute TITLE"},
      // Only the users themselves: nobody to approve, so the rule follows.
      {"TITLE", "accessControl=YES&empCheckbox=self", {"self"}, "<li>Users(for themselves)"},
      {"TITLE", "accessControl=YES&attrib_uid_val=mbrown&attrib_uid_val=cyoung&adminCheckbox=x",
       {"mbrown", "cyoung", "dirAdmin"}, "action=\"velmoraadmin.cgi?program=processSelectEmail&attribId=TITLE\""},
      // A token or a repeat sent as a uid is not stored.
      {"TITLE", "accessControl=YES&attrib_uid_val=any&attrib_uid_val=&attrib_uid_val=dlee"
                "&attrib_uid_val=DLEE",
       {"dlee"}, "program=processSelectEmail"},
      // The default rule cannot follow itself.
      {"defaultAttr", "accessControl=DEFAULT&adminCheckbox=dirAdmin", {"dirAdmin"},
       "<b>Select the person(s) who can, </b><i><b>by default, </b></i><b>approve change request "
       "for </b><i><b>all </b></i><b>the attributes</b>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    ConsoleResponse page =
        Post(std::string("program=saveAttributeModifier&attribId=") + c.attribId, c.body);
    EXPECT_EQ(Stored("attrmod", c.attribId), c.stored);
    EXPECT_TRUE(page.Has(c.next)) << page.body;
  }
}

TEST_F(AccessControlTest, ApproversAreChosenAmongModifiers) {
  Store("attrappr", "TITLE", {"cyoung"});
  ConsoleResponse form = Post("program=saveAttributeModifier&attribId=TITLE",
                              "accessControl=YES&attrib_uid_val=mbrown&attrib_uid_val=cyoung"
                              "&adminCheckbox=dirAdmin&empCheckbox=self");
  EXPECT_TRUE(form.Has("<input type=\"checkbox\" name=\"adminCheckbox\" value=\"dirAdmin\">"));
  EXPECT_TRUE(form.Has("name=\"attrib_uid_val\" value=\"mbrown\">"));
  EXPECT_TRUE(form.Has("name=\"attrib_uid_val\" value=\"cyoung\" checked=\"true\">"));

  ConsoleResponse rule = Post("program=processSelectEmail&attribId=TITLE",
                              "attrib_uid_val=mbrown&adminCheckbox=dirAdmin&hack=hack");
  EXPECT_EQ(Stored("attrappr", "TITLE"), (Strings{"mbrown", "dirAdmin"}));
  EXPECT_TRUE(rule.Has(std::string("<li>Directory admin(s)") + kEnvelope));
}

TEST_F(AccessControlTest, ModifyFormAsWritten) {
  Store("attrmod", "TITLE", {"self", "mbrown"});
  Store("attrmod", "defaultAttr", {"dirAdmin", "cyoung"});
  ConsoleResponse page = Get("program=attribModifyPeople&attribId=TITLE");
  EXPECT_EQ(page.body, Golden("access_modify_form.html"));
  EXPECT_EQ(page.cookies["PersonSelectorCookie"], "mbrown");
}

TEST_F(AccessControlTest, ModifyFormChoicesOnFirstVisitAndFromSelector) {
  struct Case {
    const char* attribId;
    Strings stored;
    const char* query;   // added to the request
    const char* cookie;  // PersonSelectorCookie
    const char* radio;   // the checked one
    bool self, admin;
    Strings people;      // checked boxes, in the cookie's order
  } cases[] = {
      {"TITLE", {"default"}, "", "", "DEFAULT", false, false, {}},
      {"TITLE", {"dirAdmin", "dlee"}, "", "efox", "YES", false, true, {"dlee"}},
      {"defaultAttr", {"any"}, "", "", "NO", false, false, {}},
      // Back from the selector: the people of the cookie, the choices of
      // the form, not the stored ones.
      {"TITLE", {"dirAdmin", "dlee"}, "&selector=1&accessControl=NO&empCheckbox=self",
       "efox:mbrown", "NO", true, false, {"efox", "mbrown"}},
      {"TITLE", {"any"}, "&selector=1&adminCheckbox=dirAdmin", "cyoung", "YES", false, true,
       {"cyoung"}},
      {"defaultAttr", {"any"}, "&selector=1&accessControl=DEFAULT", "", "YES", false, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.attribId) + c.query);
    Store("attrmod", c.attribId, c.stored);
    ConsoleResponse page =
        Get(std::string("program=attribModifyPeople&attribId=") + c.attribId + c.query,
            {{"HTTP_COOKIE", std::string("PersonSelectorCookie=") + c.cookie}});
    bool isDefault = std::string(c.attribId) == "defaultAttr";
    EXPECT_EQ(Count(page.body, "name=\"accessControl\""), isDefault ? 2u : 3u);
    EXPECT_TRUE(page.Has(std::string("name=\"numRadios\" value=\"") + (isDefault ? "2" : "3")));
    EXPECT_EQ(Count(page.body, "('accessControl')\" checked"), 1u);
    EXPECT_TRUE(page.Has(std::string("value=\"") + c.radio +
                         "\" onClick=\"validate('accessControl')\" checked=\"true\">"));
    EXPECT_EQ(page.Has("value=\"self\" onClick=\"validate('empCheckbox')\" checked"), c.self);
    EXPECT_EQ(page.Has("value=\"dirAdmin\" onClick=\"validate('adminCheckbox')\" checked"), c.admin);
    std::string cookie;
    for (const std::string& uid : c.people) {
      EXPECT_TRUE(page.Has("name=\"attrib_uid_val\" value=\"" + uid + "\" checked=\"true\""));
      cookie += (cookie.empty() ? "" : ":") + uid;
    }
    EXPECT_EQ(Count(page.body, "name=\"attrib_uid_val\""), c.people.size());
    EXPECT_EQ(page.cookies["PersonSelectorCookie"], cookie.empty() ? ":" : cookie);
  }
}

TEST_F(AccessControlTest, OperationRulesFormsAndLists) {
  ConsoleResponse notify = Post("program=progSaveOperModifier&operId=add",
                                "oper_uid_val=mbrown&oper_uid_val=cyoung&oper_uid_val=self"
                                "&adminCheckbox=dirAdmin");
  EXPECT_EQ(Stored("opermod", "add"), (Strings{"mbrown", "cyoung", "dirAdmin"}));
  // Only the chosen people, not "self", may be notified.
  EXPECT_EQ(Count(notify.body, "name=\"oper_uid_val\""), 2u);
  Post("program=processOperationEmail&operId=add", "oper_uid_val=cyoung&adminCheckbox=dirAdmin");
  EXPECT_EQ(Stored("opernotify", "add"), (Strings{"cyoung", "dirAdmin"}));

  // Any operation but "add" works on the delete lists; nobody left skips
  // the notification form.
  ConsoleResponse nobody = Post("program=progSaveOperModifier&operId=remove", "hack=hack");
  EXPECT_EQ(Stored("opermod", "delete"), Strings{});
  EXPECT_EQ(Stored("opermod", "add"), (Strings{"mbrown", "cyoung", "dirAdmin"}));
  EXPECT_TRUE(nobody.Has("hdeleteentry.gif\">\n    <br><i>No one is allowed to delete entries</i>"));

  // The edit form, first from the stored list, then back from the selector.
  Store("opermod", "delete", {"dirAdmin", "dlee"});
  ConsoleResponse first = Get("program=modifyOperPeople&operId=delete");
  EXPECT_TRUE(first.Has("name=\"adminCheckbox\" value=\"dirAdmin\" checked=\"true\">"));
  EXPECT_TRUE(first.Has("name=\"oper_uid_val\" value=\"dlee\" checked=\"true\">"));
  EXPECT_EQ(first.cookies["PersonSelectorCookie"], "dlee");
  EXPECT_TRUE(first.Has(
      "href=\"javascript:AdminOperSelector('../../selector/bin/selector.cgi','..%2F..%2Fadmin%2F"
      "bin%2Fvelmoraadmin.cgi%3Fprogram%3DmodifyOperPeople%26operId%3Ddelete')\""));
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

TEST_F(AccessControlTest, UnreachableDirectoryGivesTheDatabasePage) {
  ConsoleResponse before = Get("program=progOperMainFrame&operId=add");
  std::string data = tree_.top() + "/data";
  ASSERT_EQ(rename(data.c_str(), (data + ".away").c_str()), 0);
  ConsoleTestTree::WriteFile(data, "not a folder");
  for (const char* query : {"program=progOperMainFrame&operId=add", "program=showAttribList",
                            "program=attribModifyPeople&attribId=TITLE"}) {
    ConsoleResponse page = tree_.Run("GET", query, {{"HTTP_COOKIE", before.CookieHeader()}});
    EXPECT_TRUE(page.Has("The following database error was reported.")) << query << page.body;
  }
}

}  // namespace
