// Tests of the line parser: splitting, table matching, property names and
// parameters, and the exact messages of every refusal.
#include <gtest/gtest.h>

#include <memory>

#include "VersitTestUtil.h"

TEST(BreakLineTest, SplitsNameAndValue) {
  struct Case {
    const char* line;
    const char* name;
    const char* value;  // null: no value
  } cases[] = {
      {"TITLE:   Manager  ", "TITLE", "Manager  "},
      {"TITLE:", "TITLE", nullptr},
      {"TITLE: \t ", "TITLE", nullptr},
      {":abc", "", "abc"},
      {"a:b:c", "a", "b:c"},
      {"TEL;WORK:\t555\r\nignored", "TEL;WORK", "555"},
      {" TEL:1", " TEL", "1"},
  };
  for (const Case& c : cases) {
    char* name = nullptr;
    char* value = nullptr;
    char* returned = BreakLine(c.line, &name, &value);
    EXPECT_EQ(returned, name);
    EXPECT_STREQ(name, c.name) << c.line;
    if (c.value) {
      EXPECT_STREQ(value, c.value) << c.line;
    } else {
      EXPECT_EQ(value, nullptr) << c.line;
    }
    free(name);
    free(value);
  }
}

TEST(BreakLineTest, RefusesLineWithoutColon) {
  for (const char* line : {"no colon here", "", "abc\n:def", "abc\r:def"}) {
    char* name = reinterpret_cast<char*>(1);
    char* value = reinterpret_cast<char*>(1);
    int kind = 0;
    EXPECT_EQ(UserLinesOf([&] { BreakLine(line, &name, &value); }, &kind),
              std::vector<std::string>{"No ':' character found on line"});
    EXPECT_EQ(kind, kKvErrorParse);
    EXPECT_EQ(name, nullptr);
    EXPECT_EQ(value, nullptr);
  }
}

TEST(MatchWordFromArrayTest, NeedsATerminatorAfterTheName) {
  struct Case {
    const char* text;
    int row;
    int advance;
  } cases[] = {
      {"NOTE", kVCardNote, 4}, {"n;x", kVCardN, 1},   {"TEL=1", kVCardTel, 3},
      {"tel work", kVCardTel, 3}, {"NX", -1, 0},       {"TELX", -1, 0},
      {"", -1, 0},             {"X-KAVRI-UID\t", kVCardKavriUID, 11},
  };
  for (const Case& c : cases) {
    std::string copy = c.text;
    char* p = copy.data();
    EXPECT_EQ(MatchWordFromArray(&p, kVCardPropNames), c.row) << c.text;
    EXPECT_EQ(p - copy.data(), c.advance) << c.text;
  }
  std::string list = "WORK,FAX";
  char* p = list.data();
  EXPECT_EQ(MatchWordFromArray(&p, kVCardTypeNames), -1);
}

TEST(ParseSubPropertyTest, AdvancesOnlyOnSuccess) {
  std::string text = "type=Work;FAX";
  char* p = text.data();
  std::unique_ptr<VCardSubType> sub(ParseSubProperty(&p));
  EXPECT_EQ(sub->kind, kSubTypeType);
  EXPECT_EQ(sub->value, kTypeWork);
  EXPECT_STREQ(p, ";FAX");

  std::string bad = "WROK";
  p = bad.data();
  EXPECT_EQ(UserLinesOf([&] { delete ParseSubProperty(&p); }),
            std::vector<std::string>{"Value for TYPE sub-property not found : WROK"});
  EXPECT_EQ(p, bad.data());
}

// Accepted property parts: the id and the text written back.
TEST(ParsePropertyNameTest, Accepts) {
  struct Case {
    const char* text;
    int id;
    const char* written;  // null for a dropped property
  } cases[] = {
      {"tel;work;fax", kVCardTel, "TEL;WORK;FAX"},
      {"TEL;TYPE = WORK", kVCardTel, "TEL;WORK"},
      {"TEL ; WORK", kVCardTel, "TEL;WORK"},
      {"EMAIL;INTERNET;X-ANY", kVCardEmail, "EMAIL;INTERNET"},
      {"NOTE", kVCardNote, "NOTE"},
      {"N", kVCardN, "N"},
      {"X-KAVRI-UID", kVCardKavriUID, "X-KAVRI-UID"},
      {"X-KAVRI-MGR-UID", kVCardMgrUID, "X-KAVRI-MGR-UID"},
      {"x-kavri-label-3;x-kavri-type-0", 31, "X-KAVRI-LABEL-3;X-KAVRI-TYPE-0"},
      {"X-KAVRI-LABEL-0", kVCardFirstLabel, "X-KAVRI-LABEL-0"},
      {"TEL;X-KAVRI-TYPE-12;PREF", kVCardTel, "TEL;X-KAVRI-TYPE-12;PREF"},
      {"TEL;X-KAVRI-TYPE-", kVCardTel, "TEL"},
      {"PHOTO;value=url;encoding=base64;TYPE=JPEG", kVCardPhoto,
       "PHOTO;VALUE=URL;ENCODING=BASE64;JPEG"},
      {"ADR;TYPE=X-KAVRI-SECRETARY", kVCardAdr, "ADR;X-KAVRI-SECRETARY"},
      {"X-FOO;X-BAR", kVCardIgnored, nullptr},
      {"X-FOO BAR;WORK", kVCardIgnored, nullptr},
      {"BEGIN", kVCardBegin, "BEGIN"},
      {"END  ", kVCardEnd, "END"},
  };
  for (const Case& c : cases) {
    std::unique_ptr<VCardEntry> e(VCardEntry::ParsePropertyName(c.text));
    EXPECT_EQ(e->id, c.id) << c.text;
    EXPECT_EQ(e->value, nullptr);
    if (c.written) {
      EXPECT_EQ(Take(e->GetNameAndSubTypes()), c.written) << c.text;
    }
  }
}

