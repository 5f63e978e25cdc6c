// The heading editors of the business card, the person page and the
// additional information fields: which fields the change form offers and
// checks, the order the order page builds and its arrows, what is stored and
// when, and the validation of the additional fields. The handlers work on
// cards and fields lists held in memory.
#include <cstring>

#include <gtest/gtest.h>

#include "MemoryRequest.h"
#include "TestSupport.h"

namespace {

bool Has(const std::string& page, const std::string& text) {
  return page.find(text) != std::string::npos;
}

VCard* MakeCard(const std::vector<std::pair<const char*, const char*>>& lines) {
  VCard* card = new VCard();
  for (const auto& [property, value] : lines) {
    VCardEntry* entry = VCardEntry::ParsePropertyName(property);
    entry->SetPropValue(value);
    card->AddEntry(entry);
  }
  return card;
}

// "NAME;PARAM=value|..." of a card, for comparisons.
std::string Describe(VCard* card) {
  std::string out;
  for (VCardEntry* e = card ? card->firstEntry : nullptr; e; e = e->next) {
    char* name = e->GetNameAndSubTypes();
    out += std::string(name) + "=" + (e->value ? e->value : "") + "|";
    free(name);
  }
  return out;
}

// The administrator's card: positions 0 N (not shown), 1 FN, 2 TEL;WORK;VOICE,
// 3 EMAIL;INTERNET, 4 ORG, 5 TITLE, 6 NOTE, 7 URL.
VCard* AdminCard() {
  return MakeCard({{"N", "Smith;Ann"}, {"FN", "Ann Smith"}, {"TEL;WORK;VOICE", "555"},
                   {"EMAIL;INTERNET", "ann@example.com"}, {"ORG", "Sales"}, {"TITLE", "Boss"},
                   {"NOTE", "x"}, {"URL", "http://example.com"}});
}

// A variant that keeps its template in memory; the directory names ORG
// with characters that must not end a script string or element.
template <class Base>
class MemoryLabel : public Base {
 public:
  MemoryLabel(RequestInfo* req, VCard* templateCard)
      : Base(req, VelmoraAdminGetApp()), stored(templateCard) {}
  VCard* GetTemplateCard() override { return stored ? stored->Copy() : nullptr; }
  KvBoolean WriteTemplateCard(VCard* card) override {
    stored.reset(card->Copy());
    ++writes;
    return true;
  }
  VCard* GetDataCard() override { return AdminCard(); }

  std::unique_ptr<VCard> stored;
  int writes = 0;

