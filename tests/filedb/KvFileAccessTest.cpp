// Attribute descriptions and access-control lists of the file back end.
#include <algorithm>

#include "FileDBTestSupport.h"

using namespace filedbtest;

namespace {

TEST_F(FileDBTest, AttributesHaveTypesAndOptions) {
  Strings ids = Texts(db->GetAttributeList());
  ASSERT_GE(ids.size(), 5u);
  EXPECT_EQ(ids[0], "FN");
  EXPECT_NE(std::find(ids.begin(), ids.end(), "TEL;WORK;VOICE"), ids.end());

  WriteAll(Common("attributes.lst"),
           "BEGIN:vNameList\nTITLE:kavriText\nX-KAVRI-LABEL-1:kavriSelectS:rooms\n"
           "NOTE\nEND:vNameList\n");
  WriteAll(Common("options/rooms.lst"),
           "BEGIN:vNameList\nr1:Room One\nr2:Room Two\nEND:vNameList\n");
  EXPECT_EQ(Texts(db->GetAttributeList()), (Strings{"TITLE", "X-KAVRI-LABEL-1"}));
  std::unique_ptr<ValNameList> types(db->GetAttributeTypes());
  ValNameListItem* select = types->Lookup("x-kavri-label-1");
  ASSERT_NE(select, nullptr);
  EXPECT_STREQ(select->value, "kavriSelectS");
  EXPECT_STREQ(select->extra1, "rooms");
  EXPECT_EQ(types->Lookup("TITLE")->extra1, nullptr);

  std::unique_ptr<ValNameList> options(db->GetAttributeOptions("X-KAVRI-LABEL-1"));
  ASSERT_EQ(options->GetCount(), 2);
  EXPECT_STREQ(options->Lookup("r2")->value, "Room Two");
  std::unique_ptr<ValNameList> none(db->GetAttributeOptions("TITLE"));
  EXPECT_EQ(none->GetCount(), 0);
}

TEST_F(FileDBTest, AccessListsStartWithDefaultsAndAreKeptPerId) {
  EXPECT_EQ(Texts(db->GetAttribModifiers(nullptr, "defaultAttr")), Strings{"dirAdmin"});
  EXPECT_EQ(Texts(db->GetAttribModifiers(nullptr, "TITLE")), Strings{"default"});
  EXPECT_EQ(Texts(db->GetAttribApprovers(nullptr, "TITLE")), Strings{});
  EXPECT_EQ(Texts(db->GetOperModifiers("add")), Strings{"dirAdmin"});
  EXPECT_EQ(Texts(db->GetOperNotifyList("delete")), Strings{});

  struct Case {
    const char* id;
    Strings modifiers;
    Strings approvers;
  } cases[] = {
      {"defaultAttr", {"self", "dirAdmin"}, {"dirAdmin"}},
      {"TEL;WORK;VOICE", {"u1", "u2", "self"}, {"u2"}},
      {"TEL;WORK", {"any"}, {}},
      {"TEL/WORK", {}, {}},  // an empty list stays empty
      {"../../escape", {"u3"}, {"u3"}},
  };
  for (const Case& c : cases) {
    std::unique_ptr<ValList> m(ListOf(c.modifiers));
    std::unique_ptr<ValList> a(ListOf(c.approvers));
    EXPECT_EQ(db->SetAttribModifiers(nullptr, c.id, m.get()), 1);
    EXPECT_EQ(db->SetAttribApprovers(nullptr, c.id, a.get()), 1);
  }
  UserDB* other = NewDB();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(Texts(other->GetAttribModifiers(nullptr, c.id)), c.modifiers);
    EXPECT_EQ(Texts(other->GetAttribApprovers(nullptr, c.id)), c.approvers);
  }
  // Ids compare without regard to case, as on the pages.
  EXPECT_EQ(Texts(other->GetAttribModifiers(nullptr, "DEFAULTATTR")),
            (Strings{"self", "dirAdmin"}));
  EXPECT_EQ(Texts(other->GetAttribApprovers(nullptr, "tel;work;voice")), Strings{"u2"});
  Destroy(other);
  EXPECT_EQ(FilesContaining(top + "/data/common", "escape").size(), 0u);
  // Two lists and their lock files, all inside the access folder.
  EXPECT_EQ(FilesContaining(top + "/data/common/access", "escape").size(), 4u);

  std::unique_ptr<ValList> adders(ListOf({"dirAdmin", "u9"}));
  std::unique_ptr<ValList> told(ListOf({"u9"}));
  db->SetOperModifiers("add", adders.get());
  db->SetOperNotifyList("ADD", told.get());
  std::unique_ptr<ValList> deleters(ListOf({"u5"}));
  db->SetOperModifiers("remove", deleters.get());  // not "add": the delete lists
  EXPECT_EQ(Texts(db->GetOperModifiers("add")), (Strings{"dirAdmin", "u9"}));
  EXPECT_EQ(Texts(db->GetOperNotifyList("add")), Strings{"u9"});
  EXPECT_EQ(Texts(db->GetOperModifiers("delete")), Strings{"u5"});

  std::unique_ptr<ValList> bad(ListOf({"u1", "u2\nEND:vList"}));
  EXPECT_TRUE(Throws(
      [&] { db->SetAttribModifiers(nullptr, "TEL;WORK", bad.get()); }));
  EXPECT_EQ(Texts(db->GetAttribModifiers(nullptr, "TEL;WORK")), Strings{"any"});
}

}  // namespace
