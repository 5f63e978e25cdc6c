// Building the element tree: the attached-once rule, the
// attribute operations with their escaping; URLs and the header objects.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "CaptureRequest.h"
#include "htmllib.h"

namespace {

// Every later attach of an attached object is refused; each tree then
// deletes its own objects once (the sanitizer build checks the deletes).
TEST(HTMLObjectTest, ObjectIsAttachedOnlyOnce) {
  TableRow first((const char*)nullptr), second((const char*)nullptr);
  A link("l");
  B* child = new B("x");
  EXPECT_EQ(first.addObject(child), child);
  EXPECT_EQ(child->IsAttached(), 1);
  EXPECT_EQ(first.addObject(child), nullptr);
  EXPECT_EQ(second.addObject(child), nullptr);
  EXPECT_EQ(link.addAttribute(kAttrHref, child), nullptr);
  EXPECT_EQ(link.GetAttribute(), nullptr);
  EXPECT_EQ(first.addObject((HTMLObject*)nullptr), nullptr);

  // The same holds for an attribute object.
  Url* url = new Url("u");
  ASSERT_NE(link.addAttribute(kAttrHref, url), nullptr);
  EXPECT_EQ(first.addObject(url), nullptr);
  EXPECT_EQ(Emit(&first), "\n<tr><b>x</b>\n</tr>");
}

// Values are escaped; AppendToAttribute puts new text first.
TEST(HTMLObjectTest, AttributeOperations) {
  Input input((const char*)nullptr);
  input.addAttribute(kAttrValue, "a\"<b>&c'");
  input.addAttribute(kAttrTitle, String("x<y"));
  input.addAttribute(kAttrSize, 12);
  HTMLAttribute* named = input.addAttribute("n<m", "v&w");
  input.addStatusMessage("say \"it's\"");
  EXPECT_STREQ(named->name, "n&lt;m");
  EXPECT_EQ(Emit(&input), "\n<input value=\"a&quot;&lt;b&gt;&amp;c'\" title=\"x&lt;y\" size=\"12\""
                          " =\"v&amp;w\" onMouseOver=\"self.status='say &quot;it\\'s&quot;'; return true\">");

  Input click((const char*)nullptr);
  click.addAttribute(kAttrOnClick, "a()");
  HTMLAttribute* found = click.AppendToAttribute(kAttrOnClick, "b()");
  ASSERT_NE(found, nullptr);
  EXPECT_STREQ(found->value, "b();a()");
  click.AppendToAttribute(kAttrOnClick, "x<1");
  EXPECT_STREQ(found->value, "x&lt;1;b();a()");

  // Without the attribute it is added, and null is returned.
  EXPECT_EQ(click.AppendToAttribute(kAttrOnBlur, "f()"), nullptr);
  ASSERT_NE(found->next, nullptr);
  EXPECT_EQ(found->next->number, kAttrOnBlur);
  EXPECT_STREQ(found->next->value, "f()");
}

TEST(HTMLObjectTest, LongSiblingChainIsDeleted) {
  // Deleting must not recurse once per sibling.
  auto* table = new Table((const char*)nullptr);
  HTMLObject* last = table->addObject(new TableRow((const char*)nullptr));
  for (int i = 0; i < 200000; i++) {
    HTMLObject* row = new TableRow((const char*)nullptr);
    last->addNextObject(row);
    last = row;
  }
  delete table;
}

// Parameters are encoded and joined; anchors, URLs inside attributes, and
// the small header objects.
TEST(HTMLObjectTest, UrlsAndHeaderObjects) {
  Url* other = new Url("x.cgi?fixed=1&");
  ValNameList params;
  params.Append("k y", "a&b<c>\"d\"");
  params.Append("uid", "\xE9t\xE9/~+");
  other->addAttribute(&params);
  other->addAttribute(kAttrHref, String("p q"));  // named after the table
  other->addAttribute("n", 5);
  // Without a base only the children (a javascript: text) are written.
  HTMLObject* script = new HTMLObject();
  script->addData("javascript:submitForm()");
  script->SetActivateURLs(0);
  Url* js = new Url(script);
  js->addAttribute("ignored", "1");
  Url* href = new Url("a.cgi");
  href->addAttribute("program", "front");
  A* link = new A("go");
  link->addAttribute(kAttrHref, href);
  link->addAttribute(kAttrWidth, 5);
  WindowTarget* target = new WindowTarget((const char*)nullptr);
  target->addNextObject(new WindowTarget("main_frame"));
  const struct { HTMLObject* object; std::string expected; } cases[] = {
      {other, "x.cgi?fixed=1&?k%20y=a%26b%3Cc%3E%22d%22&uid=%E9t%E9%2F%7E%2B&href=p%20q&n=5"},
      {js, "javascript:submitForm()"}, {link, "\n<a href=\"a.cgi?program=front\" width=\"5\">go</a>"},
      {target, "Window-target: navbar_frame\nWindow-target: main_frame\n"},
  };
  for (const auto& c : cases) {
    std::unique_ptr<HTMLObject> owned(c.object);
    EXPECT_EQ(Emit(c.object), c.expected);
  }
}

}  // namespace
