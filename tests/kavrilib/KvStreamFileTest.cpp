// File download: headers, content type choice, pieces of the body; private
// copies of files.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "CaptureRequest.h"
#include "TestSupport.h"
#include "kavrilib.h"

namespace {

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

TEST_F(KvStreamFileTest, HeadersAndPiecesBySize) {
  const std::string headers = "Content-type: text/x-vcard\nStatus: 200 OK\n"
                              "Content-Disposition: attachment; filename=\"out.vcf\"\n\n";
  const struct { size_t size; std::vector<int> pieces; } cases[] = {
      {0, {}}, {1, {1}}, {16384, {16384}}, {16385, {16384, 1}}, {40000, {16384, 16384, 7232}}};
  for (const auto& c : cases) {
    std::string path = MakeFile(c.size);
    CaptureRequest req;
    EXPECT_EQ(KvStreamFile(&req, "out.vcf", path.c_str(), nullptr, "text/x-vcard"), 1);
    EXPECT_EQ(req.out, headers + (c.size ? testsupport::ReadAll(path) : "\n")) << c.size;
    EXPECT_EQ(req.pieces, c.pieces) << c.size;
  }
}

// The given type, else the configuration's (without a MIME types file the
// built-in table answers), else text/plain.
TEST_F(KvStreamFileTest, ContentType) {
  std::string path = MakeFile(3);
  char* cwd = getcwd(nullptr, 0);
  ASSERT_EQ(chdir(tree.Path("x/y/z").c_str()), 0);
  KvConfigDB config(tree.Path("configInfo.lst").c_str());
  const struct { const char* name; KvConfigDB* config; const char* given; const char* type; } cases[] = {
      {"photo.gif", &config, nullptr, "image/gif"},
      {"photo.gif", &config, "application/octet-stream", "application/octet-stream"},
      {"README", nullptr, nullptr, "text/plain"}};
  for (const auto& c : cases) {
    CaptureRequest req;
    EXPECT_EQ(KvStreamFile(&req, c.name, path.c_str(), c.config, c.given), 1);
    EXPECT_EQ(req.out.rfind("Content-type: " + std::string(c.type) + "\n", 0), 0u) << req.out;
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