 protected:
  char* GetEntryDisplayName(VCardEntry* entry) override {
    if (entry->id == kVCardOrg) return strdup("Dept \"A\"</script>");
    return entry->GetDisplayRep();
  }
};
using PersonLabel = MemoryLabel<VelmoraAdminEmpLabel>;
using CardLabel = MemoryLabel<VelmoraAdminJcardLabel>;

std::string Order(ValNameList* list) {
  std::string out;
  for (ValNameListItem* i = list->GetFirst(); i; i = i->next)
    out += std::string(i->name) + ":" + i->value + " ";
  return out;
}

TEST(LabelChangeFormTest, OffersShownFieldsAndChecksExactMatches) {
  MemoryRequest req;
  PersonLabel label(&req, MakeCard({{"FN", "Name"}, {"TEL;WORK", "Phone"}}));
  std::string page = req.Emit(label.GenLabelChangeForm(nullptr));
  // N is not offered; rows count shown fields, positions count all fields.
  EXPECT_TRUE(Has(page, "name=\"numFldsDisplayd\" value=\"7\""));
  EXPECT_TRUE(Has(page, "name=\"ord_1\" value=\"2\""));
  EXPECT_TRUE(Has(page, "name=\"checkbox_0\" value=\"on\" checked=\"true\""));
  // TEL;WORK does not stand for TEL;WORK;VOICE.
  EXPECT_FALSE(Has(page, "name=\"checkbox_1\" value=\"on\" checked=\"true\""));
  EXPECT_TRUE(Has(page, "name=\"newentry_val_1\" size=\"30\" value=\"TEL(WORK)(VOICE)\""));
  EXPECT_TRUE(Has(page, "Message CustPersonHdg1_KAVRI not found"));
  EXPECT_EQ(label.writes, 0);
  // The person page insists on every checked heading; a name from the
  // directory cannot end the script's string or element.
  EXPECT_TRUE(Has(page, "alert(\"The checked field heading - FN has an empty "
                        "string in the Displayed As field!\");")) << page;
  EXPECT_TRUE(Has(page, "heading - Dept \\\"A\\\"\\x3c/script\\x3e has"));
  EXPECT_FALSE(Has(page, "Dept \"A\"</script>"));
}

// Change-form rows: row r shows card position r + 1 (FN, TEL, EMAIL, ORG,
// TITLE, NOTE, URL).
Vars ChangeForm(const std::vector<int>& checked, const char* step = "genLabelOrder") {
  Vars vars = {{"numFldsDisplayd", "7"}, {"sub_program", step}};
  for (int row = 0; row < 7; ++row) {
    vars.push_back({"ord_" + std::to_string(row), std::to_string(row + 1)});
    vars.push_back({"newentry_val_" + std::to_string(row), "H" + std::to_string(row)});
  }
  for (int row : checked) vars.push_back({"checkbox_" + std::to_string(row), "on"});
  return vars;
}

// The order page's rows: the name first, then the stored headings, then the
// new ones in card order; an arrow exchanges neighbours.
TEST(LabelOrderTest, NameFirstThenStoredThenNewAndArrowsExchangeNeighbours) {
  MemoryRequest req(ChangeForm({5, 3, 0, 2, 1}));  // NOTE, ORG, FN, EMAIL, TEL; TITLE off
  PersonLabel label(&req, MakeCard({{"TITLE", "T"}, {"EMAIL;INTERNET", "E"}, {"ORG", "O"},
                                    {"FN", "N"}}));
  std::unique_ptr<VCard> data(AdminCard());
  std::unique_ptr<ValNameList> order(label.GetDisplayOrderList(data.get(), label.stored.get()));
  EXPECT_EQ(Order(order.get()), "1:0 3:2 4:3 2:1 6:5 ");

  struct Case {
    const char* direction;
    const char* which;
    const char* expected;
  } cases[] = {
      {"UP", "2", "1:-1 4:-1 3:-1 "},
      {"down", "2", "1:-1 3:-1 4:-1 "},  // nothing below the last row
      {"up", "0", "1:-1 3:-1 4:-1 "},
      {"down", "99999999999", "1:-1 3:-1 4:-1 "},
      {"down", "x", "1:-1 3:-1 4:-1 "},
      {"up", "-2147483648", "1:-1 3:-1 4:-1 "},  // no overflow going up
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.direction) + " " + c.which);
    MemoryRequest req({{"numFldsDisplayd", "4"}, {"ord_0", "1"}, {"ord_1", "3"},
                       {"ord_2", "4"}, {"ord_3", "77"},  // names no field: dropped
                       {"direction", c.direction}, {"whichone", c.which}});
    PersonLabel arrowed(&req, nullptr);
    order.reset(arrowed.GetDisplayOrderList(data.get(), nullptr));
    EXPECT_EQ(Order(order.get()), c.expected);
  }
}

// What the order and save steps store: the typed headings, a repeated row
// once, not a field that is not shown; more than five on the business card
// are refused, also when the order is forged, and an arrow stores nothing.
TEST(LabelSaveTest, StoredCardsAndRefusals) {
  const char kOnlyFive[] = "<h2>You are allowed to select only 5 items.</h2>";
  auto save = [](std::vector<int> rows) {
    Vars vars = {{"sub_program", "saveLabels"}, {"direction", "NO"},
                 {"numFldsDisplayd", std::to_string(rows.size())}};
    for (size_t i = 0; i < rows.size(); ++i)
      vars.push_back({"ord_" + std::to_string(i), std::to_string(rows[i])});
    return vars;
  };
  struct Case {
    bool card;          // the business card, else the person page
    Vars vars;
    const char* stored; // null: nothing stored
    const char* shown;
  } cases[] = {
      {true, ChangeForm({0, 1, 2, 3, 4, 5}), nullptr, kOnlyFive},
      {true, ChangeForm({0, 1, 2, 3, 4}),
       "FN=H0|TEL;WORK;VOICE=H1|EMAIL;INTERNET=H2|ORG=H3|TITLE=H4|", "<i>H4</i>"},
      {true, save({0, 1, 1, 2, 3, 4, 5}),
       "FN=FN|TEL;WORK;VOICE=TEL(WORK)(VOICE)|EMAIL;INTERNET=EMAIL(INTERNET)|"
       "ORG=Dept \"A\"</script>|TITLE=TITLE|", "Message CustBusinessHdg3_KAVRI not found"},
      {true, save({1, 2, 3, 4, 5, 6}), nullptr, kOnlyFive},
      {false, ChangeForm({0, 2, 3}), "FN=H0|EMAIL;INTERNET=H2|ORG=H3|", "<i>H3</i>"},
      {false,
       {{"sub_program", "saveLabels"}, {"numFldsDisplayd", "3"}, {"ord_0", "1"}, {"ord_1", "3"},
        {"ord_2", "4"}, {"direction", "down"}, {"whichone", "1"}},
       nullptr, "name=\"ord_1\" value=\"4\""},
      // ORG had left the template meanwhile: it keeps its own name.
      {false, save({1, 4, 3, 4}), "FN=Name|ORG=Dept \"A\"</script>|EMAIL;INTERNET=Mail|",
       "<b>Mail</b>"},
  };
  for (const Case& c : cases) {
    MemoryRequest req(c.vars);
    auto check = [&](auto&& label) {
      std::string page = req.Emit(label.ProcessChangeForm());
      SCOPED_TRACE(page);
      EXPECT_EQ(label.writes, c.stored ? 1 : 0);
      if (c.stored) {
        EXPECT_EQ(Describe(label.stored.get()), c.stored);
      }
      EXPECT_TRUE(Has(page, c.shown));
    };
    if (c.card) check(CardLabel(&req, nullptr));
    else check(PersonLabel(&req, MakeCard({{"EMAIL;INTERNET", "Mail"}, {"FN", "Name"}})));
  }
}

