// Inputs, selects, forms, images, labels, buttons, links and URL objects.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "CaptureRequest.h"
#include "FakeDirectory.h"
#include "TestSupport.h"

namespace {

using testsupport::ListOf;

std::string Flat(HTMLObject* object, const char* style = nullptr) {
  std::unique_ptr<HTMLObject> owned(object);
  return EmitFlat(object, style);
}

// Each object written without line breaks, in the given style.
TEST(KvWidgetTest, ExactOutput) {
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
  select->AddOptionWithSelectCheck("Three", "abc", "ABC");
  select->AddOptionWithSelectCheck("Four", "d", "e");
  KvImageButton* button = new KvImageButton("x.cgi", "bsave", "Save it");
  button->SetTarget("main_frame");
  A* link = new A("x");
  link->addAttribute(kAttrHref, new ConfirmUrl("a\"b", new Url("y")));
  const struct { HTMLObject* object; const char* style; std::string expected; } cases[] = {
      {new KvHiddenInput("h", 5), nullptr, "<input type=\"hidden\" name=\"h\" value=\"5\">"},
      {new KvTextInput("t", "a\"b"), nullptr,
       "<input type=\"text\" name=\"t\" size=\"40\" value=\"a&quot;b\">"},
      {new KvTextInput("t", 3, 8), nullptr, "<input type=\"text\" name=\"t\" size=\"8\" value=\"3\">"},
      {new KvPasswordInput("p", 12), nullptr,
       "<input type=\"password\" name=\"p\" size=\"12\" value=\"\">"},
      {new KvFileInput("f", 30), nullptr, "<input type=\"file\" name=\"f\" size=\"30\" value=\"\">"},
      {new KvSubmitButton("s", "Go"), nullptr, "<input type=\"submit\" name=\"s\" value=\"Go\">"},
      {new KvCheckBox("c", "v", "Text"), nullptr,
       "<input type=\"checkbox\" name=\"c\" value=\"v\">Text"},
      {checked, nullptr, "<input type=\"checkbox\" name=\"c\" value=\"v\" checked=\"true\">"},
      {new KvRadioButton("r", "v"), nullptr, "<input type=\"radio\" name=\"r\" value=\"v\">"},
      {new KvTextArea("d", "x<y"), nullptr,
       "<textarea name=\"d\" rows=\"4\" cols=\"40\" wrap=\"virtual\">x&lt;y</textarea>"},
      {select, nullptr,
       "<select name=\"s\"><option value=\"1\">One<option>None<option value=\"2\" selected=\"true\">Two"
       "<option value=\"abc\" selected=\"true\">Three<option value=\"d\">Four</select>"},
      {new KvMultiPartForm("up", new Url("a.cgi")), nullptr,
       "<form name=\"up\" action=\"a.cgi\" method=\"post\" enctype=\"multipart/form-data\"></form>"},
      {new KvEmailForm("m", "mailto:a@b"), nullptr,
       "<form name=\"m\" action=\"mailto:a@b\" method=\"post\" enctype=\"text/plain\"></form>"},
      {new KvCommonImage("mgroupicon"), "style0",
       "<img border=\"0\" src=\"../../common/bin/images/style0/mgroupicon.gif\">"},
      {new KvSpacer(0, 7), nullptr,
       "<img border=\"0\" width=\"1\" height=\"7\" src=\"../../common/bin/images/mspacer.gif\">"},
      {new KvImage(static_cast<const char*>(nullptr)), "style0", "<img>"},
      {KvGetKavriLogo(), "style0", "<img border=\"0\" src=\"../../common/bin/images/kavrilogo.gif\">"},
      // Shared images are asked of sibling programs.
      {KvGetPersonGif("u 1", "small", 0), nullptr,
       "<img src=\"../../velmora/bin/velmora.cgi?program=streamPhoto&uid=u%201&photo_type=small\" "
       "border=\"0\">"},
      {KvGetCompanyLogo("3"), nullptr,
       "<img src=\"../../common/bin/common.cgi?program=company_gif&styleId=3\" border=\"0\">"},
      {KvGetKavriCompanyGif(), nullptr,
       "<img src=\"../../common/bin/common.cgi?program=kavri_company_gif\" border=\"0\">"},
      {KvGetFrontPageLogo(), nullptr,
       "<img src=\"../../common/bin/common.cgi?program=front_page_gif\" border=\"0\">"},
      {button, "style0",
       "<a href=\"x.cgi\" onMouseOver=\"self.status='Save it'; return true\" target=\"main_frame\">"
       "<img border=\"0\" alt=\"Save it\" src=\"images/style0/bsave.gif\"></a>"},
      {new KvImageButton(new DoNothingUrl(), "/x/y.gif", "t", 1), "s",
       "<a href=\"javascript:donothing()\" onMouseOver=\"self.status='t'; return true\">"
       "<img border=\"0\" alt=\"t\" src=\"/x/y.gif\"></a>"},
      {new KvCommonImageButton("u", "bhelp", "Help"), "s",
       "<a href=\"u\" onMouseOver=\"self.status='Help'; return true\">"
       "<img border=\"0\" alt=\"Help\" src=\"../../common/bin/images/s/bhelp.gif\"></a>"},
      // Search terms are highlighted, ignoring case; no terms highlight all.
      {new KvLabel("Banana", an.get()), nullptr, "B<font color=\"red\"><b>anan</b></font>a"},
      {new KvLabel("Hi", empty.get()), nullptr, "<font color=\"red\"><b>Hi</b></font>"},
      {new KvLabel("axzzb", two.get()), nullptr, "a<font color=\"red\"><b>xzz</b></font>b"},
      {new KvLabel("plain <text>"), nullptr, "plain &lt;text&gt;"},
      {new KvIndentObject(3), nullptr, "&nbsp;&nbsp;&nbsp;"},
      {new KvIndentObject(new HTMLObject("a&b"), 1), nullptr, "&nbsp;a&b"},
      // Messages are text: quotes, backslashes and line breaks are escaped
      // for the script string.
      {new DoNothingUrl(), nullptr, "javascript:donothing()"},
      {new SubmitFormUrl(), nullptr, "javascript:submitForm()"},
      {new DenyWithAlertUrl("No');alert(1);//"), nullptr,
       "javascript:denyWithAlert('No\\');alert(1);//')"},
      {new SubmitFormAfterConfirmUrl("Sure?\nA\\B"), nullptr,
       "javascript:submitFormAfterConfirm('Sure?\\nA\\\\B')"},
      {new HelpUrl("a b"), nullptr,
       "javascript:KvHelp('../../help/bin/help.cgi?program=help_window','a%20b')"},
      {new ConfirmUrl("Don't", new Url("x.cgi")), nullptr, "javascript:MyConfirm('Don\\'t','x.cgi');"},
      {new ConfirmDeleteUrl("m", nullptr), nullptr, "javascript:ConfirmDelete('m','');"},
      {new ConfirmClearUrl("m", new Url("c")), nullptr, "javascript:ConfirmClear('m','c');"},
      {new ConfirmDeleteMeetingUrl("m", new Url("d")), nullptr,
       "javascript:ConfirmDeleteMeeting('m','d');"},
      {new ConfirmDeleteMeetingSubmitUrl("it's"), nullptr,
       "javascript:ConfirmDeleteMeetingSubmit('it\\'s');"},
      // As the object of an attribute, a confirm URL stays inside the quotes.
      {link, nullptr, "<a href=\"javascript:MyConfirm('a&quot;b','y');\">x</a>"},
      {new AddBookUrl(), nullptr, "addbook:add"},
      {new AddUidItemToHotlistUrl("u1"), nullptr,
       "../../common/bin/common.cgi?program=add_uid_to_hotlist&uid=u1"},
      {new AddGidItemToHotlistUrl(gids.get()), nullptr,
       "../../common/bin/common.cgi?program=add_gid_to_hotlist&gid=g1&gid=g2"},
      {new AddGidItemToHotlistUrl(static_cast<ValList*>(nullptr)), nullptr, "javascript:donothing()"},
      // Only the form with groups drops repeated addresses.
      {new EmailUrl("a@b.c"), nullptr, "mailto:a@b.c"},
      {new EmailUrl("u2", &users), nullptr, "mailto:two@x.org"},
      {new EmailUrl(uids.get(), &users), nullptr, "mailto:one@x.org,one@x.org"},
      {new EmailUrl(uids.get(), gids.get(), &users, &groups), nullptr, "mailto:one@x.org,two@x.org"},
      {new EmailUrl(empty.get(), &users), nullptr, "javascript:donothing()"},
      {new EmailUrl(empty.get(), empty.get(), &users, &groups), nullptr, "javascript:donothing()"},
  };
  for (const auto& c : cases) EXPECT_EQ(Flat(c.object, c.style), c.expected);
}

TEST(KvWidgetTest, ImageSourceFollowsEachEmissionsStyle) {
  KvImage image("bsave", 10, 20);
  EXPECT_EQ(EmitFlat(&image), "<img border=\"0\" width=\"10\" height=\"20\" src=\"images/bsave.gif\">");
  // A second emission in another style gets its own source, not two.
  EXPECT_EQ(EmitFlat(&image, "style0"),
            "<img border=\"0\" width=\"10\" height=\"20\" src=\"images/style0/bsave.gif\">");
  std::string timed = Flat(KvGetPersonGif("u1", nullptr, 1));
  EXPECT_NE(timed.find("uid=u1&curtime="), std::string::npos);
  EXPECT_EQ(timed.find("photo_type"), std::string::npos);
}

}  // namespace
