// Tests of the card model: print and display forms, structured values,
// lookups and word searches.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "VersitTestUtil.h"

namespace {

std::string PrintToText(const std::function<void(FILE*)>& print) {
  char* buf = nullptr;
  size_t size = 0;
  FILE* fp = open_memstream(&buf, &size);
  print(fp);
  fclose(fp);
  std::string out(buf, size);
  free(buf);
  return out;
}

std::unique_ptr<VCardEntry> Entry(int id, const char* value, std::initializer_list<int> types) {
  auto e = std::make_unique<VCardEntry>(id, value);
  for (int t : types) e->AddSubType(kSubTypeType, t);
  return e;
}

}  // namespace

TEST(VCardEntryTest, LabelWithTypesPrintsAndDisplays) {
  auto e = Entry(30, "x", {kTypeWork, 54});
  EXPECT_EQ(PrintToText([&](FILE* fp) { e->Print(fp); }), "X-KAVRI-LABEL-2;WORK;X-KAVRI-TYPE-1:x\n");
  EXPECT_EQ(Take(e->GetDisplayRep()), "X-KAVRI-LABEL-2(WORK)(X-KAVRI-TYPE-1)");
  EXPECT_EQ(Take(e->GetNameAndSubTypes()), "X-KAVRI-LABEL-2;WORK;X-KAVRI-TYPE-1");
}

TEST(VCardEntryTest, ValueAndEncodingParameters) {
  VCardEntry e(kVCardPhoto, "abc");
  e.AddSubType(kSubTypeValue, kValueURL);
  e.AddSubType(kSubTypeEncoding, kEncodingBase64);
  e.AddSubType(kSubTypeType, kTypeSecretary);
  EXPECT_EQ(Take(e.GetNameAndSubTypes()), "PHOTO;VALUE=URL;ENCODING=BASE64;X-KAVRI-SECRETARY");
  EXPECT_EQ(Take(e.GetDisplayRep()), "PHOTO(VALUE=URL)(ENCODING=BASE64)(X-KAVRI-SECRETARY)");
}

TEST(VCardEntryTest, UnwritableParametersRaiseBadType) {
  // A refused kind, and values outside their tables, must not be written.
  for (auto [kind, value] : {std::pair{kSubTypeCharset, 0}, {kSubTypeLanguage, 0},
                             {kSubTypeValue, 4}, {kSubTypeEncoding, -1}, {kSubTypeType, -3}}) {
    VCardEntry e(kVCardTel, "1");
    e.AddSubType(kind, value);
    int errorKind = 0;
    EXPECT_TRUE(UserLinesOf([&] { free(e.GetNameAndSubTypes()); }, &errorKind).empty());
    EXPECT_EQ(errorKind, kKvErrorFault);
    EXPECT_EQ(TraceMessagesOf([&] { free(e.GetDisplayRep()); }),
              std::vector<std::string>{"VersitDB - Bad Type!"});
    EXPECT_EQ(PrintToText([&](FILE* fp) {
                EXPECT_EQ(TraceMessagesOf([&] { e.Print(fp); }).size(), 1u);
              }),
              "");
  }
}

TEST(VCardEntryTest, EntryWithoutValuePrintsNameAndColon) {
  VCard card;
  card.AddEntry(kVCardTitle, nullptr);
  EXPECT_EQ(PrintToText([&](FILE* fp) { card.Print(fp); }), "BEGIN:vCard\nTITLE:\nEND:vCard\n");
  EXPECT_EQ(Take(card.Print(true)), "begin:vCard\nTITLE:\nend:vCard");
}

TEST(VCardEntryTest, PrintableAndDisplayable) {
  struct Case {
    int id;
    bool withType;
    bool printable;
    bool displayable;
  } cases[] = {
      {kVCardN, false, false, false},          {kVCardPhoto, false, false, false},
      {kVCardUID, false, false, false},        {kVCardUID, true, false, true},
      {kVCardMgrUID, true, false, false},      {kVCardDirectReportUID, false, false, false},
      {kVCardKavriUID, false, true, true},     {kVCardTitle, false, true, true},
      {kVCardFirstLabel + 7, false, true, true},
  };
  for (const Case& c : cases) {
    VCardEntry e(c.id, "v");
    if (c.withType) e.AddSubType(kSubTypeType, kTypeSecretary);
    EXPECT_EQ(e.IsPrintable(), c.printable) << c.id;
    EXPECT_EQ(e.IsDisplayable(), c.displayable) << c.id;
  }
}

TEST(VCardEntryTest, CopyIsDeepAndValueOperationsCopy) {
  auto e = Entry(kVCardTel, "555", {kTypeWork, kTypeFax});
  std::unique_ptr<VCardEntry> copy(e->Copy());
  e->SetPropValue("666");
  e->AddSubType(kSubTypeType, kTypePref);
  EXPECT_EQ(Take(copy->GetNameAndSubTypes()), "TEL;WORK;FAX");
  EXPECT_EQ(Take(copy->GetValue()), "555");
  EXPECT_EQ(Take(e->GetValue()), "666");
  e->SetPropValue(nullptr);
  EXPECT_EQ(e->GetValue(), nullptr);
}

