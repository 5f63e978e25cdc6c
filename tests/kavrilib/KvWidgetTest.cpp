// Inputs, selects, forms, images, labels, buttons, links and URL objects.
#include <gtest/gtest.h>

#include "CaptureRequest.h"
#include "FakeDirectory.h"
#include "TestSupport.h"

namespace {

using testsupport::ListOf;

// Each object written without line breaks, in the given style, one line
// each in the golden file.
TEST(KvWidgetTest, Golden) {
  FakeUserDB users;
  users.Add("u1", "One", "one@x.org");
  users.Add("u2", "Two", "two@x.org");
  users.Add("u3", "Three");
  FakeGroupDB groups;
  groups.Add("g1", "G", {"u2", "u3", "u1"});
  std::unique_ptr<ValList> uids(ListOf({"u1", "u3", "u1"})), gids(ListOf({"g1", "g2"})),
      empty(ListOf({})), an(ListOf({"an"})), two(ListOf({"X", "zz"}));
  KvCheckBox* checked = new KvCheckBox("c", "v");
  checked->MarkChecked();
  KvSelect* select = new KvSelect("s");
  select->AddOption("One", "1");
  select->AddOption("None", nullptr);
  select->AddOptionSelected("Two", 2);
  select->AddOptionWithSelectCheck("Three", "abc", "ABC");  // ignoring case
  select->AddOptionWithSelectCheck("Four", "d", "e");
  KvImageButton* button = new KvImageButton("x.cgi", "bsave", "Save it");
  button->SetTarget("main_frame");
  A* link = new A("x");  // a URL object inside an attribute stays inside the quotes
  link->addAttribute(kAttrHref, new ConfirmUrl("a\"b", new Url("y")));
  const struct { HTMLObject* object; const char* style = nullptr; } cases[] = {
      {new KvHiddenInput("h", 5)}, {new KvTextInput("t", "a\"b")}, {new KvTextInput("t", 3, 8)},
      {new KvPasswordInput("p", 12)}, {new KvFileInput("f", 30)}, {new KvSubmitButton("s", "Go")},
      {new KvCheckBox("c", "v", "Text")}, {checked}, {new KvRadioButton("r", "v")},
      {new KvTextArea("d", "x<y")},
      {select}, {new KvMultiPartForm("up", new Url("a.cgi"))}, {new KvEmailForm("m", "mailto:a@b")},
      {new KvCommonImage("mgroupicon"), "style0"}, {new KvSpacer(0, 7)},
      {new KvImage(static_cast<const char*>(nullptr)), "style0"}, {KvGetKavriLogo(), "style0"},
      // Shared images are asked of sibling programs.
      {KvGetPersonGif("u 1", "small", 0)}, {KvGetCompanyLogo("3")}, {KvGetKavriCompanyGif()},
      {KvGetFrontPageLogo()}, {button, "style0"},
      {new KvImageButton(new DoNothingUrl(), "/x/y.gif", "t", 1), "s"},
      {new KvCommonImageButton("u", "bhelp", "Help"), "s"},
      // Search terms are highlighted, ignoring case; no terms highlight all.
      {new KvLabel("Banana", an.get())}, {new KvLabel("Hi", empty.get())}, {new KvLabel("axzzb", two.get())},
      {new KvLabel("plain <text>")}, {new KvIndentObject(3)}, {new KvIndentObject(new HTMLObject("a&b"), 1)},
      // Messages are text: quotes, backslashes and line breaks are escaped
      // for the script string.
      {new DoNothingUrl()}, {new SubmitFormUrl()}, {new DenyWithAlertUrl("No');alert(1);//")},
      {new SubmitFormAfterConfirmUrl("Sure?\nA\\B")}, {new HelpUrl("a b")},
      {new ConfirmUrl("Don't", new Url("x.cgi"))}, {new ConfirmDeleteUrl("m", nullptr)},
      {new ConfirmClearUrl("m", new Url("c"))}, {new ConfirmDeleteMeetingUrl("m", new Url("d"))},
      {new ConfirmDeleteMeetingSubmitUrl("it's")}, {link}, {new AddBookUrl()},
      {new AddUidItemToHotlistUrl("u1")},
      {new AddGidItemToHotlistUrl(gids.get())}, {new AddGidItemToHotlistUrl(static_cast<ValList*>(nullptr))},
      // Only the form with groups drops repeated addresses.
      {new EmailUrl("a@b.c")}, {new EmailUrl("u2", &users)}, {new EmailUrl(uids.get(), &users)},
      {new EmailUrl(uids.get(), gids.get(), &users, &groups)}, {new EmailUrl(empty.get(), &users)},
      {new EmailUrl(empty.get(), empty.get(), &users, &groups)},
  };
  std::string out;
  for (const auto& c : cases) {
    std::unique_ptr<HTMLObject> owned(c.object);
    out += EmitFlat(c.object, c.style) + "\n";
  }
  EXPECT_EQ(out, testsupport::ReadAll(TEST_DATA_DIR "/kavrilib/widgets.txt"));
}

TEST(KvWidgetTest, ImageSourceFollowsEachEmissionsStyle) {
  KvImage image("bsave", 10, 20);
  EXPECT_EQ(EmitFlat(&image), "<img border=\"0\" width=\"10\" height=\"20\" src=\"images/bsave.gif\">");
  // A second emission in another style gets its own source, not two.
  EXPECT_EQ(EmitFlat(&image, "style0"),
            "<img border=\"0\" width=\"10\" height=\"20\" src=\"images/style0/bsave.gif\">");
}

}  // namespace
