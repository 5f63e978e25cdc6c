// Emission of the element tree: tags, indentation and line breaks, text
// conversion and its propagation, Pre, copied files and whole pages.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "CaptureRequest.h"
#include "htmllib.h"

namespace {

const std::string kData = std::string(TEST_DATA_DIR) + "/htmllib/";

TEST(HTMLEmitTest, PageExampleByteForByte) {
  Page page(new Body(new TableData("a<b")));
  CaptureRequest req;
  page.emit(&req, 0, 1, nullptr);
  EXPECT_EQ(req.out,
            "Content-type: text/html; charset=utf-8\n"
            "Status: 200 OK\n"
            "\n"
            "<html>"
            "\n  <body>"
            "\n    <td>a&lt;b</td>"
            "\n  </body>"
            "\n</html>"
            "\n");
}

TEST(HTMLEmitTest, PageWritesHeaderChainInOrder) {
  Page page(new Body("x"));
  page.AddToList(new SetCookie("c", "1", 0));
  page.AddToList(new WindowTarget("main_frame"));
  CaptureRequest req;
  page.emit(&req, 0, 1, nullptr);
  EXPECT_EQ(req.out,
            "Content-type: text/html; charset=utf-8\n"
            "Status: 200 OK\n"
            "Set-Cookie: c=1; path=/;\n"
            "Window-target: main_frame\n"
            "\n"
            "<html>\n  <body>x\n  </body>\n</html>\n");

  PageNoChange noChange(new Body("x"));
  noChange.AddToList(new SetCookie("c", "1", 0));
  EXPECT_EQ(Emit(&noChange),
            "Content-type: text/html; charset=utf-8\nStatus: 204 No Change\n\n");
  PageNoData noData(new Body("x"));
  EXPECT_EQ(Emit(&noData), "");
}

// Each element class with the text "t" at indent 2, and the conversions it
// leaves on.
TEST(HTMLEmitTest, ElementFamily) {
  struct Case {
    HTMLObject* object;
    const char* expected;
    KvBoolean urls, escape, enhance;
  };
  const Case cases[] = {
      {new Head("t"), "\n  <head>t\n  </head>", 0, 1, 1},
      {new Body("t"), "\n  <body>t\n  </body>", 0, 1, 1},
      {new Title("t"), "\n  <title>t</title>", 0, 1, 0},
      {new Link("t"), "\n  <link>t\n  </link>", 0, 1, 0},
      {new Address("t"), "\n  <address>t</address>", 1, 1, 1},
      {new BlockQuote("t"), "\n  <blockquote>t\n  </blockquote>", 1, 1, 1},
      {new Form("t"), "\n  <form>t\n  </form>", 0, 1, 1},
      {new H1("t"), "\n  <h1>t</h1>", 1, 1, 1},
      {new H2("t"), "\n  <h2>t</h2>", 1, 1, 1},
      {new H3("t"), "\n  <h3>t</h3>", 1, 1, 1},
      {new H4("t"), "\n  <h4>t</h4>", 1, 1, 1},
      {new H5("t"), "\n  <h5>t</h5>", 1, 1, 1},
      {new H6("t"), "\n  <h6>t</h6>", 1, 1, 1},
      {new Hr("t"), "\n  <hr>t\n  </hr>", 0, 1, 1},
      {new Dl("t"), "\n  <dl>t\n  </dl>", 1, 1, 1},
      {new Dt("t"), "\n  <dt>t\n  </dt>", 1, 1, 1},
      {new Dd("t"), "\n  <dd>t\n  </dd>", 1, 1, 1},
      {new Ol("t"), "\n  <ol>t\n  </ol>", 1, 1, 1},
      {new Li("t"), "\n  <li>t\n  </li>", 1, 1, 1},
      {new Dir("t"), "\n  <dir>t\n  </dir>", 1, 1, 1},
      {new Menu("t"), "\n  <menu>t\n  </menu>", 1, 1, 1},
      {new Pre("t"), "\n  <pre>t</pre>", 0, 1, 0},
      {new P("t"), "\n  <p>t", 1, 1, 1},
      {new TableData("t"), "\n  <td>t</td>", 1, 1, 1},
      {new TableHeading("t"), "\n  <th>t\n  </th>", 1, 1, 1},
      {new TableRow("t"), "\n  <tr>t\n  </tr>", 1, 1, 1},
      {new Table("t"), "\n  <table>t\n  </table>", 1, 1, 1},
      {new A("t"), "\n  <a>t</a>", 1, 1, 1},
      {new Img("t"), "\n  <img>t", 0, 1, 1},
      {new Center("t"), "\n  <center>t</center>", 1, 1, 1},
      {new I("t"), "<i>t</i>", 1, 1, 1},
      {new Br("t"), "\n  <br>t", 1, 1, 1},
      {new Select("t"), "\n  <select>t\n  </select>", 0, 1, 0},
      {new Option("t"), "\n  <option>t", 0, 1, 0},
      {new Input("t"), "\n  <input>t", 0, 1, 0},
      {new Applet("t"), "\n  <applet>t\n  </applet>", 0, 1, 1},
      {new FrameSet("t"), "\n  <frameset>t\n  </frameset>", 0, 1, 1},
      {new Param("t"), "\n  <param>t", 0, 1, 1},
      {new Frame("t"), "\n  <frame>t</frame>", 0, 1, 1},
      {new Script("t"), "\n  <script>t\n  </script>", 0, 0, 0},
      {new Font("t"), "<font>t</font>", 1, 1, 1},
      {new B("t"), "<b>t</b>", 1, 1, 1},
      {new NoBR("t"), "\n  <nobr>t</nobr>", 0, 1, 1},
      {new Strong("t"), "\n  <strong>t\n  </strong>", 1, 1, 1},
      {new TextArea("t"), "\n  <textarea>t</textarea>", 0, 1, 0},
      {new BaseFont("t"), "<basefont>t", 1, 1, 1},
      {new Spacer("t"), "\n  <spacer>t", 1, 1, 1},
      {new Ul("t"), "\n  <ul>t\n  </ul>", 1, 1, 1},
  };
  for (const Case& c : cases) {
    std::unique_ptr<HTMLObject> owned(c.object);
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(Emit(c.object, 2, 1), c.expected);
    EXPECT_EQ(c.object->GetActivateURLs(), c.urls);
    EXPECT_EQ(c.object->GetEscape(), c.escape);
    EXPECT_EQ(c.object->GetEnhance(), c.enhance);
  }
  // Strong built around a child, and the child constructors that switch the
  // child's URL activation off.
  Strong strong(new HTMLObject("x"));
  EXPECT_EQ(Emit(&strong), "\n<strong>\n  x\n  \n</strong>");
  HTMLObject* text = new HTMLObject("x");
  Title title(text);
  EXPECT_EQ(text->GetActivateURLs(), 0);
  HTMLObject* other = new HTMLObject("x");
  Body body(other);
  EXPECT_EQ(other->GetActivateURLs(), 1);
}

TEST(HTMLEmitTest, AttributeNamesAreSpelledExactly) {
  EXPECT_STREQ(kHTMLAttributeNames[0], "");
  EXPECT_STREQ(kHTMLAttributeNames[kAttrHref], "href");
  EXPECT_STREQ(kHTMLAttributeNames[kAttrOnMouseOver], "onMouseOver");
  EXPECT_STREQ(kHTMLAttributeNames[kAttrOnClick], "onClick");
  EXPECT_STREQ(kHTMLAttributeNames[kAttrMarginwidth], "marginwidth");
  EXPECT_STREQ(kHTMLAttributeNames[kAttrFramespacing], "framespacing");
  EXPECT_STREQ(kHTMLAttributeNames[69], "onFocus");
  EXPECT_STREQ(HTMLAttributeName(70), "");
  EXPECT_STREQ(HTMLTagStart(60), "");
}

TEST(HTMLEmitTest, AttributesAreWrittenInOrderWithObjects) {
  A a("go");
  a.addAttribute(kAttrHref, "x.html");
  Url* url = new Url("p.cgi");
  url->addAttribute("k", "v w");
  a.addAttribute(kAttrSrc, url);
  a.addAttribute(kAttrWidth, 5);
  EXPECT_EQ(Emit(&a),
            "\n<a href=\"x.html\" src=\"p.cgi?k=v%20w\" width=\"5\">go</a>");
}

// Escape and enhance switched off on an element hold for every object inside
// it, even for plain text whose own flags were on.
TEST(HTMLEmitTest, EscapeAndEnhanceOffReachPlainTextChildren) {
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

  // A Script (escape off) keeps its code as written.
  Script script("if (a < b && c) {}");
  EXPECT_EQ(Emit(&script), "\n<script>if (a < b && c) {}\n</script>");
}

TEST(HTMLEmitTest, URLActivationIsDecidedPerObject) {
  TableData cell("see http://example.com/a.html.");
  cell.addObject(" http://example.com/", 0);
  std::string out = Emit(&cell);
  EXPECT_NE(out.find("<A HREF=\"http://example.com/a.html\""), std::string::npos);
  EXPECT_NE(out.find("</A>. http://example.com/</td>"), std::string::npos);
}

TEST(HTMLEmitTest, PreAddsNoLineBreaksInside) {
  Pre pre("a<b\n  c");
  pre.addObject(new TableData("d"));
  pre.addNextObject(new Br((const char*)nullptr));
  EXPECT_EQ(Emit(&pre, 2, 1), "\n  <pre>a<b\n  c<td>d</td></pre>\n  <br>");
}

TEST(HTMLEmitTest, EmitJSFunction) {
  const std::string js = kData + "functions.js";
  struct Case {
    const char* name;
    int result;
    const char* written;
  } cases[] = {
      {"HELLOWORLD", 0,
       "function  helloWorld(a) {\n  var x = a;\n  if (x) {\n    x = 2;\n"
       "  }\n}\n"},
      {"other", 0, "function other{\n}\n"},
      {"Capital", -1, ""},  // the line begins with "Function"
      {"hello", -1, ""},
      {"unclosed", -1, "function unclosed()\n  return 3;\n"},
  };
  HTMLObject o;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CaptureRequest req;
    EXPECT_EQ(o.EmitJSFunction(&req, js.c_str(), c.name), c.result);
    EXPECT_EQ(req.out, c.written);
  }
  CaptureRequest req;
  EXPECT_EQ(o.EmitJSFunction(&req, (kData + "missing.js").c_str(), "x"), -1);
  EXPECT_EQ(req.out, "");
}