TEST(LabelSaveTest, NumCheckedCountsOnlyRowsOfTheForm) {
  MemoryRequest req({{"numFldsDisplayd", "2000000000"}, {"checkbox_0", "ON"},
                     {"checkbox_1", "off"}, {"checkbox_5", "on"}, {"checkbox_x", "on"},
                     {"checkbox_-1", "on"}});
  EXPECT_EQ(PersonLabel(&req, nullptr).NumChecked(), 2);
  MemoryRequest none({{"numFldsDisplayd", "-3"}, {"checkbox_0", "on"}});
  EXPECT_EQ(PersonLabel(&none, nullptr).NumChecked(), 0);
}

// Additional information fields ---------------------------------------------

const time_t kNow = 1700000000;
time_t FixedClock() { return kNow; }

class MemoryFields : public VelmoraAdminAdditionalLabel {
 public:
  MemoryFields(RequestInfo* req, const Vars& items)
      : VelmoraAdminAdditionalLabel(req, VelmoraAdminGetApp()) {
    for (const auto& [name, value] : items) fields.Append(name.c_str(), value.c_str());
  }
  ValNameList fields;
  int writes = 0;

 protected:
  ValNameList* FetchFieldsList() override { return fields.Copy(); }
  KvBoolean WriteFieldsList(ValNameList* list) override {
    fields.RemoveAll();
    fields.Add(list);
    ++writes;
    return true;
  }
};

const Vars kThree = {{"Desc_1", "Room"}, {"Size_1", "10"}, {"Desc_2", "Desk"},
                     {"Size_2", "5"}, {"Desc_3", "Car"}, {"Size_3", "8"}};

class AdditionalTest : public ::testing::Test {
 protected:
  void SetUp() override { KavriBaseCommon::SetClock(&FixedClock); }
  void TearDown() override { KavriBaseCommon::SetClock(nullptr); }
};