TEST(VCardEntryTest, StructuredValues) {
  struct Case {
    const char* value;
    const char* n;
    const char* adr;
    const char* org;
  } cases[] = {
      {"Smith;John;;Dr.;", "Dr. John  Smith ", "Smith John  Dr.   ", "Smith John  Dr. "},
      {"Smith", "Smith ", "Smith      ", "Smith"},
      {"Smith;John", "John Smith ", "Smith John     ", "Smith John"},
      {"; ;Main St 1;Springfield;;12345;US", "Springfield  Main St 1  ", "  Main St 1 Springfield  12345 US",
       "  Main St 1 Springfield  12345 US"},
      {" a ; b ;c;d;e ;f ", "d b c a e", "a b c d e f  ", "a b c d e f "},
      {"a;b;c;d;e;f;g;h", "d b c a e", "a b c d e f g", "a b c d e f g h"},
  };
  for (const Case& c : cases) {
    VCardEntry e(kVCardN, c.value);
    EXPECT_EQ(Take(e.FormatN()), c.n) << c.value;
    EXPECT_EQ(Take(e.FormatAdr()), c.adr) << c.value;
    EXPECT_EQ(Take(e.FormatOrg()), c.org) << c.value;
  }
  VCardEntry none(kVCardN, nullptr);
  EXPECT_EQ(none.FormatN(), nullptr);
  EXPECT_EQ(none.FormatAdr(), nullptr);
  EXPECT_EQ(none.FormatOrg(), nullptr);
  EXPECT_EQ(none.FormatNArray(), nullptr);
}

TEST(VCardEntryTest, FormatNArrayHasFiveSlots) {
  VCardEntry e(kVCardN, "Smith ; John ;Q");
  char** slots = e.FormatNArray();
  ASSERT_NE(slots, nullptr);
  EXPECT_STREQ(slots[0], "Smith");
  EXPECT_STREQ(slots[1], "John");
  EXPECT_STREQ(slots[2], "Q");
  EXPECT_EQ(slots[3], nullptr);
  EXPECT_EQ(slots[4], nullptr);
  for (int i = 0; i < 5; ++i) free(slots[i]);
  free(slots);
}

TEST(VCardEntryTest, LongComponentsAreKeptWhole) {
  std::string street(5000, 's');
  VCardEntry e(kVCardAdr, (";;" + street + ";Town").c_str());
  EXPECT_EQ(Take(e.FormatAdr()), "  " + street + " Town   ");
}

class VCardSampleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    card.AddEntry(kVCardN, "Smith;John");
    card.AddEntry(kVCardUID, "jsmith");
    card.AddEntry(kVCardTitle, "Manager");
    card.AddEntry(Entry(kVCardTel, "555-1234", {kTypeWork, kTypeFax}).release());
    card.AddEntry(Entry(kVCardTel, "555-9999", {kTypeWork}).release());
    card.AddEntry(Entry(kVCardTel, "555-0000", {}).release());
    card.AddEntry(Entry(kVCardEmail, "john@example.com", {kTypeInternet}).release());
    card.AddEntry(kVCardNote, "all about John");
  }
  VCard card;
};

TEST_F(VCardSampleTest, BothPrintForms) {
  EXPECT_EQ(PrintToText([&](FILE* fp) { card.Print(fp); }),
            "BEGIN:vCard\nN:Smith;John\nUID:jsmith\nTITLE:Manager\nTEL;WORK;FAX:555-1234\n"
            "TEL;WORK:555-9999\nTEL:555-0000\nEMAIL;INTERNET:john@example.com\n"
            "NOTE:all about John\nEND:vCard\n");
  EXPECT_EQ(Take(card.Print(true)),
            "begin:vCard\nTITLE:Manager\nTEL;WORK;FAX:555-1234\nTEL;WORK:555-9999\n"
            "TEL:555-0000\nEMAIL;INTERNET:john@example.com\nNOTE:all about John\nend:vCard");
  EXPECT_EQ(Take(card.Print(false)).substr(0, 36), "begin:vCard\nN:Smith;John\nUID:jsmith\n");
}

TEST_F(VCardSampleTest, OnlyPrintableEntriesWhenAsked) {
  VCard small;
  small.AddEntry(kVCardN, "A;B");
  small.AddEntry(kVCardUID, "u");
  small.AddEntry(kVCardTitle, "T");
  EXPECT_EQ(Take(small.Print(true)), "begin:vCard\nTITLE:T\nend:vCard");
}

