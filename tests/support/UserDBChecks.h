// Checks every user directory back end passes the same way, each run by the
// back end's own tests: administrators, access-control lists and the
// additional fields, written through one directory object and read back
// through another.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "TestSupport.h"
#include "dblib.h"

namespace testsupport {

inline Strings Sorted(Strings s) {
  std::sort(s.begin(), s.end());
  return s;
}

inline std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  return s;
}

// Administrators are replaced whole, without repeats or empty names, and
// compare without regard to case; a list holding a line break is refused and
// the old one kept. Leaves people[1] the only administrator.
inline void CheckAdministrators(UserDB* db, UserDB* other, const Strings& people) {
  std::unique_ptr<ValList> admins(ListOf({people[0], "", people[1], Upper(people[0])})),
      bad(ListOf({people[2], "evil\nEND:vList"})), one(ListOf({people[1]}));
  EXPECT_EQ(db->SetDirAdmins(admins.get()), 1);
  EXPECT_TRUE(Throws([&] { db->SetDirAdmins(bad.get()); }));
  EXPECT_EQ(Texts(other->GetDirAdmins()), (Strings{people[0], people[1]}));
  EXPECT_EQ(other->IsDirAdmin(Upper(people[1]).c_str()), 1);
  EXPECT_EQ(other->IsDirAdmin(people[2].c_str()), 0);
  EXPECT_EQ(other->IsDirAdmin(""), 0);
  EXPECT_EQ(db->SetDirAdmins(one.get()), 1);
  EXPECT_EQ(other->IsDirAdmin(people[0].c_str()), 0);
  EXPECT_EQ(Texts(other->GetDirAdmins()), Strings{people[1]});
}

struct AccessCase {
  const char* id;
  Strings modifiers;
  Strings approvers;
};

// The lists start with their defaults (plainId: an attribute nobody set);
// each list is written new (with extra in it), then changed, and read back;
// known ids (the first two cases) compare without regard to case; the
// operations' lists are kept per operation ("remove" is "delete"); a list
// holding a line break is refused.
inline void CheckAccessLists(UserDB* db, UserDB* other, const char* plainId,
                             const std::vector<AccessCase>& cases, const std::string& extra) {
  EXPECT_EQ(Texts(db->GetAttribModifiers(nullptr, "defaultAttr")), Strings{"dirAdmin"});
  EXPECT_EQ(Texts(db->GetAttribModifiers(nullptr, plainId)), Strings{"default"});
  EXPECT_EQ(Texts(db->GetAttribApprovers(nullptr, plainId)), Strings{});
  EXPECT_EQ(Texts(db->GetOperModifiers("add")), Strings{"dirAdmin"});
  EXPECT_EQ(Texts(db->GetOperNotifyList("delete")), Strings{});
  for (int round = 0; round < 2; ++round) {
    for (const AccessCase& c : cases) {
      Strings m = c.modifiers, a = c.approvers;
      if (round == 0) {
        m.push_back(extra);
        a.push_back(extra);
      }
      std::unique_ptr<ValList> ml(ListOf(m)), al(ListOf(a));
      EXPECT_EQ(db->SetAttribModifiers(nullptr, c.id, ml.get()), 1);
      EXPECT_EQ(db->SetAttribApprovers(nullptr, c.id, al.get()), 1);
    }
  }
  for (const AccessCase& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(Sorted(Texts(other->GetAttribModifiers(nullptr, c.id))), Sorted(c.modifiers));
    EXPECT_EQ(Texts(other->GetAttribApprovers(nullptr, c.id)), c.approvers);
  }
  EXPECT_EQ(Sorted(Texts(other->GetAttribModifiers(nullptr, Upper(cases[0].id).c_str()))),
            Sorted(cases[0].modifiers));
  EXPECT_EQ(Texts(other->GetAttribApprovers(nullptr, Upper(cases[1].id).c_str())),
            cases[1].approvers);

  std::unique_ptr<ValList> adders(ListOf({"dirAdmin", extra})), told(ListOf({extra})),
      deleters(ListOf({extra})), bad(ListOf({extra, "u2\nEND:vList"}));
  db->SetOperModifiers("ADD", adders.get());
  db->SetOperNotifyList("add", told.get());
  db->SetOperModifiers("remove", deleters.get());
  EXPECT_EQ(Sorted(Texts(other->GetOperModifiers("add"))), Sorted({"dirAdmin", extra}));
  EXPECT_EQ(Texts(other->GetOperNotifyList("ADD")), Strings{extra});
  EXPECT_EQ(Texts(other->GetOperModifiers("delete")), Strings{extra});

  EXPECT_TRUE(Throws([&] { db->SetAttribModifiers(nullptr, cases[1].id, bad.get()); }));
  EXPECT_EQ(Sorted(Texts(other->GetAttribModifiers(nullptr, cases[1].id))),
            Sorted(cases[1].modifiers));
}

