// The heading editors of the business card, the person page and the
// additional information fields: which fields the change form offers and
// checks, the order the order page builds and its arrows, what is stored and
// when, and the validation of the additional fields. The handlers work on
// cards and fields lists held in memory; two runs of the program check the
// routes end to end.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "ConsoleTestTree.h"
#include "TestSupport.h"
#include "velmoraadmin.h"

namespace {

// A request whose output is kept in memory.
class PageRequest {
 public:
  PageRequest() {
    stream_ = open_memstream(&buffer_, &size_);
    req_.outputStream = stream_;
    req_.cookies = new ValNameList;
  }
  ~PageRequest() {
    fclose(stream_);
    free(buffer_);
  }
  CGIRequestInfo* get() { return &req_; }
  void Set(const std::vector<std::pair<std::string, std::string>>& vars) {
    for (const auto& [name, value] : vars) req_.AddParam(name.c_str(), value.c_str());
  }
  std::string Emit(Page* page) {
    if (page == nullptr) return "";
    std::unique_ptr<Page> owned(page);
    owned->emit(&req_, 0, 1, "style0");
    fflush(stream_);
    std::string out(buffer_, size_);
    return out;
  }

 private:
  CGIRequestInfo req_;
  char* buffer_ = nullptr;
  size_t size_ = 0;
  FILE* stream_;
};

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
  return MakeCard({{"N", "Smith;Ann"},
                   {"FN", "Ann Smith"},
                   {"TEL;WORK;VOICE", "555"},
                   {"EMAIL;INTERNET", "ann@example.com"},
                   {"ORG", "Sales"},
                   {"TITLE", "Boss"},
                   {"NOTE", "x"},
                   {"URL", "http://example.com"}});
}

// A variant that keeps its template in memory and names fields by their
// display form.
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
  PageRequest req;
  PersonLabel label(req.get(), MakeCard({{"FN", "Name"}, {"TEL;WORK", "Phone"}}));
  std::string page = req.Emit(label.GenLabelChangeForm(nullptr));
  // N is not offered; rows count shown fields, positions count all fields.
  EXPECT_TRUE(Has(page, "name=\"numFldsDisplayd\" value=\"7\""));
  EXPECT_TRUE(Has(page, "name=\"ord_0\" value=\"1\""));
  EXPECT_TRUE(Has(page, "name=\"ord_1\" value=\"2\""));
  EXPECT_TRUE(Has(page, "name=\"checkbox_0\" value=\"on\" checked=\"true\""));
  // TEL;WORK does not stand for TEL;WORK;VOICE.
  EXPECT_FALSE(Has(page, "name=\"checkbox_1\" value=\"on\" checked=\"true\""));
  EXPECT_TRUE(Has(page, "name=\"newentry_val_0\" size=\"30\" value=\"Name\""));
  EXPECT_TRUE(Has(page, "name=\"newentry_val_1\" size=\"30\" value=\"TEL(WORK)(VOICE)\""));
  EXPECT_TRUE(Has(page, "document.createform.newentry_val_0.focus();"));
  EXPECT_TRUE(Has(page, "Message CustPersonHdg1_KAVRI not found"));
  EXPECT_EQ(label.writes, 0);

  const std::string script =
      "\nfunction checkInputFields() {\n"
      "\t\t\t\tif (document.forms[0].checkbox_0.checked != true) {\n"
      "\t\t\t\t\t\t\t\talert(\"FN should be always selected!\");\n"
      "\t\t\t\t\t\t\t\treturn document.forms[0].checkbox_0.focus()\n"
      "\t\t\t\t}\n"
      "\t\t\t\tif ((document.forms[0].checkbox_0.checked == true) && "
      "(document.forms[0].newentry_val_0.value == \"\")) {\n"
      "\t\t\t\t\t\t\t\talert(\"The checked field heading - FN has an empty "
      "string in the Displayed As field!\");\n"
      "\t\t\t\t\t\t\t\treturn document.forms[0].newentry_val_0.focus()\n"
      "\t\t\t\t}\n";
  EXPECT_TRUE(Has(page, script)) << page;
  EXPECT_TRUE(Has(page, "\t\t\t\tdocument.forms[0].method = \"POST\";\n"
                        "\t\t\t\treturn document.forms[0].submit();\n}\n"));
  // A name from the directory cannot end the script's string or element.
  EXPECT_TRUE(Has(page, "heading - Dept \\\"A\\\"\\x3c/script\\x3e has"));
  EXPECT_FALSE(Has(page, "Dept \"A\"</script>"));
}

