// Tests of the line parser: splitting, table matching, property names and
// parameters, and the exact messages of every refusal.
#include <gtest/gtest.h>

#include <memory>

#include "VersitTestUtil.h"

TEST(BreakLineTest, SplitsNameAndValue) {
  struct Case {
    const char *line, *name, *value;  // value null: none; name null: refused
  } cases[] = {
      {"TITLE:   Manager  ", "TITLE", "Manager  "},
      {"TITLE:", "TITLE", nullptr},
      {"TITLE: \t ", "TITLE", nullptr},
      {":abc", "", "abc"},
      {"a:b:c", "a", "b:c"},
      {"TEL;WORK:\t555\r\nignored", "TEL;WORK", "555"},
      {" TEL:1", " TEL", "1"},
      // A bare CR inside the value is part of it; only the line end goes.
      {"NOTE:first\rsecond\r", "NOTE", "first\rsecond"},
      {"NOTE:a\r\r\nb", "NOTE", "a"},
      {"no colon", nullptr, nullptr},
      {"abc\n:def", nullptr, nullptr},
  };
  for (const Case& c : cases) {
    char *name = nullptr, *value = nullptr;
    if (c.name) {
      EXPECT_EQ(BreakLine(c.line, &name, &value), name);
    } else {
      int kind = 0;
      EXPECT_EQ(UserLinesOf([&] { BreakLine(c.line, &name, &value); }, &kind),
                Strings{"No ':' character found on line"});
      EXPECT_EQ(kind, kKvErrorParse);
    }
    EXPECT_STREQ(name, c.name) << c.line;
    EXPECT_STREQ(value, c.value) << c.line;
    free(name);
    free(value);
  }
}

TEST(ParsePropertyNameTest, Accepts) {
  struct Case {
    const char* text;
    int id;
    const char* written;  // null for a dropped property
  } cases[] = {
      {"tel;work;fax", kVCardTel, "TEL;WORK;FAX"},
      {"TEL;TYPE = WORK", kVCardTel, "TEL;WORK"},
      {"TEL ; WORK  ", kVCardTel, "TEL;WORK"},
      {"EMAIL;INTERNET;X-ANY", kVCardEmail, "EMAIL;INTERNET"},
      {"NOTE", kVCardNote, "NOTE"},  // not N followed by more text
      {"X-KAVRI-MGR-UID", kVCardMgrUID, "X-KAVRI-MGR-UID"},
      {"x-kavri-label-3;x-kavri-type-0", 31, "X-KAVRI-LABEL-3;X-KAVRI-TYPE-0"},
      {"TEL;X-KAVRI-TYPE-", kVCardTel, "TEL"},
      {"PHOTO;value=url;encoding=base64;TYPE=MPEG2", kVCardPhoto,
       "PHOTO;VALUE=URL;ENCODING=BASE64;MPEG2"},
      {"X-FOO;X-BAR", kVCardIgnored, nullptr},
  };
  for (const Case& c : cases) {
    std::unique_ptr<VCardEntry> e(VCardEntry::ParsePropertyName(c.text));
    EXPECT_EQ(e->id, c.id) << c.text;
    if (c.written) {
      EXPECT_EQ(Take(e->GetNameAndSubTypes()), c.written) << c.text;
    }
  }
}

// Refused property parts: the user lines, outermost first.
TEST(ParsePropertyNameTest, RefusesWithExactMessages) {
  const std::pair<const char*, Strings> cases[] = {
      {"TEL WORK", {"Bad format for property name"}},
      {"TEL;WORK FAX", {"Bad property value (it must contain a ';') : TEL;WORK FAX"}},
      {"TEL;CHARSET=UTF-8",
       {"Bad property value : TEL;CHARSET=UTF-8", "CHARSET sub-property not supported : CHARSET=UTF-8"}},
      {"X-FOO;BAR", {"Bad property value : X-FOO;BAR", "Value for TYPE sub-property not found : BAR"}},
      {"TEL;WORK,FAX",
       {"Bad property value : TEL;WORK,FAX", "Value for TYPE sub-property not found : WORK,FAX"}},
      {"TEL;HOME;TYPE WORK",
       {"Bad property value : TEL;HOME;TYPE WORK", "Keywords must be followed by '=' : TYPE WORK"}},
      {"PHOTO;VALUE=FOO",
       {"Bad property value : PHOTO;VALUE=FOO", "Value for VALUE sub-property not found : VALUE=FOO"}},
      {"PHOTO;ENCODING = UU",
       {"Bad property value : PHOTO;ENCODING = UU",
        "Value for ENCODING sub-property not found : ENCODING = UU"}},
      {"X-KAVRI-LABEL-", {"Bad property value : X-KAVRI-LABEL-"}},
      {"X-KAVRI-LABEL-99999999999", {"Bad property value : X-KAVRI-LABEL-99999999999"}},
      {"NX", {"Bad property value : NX"}},
      {" TEL", {"Bad property value :  TEL"}},
  };
  for (const auto& [text, lines] : cases) {
    int kind = 0;
    EXPECT_EQ(UserLinesOf([&] { delete VCardEntry::ParsePropertyName(text); }, &kind), lines) << text;
    EXPECT_EQ(kind, kKvErrorParse) << text;
  }
}

TEST(ParsePropertyNameTest, EveryWritableFieldParsesBackTheSame) {
  // The label pages keep a field as its name-and-parameters text.
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
