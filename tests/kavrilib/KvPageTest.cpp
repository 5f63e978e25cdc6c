// Page classes: head and script block, body colours and load hooks, frame
// sets, navigation bars; script functions copied from the installation;
// styles from a style file over the built-in defaults.
#include <gtest/gtest.h>

#include "CaptureRequest.h"
#include "TestSupport.h"
#include "kavrilib.h"

namespace {

using testsupport::CountOf;

const std::string kHeaders = "Content-type: text/html; charset=utf-8\nStatus: 200 OK\n\n";

// A page without scripts has no script element. Colours come from the style;
// onLoad additions run latest first, while OnLoad and the onUnload hooks add
// attributes of their own.
TEST(KvPageTest, BodyTag) {
  KvPageStyle plain("#cece9c", nullptr), paper("#000000", "../../../config/style/paper.gif");
  const struct { KvPageStyle* style; std::function<void(KvPage*)> fill; const char *head, *body; } cases[] = {
      {nullptr, [](KvPage* p) { p->AppendToBody("Hello"); }, "", "<body bgcolor=\"#ffffff\">Hello"},
      {&plain, [](KvPage*) {}, "", "<body bgcolor=\"#cece9c\">"},
      {&paper, [](KvPage*) {}, "",
       "<body bgcolor=\"#000000\" background=\"../../../config/style/paper.gif\">"},
      {nullptr, [](KvPage* p) { p->SetHelpContext("a"), p->AddFormFocusTo("f", "x"); }, "",
       "<body bgcolor=\"#ffffff\" onLoad=\"document.f.x.focus();;top.CurrentProg='a'\">"},
      {nullptr, [](KvPage* p) { p->AddJSJCard(), p->OnLoad("init()"), p->AddJSCloseChild(); },
       "\n    <script language=\"JavaScript\">var child;\n    </script>",
       "<body bgcolor=\"#ffffff\" onLoad=\"pageIsLoaded()\" onLoad=\"init()\" onUnload=\"CloseChild()\">"},
  };
  for (const auto& c : cases) {
    KvPage page(c.style);
    c.fill(&page);
    EXPECT_EQ(Emit(&page),
              kHeaders + "<html>\n  <head>" + c.head + "\n  </head>\n  " + c.body + "\n  </body>\n</html>\n");
  }
}

// A temporary installation tree with the common script files; the test runs
// in <tree>/app/bin so that "../../common/bin/..." resolves into it.
TEST(KvPageTest, ScriptFunctionsAreCopiedAtEmission) {
  testsupport::TempTree tree;
  ASSERT_TRUE(tree.Make("/tmp/kvpage", {"app/bin"}));
  testsupport::WriteAll(tree.Path("common/bin/misc.js"),
                        "// misc\nfunction donothing() {\n  return;\n}\n"
                        "function submitForm() {\n  document.forms[0].submit();\n}\n");
  testsupport::WriteAll(tree.Path("common/bin/init.js"), "var inited = 1;\n");
  testsupport::WriteAll(tree.Path("common/bin/setcurrent.js"),
                        "function onUnloadInit()\n{\n  top.x = 0;\n}\n");
  char* cwd = getcwd(nullptr, 0);
  ASSERT_EQ(chdir(tree.Path("app/bin").c_str()), 0);
  KvPage page(nullptr);
  page.AddJSVar("n", 3);
  page.AddJSVar("s", static_cast<const char*>(nullptr));
  page.AddJSDoNothing();
  page.AddJSCurrentlyIn();
  page.AddJSConfirm();  // confirm.js is missing: the page is still sent
  std::string out = Emit(&page);
  EXPECT_EQ(chdir(cwd), 0);
  free(cwd);
  // Copied functions first, then the declarations; a variable without a
  // value is declared only (an empty initialiser would break the block).
  EXPECT_EQ(out, kHeaders + "<html>\n  <head>\n    <script language=\"JavaScript\">"
                            "function donothing() {\n  return;\n}\nvar inited = 1;\n\n\n"
                            "function onUnloadInit()\n{\n  top.x = 0;\n}\nvar n = 3;var s;"
                            "\n    </script>\n  </head>\n  <body bgcolor=\"#ffffff\">\n  </body>\n</html>\n");
}

TEST(KvPageTest, FrameSetsAndFrames) {
  KvFrameSetStyle style(kAttrCols, "90,*");
  KvTopFrameSet page(&style);
  page.AddNewFrame(new Url("a.cgi"), "left", 0);
  Url* main = new Url("b.cgi");
  main->addAttribute("program", "x");
  page.AddNewFrameNoSpace(main, "right", 1);
  EXPECT_EQ(EmitFlat(&page),
            kHeaders + "<html><head></head><frameset cols=\"90,*\" border=\"0\" frameborder=\"0\" "
            "framespacing=\"0\"><frame scrolling=\"no\" src=\"a.cgi\" name=\"left\" "
            "border=\"0\"></frame><frame src=\"b.cgi?program=x\" name=\"right\" border=\"0\" "
            "marginwidth=\"0\" marginheight=\"0\"></frame></frameset></html>\n");
  KvFrameSetPage rows(kAttrRows, "37,*");
  EXPECT_NE(EmitFlat(&rows).find("<frameset rows=\"37,*\""), std::string::npos);
}

TEST(KvPageTest, Navbars) {
  KvAppNavbar app(nullptr);
  app.AddElementToTable(new KvImageButton("a", "ba", "A"));
  app.AddElementToTable(new KvImageButton("b", "bb", "B"));
  app.AddElement(new KvImageButton("c", "bc", "C"));
  const std::string out = EmitFlat(&app, "s");
  EXPECT_EQ(CountOf(out, "<table"), 1);  // made once
  EXPECT_EQ(CountOf(out, "<tr>"), 2);
  EXPECT_EQ(out.find("<center><table"), out.find("<center>"));
  EXPECT_NE(out.find("src=\"images/s/bc.gif\"></a><br><br></center>"), std::string::npos);

  KvTopNavbar top(nullptr, 0);
  top.AddElement(new KvImageButton("a", "ba", "A"));
  top.NewRow();
  top.AddElement(new KvImage("logo"));
  EXPECT_NE(Emit(&top).find("</a></nobr>\n    <br><img border=\"0\" width=\"1\" height=\"4\" "
                            "src=\"../../common/bin/images/mspacer.gif\"><br>\n    <nobr>"
                            "<img border=\"0\" src=\"images/logo.gif\"></nobr>"),
            std::string::npos);
}

// Keys ignore case and reach only their own frame set or page; the second
// logo and upper styles never change.
TEST(KvStyleTest, SettingsOverDefaults) {
  KvStyle st("style0", "Style 0");
  ValNameList settings;
  for (const char* key : {"upperFrameHeight", "LOGOFRAMEWIDTH", "logoBackcolor", "upperBackgroundGIF",
                          "mainBackgroundGIF", "helpFrameHeight", "helpBackcolor"}) {
    settings.Append(key, "7");
  }
  st.InitFromList(&settings);
  const std::string gif = "../../../config/style/7";
  const struct { const char *got, *expected; } cases[] = {
      {st.GetUpperFrameSetStyle()->GetDimensions(), "7,*"},
      {st.GetLogoFrameSetStyle()->GetDimensions(), "7,*"},
      {st.GetHelpFrameSetStyle()->GetDimensions(), "7,*"}, {st.GetLogoPageStyle()->GetBgColor(), "7"},
      {st.GetSecondUpperFrameSetStyle()->GetDimensions(), "50,*"}, {st.GetHelpPageStyle()->GetBgColor(), "7"},
      {st.GetSecondLogoFrameSetStyle()->GetDimensions(), "90,*"},
      {st.GetUpperPageStyle()->GetBgGif(), gif.c_str()},
      {st.GetSecondLogoPageStyle()->GetBgColor(), "#639c9c"},
      {st.GetMainPageStyle()->GetBgGif(), gif.c_str()}, {st.GetSecondUpperPageStyle()->GetBgGif(), nullptr},
      {st.GetLowerPageStyle()->GetBgColor(), "#cece9c"}};
  for (const auto& c : cases) EXPECT_STREQ(c.got, c.expected) << c.expected;
}

}  // namespace