TEST(LabelChangeFormTest, BusinessCardOnlyInsistsOnTheName) {
  PageRequest req;
  CardLabel label(req.get(), nullptr);
  std::string page = req.Emit(label.GenLabelChangeForm(nullptr));
  EXPECT_TRUE(Has(page, "FN should be always selected!"));
  EXPECT_FALSE(Has(page, "has an empty string"));
  EXPECT_TRUE(Has(page, "Message CustBusinessHdg1_KAVRI not found"));
}

// Change-form rows: row r shows card position r + 1 (FN, TEL, EMAIL, ORG,
// TITLE, NOTE, URL).
std::vector<std::pair<std::string, std::string>> ChangeForm(
    const std::vector<int>& checked) {
  std::vector<std::pair<std::string, std::string>> vars = {
      {"numFldsDisplayd", "7"}};
  for (int row = 0; row < 7; ++row) {
    vars.push_back({"ord_" + std::to_string(row), std::to_string(row + 1)});
    vars.push_back({"newentry_val_" + std::to_string(row), "H" + std::to_string(row)});
  }
  for (int row : checked) vars.push_back({"checkbox_" + std::to_string(row), "on"});
  return vars;
}

TEST(LabelOrderTest, NameFirstThenStoredThenNewInCardOrder) {
  PageRequest req;
  req.Set(ChangeForm({5, 3, 0, 2, 1}));  // NOTE, ORG, FN, EMAIL, TEL; TITLE off
  PersonLabel label(req.get(), MakeCard({{"TITLE", "T"}, {"EMAIL;INTERNET", "E"},
                                         {"ORG", "O"}, {"FN", "N"}}));
  std::unique_ptr<VCard> data(AdminCard());
  std::unique_ptr<ValNameList> order(
      label.GetDisplayOrderList(data.get(), label.stored.get()));
  EXPECT_EQ(Order(order.get()), "1:0 3:2 4:3 2:1 6:5 ");
}

TEST(LabelOrderTest, ArrowsExchangeNeighbours) {
  struct Case {
    const char* direction;
    const char* which;
    const char* expected;
  } cases[] = {
      {"down", "1", "1:-1 4:-1 3:-1 "},
      {"UP", "2", "1:-1 4:-1 3:-1 "},
      {"down", "2", "1:-1 3:-1 4:-1 "},  // nothing below the last row
      {"up", "0", "1:-1 3:-1 4:-1 "},
      {"down", "99999999999", "1:-1 3:-1 4:-1 "},
      {"down", "x", "1:-1 3:-1 4:-1 "},
      {"up", "-2147483648", "1:-1 3:-1 4:-1 "},  // no overflow going up
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.direction) + " " + c.which);
    PageRequest req;
    req.Set({{"numFldsDisplayd", "4"}, {"ord_0", "1"}, {"ord_1", "3"},
             {"ord_2", "4"}, {"ord_3", "77"},  // names no field: dropped
             {"direction", c.direction}, {"whichone", c.which}});
    PersonLabel label(req.get(), nullptr);
    std::unique_ptr<VCard> data(AdminCard());
    std::unique_ptr<ValNameList> order(label.GetDisplayOrderList(data.get(), nullptr));
    EXPECT_EQ(Order(order.get()), c.expected);
  }
}

