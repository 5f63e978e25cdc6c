// Page classes: head and script block, body colours and load hooks; script
// functions copied from the installation; styles from a style file over the
// built-in defaults.
#include <gtest/gtest.h>

#include "CaptureRequest.h"
#include "TestSupport.h"
#include "kavrilib.h"

namespace {

const std::string kHeaders = "Content-type: text/html; charset=utf-8\nStatus: 200 OK\n\n";

// A page without scripts has no script element. Colours come from the style;
// onLoad additions run latest first, while OnLoad and the onUnload hooks add
// attributes of their own.
TEST(KvPageTest, BodyTag) {
  KvPageStyle paper("#000000", "../../../config/style/paper.gif");
  const struct { KvPageStyle* style; std::function<void(KvPage*)> fill; const char *head, *body; } cases[] = {
      {nullptr, [](KvPage* p) { p->AppendToBody("Hello"); }, "", "<body bgcolor=\"#ffffff\">Hello"},
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
  char* cwd = getcwd(nullptr, 0);
  ASSERT_EQ(chdir(tree.Path("app/bin").c_str()), 0);
  KvPage page(nullptr);
  page.AddJSVar("n", 3);
  page.AddJSVar("s", static_cast<const char*>(nullptr));
  page.AddJSDoNothing();
  page.AddJSConfirm();  // confirm.js is missing: the page is still sent
  std::string out = Emit(&page);
  EXPECT_EQ(chdir(cwd), 0);
  free(cwd);
  // Copied functions first, then the declarations; a variable without a
  // value is declared only (an empty initialiser would break the block).
  EXPECT_EQ(out, kHeaders + "<html>\n  <head>\n    <script language=\"JavaScript\">"
                            "function donothing() {\n  return;\n}\nvar n = 3;var s;"
                            "\n    </script>\n  </head>\n  <body bgcolor=\"#ffffff\">\n  </body>\n</html>\n");
}

// Keys ignore case and reach only their own frame set or page.
TEST(KvStyleTest, SettingsOverDefaults) {
  KvStyle st("style0", "Style 0");
  ValNameList settings;
  for (const char* key : {"LOWERFRAMEWIDTH", "mainBackcolor", "mainbackgroundgif"}) settings.Append(key, "7");
  st.InitFromList(&settings);
  EXPECT_STREQ(st.GetLowerFrameSetStyle()->GetDimensions(), "7,*");
  EXPECT_STREQ(st.GetMainPageStyle()->GetBgColor(), "7");
  EXPECT_STREQ(st.GetMainPageStyle()->GetBgGif(), "../../../config/style/7");
  EXPECT_STREQ(st.GetLowerPageStyle()->GetBgColor(), "#cece9c");
  EXPECT_EQ(st.GetLowerPageStyle()->GetBgGif(), nullptr);
}

}  // namespace
