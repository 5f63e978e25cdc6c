// Streamed output: the streamed page and the standard progress callback; file
// download (headers, content type, pieces of the body) and private copies.
#include <gtest/gtest.h>

#include "CaptureRequest.h"
#include "TestSupport.h"
#include "kavrilib.h"

namespace {

const std::string kHead = "Content-type: text/html; charset=utf-8\nStatus: 200 OK\n\n<html>";
const std::string kScroll = "<script language=\"JavaScript\">parent.scroll(1, 10000);\n</script>";
const std::string kFiller = [] {
  std::string lines;
  for (int i = 0; i < 10; i++) lines += std::string(98, ' ') + "\n";
  return lines;
}();

TEST(KvStreamPageTest, PiecesAreWrappedAndFlushedAtOnce) {
  const std::string body = "<body bgcolor=\"#ffffff\" onload=\"top.CurrentProg='indexData'\">";
  CaptureRequest req;
  {
    KvStreamPage page(&req, "indexData", "style0");
    EXPECT_EQ(req.out, kHead + body);
    EXPECT_EQ(req.flushes, 1);
    EXPECT_EQ(page.addObject(new B("x<y")), nullptr);
    EXPECT_EQ(req.flushes, 2);
    EXPECT_EQ(req.flushedAt.back(), req.out.size());
    page.addObject(new KvImage("bsave"));
    // An object that belongs to another tree is refused, not sent or freed.
    HTMLObject parent;
    size_t before = req.out.size();
    EXPECT_EQ(page.addObject(parent.addObject(new B("kept"))), nullptr);
    EXPECT_EQ(req.out.size(), before);
  }
  EXPECT_EQ(req.out, kHead + body + kScroll + "<b>x&lt;y</b>" + kFiller + kScroll +
                         "<img border=\"0\" src=\"images/style0/bsave.gif\">" + kFiller + "</body></html>");
  EXPECT_EQ(req.flushes, 4);

  // Without a help context and with nothing streamed; the framework's final
  // emission writes nothing.
  CaptureRequest empty;
  KvStreamPage* page = new KvStreamPage(&empty, nullptr, nullptr);
  page->emit(&empty, 0, 1, nullptr);
  delete page;
  EXPECT_EQ(empty.out, kHead + "<body bgcolor=\"#ffffff\"></body></html>");
}

// Counts, messages and errors go to the page, messages and errors to the log.
TEST(KvStreamPageTest, StdCallback) {
  testsupport::TempTree tree;
  ASSERT_TRUE(tree.Make("/tmp/kvlog"));
  CallbackProgress progress;
  CallbackContext noPage(nullptr, nullptr, "x", nullptr);
  progress.Init(1, nullptr, nullptr);
  StdCallbackFunction(&noPage, &progress);  // must not crash
  char count[] = " ignored", message[] = "Indexing done";
  ValList errors;
  errors.Append("bad line 3");
  errors.Append("bad <line> 9");
  CaptureRequest req;
  {
    KvLog log("Test", KV_INFO, tree.Path("log").c_str(), 0);
    KvStreamPage page(&req, nullptr, nullptr);
    CallbackContext ctx(nullptr, &page, "records processed", &log);
    progress.Init(350, count, nullptr);
    StdCallbackFunction(&ctx, &progress);
    progress.Init(-1, message, nullptr);
    StdCallbackFunction(&ctx, &progress);
    progress.Init(-1, nullptr, &errors);
    StdCallbackFunction(&ctx, &progress);
  }
  // The streamed pieces without their scroll scripts and fillers.
  req.out.erase(0, req.out.find('>', req.out.find("<body")) + 1);
  for (const std::string& cut : {kScroll, kFiller}) {
    for (size_t p; (p = req.out.find(cut)) != std::string::npos;) req.out.erase(p, cut.size());
  }
  EXPECT_EQ(req.out, "350 records processed<br><b>Indexing done</b><br><h2>Error</h2><b>bad line 3</b>"
                     "<b>bad &lt;line&gt; 9</b><br></body></html>");
  std::string log = testsupport::ReadAll(tree.Path("log"));
  for (const char* line :
       {":Test:KV_INFO:Indexing done\n", ":Test:KV_ERROR:bad line 3\n", ":Test:KV_ERROR:bad <line> 9\n"}) {
    EXPECT_NE(log.find(line), std::string::npos) << log;
  }
}

class KvStreamFileTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(tree.Make("/tmp/kvfile", {"x/y/z"})); }
  std::string MakeFile(size_t size) {
    std::string bytes;
    for (size_t i = 0; i < size; i++) bytes += static_cast<char>(i % 251);
    testsupport::WriteAll(tree.Path("data.bin"), bytes);
    return tree.Path("data.bin");
  }
  testsupport::TempTree tree;
};

// Pieces of at most 16 KiB; the content type given, else the configuration's
// (without a MIME types file the built-in table answers), else text/plain.
TEST_F(KvStreamFileTest, HeadersAndPieces) {
  char* cwd = getcwd(nullptr, 0);
  ASSERT_EQ(chdir(tree.Path("x/y/z").c_str()), 0);
  KvConfigDB config(tree.Path("configInfo.lst").c_str());
  const char* vcard = "text/x-vcard";
  const struct {
    const char* name; size_t size; KvConfigDB* config; const char *given, *type; std::vector<int> pieces;
  } cases[] = {
      {"out.vcf", 0, nullptr, vcard, vcard, {}}, {"out.vcf", 16384, nullptr, vcard, vcard, {16384}},
      {"out.vcf", 16385, nullptr, vcard, vcard, {16384, 1}},
      {"photo.gif", 3, &config, nullptr, "image/gif", {3}},
      {"photo.gif", 3, &config, "application/octet-stream", "application/octet-stream", {3}},
      {"README", 3, nullptr, nullptr, "text/plain", {3}},
  };
  for (const auto& c : cases) {
    std::string path = MakeFile(c.size);
    CaptureRequest req;
    EXPECT_EQ(KvStreamFile(&req, c.name, path.c_str(), c.config, c.given), 1);
    EXPECT_EQ(req.out, "Content-type: " + std::string(c.type) + "\nStatus: 200 OK\n" +
                           "Content-Disposition: attachment; filename=\"" + c.name + "\"\n\n" +
                           (c.size ? testsupport::ReadAll(path) : "\n")) << c.size;
    EXPECT_EQ(req.pieces, c.pieces) << c.size;
  }
  EXPECT_EQ(chdir(cwd), 0);
  free(cwd);
}

TEST_F(KvStreamFileTest, UnreadablePathsAndPrivateCopies) {
  CaptureRequest req;
  for (const char* path : {static_cast<const char*>(nullptr), "/nonexistent/f", tree.top().c_str()}) {
    EXPECT_EQ(KvStreamFile(&req, "f", path, nullptr, "text/plain"), 0) << path;
  }
  EXPECT_EQ(req.out, "");

  std::string path = MakeFile(100);
  char* copy = KvGetFilePath(path.c_str());
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(std::string(copy), path);
  EXPECT_EQ(testsupport::ReadAll(copy), testsupport::ReadAll(path));
  unlink(copy);
  free(copy);
  EXPECT_EQ(KvGetFilePath(tree.Path("missing").c_str()), nullptr);
}

}  // namespace
