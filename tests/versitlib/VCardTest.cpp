// Tests of the card model: print and display forms, structured values and
// lookups.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "VersitTestUtil.h"

namespace {

std::string Printed(const std::function<void(FILE*)>& print) {
  char* buf = nullptr;
  size_t size = 0;
  FILE* fp = open_memstream(&buf, &size);
  print(fp);
  fclose(fp);
  std::string out(buf, size);
  free(buf);
  return out;
}

VCardEntry* Entry(int id, const char* value, std::initializer_list<int> types) {
  auto* e = new VCardEntry(id, value);
  for (int t : types) e->AddSubType(kSubTypeType, t);
  return e;
}

}  // namespace

TEST(VCardEntryTest, TextDisplayAndUnwritableParameters) {
  std::unique_ptr<VCardEntry> label(Entry(30, "x", {kTypeWork, 54}));
  EXPECT_EQ(Printed([&](FILE* fp) { label->Print(fp); }), "X-KAVRI-LABEL-2;WORK;X-KAVRI-TYPE-1:x\n");
  EXPECT_EQ(Take(label->GetDisplayRep()), "X-KAVRI-LABEL-2(WORK)(X-KAVRI-TYPE-1)");
  VCardEntry photo(kVCardPhoto, nullptr);
  photo.AddSubType(kSubTypeValue, kValueURL);
  photo.AddSubType(kSubTypeEncoding, kEncodingBase64);
  EXPECT_EQ(Take(photo.GetDisplayRep()), "PHOTO(VALUE=URL)(ENCODING=BASE64)");
  // Refused kinds and values outside their tables are never written.
  for (auto [kind, value] : {std::pair{kSubTypeCharset, 0}, {kSubTypeValue, 4}, {kSubTypeType, -3}}) {
    VCardEntry e(kVCardTel, "1");
    e.AddSubType(kind, value);
    for (auto form : {&VCardEntry::GetNameAndSubTypes, &VCardEntry::GetDisplayRep}) {
      int errorKind = 0;
      EXPECT_TRUE(UserLinesOf([&] { free((e.*form)()); }, &errorKind).empty());
      EXPECT_EQ(errorKind, kKvErrorFault);
    }
    EXPECT_EQ(Printed([&](FILE* fp) { UserLinesOf([&] { e.Print(fp); }); }), "");
  }
}

TEST(VCardEntryTest, StructuredValues) {
  struct Case {
    const char *value, *n, *adr, *org;
  } cases[] = {
      {"Smith;John;;Dr.;", "Dr. John  Smith ", "Smith John  Dr.   ", "Smith John  Dr. "},
      {"Smith", "Smith ", "Smith      ", "Smith"},
      {"; ;Main St 1;Springfield;;12345;US", "Springfield  Main St 1  ",
       "  Main St 1 Springfield  12345 US", "  Main St 1 Springfield  12345 US"},
      {" a ; b ;c;d;e;f;g;h ", "d b c a e", "a b c d e f g", "a b c d e f g h "},
  };
  for (const Case& c : cases) {
    VCardEntry e(kVCardN, c.value);
    EXPECT_EQ(Take(e.FormatN()), c.n) << c.value;
    EXPECT_EQ(Take(e.FormatAdr()), c.adr) << c.value;
    EXPECT_EQ(Take(e.FormatOrg()), c.org) << c.value;
  }
  std::string street(5000, 's');  // components of any length are kept whole
  EXPECT_EQ(Take(VCardEntry(kVCardAdr, (";;" + street).c_str()).FormatAdr()), "  " + street + "    ");
}

class VCardSampleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    card.AddEntry(kVCardN, "Smith;John");
    card.AddEntry(kVCardUID, "jsmith");
    card.AddEntry(kVCardTitle, "Manager");
    card.AddEntry(Entry(kVCardTel, "555-1234", {kTypeWork, kTypeFax}));
    card.AddEntry(Entry(kVCardTel, "555-9999", {kTypeWork}));
    card.AddEntry(Entry(kVCardTel, "555-0000", {}));
    card.AddEntry(kVCardNote, "all about John");
    card.AddEntry(kVCardFN, nullptr);
  }
  VCard card;
};

TEST_F(VCardSampleTest, BothPrintFormsAndCopy) {
  EXPECT_EQ(Printed([&](FILE* fp) { card.Print(fp); }),
            "BEGIN:vCard\nN:Smith;John\nUID:jsmith\nTITLE:Manager\nTEL;WORK;FAX:555-1234\n"
            "TEL;WORK:555-9999\nTEL:555-0000\nNOTE:all about John\nFN:\nEND:vCard\n");
  std::unique_ptr<VCard> copy(card.Copy());
  card.GetEntry(kVCardTitle)->SetPropValue("Changed");
  EXPECT_EQ(Take(copy->Print(true)),
            "begin:vCard\nTITLE:Manager\nTEL;WORK;FAX:555-1234\nTEL;WORK:555-9999\n"
            "TEL:555-0000\nNOTE:all about John\nFN:\nend:vCard");
}

TEST_F(VCardSampleTest, Lookups) {
  EXPECT_EQ(card.GetNthEntry(8), nullptr);
  EXPECT_STREQ(card.GetEntry(kVCardTel, kTypeFax)->value, "555-1234");
  EXPECT_EQ(card.GetEntry(kVCardTel, kTypeHome), nullptr);
  EXPECT_EQ(card.GetEntryOrder(kVCardTel), 3);
  // A pattern needs the same parameter values in the same order.
  std::unique_ptr<VCardEntry> work(Entry(kVCardTel, "ignored", {kTypeWork}));
  EXPECT_EQ(card.GetEntryOrder(work.get()), 4);
  std::unique_ptr<VCardEntry> bare(Entry(kVCardTel, nullptr, {}));
  EXPECT_STREQ(card.GetEntry(bare.get())->value, "555-0000");
  std::unique_ptr<VCardEntry> faxWork(Entry(kVCardTel, nullptr, {kTypeFax, kTypeWork}));
  EXPECT_EQ(card.GetEntryOrder(faxWork.get()), -1);
}