// What each step stores, and the requests it refuses with the list left
// whole: shown on the page, or as an internal error.
TEST_F(AdditionalTest, ChangesMadeAndRefused) {
  Vars save = {{"sub_program", "procSave"}, {"Desc_1", "Room"}, {"Size_1", "10"},
               {"Desc_3", "Car"}, {"Size_3", "8"}};
  auto with = [](Vars vars, const Vars& more) {
    vars.insert(vars.end(), more.begin(), more.end());
    return vars;
  };
  struct Case {
    Vars vars;
    const char* stored;  // null: nothing written
    std::vector<const char*> shown;
    const char* error = nullptr;  // an internal error instead of a page
    Vars fields = kThree;
  } cases[] = {
      // A new field comes first; a line break in its heading is no fold.
      {{{"sub_program", "processadd"}, {"fldheading", "Room\r\nNo"}, {"size", "10"}},
       "Desc_1700000000:Room  No Size_1700000000:10 Desc_1:Room Size_1:10 ",
       {"name=\"Desc_1700000000\" size=\"20\" value=\"Room  No\""}, nullptr,
       {{"Desc_1", "Room"}, {"Size_1", "10"}}},
      // Several fields lead on to their order; every row moves.
      {{{"sub_program", "procSave"}, {"Desc_1", "Room"}, {"Size_1", "10"}, {"Desc_2", "Desk"},
        {"Size_2", "6"}, {"Desc_3", "Car"}, {"Size_3", "8"}, {"hiddennumFlds", "3"},
        {"ord_0", "0"}, {"ord_1", "1"}, {"ord_2", "2"}},
       "Desc_1:Room Size_1:10 Desc_2:Desk Size_2:6 Desc_3:Car Size_3:8 ",
       {"name=\"sub_program\" value=\"procSaveOrder\"", "arrowActionsubmitForm('down', '0')",
        "arrowActionsubmitForm('up', '2')"}},
      {{{"sub_program", "procDel"}, {"arg", "Desc_2"}}, "Desc_1:Room Size_1:10 ",
       {"<h2>Desc_2 deleted successfully</h2>"}, nullptr,
       {{"Size_2", "5"}, {"Desc_1", "Room"}, {"Size_1", "10"}, {"Desc_2", "Desk"}}},
      {{{"sub_program", "procSaveOrder"}, {"direction", "NO"}, {"hiddennumFlds", "3"},
        {"ord_0", "2"}, {"ord_1", "0"}, {"ord_2", "1"}},
       "Desc_3:Car Size_3:8 Desc_1:Room Size_1:10 Desc_2:Desk Size_2:5 ", {}},
      // Rows that name a field twice or no field: the others follow.
      {{{"sub_program", "procSaveOrder"}, {"direction", "NO"}, {"hiddennumFlds", "3"},
        {"ord_0", "1"}, {"ord_1", "1"}, {"ord_2", "7"}},
       "Desc_2:Desk Size_2:5 Desc_1:Room Size_1:10 Desc_3:Car Size_3:8 ", {}},
      // "=0A=" at the end would read back as a fold.
      {{{"sub_program", "processadd"}, {"fldheading", "Room=0A="}, {"size", "10"}}, nullptr,
       {"may not end in"}},
      {with(save, {{"Desc_2", "Desk=0a="}, {"Size_2", "5"}}), nullptr, {"may not end in"}},
      {with(save, {{"Desc_2", "Desk"}, {"Size_2", "12a"}}), nullptr, {"valid integer values"}},
      {with(save, {{"Desc_2", "Desk"}, {"Size_2", "-5"}}), nullptr, {"valid integer values"}},
      {with(save, {{"Desc_2", ""}, {"Size_2", "5"}}), nullptr, {"enter all the values"}},
      // Anything but a field's heading item leaves the list whole.
      {{{"sub_program", "procDel"}, {"arg", "Size_1"}}, nullptr, {"javascript:ConfirmDelete("}},
      // "up" on row 1 only redraws the page, rows 0 and 1 exchanged.
      {{{"sub_program", "procSaveOrder"}, {"direction", "up"}, {"whichone", "1"},
        {"hiddennumFlds", "3"}, {"ord_0", "0"}, {"ord_1", "1"}, {"ord_2", "2"}},
       nullptr, {"name=\"ord_0\" value=\"1\""}},
      {{{"sub_program", "nothing"}}, nullptr, {}, "Error: Bad subFunction name"},
      {{{"sub_program", "procDel"}}, nullptr, {}, "did not receive the name of the field"},
      {{{"sub_program", "procSaveOrder"}, {"hiddennumFlds", "2"}, {"ord_0", "0"}}, nullptr, {},
       "Did not find the requested var"},
      {{{"sub_program", "procSaveOrder"}, {"hiddennumFlds", "1"}, {"ord_0", "0"},
        {"direction", "down"}},
       nullptr, {}, "Did not find which one to exchange"},
      {{{"sub_program", "genaddform"}}, nullptr, {},
       "GetFieldsList() returned odd number of entries.", {{"Desc_1", "Room"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.vars.size() > 1 ? c.vars[1].second : c.vars[0].second);
    MemoryRequest req(c.vars);
    MemoryFields handler(&req, c.fields);
    try {
      std::string page = req.Emit(handler.ProcessChangeForm());
      EXPECT_FALSE(c.error) << page;
      for (const char* piece : c.shown) EXPECT_TRUE(Has(page, piece)) << piece << page;
      EXPECT_FALSE(Has(page, "arrowActionsubmitForm('up', '0')"));
      EXPECT_FALSE(Has(page, "arrowActionsubmitForm('down', '2')"));
    } catch (KvError* e) {
      std::string lines = testsupport::Lines(e);
      EXPECT_TRUE(c.error && Has(lines, c.error)) << lines;
    }
    EXPECT_EQ(handler.writes, c.stored ? 1 : 0);
    if (c.stored) {
      EXPECT_EQ(Order(&handler.fields), c.stored);
    }
  }
  // A second field in the same second gets a name of its own.
  MemoryRequest req(cases[0].vars);
  MemoryFields handler(&req, {{"Desc_1700000000", "A"}, {"Size_1700000000", "1"}});
  delete handler.ProcessChangeForm();
  EXPECT_EQ(handler.fields.GetNthItem(0)->name, std::string("Desc_1700000001"));
}

}  // namespace
