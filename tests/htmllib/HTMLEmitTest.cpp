// Emission of the element tree: tags, indentation and line breaks, text
// conversion and its propagation, copied files and whole pages.
#include <gtest/gtest.h>

#include "CaptureRequest.h"
#include "TestSupport.h"
#include "htmllib.h"

namespace {

using testsupport::ReadAll;

const std::string kData = std::string(TEST_DATA_DIR) + "/htmllib/";
const std::string kHeaders = "Content-type: text/html; charset=utf-8\nStatus: ";

TEST(HTMLEmitTest, Pages) {
  Page page(new Body(new TableData("a<b")));
  page.AddToList(new SetCookie("c", "1", 0));
  page.AddToList(new WindowTarget("main_frame"));
  EXPECT_EQ(Emit(&page), kHeaders + "200 OK\nSet-Cookie: c=1; path=/;\nWindow-target: main_frame\n\n"
                                    "<html>\n  <body>\n    <td>a&lt;b</td>\n  </body>\n</html>\n");
  PageNoData noData(new Body("x"));
  EXPECT_EQ(Emit(&noData), "");
}

// Each element class at indent 2 with a text that shows the conversions it
// leaves on: escape ("<"), enhance (the line break) and URL activation.
TEST(HTMLEmitTest, ElementFamily) {
  const char* t = "a<b\nhttp://x.org/ c";
  std::string out;
  for (HTMLObject* element : std::initializer_list<HTMLObject*>{
           new Head(t), new Body(t), new Title(t), new Link(t), new Address(t), new BlockQuote(t),
           new Form(t),
           new H1(t), new H2(t), new H3(t), new H4(t), new H5(t), new H6(t), new Hr(t), new Dl(t), new Dt(t),
           new Dd(t), new Ol(t), new Li(t), new Dir(t), new Menu(t), new Pre(t), new P(t), new TableData(t),
           new TableHeading(t), new TableRow(t), new Table(t), new A(t), new Img(t), new Center(t), new I(t),
           new Br(t), new Select(t), new Option(t), new Input(t), new Applet(t), new FrameSet(t),
           new Param(t),
           new Frame(t), new Script(t), new Font(t), new B(t), new NoBR(t), new Strong(t), new TextArea(t),
           new BaseFont(t), new Spacer(t), new Ul(t)}) {
    out += Emit(element, 2, 1) + "|";
    delete element;
  }
  EXPECT_EQ(out, ReadAll(kData + "elements.html"));
  EXPECT_STREQ(HTMLAttributeName(70), "");
  EXPECT_STREQ(HTMLTagStart(60), "");
}

// Escape and enhance switched off on an element hold for every object inside
// it, even for plain text whose own flags were on; URL activation is decided
// per object.
TEST(HTMLEmitTest, TextConversion) {
  const char* raw = "<i>\nx";
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

  TableData cell("see http://example.com/a.html.");
  cell.addObject(" http://example.com/", 0);
  EXPECT_EQ(Emit(&cell), "\n<td>see <A HREF=\"http://example.com/a.html\" target=\"_top\">"
                         "http://example.com/a.html</A>. http://example.com/</td>");
}

TEST(HTMLEmitTest, CopiedFiles) {
  const std::string js = kData + "functions.js", nobody = kData + "nobody.html";
  const std::string missing = kData + "missing.js";
  // F: EmitJSFunction, C: EmitJSCode.
  const struct {
    char call; const std::string& file; const char* name; int result; const char* written;
  } cases[] = {
      {'F', js, "HELLOWORLD", 0, "function  helloWorld(a) {\n  var x = a;\n  if (x) {\n    x = 2;\n  }\n}\n"},
      {'F', js, "other", 0, "function other{\n}\n"},
      {'F', js, "Capital", -1, ""},  // the line begins with "Function"
      {'F', js, "hello", -1, ""}, {'F', js, "unclosed", -1, "function unclosed()\n  return 3;\n"},
      {'F', missing, "x", -1, ""}, {'C', missing, nullptr, -1, ""},
      {'C', nobody, nullptr, 0, "<html>\n<p>no body tag</p>\n</html>\n\n\n"},
  };
  HTMLObject o;
  for (const auto& c : cases) {
    CaptureRequest req;
    const char* file = c.file.c_str();
    int result = c.call == 'F' ? o.EmitJSFunction(&req, file, c.name) : o.EmitJSCode(&req, file);
    EXPECT_EQ(result, c.result) << c.call << " " << c.file;
    EXPECT_EQ(req.out, c.written) << c.call << " " << c.file;
  }

  // Included files follow the text in order; duplicates are kept and a
  // missing file is left out.
  Script script("//start\n");
  script.IncludeJSFunction(js.c_str(), "other");
  script.IncludeFile(nobody.c_str());
  script.IncludeJSFunction(js.c_str(), "other");
  script.IncludeJSCode(missing.c_str());
  EXPECT_EQ(Emit(&script), "\n<script>//start\nfunction other{\n}\n<html>\n<p>no body tag</p>\n</html>\n\n\n"
                           "function other{\n}\n\n</script>");
}

}  // namespace
