// The streamed page and the standard progress callback.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "CaptureRequest.h"
#include "TestSupport.h"
#include "kavrilib.h"

namespace {

const std::string kHead = "Content-type: text/html; charset=utf-8\nStatus: 200 OK\n\n<html>";
const std::string kScroll =
    "<script language=\"JavaScript\">parent.scroll(1, 10000);\n</script>";

std::string Filler() {
  std::string lines;
  for (int i = 0; i < 10; i++) lines += std::string(98, ' ') + "\n";
  return lines;
}

TEST(KvStreamPageTest, PiecesAreWrappedAndFlushedAtOnce) {
  CaptureRequest req;
  {
    KvStreamPage page(&req, "indexData", "style0");
    EXPECT_EQ(req.out, kHead + "<body bgcolor=\"#ffffff\" onload=\"top.CurrentProg='indexData'\">");
    EXPECT_EQ(req.flushes, 1);

    EXPECT_EQ(page.addObject(new B("x<y")), nullptr);
    EXPECT_EQ(req.flushes, 2);
    EXPECT_EQ(req.flushedAt.back(), req.out.size());
    page.addObject(42);
    page.addObject(new KvImage("bsave"));
    // An object that belongs to another tree is refused, not sent or freed.
    HTMLObject parent;
    HTMLObject* owned = parent.addObject(new B("kept"));
    size_t before = req.out.size();
    EXPECT_EQ(page.addObject(owned), nullptr);
    EXPECT_EQ(req.out.size(), before);
  }
  EXPECT_EQ(req.out, kHead + "<body bgcolor=\"#ffffff\" onload=\"top.CurrentProg='indexData'\">" +
                         kScroll + "<b>x&lt;y</b>" + Filler() + kScroll + "42" + Filler() +
                         kScroll + "<img border=\"0\" src=\"images/style0/bsave.gif\">" +
                         Filler() + "</body></html>");
  EXPECT_EQ(req.flushes, 5);
}

TEST(KvStreamPageTest, WithoutHelpContextAndWithNothingStreamed) {
  CaptureRequest req;
  KvStreamPage* page = new KvStreamPage(&req, nullptr, nullptr);
  page->emit(&req, 0, 1, nullptr);  // the framework's final emission: nothing
  delete page;
  EXPECT_EQ(req.out, kHead + "<body bgcolor=\"#ffffff\"></body></html>");
}

class KvCallbackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tree.Make("/tmp/kvlog"));
    dir = tree.top();
    logPath = dir + "/log";
  }

  std::string LogText() { return testsupport::ReadAll(logPath); }

  // The streamed bytes of the pieces only (between the body tag and the end).
  static std::string Pieces(const std::string& out) {
    size_t start = out.find('>', out.find("<body")) + 1;
    std::string pieces = out.substr(start);
    std::string::size_type p;
    while ((p = pieces.find(kScroll)) != std::string::npos) pieces.erase(p, kScroll.size());
    const std::string filler = Filler();
    while ((p = pieces.find(filler)) != std::string::npos) pieces.erase(p, filler.size());
    return pieces;
  }

  testsupport::TempTree tree;
  std::string dir;
  std::string logPath;
};

TEST_F(KvCallbackTest, CountsMessagesAndErrors) {
  CaptureRequest req;
  {
    KvLog log("Test", KV_INFO, logPath.c_str(), 0);
    KvStreamPage page(&req, nullptr, nullptr);
    CallbackContext ctx(nullptr, &page, "records processed", &log);
    CallbackProgress progress;

    char count[] = " ignored";
    progress.Init(350, count, nullptr);
    StdCallbackFunction(&ctx, &progress);

    char message[] = "Indexing done";
    progress.Init(-1, message, nullptr);
    StdCallbackFunction(&ctx, &progress);

    ValList errors;
    errors.Append("bad line 3");
    errors.Append("bad <line> 9");
    progress.Init(-1, nullptr, &errors);
    StdCallbackFunction(&ctx, &progress);
  }
  EXPECT_EQ(Pieces(req.out),
            "350 records processed<br>"
            "<b>Indexing done</b><br>"
            "<h2>Error</h2><b>bad line 3</b><b>bad &lt;line&gt; 9</b><br>"
            "</body></html>");
  std::string log = LogText();
  EXPECT_NE(log.find(":Test:KV_INFO:Indexing done\n"), std::string::npos) << log;
  EXPECT_NE(log.find(":Test:KV_ERROR:bad line 3\n"), std::string::npos);
  EXPECT_NE(log.find(":Test:KV_ERROR:bad <line> 9\n"), std::string::npos);
}

TEST_F(KvCallbackTest, NothingWithoutAPageOrLog) {
  CallbackContext noPage(nullptr, nullptr, "x", nullptr);
  CallbackProgress progress;
  progress.Init(1, nullptr, nullptr);
  StdCallbackFunction(&noPage, &progress);  // must not crash

  CaptureRequest req;
  {
    KvStreamPage page(&req, nullptr, nullptr);
    CallbackContext ctx(nullptr, &page, nullptr, nullptr);
    char message[] = "m";
    progress.Init(-1, message, nullptr);
    StdCallbackFunction(&ctx, &progress);
    progress.Init(0, nullptr, nullptr);
    StdCallbackFunction(&ctx, &progress);
  }
  EXPECT_EQ(Pieces(req.out), "<b>m</b><br>0 <br></body></html>");
}

}  // namespace