TEST(LabelOrderTest, OrderPageStoresTypedHeadingsAndArrowsDoNot) {
  PageRequest req;
  req.Set(ChangeForm({0, 2, 3}));
  req.Set({{"sub_program", "genLabelOrder"}});
  PersonLabel label(req.get(), MakeCard({{"FN", "Old"}}));
  std::string page = req.Emit(label.ProcessChangeForm());
  EXPECT_EQ(label.writes, 1);
  EXPECT_EQ(Describe(label.stored.get()), "FN=H0|EMAIL;INTERNET=H2|ORG=H3|");
  EXPECT_TRUE(Has(page, "<i>H2</i>"));
  // The first row never moves, the second only down, the last only up.
  EXPECT_FALSE(Has(page, "arrowActionsubmitForm('down', '0')"));
  EXPECT_TRUE(Has(page, "arrowActionsubmitForm('down', '1')"));
  EXPECT_FALSE(Has(page, "arrowActionsubmitForm('up', '1')"));
  EXPECT_FALSE(Has(page, "arrowActionsubmitForm('down', '2')"));
  EXPECT_TRUE(Has(page, "arrowActionsubmitForm('up', '2')"));
  EXPECT_TRUE(Has(page, "name=\"ord_2\" value=\"4\""));
  EXPECT_TRUE(Has(page, "Message CustPersonHdg2_KAVRI not found"));

  PageRequest arrow;
  arrow.Set({{"sub_program", "saveLabels"}, {"numFldsDisplayd", "3"},
             {"ord_0", "1"}, {"ord_1", "3"}, {"ord_2", "4"},
             {"direction", "down"}, {"whichone", "1"}});
  PersonLabel again(arrow.get(), label.stored->Copy());
  page = arrow.Emit(again.ProcessChangeForm());
  EXPECT_EQ(again.writes, 0);
  EXPECT_LT(page.find("<i>H3</i>"), page.find("<i>H2</i>"));
  EXPECT_TRUE(Has(page, "name=\"ord_1\" value=\"4\""));
}

TEST(LabelOrderTest, BusinessCardTakesAtMostFive) {
  PageRequest six;
  six.Set(ChangeForm({0, 1, 2, 3, 4, 5}));
  six.Set({{"sub_program", "genLabelOrder"}});
  CardLabel refused(six.get(), nullptr);
  std::string page = six.Emit(refused.ProcessChangeForm());
  EXPECT_TRUE(Has(page, "<h2>You are allowed to select only 5 items.</h2>"));
  EXPECT_TRUE(Has(page, "name=\"numFldsDisplayd\""));  // the change form again
  EXPECT_EQ(refused.writes, 0);

  PageRequest five;
  five.Set(ChangeForm({0, 1, 2, 3, 4}));
  five.Set({{"sub_program", "genLabelOrder"}});
  CardLabel accepted(five.get(), nullptr);
  five.Emit(accepted.ProcessChangeForm());
  EXPECT_EQ(accepted.writes, 1);
}

TEST(LabelSaveTest, StoresRowsInOrderWithStoredHeadings) {
  PageRequest req;
  req.Set({{"sub_program", "saveLabels"}, {"direction", "NO"},
           {"numFldsDisplayd", "4"}, {"ord_0", "1"}, {"ord_1", "4"},
           {"ord_2", "3"}, {"ord_3", "4"}});  // a repeated row counts once
  PersonLabel label(req.get(), MakeCard({{"EMAIL;INTERNET", "Mail"},
                                         {"FN", "Name"}}));
  std::string page = req.Emit(label.ProcessChangeForm());
  EXPECT_EQ(label.writes, 1);
  // ORG had left the template meanwhile: it keeps its own name.
  EXPECT_EQ(Describe(label.stored.get()),
            "FN=Name|ORG=Dept \"A\"</script>|EMAIL;INTERNET=Mail|");
  EXPECT_TRUE(Has(page, "Message CustPersonHdg3_KAVRI not found"));
  EXPECT_TRUE(Has(page, "<b>Mail</b>"));
}

// A forged order is checked again: fields that are not shown and repeats are
// left out, and more than five on the business card are refused.
TEST(LabelSaveTest, ForgedOrdersAreCheckedAgain) {
  struct Case {
    std::vector<int> rows;
    int writes;
    const char* stored;
  } cases[] = {
      {{0, 1, 1, 2, 3, 4, 5}, 1,
       "FN=FN|TEL;WORK;VOICE=TEL(WORK)(VOICE)|EMAIL;INTERNET=EMAIL(INTERNET)|"
       "ORG=Dept \"A\"</script>|TITLE=TITLE|"},
      {{1, 2, 3, 4, 5, 6}, 0, ""},
  };
  for (const Case& c : cases) {
    PageRequest req;
    req.Set({{"sub_program", "saveLabels"}, {"direction", "NO"},
             {"numFldsDisplayd", std::to_string(c.rows.size())}});
    for (size_t i = 0; i < c.rows.size(); ++i)
      req.Set({{"ord_" + std::to_string(i), std::to_string(c.rows[i])}});
    CardLabel label(req.get(), nullptr);
    std::string page = req.Emit(label.ProcessChangeForm());
    EXPECT_EQ(label.writes, c.writes);
    EXPECT_EQ(Describe(label.stored.get()), c.stored);
    if (c.writes == 0) {
      EXPECT_TRUE(Has(page, "You are allowed to select only 5 items."));
    }
  }
}