// The additional fields are kept whole and in order, in Desc_/Size_ pairs
// (a list with an odd one out is refused), and name the label fields.
inline void CheckFieldsList(UserDB* db, UserDB* other) {
  ValNameList fields;
  for (const char* pair : {"Desc_1=Office: Room", "Size_1=20", "Desc_0=Parking", "Size_0=5"}) {
    std::string text = pair;
    fields.Append(text.substr(0, text.find('=')).c_str(), text.substr(text.find('=') + 1).c_str());
  }
  EXPECT_EQ(db->WriteFieldsList(&fields), 1);
  fields.Append("Desc_2", "odd one out");
  EXPECT_TRUE(Throws([&] { db->WriteFieldsList(&fields); }));
  std::unique_ptr<ValNameList> back(other->GetFieldsList());
  Strings pairs;
  for (ValNameListItem* item = back->GetFirst(); item; item = item->next)
    pairs.push_back(std::string(item->name) + "=" + item->value);
  EXPECT_EQ(pairs, (Strings{"Desc_1=Office: Room", "Size_1=20", "Desc_0=Parking", "Size_0=5"}));
  VCardEntry label(kVCardFirstLabel + 1, "x");
  EXPECT_EQ(TakeText(other->GetEntryDisplayName(&label)), "Office: Room");
}

// The card template starts as the default and stays when the person template
// is written; both are kept whole and in order, written new and then
// replaced, with empty values, colons and line breaks.
inline void CheckTemplates(UserDB* db, UserDB* other) {
  auto print = [](VCard* card) {
    std::unique_ptr<VCard> owned(card);
    return card ? TakeText(card->Print(false)) : "(none)";
  };
  const std::string standard =
      "begin:vCard\nFN:Name\nTITLE:Title\nORG:Organization\nTEL;WORK;VOICE:Phone\n"
      "EMAIL;INTERNET:E-mail\nend:vCard";
  EXPECT_EQ(print(db->GetCardTemplate()), standard);
  VCard mine;
  const char* const rows[][2] = {{"TEL;WORK;FAX", "Fax: office"}, {"FN", "Who"},
                                 {"EMAIL;INTERNET", ""}, {"X-KAVRI-LABEL-1", "Two\nlines"}};
  for (const auto& row : rows) {
    VCardEntry* e = VCardEntry::ParsePropertyName(row[0]);
    e->SetPropValue(row[1]);
    mine.AddEntry(e);
  }
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(db->WritePersonTemplate(&mine), 1);
    EXPECT_EQ(print(other->GetPersonTemplate()), print(mine.Copy()));
  }
  EXPECT_EQ(print(other->GetCardTemplate()), standard);
  EXPECT_EQ(db->WriteCardTemplate(&mine), 1);
  EXPECT_EQ(print(other->GetCardTemplate()), print(mine.Copy()));
}

}  // namespace testsupport