// Refused property parts: the user lines, outermost first.
TEST(ParsePropertyNameTest, RefusesWithExactMessages) {
  struct Case {
    const char* text;
    std::vector<std::string> lines;
  } cases[] = {
      {"TEL WORK", {"Bad format for property name"}},
      {"TEL=WORK", {"Bad format for property name"}},
      {"TEL;WORK FAX", {"Bad property value (it must contain a ';') : TEL;WORK FAX"}},
      {"TEL;CHARSET=UTF-8",
       {"Bad property value : TEL;CHARSET=UTF-8", "CHARSET sub-property not supported : CHARSET=UTF-8"}},
      {"TEL;LANGUAGE=en",
       {"Bad property value : TEL;LANGUAGE=en", "LANGUAGE sub-property not supported : LANGUAGE=en"}},
      {"X-FOO;BAR",
       {"Bad property value : X-FOO;BAR", "Value for TYPE sub-property not found : BAR"}},
      {"TEL;WORK,FAX",
       {"Bad property value : TEL;WORK,FAX", "Value for TYPE sub-property not found : WORK,FAX"}},
      {"TEL;WROK;FAX",
       {"Bad property value : TEL;WROK;FAX", "Value for TYPE sub-property not found : WROK;FAX"}},
      {"TEL;", {"Bad property value : TEL;", "Value for TYPE sub-property not found : "}},
      {"TEL;TYPE", {"Bad property value : TEL;TYPE", "Keywords must be followed by '=' : TYPE"}},
      {"TEL;HOME;TYPE WORK",
       {"Bad property value : TEL;HOME;TYPE WORK", "Keywords must be followed by '=' : TYPE WORK"}},
      {"PHOTO;VALUE=FOO",
       {"Bad property value : PHOTO;VALUE=FOO", "Value for VALUE sub-property not found : VALUE=FOO"}},
      {"PHOTO;ENCODING = UU",
       {"Bad property value : PHOTO;ENCODING = UU",
        "Value for ENCODING sub-property not found : ENCODING = UU"}},
      {"X-KAVRI-LABEL-", {"Bad property value : X-KAVRI-LABEL-"}},
      {"X-KAVRI-LABEL-3A", {"Bad property value : X-KAVRI-LABEL-3A"}},
      {"X-KAVRI-LABEL-99999999999", {"Bad property value : X-KAVRI-LABEL-99999999999"}},
      {"NX", {"Bad property value : NX"}},
      {" TEL", {"Bad property value :  TEL"}},
      {"", {"Bad property value : "}},
  };
  for (const Case& c : cases) {
    std::string before = c.text;
    int kind = 0;
    EXPECT_EQ(UserLinesOf([&] { delete VCardEntry::ParsePropertyName(c.text); }, &kind), c.lines)
        << c.text;
    EXPECT_EQ(kind, kKvErrorParse) << c.text;
    EXPECT_EQ(before, c.text);
  }
}

TEST(ParsePropertyNameTest, ParsedFieldRoundTripsThroughItsText) {
  // The label pages keep a field as its name-and-parameters text and parse it
  // back; every writable combination must come back the same.
  VCardEntry e(kVCardFirstLabel + 12, "v");
  e.AddSubType(kSubTypeType, kTypeFirstKavri + 40);
  e.AddSubType(kSubTypeValue, kValueContentId);
  e.AddSubType(kSubTypeEncoding, kEncodingQuotedPrintable);
  for (int t = 0; t < kTypeFirstKavri; ++t) e.AddSubType(kSubTypeType, t);
  std::string text = Take(e.GetNameAndSubTypes());
  std::unique_ptr<VCardEntry> back(VCardEntry::ParsePropertyName(text.c_str()));
  EXPECT_EQ(back->id, e.id);
  EXPECT_EQ(Take(back->GetNameAndSubTypes()), text);
}