TEST(LabelSaveTest, NumCheckedCountsOnlyRowsOfTheForm) {
  PageRequest req;
  req.Set({{"numFldsDisplayd", "2000000000"}, {"checkbox_0", "ON"},
           {"checkbox_1", "off"}, {"checkbox_5", "on"}, {"checkbox_x", "on"},
           {"checkbox_-1", "on"}});
  PersonLabel label(req.get(), nullptr);
  EXPECT_EQ(label.NumChecked(), 2);
  PageRequest none;
  none.Set({{"numFldsDisplayd", "-3"}, {"checkbox_0", "on"}});
  PersonLabel empty(none.get(), nullptr);
  EXPECT_EQ(empty.NumChecked(), 0);
}

// Additional information fields ---------------------------------------------

const time_t kNow = 1700000000;
time_t FixedClock() { return kNow; }

class MemoryFields : public VelmoraAdminAdditionalLabel {
 public:
  MemoryFields(RequestInfo* req, const std::vector<std::pair<std::string, std::string>>& items)
      : VelmoraAdminAdditionalLabel(req, VelmoraAdminGetApp()) {
    for (const auto& [name, value] : items) fields.Append(name.c_str(), value.c_str());
  }
  std::string Fields() const {
    std::string out;
    for (ValNameListItem* i = fields.GetFirst(); i; i = i->next)
      out += std::string(i->name) + "=" + i->value + " ";
    return out;
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

const std::vector<std::pair<std::string, std::string>> kThree = {
    {"Desc_1", "Room"}, {"Size_1", "10"}, {"Desc_2", "Desk"},
    {"Size_2", "5"}, {"Desc_3", "Car"}, {"Size_3", "8"}};

class AdditionalTest : public ::testing::Test {
 protected:
  void SetUp() override { KavriBaseCommon::SetClock(&FixedClock); }
  void TearDown() override { KavriBaseCommon::SetClock(nullptr); }
  // Runs one step of "proModAddnalFlds" on fields and returns the page.
  std::string Step(MemoryFields& handler, PageRequest& req) {
    return req.Emit(handler.ProcessChangeForm());
  }
};

TEST_F(AdditionalTest, AddingPutsTheNewFieldFirst) {
  PageRequest req;
  req.Set({{"sub_program", "processadd"}, {"fldheading", "Room\r\nNo"}, {"size", "10"}});
  MemoryFields handler(req.get(), {});
  std::string page = Step(handler, req);
  EXPECT_EQ(handler.Fields(), "Desc_1700000000=Room  No Size_1700000000=10 ");
  EXPECT_TRUE(Has(page, "name=\"Desc_1700000000\" size=\"20\" value=\"Room  No\""));
  // A second field in the same second gets a name of its own.
  Step(handler, req);
  EXPECT_EQ(handler.fields.GetNthItem(0)->name, std::string("Desc_1700000001"));
  EXPECT_EQ(handler.fields.GetCount(), 4);

  PageRequest fold;
  fold.Set({{"sub_program", "processadd"}, {"fldheading", "Room=0A="}, {"size", "10"}});
  MemoryFields refused(fold.get(), {});
  EXPECT_TRUE(Has(Step(refused, fold), "may not end in"));
  EXPECT_EQ(refused.writes, 0);
}

TEST_F(AdditionalTest, SavingRefusesBlankAndNonIntegerValues) {
  struct Case {
    const char* desc2;
    const char* size2;
    const char* message;
  } cases[] = {
      {"Desk", "12a", "valid integer values"},
      {"Desk", "-5", "valid integer values"},
      {"", "5", "enter all the values"},
      {"Desk", nullptr, "enter all the values"},
      {"Desk=0a=", "5", "may not end in"},  // would read back as a fold
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.desc2) + "/" + (c.size2 ? c.size2 : "(none)"));
    PageRequest req;
    req.Set({{"sub_program", "procSave"}, {"Desc_1", "Room"}, {"Size_1", "10"},
             {"Desc_2", c.desc2}, {"Desc_3", "Car"}, {"Size_3", "8"}});
    if (c.size2) req.Set({{"Size_2", c.size2}});
    MemoryFields handler(req.get(), kThree);
    std::string page = Step(handler, req);
    EXPECT_EQ(handler.writes, 0);
    EXPECT_TRUE(Has(page, c.message));
  }
}

