// URLs with encoded parameters and anchors, and the small header objects.
#include <gtest/gtest.h>

#include <string>

#include "CaptureRequest.h"
#include "htmllib.h"

namespace {

TEST(UrlTest, ParametersAreEncodedAndJoined) {
  Url url("velmoraadmin.cgi");
  url.addAttribute("program", "genChangeJcardLabelForm");
  url.addAttribute("name", "a b");
  EXPECT_EQ(Emit(&url),
            "velmoraadmin.cgi?program=genChangeJcardLabelForm&name=a%20b");

  Url other("x.cgi?fixed=1&");
  ValNameList params;
  params.Append("k y", "a&b<c>\"d\"");
  params.Append("uid", "\xE9t\xE9/~+");
  other.addAttribute(&params);
  other.addAttribute(kAttrHref, String("p q"));  // named after the table
  other.addAttribute("n", 5);
  other.AddAnchorName("first");
  other.AddAnchorName("top");
  EXPECT_EQ(Emit(&other),
            "x.cgi?fixed=1&?k%20y=a%26b%3Cc%3E%22d%22&uid=%E9t%E9%2F%7E%2B"
            "&href=p%20q&n=5#top");
}

TEST(UrlTest, WithoutParametersOrBase) {
  Url plain("help.cgi");
  EXPECT_EQ(Emit(&plain), "help.cgi");

  // Without a base only the children (a javascript: text) are written.
  HTMLObject* script = new HTMLObject();
  script->addData("javascript:submitForm()");
  script->SetActivateURLs(0);
  Url js(script);
  js.addAttribute("ignored", "1");
  EXPECT_EQ(Emit(&js), "javascript:submitForm()");

  // Inside an attribute the URL is written between the quotes.
  A link("go");
  Url* href = new Url("a.cgi");
  href->addAttribute("program", "front");
  href->AddAnchorName("end");
  link.addAttribute(kAttrHref, href);
  EXPECT_EQ(Emit(&link), "\n<a href=\"a.cgi?program=front#end\">go</a>");
}

TEST(UrlTest, HeaderObjectsWriteTheirHeadersInChainOrder) {
  WindowTarget target((const char*)nullptr);
  target.addNextObject(new WindowTarget("main_frame"));
  target.GetNextObject()->addNextObject(new ContentBase("http://h/d/"));
  EXPECT_EQ(Emit(&target),
            "Window-target: navbar_frame\n"
            "Window-target: main_frame\n"
            "Content-Base: \"http://h/d/\"\n");
}

TEST(UrlTest, CacheBusterWritesTenLinesOfBlanks) {
  CacheBuster buster("<!-- x -->");
  std::string line = std::string(98, ' ') + "\n";
  std::string expected = "\n&lt;!-- x --&gt;";
  for (int i = 0; i < 10; i++) expected += line;
  EXPECT_EQ(Emit(&buster), expected + "\n");

  CacheBuster wrapped(new B("y"));
  EXPECT_EQ(Emit(&wrapped), "\n<b>y</b>\n");
}

}  // namespace
