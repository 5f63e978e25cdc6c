// The business-card and graph applet elements and the mouse-over person
// link, against golden output, and the rules behind each card line.
#include <gtest/gtest.h>

#include <utility>

#include "CaptureRequest.h"
#include "FakeDirectory.h"
#include "TestSupport.h"

namespace {

using testsupport::ReadAll;

const std::string kGolden = std::string(TEST_DATA_DIR) + "/kavrilib/";

VCardEntry* Entry(int id, const char* value, std::initializer_list<std::pair<int, int>> params = {}) {
  VCardEntry* entry = new VCardEntry(id, value);
  for (const auto& [kind, param] : params) entry->AddSubType(kind, param);
  return entry;
}

const std::pair<int, int> kInternet = {kSubTypeType, kTypeInternet};
const std::pair<int, int> kIndirectMgr = {kSubTypeType, kTypeIndirectMgr};
const std::pair<int, int> kValueIsURL = {kSubTypeValue, kValueURL};

VCard* Card(std::initializer_list<VCardEntry*> entries) {
  VCard* card = new VCard();
  for (VCardEntry* entry : entries) card->AddEntry(entry);
  return card;
}

class KvAppletTest : public ::testing::Test {
 protected:
  KvAppletTest() {
    users.Add("boss", "Big Boss");
    users.Add("ann 1", "Ann from the directory");
    users.AddAttribute("ORG", "kavrisELECTs", {{"d1", "Research & Development"}});
    users.AddAttribute("TITLE", "kavriText", {{"t1", "never shown"}});
  }

  FakeUserDB users;
  // Name, department (an attribute with options), mail (counted, no title),
  // manager, web page, and a sixth field past the four lines.
  std::unique_ptr<VCard> layout{Card({Entry(kVCardFN, "Name"), Entry(kVCardOrg, "Department"),
                                      Entry(kVCardEmail, "", {kInternet}),
                                      Entry(kVCardKavriUID, "Manager", {kIndirectMgr}),
                                      Entry(kVCardURL, "Home <page>"), Entry(kVCardNote, "Notes")})};
  std::unique_ptr<VCard> card{Card({Entry(kVCardFN, "Ann O'Hara"), Entry(kVCardUID, "ann 1"),
                                    Entry(kVCardNote, "not shown"), Entry(kVCardOrg, "d1"),
                                    Entry(kVCardEmail, "ann@x.org", {kInternet}),
                                    Entry(kVCardKavriUID, "boss", {kIndirectMgr}),
                                    Entry(kVCardURL, "http://example.org/?a=1&b=2")})};
};

// One golden file for each element.
TEST_F(KvAppletTest, Goldens) {
  KvJCardApplet applet(layout.get(), card.get(), "#ffeecc", "blue", &users, nullptr);
  // Without a card: the same element up to the titles, and nothing more.
  KvJCardApplet titles(layout.get(), nullptr, "#ffeecc", "blue", &users, nullptr);
  KvGraphViewApplet graph("ann 1", "blue", 400, 300, "#ffeecc", 2, "FN", "print.cgi?a=1&b=2", 1, 0, 1900,
                          "PersonSelectorCookie");
  KvGraphViewApplet single("u", "blue", 1, 1, nullptr, 1, nullptr, nullptr, 0, 1, 0, nullptr);
  KvMouseOverLink link(layout.get(), card.get(), "ann 1", &users, nullptr);
  // Without a card the name comes from the directory and the lines are empty.
  KvMouseOverLink bare(layout.get(), nullptr, "ann 1", &users, nullptr);
  EXPECT_EQ(Emit(&applet) + Emit(&titles), ReadAll(kGolden + "jcard.html"));
  EXPECT_EQ(Emit(&graph) + Emit(&single), ReadAll(kGolden + "graphview.html"));
  EXPECT_EQ(Emit(&link, 0, 1, "blue") + Emit(&bare, 0, 1, "blue"), ReadAll(kGolden + "mouseover.html"));
}

// One layout field after the name line, and the person's entry for it.
TEST_F(KvAppletTest, CardLineRules) {
  // entry null: the card has none.
  const struct { const char* name; VCardEntry *field, *entry; const char *text, *url, *target; } cases[] = {
      {"an option value shows its text", Entry(kVCardOrg, "D"), Entry(kVCardOrg, "d1"),
       "Research & Development", "", ""},
      {"option value missing from the list is shown as stored", Entry(kVCardOrg, "D"),
       Entry(kVCardOrg, "d9"), "d9", "", ""},
      {"an attribute of another type shows its value", Entry(kVCardTitle, "T"), Entry(kVCardTitle, "t1"),
       "t1", "", ""},
      {"a script address is not opened", Entry(kVCardURL, "W"), Entry(kVCardURL, "javascript:alert(1)"),
       "javascript:alert(1)", "", ""},
      {"a field marked VALUE=URL opens its address", Entry(kVCardFirstLabel + 1, "L", {kValueIsURL}),
       Entry(kVCardFirstLabel + 1, "HTTPS://x.org", {kValueIsURL}), "HTTPS://x.org", "HTTPS://x.org", "_top"},
      {"an identifier without parameter is plain text", Entry(kVCardKavriUID, "M"),
       Entry(kVCardKavriUID, "boss"), "boss", "", ""},
      {"a person's identifier links to the person", Entry(kVCardKavriUID, "M", {kIndirectMgr}),
       Entry(kVCardKavriUID, "b&b", {kIndirectMgr}), "b&b",
       "../../velmora/bin/velmora.cgi?program=front&selected_prog=getentry&uid=b%26b", "main_frame"},
      {"parameters must match", Entry(kVCardEmail, "E", {kInternet}), Entry(kVCardEmail, "a@b"), "", "", ""},
      {"an empty value gives nothing", Entry(kVCardEmail, "E"), Entry(kVCardEmail, ""), "", "", ""},
      {"no entry gives nothing", Entry(kVCardOrg, "D"), nullptr, "", "", ""},
  };
  for (const auto& c : cases) {
    std::unique_ptr<VCard> one(Card({Entry(kVCardFN, "Name"), c.field}));
    std::unique_ptr<VCard> person(c.entry ? Card({c.entry}) : Card({}));
    String s[12];
    s[4] = String("stale");
    KvJCardApplet::PopulateJCard(one.get(), person.get(), &users, nullptr, &s[0], &s[1], &s[2], &s[3], &s[4],
                                 &s[5], &s[6], &s[7], &s[8], &s[9], &s[10], &s[11]);
    EXPECT_STREQ(s[0].CStr(), c.text) << c.name;
    EXPECT_STREQ(s[1].CStr(), c.url) << c.name;
    EXPECT_STREQ(s[2].CStr(), c.target) << c.name;
    for (int i = 3; i < 12; ++i) EXPECT_STREQ(s[i].CStr(), "") << c.name;
  }
}

}  // namespace