TEST_F(VCardSampleTest, Lookups) {
  EXPECT_EQ(card.GetNumEntries(), 8);
  EXPECT_STREQ(card.GetNthEntry(2)->value, "Manager");
  EXPECT_EQ(card.GetNthEntry(8), nullptr);
  EXPECT_EQ(card.GetNthEntry(-1), nullptr);
  EXPECT_STREQ(card.GetEntry(kVCardTel)->value, "555-1234");
  EXPECT_EQ(card.GetEntry(kVCardAdr), nullptr);
  // The parameter's kind is not compared.
  EXPECT_STREQ(card.GetEntry(kVCardTel, kTypeFax)->value, "555-1234");
  EXPECT_STREQ(card.GetEntry(kVCardEmail, kValueCID + 19)->value, "john@example.com");
  EXPECT_EQ(card.GetEntry(kVCardTel, kTypeHome), nullptr);
  EXPECT_EQ(card.GetEntryOrder(kVCardTel), 3);
  EXPECT_EQ(card.GetEntryOrder(kVCardAdr), -1);
}

TEST_F(VCardSampleTest, PatternLookupNeedsTheSameParameterList) {
  auto work = Entry(kVCardTel, "ignored", {kTypeWork});
  EXPECT_STREQ(card.GetEntry(work.get())->value, "555-9999");
  EXPECT_EQ(card.GetEntryOrder(work.get()), 4);
  auto bare = Entry(kVCardTel, nullptr, {});
  EXPECT_STREQ(card.GetEntry(bare.get())->value, "555-0000");
  auto faxWork = Entry(kVCardTel, nullptr, {kTypeFax, kTypeWork});
  EXPECT_EQ(card.GetEntry(faxWork.get()), nullptr);
  EXPECT_EQ(card.GetEntryOrder(faxWork.get()), -1);
  VCardEntry valueKind(kVCardTel, nullptr);  // kinds are not compared
  valueKind.AddSubType(kSubTypeValue, kTypeWork);
  EXPECT_STREQ(card.GetEntry(&valueKind)->value, "555-9999");

  VCard onlyWorkFax;
  onlyWorkFax.AddEntry(Entry(kVCardTel, "1", {kTypeWork, kTypeFax}).release());
  onlyWorkFax.AddEntry(Entry(kVCardTel, "2", {}).release());
  EXPECT_EQ(onlyWorkFax.GetEntry(work.get()), nullptr);
}

TEST_F(VCardSampleTest, FindSearchType) {
  EXPECT_STREQ(card.FindSearchType("manager")->value, "Manager");
  EXPECT_EQ(card.FindSearchType("jsmith"), nullptr);  // UID is not printable
  EXPECT_EQ(card.FindSearchType("nobody"), nullptr);
  VCard allCard;
  allCard.AddEntry(kVCardTitle, "all");
  EXPECT_EQ(allCard.FindSearchType("all"), nullptr);
  EXPECT_EQ(allCard.FindSearchType("ALL"), nullptr);
  EXPECT_EQ(allCard.FindSearchType(nullptr), nullptr);
}

TEST_F(VCardSampleTest, WordSearches) {
  VCard pattern;
  pattern.AddEntry(kVCardUID, "selects nothing: not printable");
  pattern.AddEntry(kVCardTitle, nullptr);  // no value: not searched
  pattern.AddEntry(Entry(kVCardTel, "phone", {kTypeWork}).release());
  pattern.AddEntry(kVCardNote, "note");

  ValList some, both, none, empty;
  some.Append("xyz");
  some.Append("9999");
  both.Append("ABOUT");
  both.Append("john");
  none.Append("jsmith");
  EXPECT_STREQ(card.SearchVCardOR(&some, &pattern)->value, "555-9999");
  EXPECT_EQ(card.SearchVCardAND(&some, &pattern), nullptr);
  EXPECT_STREQ(card.SearchVCardAND(&both, &pattern)->value, "all about John");
  EXPECT_EQ(card.SearchVCardOR(&none, &pattern), nullptr);
  EXPECT_STREQ(card.SearchVCardAND(&empty, &pattern)->value, "555-9999");
  EXPECT_EQ(card.SearchVCardOR(&empty, &pattern), nullptr);

  auto note = Entry(kVCardNote, nullptr, {});
  EXPECT_STREQ(card.SearchVCardAND(&both, note.get())->value, "all about John");
  EXPECT_EQ(card.SearchVCardOR(&some, note.get()), nullptr);
  auto adr = Entry(kVCardAdr, nullptr, {});
  EXPECT_EQ(card.SearchVCardAND(&empty, adr.get()), nullptr);
}

TEST_F(VCardSampleTest, CopyKeepsOrderAndIsIndependent) {
  std::unique_ptr<VCard> copy(card.Copy());
  card.GetEntry(kVCardTitle)->SetPropValue("Changed");
  EXPECT_EQ(copy->GetNumEntries(), 8);
  EXPECT_STREQ(copy->GetEntry(kVCardTitle)->value, "Manager");
  EXPECT_EQ(Take(copy->GetNthEntry(3)->GetNameAndSubTypes()), "TEL;WORK;FAX");
  EXPECT_EQ(copy->next, nullptr);
}