TEST_F(AdditionalTest, SavingOneFieldShowsTheSummaryMoreTheOrder) {
  PageRequest one;
  one.Set({{"sub_program", "procSave"}, {"Desc_1", "Office"}, {"Size_1", "12"}});
  MemoryFields single(one.get(), {{"Desc_1", "Room"}, {"Size_1", "10"}});
  std::string page = Step(single, one);
  EXPECT_EQ(single.Fields(), "Desc_1=Office Size_1=12 ");
  EXPECT_TRUE(Has(page, "Message CustAdditionalHdg4_KAVRI not found"));
  EXPECT_TRUE(Has(page, "<b>Office</b>"));

  PageRequest three;
  three.Set({{"sub_program", "procSave"}, {"Desc_1", "Room"}, {"Size_1", "10"},
             {"Desc_2", "Desk"}, {"Size_2", "6"}, {"Desc_3", "Car"},
             {"Size_3", "8"}, {"hiddennumFlds", "3"}, {"ord_0", "0"},
             {"ord_1", "1"}, {"ord_2", "2"}});
  MemoryFields several(three.get(), kThree);
  page = Step(several, three);
  EXPECT_EQ(several.writes, 1);
  EXPECT_TRUE(Has(page, "name=\"sub_program\" value=\"procSaveOrder\""));
  EXPECT_TRUE(Has(page, "<b>6</b>"));
  // Every row moves: the first down only, the last up only.
  EXPECT_TRUE(Has(page, "arrowActionsubmitForm('down', '0')"));
  EXPECT_FALSE(Has(page, "arrowActionsubmitForm('up', '0')"));
  EXPECT_TRUE(Has(page, "arrowActionsubmitForm('up', '2')"));
  EXPECT_FALSE(Has(page, "arrowActionsubmitForm('down', '2')"));
  EXPECT_TRUE(Has(page, "Message CustAdditionalHdg2_KAVRI not found"));
}

TEST_F(AdditionalTest, DeletingRemovesBothItemsOfTheField) {
  PageRequest req;
  req.Set({{"sub_program", "procDel"}, {"arg", "Desc_2"}});
  MemoryFields handler(req.get(), {{"Size_2", "5"}, {"Desc_1", "Room"},
                                   {"Size_1", "10"}, {"Desc_2", "Desk"}});
  std::string page = Step(handler, req);
  EXPECT_EQ(handler.Fields(), "Desc_1=Room Size_1=10 ");
  EXPECT_TRUE(Has(page, "<h2>Desc_2 deleted successfully</h2>"));
  EXPECT_TRUE(Has(page, "javascript:ConfirmDelete("));

  // Anything but a field's heading item leaves the list whole.
  for (const char* arg : {"Size_1", "Desc_9", "Desc"}) {
    SCOPED_TRACE(arg);
    PageRequest bad;
    bad.Set({{"sub_program", "procDel"}, {"arg", arg}});
    MemoryFields kept(bad.get(), kThree);
    page = Step(kept, bad);
    EXPECT_EQ(kept.writes, 0);
    EXPECT_FALSE(Has(page, "deleted successfully"));
  }
}

