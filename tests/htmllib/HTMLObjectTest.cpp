// Building the element tree: the attached-once rule, child order, the
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
  EXPECT_EQ(second.prependObject(child), &second);
  EXPECT_EQ(second.GetFirstChild(), nullptr);
  EXPECT_EQ(first.appendObject(child), child);
  EXPECT_EQ(child->GetNextObject(), nullptr);
  EXPECT_EQ(link.GetAttribute(), nullptr);
  EXPECT_EQ(first.addObject((HTMLObject*)nullptr), nullptr);

  // The same holds for an attribute object.
  Url* url = new Url("u");
  ASSERT_NE(link.addAttribute(kAttrHref, url), nullptr);
  EXPECT_EQ(first.addObject(url), nullptr);
  EXPECT_EQ(Emit(&first), "\n<tr><b>x</b>\n</tr>");
}

TEST(HTMLObjectTest, ChildrenKeepTheirOrder) {
  Body body("t");
  body.addObject("one", 0);
  body.addObject(2);
  body.prependObject("zero");
  body.prependObject(new B("b"));
  HTMLObject* tail = body.addObject(new B("c"));
  tail->addNextObject(new I("d"));
  EXPECT_EQ(Emit(&body), "\n<body>t<b>b</b>\n  zeroone2<b>c</b><i>d</i>\n</body>");
}

// Values are escaped; AppendToAttribute puts new text first; Modify and
// Delete touch only the first match (names ignore case).
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
  EXPECT_STREQ(HTMLObject::MakeStatusMessage(nullptr).CStr(), "self.status=''; return true");

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

  // An attribute holding an object gains the new object as a child.
  A link((const char*)nullptr);
  link.AppendToAttribute(kAttrHref, new Url("x.cgi"));
  HTMLAttribute* href = link.AppendToAttribute(kAttrHref, new B("y"));
  ASSERT_NE(href, nullptr);
  EXPECT_EQ(Emit(&link), "\n<a href=\"x.cgi<b>y</b>\"></a>");

  Input data((const char*)nullptr);
  data.addAttribute("Data", "1");
  data.addAttribute(kAttrValue, "v1");
  data.addAttribute("data", "2");
  data.addAttribute(kAttrValue, "v2");
  data.ModifyAttribute("DATA", "<3>");
  data.ModifyAttribute(kAttrValue, 9);
  data.ModifyAttribute("absent", "x");
  data.ModifyAttribute(kAttrAlt, "x");
  EXPECT_EQ(Emit(&data), "\n<input =\"&lt;3&gt;\" value=\"9\" =\"2\" value=\"v2\">");
  data.DeleteAttribute("dAtA");
  data.DeleteAttribute(kAttrValue);
  data.DeleteAttribute(kAttrAlt);
  data.DeleteAttribute("absent");
  EXPECT_EQ(Emit(&data), "\n<input =\"2\" value=\"v2\">");
  data.DeleteAttribute("data");
  data.DeleteAttribute(kAttrValue);
  EXPECT_EQ(data.GetAttribute(), nullptr);
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
  other->AddAnchorName("first");
  other->AddAnchorName("top");
  // Without a base only the children (a javascript: text) are written.
  HTMLObject* script = new HTMLObject();
  script->addData("javascript:submitForm()");
  script->SetActivateURLs(0);
  Url* js = new Url(script);
  js->addAttribute("ignored", "1");
  Url* href = new Url("a.cgi");
  href->addAttribute("program", "front");
  href->AddAnchorName("end");
  A* link = new A("go");
  link->addAttribute(kAttrHref, href);
  link->addAttribute(kAttrWidth, 5);
  WindowTarget* target = new WindowTarget((const char*)nullptr);
  target->addNextObject(new WindowTarget("main_frame"));
  target->GetNextObject()->addNextObject(new ContentBase("http://h/d/"));
  std::string blanks;
  for (int i = 0; i < 10; i++) blanks += std::string(98, ' ') + "\n";
  const struct { HTMLObject* object; std::string expected; } cases[] = {
      {other, "x.cgi?fixed=1&?k%20y=a%26b%3Cc%3E%22d%22&uid=%E9t%E9%2F%7E%2B&href=p%20q&n=5#top"},
      {js, "javascript:submitForm()"}, {link, "\n<a href=\"a.cgi?program=front#end\" width=\"5\">go</a>"},
      {target, "Window-target: navbar_frame\nWindow-target: main_frame\nContent-Base: \"http://h/d/\"\n"},
      {new CacheBuster("<!-- x -->"), "\n&lt;!-- x --&gt;" + blanks + "\n"},
      {new CacheBuster(new B("y")), "\n<b>y</b>\n"},
  };
  for (const auto& c : cases) {
    std::unique_ptr<HTMLObject> owned(c.object);
    EXPECT_EQ(Emit(c.object), c.expected);
  }
}

}  // namespace