TEST(HTMLEmitTest, EmitHTMLBodyAndJSCode) {
  HTMLObject o;
  CaptureRequest withBody;
  EXPECT_EQ(o.EmitHTMLBody(&withBody, (kData + "body.html").c_str()), 0);
  EXPECT_EQ(withBody.out, "<p>first</p>\nsecond\n");

  CaptureRequest noBody;
  EXPECT_EQ(o.EmitHTMLBody(&noBody, (kData + "nobody.html").c_str()), 0);
  EXPECT_EQ(noBody.out, "");

  CaptureRequest missing;
  EXPECT_EQ(o.EmitHTMLBody(&missing, (kData + "missing.html").c_str()), -1);
  EXPECT_EQ(o.EmitJSCode(&missing, (kData + "missing.js").c_str()), -1);
  EXPECT_EQ(missing.out, "");

  CaptureRequest code;
  EXPECT_EQ(o.EmitJSCode(&code, (kData + "nobody.html").c_str()), 0);
  EXPECT_EQ(code.out, "<html>\n<p>no body tag</p>\n</html>\n\n\n");
}

TEST(HTMLEmitTest, IncludedFilesFollowTheTextInOrder) {
  const std::string js = kData + "functions.js";
  const std::string nobody = kData + "nobody.html";
  const std::string body = kData + "body.html";
  Script script("//start\n");
  script.IncludeJSFunction(js.c_str(), "other");
  script.IncludeFile(nobody.c_str());
  script.IncludeJSFunction(js.c_str(), "other");  // duplicates are kept
  script.IncludeBody(body.c_str());
  script.IncludeBody(nobody.c_str());  // the first body file wins
  script.IncludeJSCode((kData + "missing.js").c_str());
  EXPECT_EQ(Emit(&script),
            "\n<script>//start\n"
            "function other{\n}\n"
            "<html>\n<p>no body tag</p>\n</html>\n\n\n"
            "function other{\n}\n"
            "<p>first</p>\nsecond\n"
            "\n</script>");
}

}  // namespace