TEST_F(AdditionalTest, SavingTheOrderKeepsEveryField) {
  struct Case {
    std::vector<std::pair<std::string, std::string>> vars;
    const char* expected;
  } cases[] = {
      {{{"hiddennumFlds", "3"}, {"ord_0", "2"}, {"ord_1", "0"}, {"ord_2", "1"}},
       "Car Room Desk "},
      // Rows that name a field twice or no field: the others follow.
      {{{"hiddennumFlds", "3"}, {"ord_0", "1"}, {"ord_1", "1"}, {"ord_2", "7"}},
       "Desk Room Car "},
  };
  for (const Case& c : cases) {
    PageRequest req;
    req.Set({{"sub_program", "procSaveOrder"}, {"direction", "NO"}});
    req.Set(c.vars);
    MemoryFields handler(req.get(), kThree);
    Step(handler, req);
    std::string headings;
    for (ValNameListItem* i = handler.fields.GetFirst(); i; i = i->next->next)
      headings += std::string(i->value) + " ";
    EXPECT_EQ(headings, c.expected);
    EXPECT_EQ(handler.fields.GetCount(), 6);
  }

  // "up" on row 1 exchanges rows 0 and 1 and only redraws the page.
  PageRequest arrow;
  arrow.Set({{"sub_program", "procSaveOrder"}, {"direction", "up"}, {"whichone", "1"},
             {"hiddennumFlds", "3"}, {"ord_0", "0"}, {"ord_1", "1"}, {"ord_2", "2"}});
  MemoryFields handler(arrow.get(), kThree);
  std::string page = Step(handler, arrow);
  EXPECT_EQ(handler.writes, 0);
  EXPECT_LT(page.find("<b>Desk</b>"), page.find("<b>Room</b>"));
  EXPECT_TRUE(Has(page, "name=\"ord_0\" value=\"1\""));
}

TEST_F(AdditionalTest, InternalErrors) {
  struct Case {
    std::vector<std::pair<std::string, std::string>> vars;
    std::vector<std::pair<std::string, std::string>> fields;
    const char* line;
  } cases[] = {
      {{{"sub_program", "nothing"}}, kThree, "Error: Bad subFunction name"},
      {{}, kThree, "Error: Bad subFunction name"},
      {{{"sub_program", "procDel"}}, kThree, "did not receive the name of the field"},
      {{{"sub_program", "procSaveOrder"}, {"hiddennumFlds", "2"}, {"ord_0", "0"}},
       kThree, "Did not find the requested var"},
      {{{"sub_program", "procSaveOrder"}, {"hiddennumFlds", "1"}, {"ord_0", "0"},
        {"direction", "down"}},
       kThree, "Did not find which one to exchange"},
      {{{"sub_program", "genaddform"}}, {{"Desc_1", "Room"}},
       "GetFieldsList() returned odd number of entries."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    PageRequest req;
    req.Set(c.vars);
    MemoryFields handler(req.get(), c.fields);
    try {
      delete handler.ProcessChangeForm();
      ADD_FAILURE() << "no error";
    } catch (KvError* e) {
      std::string lines = testsupport::Lines(e);
      EXPECT_TRUE(Has(lines, c.line)) << lines;
    }
    EXPECT_EQ(handler.writes, 0);
  }
}

// The program itself ----------------------------------------------------------

TEST(LabelProcessTest, RoutesReachThePages) {
  ConsoleTestTree tree;
  std::string cookies = tree.LogIn().CookieHeader();
  ConsoleResponse fields =
      tree.Run("GET", "program=genChangeAdditionalInfoForm", {{"HTTP_COOKIE", cookies}});
  EXPECT_TRUE(fields.Has("name=\"hiddennumFlds\" value=\"0\"")) << fields.body;
  EXPECT_TRUE(fields.Has("velmoraadmin.cgi?program=proModAddnalFlds&sub_program=genaddform"));
  ConsoleResponse add = tree.Run(
      "GET", "program=proModAddnalFlds&sub_program=genaddform", {{"HTTP_COOKIE", cookies}});
  EXPECT_TRUE(add.Has("name=\"fldheading\""));
  // The test directory holds no card for the administrator.
  ConsoleResponse card =
      tree.Run("GET", "program=genChangeEmpPageLabelForm", {{"HTTP_COOKIE", cookies}});
  EXPECT_FALSE(card.Has("Bad program name"));
  EXPECT_FALSE(card.Has("name=\"numFldsDisplayd\""));
  std::string log = ConsoleTestTree::ReadFile(tree.top() + "/logs/kvlogfile");
  EXPECT_TRUE(Has(log, "Unable to find the vcard for the webmaster")) << log;
}

}  // namespace
