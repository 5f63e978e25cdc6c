// Inputs, selects, forms, images, labels, buttons, links and URL objects.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "CaptureRequest.h"
#include "FakeDirectory.h"

namespace {

std::string Flat(HTMLObject* object, const char* style = nullptr) {
  std::unique_ptr<HTMLObject> owned(object);
  return EmitFlat(object, style);
}

TEST(KvWidgetTest, InputsWriteTypeNameThenTheRest) {
  struct {
    HTMLObject* input;
    const char* expected;
  } cases[] = {
      {new KvHiddenInput("h", 5), "<input type=\"hidden\" name=\"h\" value=\"5\">"},
      {new KvTextInput("t", "a\"b"),
       "<input type=\"text\" name=\"t\" size=\"40\" value=\"a&quot;b\">"},
      {new KvTextInput("t", 3, 8), "<input type=\"text\" name=\"t\" size=\"8\" value=\"3\">"},
      {new KvPasswordInput("p"), "<input type=\"password\" name=\"p\" size=\"40\" value=\"\">"},
      {new KvPasswordInput("p", 12), "<input type=\"password\" name=\"p\" size=\"12\" value=\"\">"},
      {new KvFileInput("f", 30), "<input type=\"file\" name=\"f\" size=\"30\" value=\"\">"},
      {new KvSubmitButton("s", "Go"), "<input type=\"submit\" name=\"s\" value=\"Go\">"},
      {new KvCheckBox("c", "v", "Text"), "<input type=\"checkbox\" name=\"c\" value=\"v\">Text"},
      {new KvRadioButton("r", "v"), "<input type=\"radio\" name=\"r\" value=\"v\">"},
  };
  for (auto& c : cases) EXPECT_EQ(Flat(c.input), c.expected);

  KvCheckBox* box = new KvCheckBox("c", "v");
  box->MarkChecked();
  EXPECT_EQ(Flat(box), "<input type=\"checkbox\" name=\"c\" value=\"v\" checked=\"true\">");
}

TEST(KvWidgetTest, TextAreaSelectAndForms) {
  EXPECT_EQ(Flat(new KvTextArea("d", "x<y")),
            "<textarea name=\"d\" rows=\"4\" cols=\"40\" wrap=\"virtual\">x&lt;y</textarea>");
  KvSelect* select = new KvSelect("s");
  select->AddOption("One", "1");
  select->AddOption("None", nullptr);
  select->AddOptionSelected("Two", 2);
  select->AddOptionWithSelectCheck("Three", "abc", "ABC");
  select->AddOptionWithSelectCheck("Four", "d", "e");
  EXPECT_EQ(Flat(select),
            "<select name=\"s\"><option value=\"1\">One<option>None"
            "<option value=\"2\" selected=\"true\">Two"
            "<option value=\"abc\" selected=\"true\">Three<option value=\"d\">Four</select>");

  Url* action = new Url("velmoraadmin.cgi");
  action->addAttribute("program", "save");
  EXPECT_EQ(Flat(new KvMultiPartForm("up", action)),
            "<form name=\"up\" action=\"velmoraadmin.cgi?program=save\" method=\"post\" "
            "enctype=\"multipart/form-data\"></form>");
  EXPECT_EQ(Flat(new KvEmailForm("m", "mailto:a@b")),
            "<form name=\"m\" action=\"mailto:a@b\" method=\"post\" enctype=\"text/plain\"></form>");
}

TEST(KvWidgetTest, ImageSourceFollowsTheStyleOfTheEmission) {
  KvImage image("bsave", 10, 20);
  EXPECT_EQ(EmitFlat(&image),
            "<img border=\"0\" width=\"10\" height=\"20\" src=\"images/bsave.gif\">");
  // A second emission with another style gets its own source, not two.
  EXPECT_EQ(EmitFlat(&image, "style0"),
            "<img border=\"0\" width=\"10\" height=\"20\" src=\"images/style0/bsave.gif\">");

  EXPECT_EQ(Flat(new KvCommonImage("mgroupicon"), "style0"),
            "<img border=\"0\" src=\"../../common/bin/images/style0/mgroupicon.gif\">");
  EXPECT_EQ(Flat(new KvSpacer(0, 7)),
            "<img border=\"0\" width=\"1\" height=\"7\" "
            "src=\"../../common/bin/images/mspacer.gif\">");
  EXPECT_EQ(Flat(new KvImage(static_cast<const char*>(nullptr)), "style0"), "<img>");
  EXPECT_EQ(Flat(KvGetKavriLogo(), "style0"),
            "<img border=\"0\" src=\"../../common/bin/images/kavrilogo.gif\">");
}

TEST(KvWidgetTest, SharedImagesAskSiblingPrograms) {
  EXPECT_EQ(Flat(KvGetPersonGif("u 1", "small", 0)),
            "<img src=\"../../velmora/bin/velmora.cgi?program=streamPhoto&uid=u%201&"
            "photo_type=small\" border=\"0\">");
  std::string timed = Flat(KvGetPersonGif("u1", nullptr, 1));
  EXPECT_NE(timed.find("uid=u1&curtime="), std::string::npos);
  EXPECT_EQ(timed.find("photo_type"), std::string::npos);
  EXPECT_EQ(Flat(KvGetCompanyLogo("3")),
            "<img src=\"../../common/bin/common.cgi?program=company_gif&styleId=3\" border=\"0\">");
  EXPECT_NE(Flat(KvGetKavriCompanyGif()).find("program=kavri_company_gif"), std::string::npos);
  EXPECT_NE(Flat(KvGetFrontPageLogo()).find("program=front_page_gif"), std::string::npos);
}

TEST(KvWidgetTest, ImageButtons) {
  KvImageButton* button = new KvImageButton("x.cgi", "bsave", "Save it");
  button->SetTarget("main_frame");
  EXPECT_EQ(Flat(button, "style0"),
            "<a href=\"x.cgi\" onMouseOver=\"self.status='Save it'; return true\" "
            "target=\"main_frame\"><img border=\"0\" alt=\"Save it\" "
            "src=\"images/style0/bsave.gif\"></a>");
  std::string full = Flat(new KvImageButton(new DoNothingUrl(), "/x/y.gif", "t", 1));
  EXPECT_NE(full.find("href=\"javascript:donothing()\""), std::string::npos);
  EXPECT_NE(full.find("src=\"/x/y.gif\""), std::string::npos);
  EXPECT_NE(Flat(new KvCommonImageButton("u", "bhelp", "Help"), "s")
                .find("src=\"../../common/bin/images/s/bhelp.gif\""),
            std::string::npos);
}

TEST(KvWidgetTest, LabelHighlightsSearchTerms) {
  ValList terms;
  terms.Append("an");
  EXPECT_EQ(Flat(new KvLabel("Banana", &terms)),
            "B<font color=\"red\"><b>anan</b></font>a");
  ValList none;
  EXPECT_EQ(Flat(new KvLabel("Hi", &none)), "<font color=\"red\"><b>Hi</b></font>");
  ValList two;
  two.Append("X");
  two.Append("zz");
  EXPECT_EQ(Flat(new KvLabel("axzzb", &two)), "a<font color=\"red\"><b>xzz</b></font>b");
  EXPECT_EQ(Flat(new KvLabel("plain <text>")), "plain &lt;text&gt;");
}

TEST(KvWidgetTest, IndentIsNotEscaped) {
  EXPECT_EQ(Flat(new KvIndentObject(3)), "&nbsp;&nbsp;&nbsp;");
  EXPECT_EQ(Flat(new KvIndentObject(0)), "");
  EXPECT_EQ(Flat(new KvIndentObject(new HTMLObject("a&b"), 1)), "&nbsp;a&b");
}

TEST(KvWidgetTest, JavaScriptAndConfirmUrls) {
  struct {
    HTMLObject* url;
    const char* expected;
  } cases[] = {
      {new DoNothingUrl(), "javascript:donothing()"},
      {new SubmitFormUrl(), "javascript:submitForm()"},
      // The messages are text: quotes, backslashes and line breaks are
      // escaped for the script string.
      {new DenyWithAlertUrl("No');alert(1);//"),
       "javascript:denyWithAlert('No\\');alert(1);//')"},
      {new SubmitFormAfterConfirmUrl("Sure?\nA\\B"),
       "javascript:submitFormAfterConfirm('Sure?\\nA\\\\B')"},
      {new HelpUrl("a b"),
       "javascript:KvHelp('../../help/bin/help.cgi?program=help_window','a%20b')"},
      {new ConfirmUrl("Don't", new Url("x.cgi")), "javascript:MyConfirm('Don\\'t','x.cgi');"},
      {new ConfirmDeleteUrl("m", nullptr), "javascript:ConfirmDelete('m','');"},
      {new ConfirmClearUrl("m", new Url("c")), "javascript:ConfirmClear('m','c');"},
      {new ConfirmDeleteMeetingUrl("m", new Url("d")),
       "javascript:ConfirmDeleteMeeting('m','d');"},
      {new ConfirmDeleteMeetingSubmitUrl("it's"),
       "javascript:ConfirmDeleteMeetingSubmit('it\\'s');"},
      {new AddBookUrl(), "addbook:add"},
      {new AddUidItemToHotlistUrl("u1"),
       "../../common/bin/common.cgi?program=add_uid_to_hotlist&uid=u1"},
      {new AddGidItemToHotlistUrl(static_cast<ValList*>(nullptr)), "javascript:donothing()"},
  };
  for (auto& c : cases) EXPECT_EQ(Flat(c.url), c.expected);

  ValList gids;
  gids.Append("g1");
  gids.Append("g2");
  EXPECT_EQ(Flat(new AddGidItemToHotlistUrl(&gids)),
            "../../common/bin/common.cgi?program=add_gid_to_hotlist&gid=g1&gid=g2");

  // As the object of an attribute, a confirm URL stays inside the quotes.
  A* link = new A("x");
  link->addAttribute(kAttrHref, new ConfirmUrl("a\"b", new Url("y")));
  EXPECT_EQ(Flat(link), "<a href=\"javascript:MyConfirm('a&quot;b','y');\">x</a>");
}

// Only the form with groups drops repeated addresses.
TEST(KvWidgetTest, EmailUrlsCollectAddresses) {
  FakeUserDB users;
  users.Add("u1", "One", "one@x.org");
  users.Add("u2", "Two", "two@x.org");
  users.Add("u3", "Three");
  FakeGroupDB groups;
  groups.Add("g1", "G", {"u2", "u3", "u1"});

  EXPECT_EQ(Flat(new EmailUrl("a@b.c")), "mailto:a@b.c");
  EXPECT_EQ(Flat(new EmailUrl("u2", &users)), "mailto:two@x.org");
  ValList uids;
  uids.Append("u1");
  uids.Append("u3");
  uids.Append("u1");
  EXPECT_EQ(Flat(new EmailUrl(&uids, &users)), "mailto:one@x.org,one@x.org");
  ValList gids;
  gids.Append("g1");
  EXPECT_EQ(Flat(new EmailUrl(&uids, &gids, &users, &groups)), "mailto:one@x.org,two@x.org");
  ValList empty;
  EXPECT_EQ(Flat(new EmailUrl(&empty, &users)), "javascript:donothing()");
  EXPECT_EQ(Flat(new EmailUrl(&empty, &empty, &users, &groups)), "javascript:donothing()");
}

}  // namespace
