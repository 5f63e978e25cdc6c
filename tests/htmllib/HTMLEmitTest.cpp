// Emission of the element tree: tags, indentation and line breaks, text
// conversion and its propagation, Pre, copied files and whole pages.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "CaptureRequest.h"
#include "htmllib.h"

namespace {

const std::string kData = std::string(TEST_DATA_DIR) + "/htmllib/";
const std::string kHeaders = "Content-type: text/html; charset=utf-8\nStatus: ";

TEST(HTMLEmitTest, Pages) {
  Page page(new Body(new TableData("a<b")));
  page.AddToList(new SetCookie("c", "1", 0));
  page.AddToList(new WindowTarget("main_frame"));
  EXPECT_EQ(Emit(&page), kHeaders + "200 OK\nSet-Cookie: c=1; path=/;\nWindow-target: main_frame\n\n"
                                    "<html>\n  <body>\n    <td>a&lt;b</td>\n  </body>\n</html>\n");
  PageNoChange noChange(new Body("x"));
  noChange.AddToList(new SetCookie("c", "1", 0));
  EXPECT_EQ(Emit(&noChange), kHeaders + "204 No Change\n\n");
  PageNoData noData(new Body("x"));
  EXPECT_EQ(Emit(&noData), "");
}

// Each element class with the text "t" at indent 2, and the conversions it
// leaves on (URL activation, escape, enhance). Layouts: B(lock) "\n  <x>t\n
// </x>", L(ine) "\n  <x>t</x>", O(pen) "\n  <x>t", I(nline) "<x>t</x>",
// S(tart only, inline) "<x>t".
TEST(HTMLEmitTest, ElementFamily) {
  const struct { HTMLObject* object; const char* tag; char layout; const char* flags; } cases[] = {
      {new Head("t"), "head", 'B', "011"},     {new Body("t"), "body", 'B', "011"},
      {new Title("t"), "title", 'L', "010"},   {new Link("t"), "link", 'B', "010"},
      {new Address("t"), "address", 'L', "111"}, {new BlockQuote("t"), "blockquote", 'B', "111"},
      {new Form("t"), "form", 'B', "011"},     {new H1("t"), "h1", 'L', "111"},
      {new H2("t"), "h2", 'L', "111"},         {new H3("t"), "h3", 'L', "111"},
      {new H4("t"), "h4", 'L', "111"},         {new H5("t"), "h5", 'L', "111"},
      {new H6("t"), "h6", 'L', "111"},         {new Hr("t"), "hr", 'B', "011"},
      {new Dl("t"), "dl", 'B', "111"},         {new Dt("t"), "dt", 'B', "111"},
      {new Dd("t"), "dd", 'B', "111"},         {new Ol("t"), "ol", 'B', "111"},
      {new Li("t"), "li", 'B', "111"},         {new Dir("t"), "dir", 'B', "111"},
      {new Menu("t"), "menu", 'B', "111"},     {new Pre("t"), "pre", 'L', "010"},
      {new P("t"), "p", 'O', "111"},           {new TableData("t"), "td", 'L', "111"},
      {new TableHeading("t"), "th", 'B', "111"}, {new TableRow("t"), "tr", 'B', "111"},
      {new Table("t"), "table", 'B', "111"},   {new A("t"), "a", 'L', "111"},
      {new Img("t"), "img", 'O', "011"},       {new Center("t"), "center", 'L', "111"},
      {new I("t"), "i", 'I', "111"},           {new Br("t"), "br", 'O', "111"},
      {new Select("t"), "select", 'B', "010"}, {new Option("t"), "option", 'O', "010"},
      {new Input("t"), "input", 'O', "010"},   {new Applet("t"), "applet", 'B', "011"},
      {new FrameSet("t"), "frameset", 'B', "011"}, {new Param("t"), "param", 'O', "011"},
      {new Frame("t"), "frame", 'L', "011"},   {new Script("t"), "script", 'B', "000"},
      {new Font("t"), "font", 'I', "111"},     {new B("t"), "b", 'I', "111"},
      {new NoBR("t"), "nobr", 'L', "011"},     {new Strong("t"), "strong", 'B', "111"},
      {new TextArea("t"), "textarea", 'L', "010"}, {new BaseFont("t"), "basefont", 'S', "111"},
      {new Spacer("t"), "spacer", 'O', "111"}, {new Ul("t"), "ul", 'B', "111"},
  };
  for (const auto& c : cases) {
    std::unique_ptr<HTMLObject> owned(c.object);
    const std::string tag = c.tag, open = (strchr("IS", c.layout) ? "<" : "\n  <") + tag + ">t";
    const std::string close = c.layout == 'B' ? "\n  </" + tag + ">" : strchr("LI", c.layout) ? "</" + tag + ">" : "";
    EXPECT_EQ(Emit(c.object, 2, 1), open + close);
    const std::string flags = {char('0' + c.object->GetActivateURLs()), char('0' + c.object->GetEscape()),
                               char('0' + c.object->GetEnhance())};
    EXPECT_EQ(flags, c.flags) << tag;
  }
  EXPECT_STREQ(kHTMLAttributeNames[69], "onFocus");
  EXPECT_STREQ(HTMLAttributeName(70), "");
  EXPECT_STREQ(HTMLTagStart(60), "");
  // Strong built around a child; Title switches its child's URL activation
  // off, Body does not.
  Strong strong(new HTMLObject("x"));
  EXPECT_EQ(Emit(&strong), "\n<strong>\n  x\n  \n</strong>");
  HTMLObject* text = new HTMLObject("x");
  Title title(text);
  EXPECT_EQ(text->GetActivateURLs(), 0);
  HTMLObject* other = new HTMLObject("x");
  Body body(other);
  EXPECT_EQ(other->GetActivateURLs(), 1);
}

// Escape and enhance switched off on an element hold for every object inside
// it, even for plain text whose own flags were on; URL activation is decided
// per object.
TEST(HTMLEmitTest, TextConversion) {
  const char* raw = "<i>\nx";
  TableData on(raw);
  on.addObject(raw, 0);
  EXPECT_EQ(Emit(&on), "\n<td>&lt;i&gt;<BR>x&lt;i&gt;<BR>x</td>");

  TableData off((const char*)nullptr);
  off.DontEscape(0);
  off.DontEnhance(0);
  HTMLObject* child = off.addObject(raw, 0);
  B* nested = new B(raw);
  off.addObject(nested);
  nested->addObject(raw, 0);
  ASSERT_EQ(child->GetEscape(), 1);
  EXPECT_EQ(Emit(&off), "\n<td><i>\nx<b><i>\nx<i>\nx</b></td>");
  EXPECT_EQ(nested->GetFirstChild()->GetEscape(), 0);
  EXPECT_EQ(nested->GetFirstChild()->GetEnhance(), 0);

  Script script("if (a < b && c) {}");
  EXPECT_EQ(Emit(&script), "\n<script>if (a < b && c) {}\n</script>");

  TableData cell("see http://example.com/a.html.");
  cell.addObject(" http://example.com/", 0);
  std::string out = Emit(&cell);
  EXPECT_NE(out.find("<A HREF=\"http://example.com/a.html\""), std::string::npos) << out;
  EXPECT_NE(out.find("</A>. http://example.com/</td>"), std::string::npos);

  // Pre adds no line breaks inside.
  Pre pre("a<b\n  c");
  pre.addObject(new TableData("d"));
  pre.addNextObject(new Br((const char*)nullptr));
  EXPECT_EQ(Emit(&pre, 2, 1), "\n  <pre>a<b\n  c<td>d</td></pre>\n  <br>");
}

TEST(HTMLEmitTest, CopiedFiles) {
  const std::string js = kData + "functions.js", body = kData + "body.html", nobody = kData + "nobody.html";
  const std::string missing = kData + "missing.js";
  HTMLObject o;
  const struct { std::function<int(CaptureRequest*)> call; int result; const char* written; } cases[] = {
      {[&](CaptureRequest* r) { return o.EmitJSFunction(r, js.c_str(), "HELLOWORLD"); }, 0,
       "function  helloWorld(a) {\n  var x = a;\n  if (x) {\n    x = 2;\n  }\n}\n"},
      {[&](CaptureRequest* r) { return o.EmitJSFunction(r, js.c_str(), "other"); }, 0, "function other{\n}\n"},
      // The line begins with "Function".
      {[&](CaptureRequest* r) { return o.EmitJSFunction(r, js.c_str(), "Capital"); }, -1, ""},
      {[&](CaptureRequest* r) { return o.EmitJSFunction(r, js.c_str(), "hello"); }, -1, ""},
      {[&](CaptureRequest* r) { return o.EmitJSFunction(r, js.c_str(), "unclosed"); }, -1,
       "function unclosed()\n  return 3;\n"},
      {[&](CaptureRequest* r) { return o.EmitJSFunction(r, missing.c_str(), "x"); }, -1, ""},
      {[&](CaptureRequest* r) { return o.EmitHTMLBody(r, body.c_str()); }, 0, "<p>first</p>\nsecond\n"},
      {[&](CaptureRequest* r) { return o.EmitHTMLBody(r, nobody.c_str()); }, 0, ""},
      {[&](CaptureRequest* r) { return o.EmitHTMLBody(r, missing.c_str()); }, -1, ""},
      {[&](CaptureRequest* r) { return o.EmitJSCode(r, missing.c_str()); }, -1, ""},
      {[&](CaptureRequest* r) { return o.EmitJSCode(r, nobody.c_str()); }, 0,
       "<html>\n<p>no body tag</p>\n</html>\n\n\n"},
  };
  for (const auto& c : cases) {
    CaptureRequest req;
    EXPECT_EQ(c.call(&req), c.result) << c.written;
    EXPECT_EQ(req.out, c.written);
  }

  // Included files follow the text in order; duplicates are kept, the first
  // body file wins and a missing file is left out.
  Script script("//start\n");
  script.IncludeJSFunction(js.c_str(), "other");
  script.IncludeFile(nobody.c_str());
  script.IncludeJSFunction(js.c_str(), "other");
  script.IncludeBody(body.c_str());
  script.IncludeBody(nobody.c_str());
  script.IncludeJSCode(missing.c_str());
  EXPECT_EQ(Emit(&script), "\n<script>//start\nfunction other{\n}\n<html>\n<p>no body tag</p>\n</html>\n\n\n"
                           "function other{\n}\n<p>first</p>\nsecond\n\n</script>");
}

}  // namespace
