// Page classes: head and script block, body colours and load hooks, frame
// sets, navigation bars; script functions copied from the installation.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "CaptureRequest.h"
#include "TestSupport.h"
#include "kavrilib.h"

namespace {

using testsupport::CountOf;

std::string EmitPage(Page* page, const char* style = nullptr) {
  CaptureRequest req;
  page->emit(&req, 0, 1, style);
  return req.out;
}

TEST(KvPageTest, PageWithoutScriptsHasNoScriptElement) {
  KvPage page(nullptr);
  page.AppendToBody("Hello");
  EXPECT_EQ(EmitPage(&page),
            "Content-type: text/html; charset=utf-8\nStatus: 200 OK\n\n"
            "<html>\n  <head>\n  </head>\n  <body bgcolor=\"#ffffff\">Hello\n  </body>\n"
            "</html>\n");
  EXPECT_EQ(page.GetScript(), nullptr);
}

TEST(KvPageTest, StyleColoursTheBody) {
  KvPageStyle plain("#cece9c", nullptr);
  KvPage a(&plain);
  EXPECT_NE(EmitPage(&a).find("<body bgcolor=\"#cece9c\">"), std::string::npos);
  KvPageStyle paper("#000000", "../../../config/style/paper.gif");
  KvPage b(&paper);
  EXPECT_NE(EmitPage(&b).find(
                "<body bgcolor=\"#000000\" background=\"../../../config/style/paper.gif\">"),
            std::string::npos);
}

TEST(KvPageTest, LoadHandlersRunLatestFirst) {
  KvPage page(nullptr);
  page.SetHelpContext("a");
  page.AddFormFocusTo("f", "x");
  EXPECT_NE(EmitPage(&page).find("onLoad=\"document.f.x.focus();;top.CurrentProg='a'\""),
            std::string::npos);

  KvPage other(nullptr);
  other.AddJSJCard();
  other.OnLoad("init()");
  other.AddJSCloseChild();
  std::string out = EmitPage(&other);
  EXPECT_NE(out.find("<body bgcolor=\"#ffffff\" onLoad=\"pageIsLoaded()\" "
                     "onLoad=\"init()\" onUnload=\"CloseChild()\">"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("<script language=\"JavaScript\">var child;"), std::string::npos);
}

// A temporary installation tree with the common script files; the test runs
// in <tree>/app/bin so that "../../common/bin/..." resolves into it.
class KvScriptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tree.Make("/tmp/kvpage", {"common/bin", "app/bin"}));
    root = tree.top();
    Write("misc.js",
          "// misc\nfunction donothing() {\n  return;\n}\n"
          "function submitForm() {\n  document.forms[0].submit();\n}\n");
    Write("init.js", "var inited = 1;\n");
    Write("setcurrent.js", "function onUnloadInit()\n{\n  top.x = 0;\n}\n");
    char* cwd = getcwd(nullptr, 0);
    saved = cwd;
    free(cwd);
    ASSERT_EQ(chdir((root + "/app/bin").c_str()), 0);
  }
  void TearDown() override {
    EXPECT_EQ(chdir(saved.c_str()), 0);
    tree.Remove();
  }
  void Write(const std::string& name, const std::string& text) {
    testsupport::WriteAll(root + "/common/bin/" + name, text);
  }

  testsupport::TempTree tree;
  std::string root;
  std::string saved;
};

TEST_F(KvScriptTest, FunctionsAreCopiedAtEmission) {
  KvPage page(nullptr);
  page.AddJSVar("n", 3);
  page.AddJSVar("s", static_cast<const char*>(nullptr));
  page.AddJSDoNothing();
  page.AddJSCurrentlyIn();
  page.AddJSConfirm();  // confirm.js is missing: the page is still sent
  std::string out = EmitPage(&page);
  // Copied functions first, then the declarations; a variable without a
  // value is declared only (an empty initialiser would break the block).
  EXPECT_NE(out.find("<head>\n    <script language=\"JavaScript\">"
                     "function donothing() {\n  return;\n}\n"
                     "var inited = 1;\n\n\n"
                     "function onUnloadInit()\n{\n  top.x = 0;\n}\n"
                     "var n = 3;var s;"
                     "\n    </script>\n  </head>"),
            std::string::npos)
      << out;
  EXPECT_EQ(out.find("submitForm"), std::string::npos);
  EXPECT_EQ(CountOf(out, "<script"), 1);
}

TEST(KvPageTest, FrameSetsAndFrames) {
  KvFrameSetStyle style(kAttrCols, "90,*");
  KvTopFrameSet page(&style);
  page.AddNewFrame(new Url("a.cgi"), "left", 0);
  Url* main = new Url("b.cgi");
  main->addAttribute("program", "x");
  page.AddNewFrameNoSpace(main, "right", 1);
  CaptureRequest req;
  page.emit(&req, 0, 0, nullptr);
  EXPECT_EQ(req.out,
            "Content-type: text/html; charset=utf-8\nStatus: 200 OK\n\n"
            "<html><head></head><frameset cols=\"90,*\" border=\"0\" frameborder=\"0\" "
            "framespacing=\"0\"><frame scrolling=\"no\" src=\"a.cgi\" name=\"left\" "
            "border=\"0\"></frame><frame src=\"b.cgi?program=x\" name=\"right\" border=\"0\" "
            "marginwidth=\"0\" marginheight=\"0\"></frame></frameset></html>\n");

  KvFrameSetPage rows(kAttrRows, "37,*");
  EXPECT_NE(EmitPage(&rows).find("<frameset rows=\"37,*\""), std::string::npos);
}

TEST(KvPageTest, AppNavbarMakesItsTableOnce) {
  KvAppNavbar bar(nullptr);
  bar.AddElementToTable(new KvImageButton("a", "ba", "A"));
  bar.AddElementToTable(new KvImageButton("b", "bb", "B"));
  bar.AddElement(new KvImageButton("c", "bc", "C"));
  CaptureRequest req;
  bar.emit(&req, 0, 0, "s");
  const std::string& out = req.out;
  EXPECT_EQ(CountOf(out, "<table"), 1);
  EXPECT_EQ(CountOf(out, "<tr>"), 2);
  EXPECT_EQ(out.find("<center><table"), out.find("<center>"));
  EXPECT_NE(out.find("src=\"images/s/bc.gif\"></a><br><br></center>"), std::string::npos);
}

TEST(KvPageTest, TopNavbarRows) {
  KvTopNavbar bar(nullptr, 0);
  bar.AddElement(new KvImageButton("a", "ba", "A"));
  bar.NewRow();
  bar.AddElement(new KvImage("logo"));
  CaptureRequest req;
  bar.emit(&req, 0, 1, nullptr);
  EXPECT_NE(req.out.find("</a></nobr>\n    <br><img border=\"0\" width=\"1\" height=\"4\" "
                         "src=\"../../common/bin/images/mspacer.gif\"><br>\n    <nobr>"
                         "<img border=\"0\" src=\"images/logo.gif\"></nobr>"),
            std::string::npos)
      << req.out;
}

}  // namespace
