// File download: headers, content type choice, pieces of the body; private
// copies of files.
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

class KvStreamFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tree.Make("/tmp/kvfile"));
    dir = tree.top();
  }

  std::string MakeFile(const std::string& name, size_t size) {
    std::string path = dir + "/" + name;
    std::string bytes;
    for (size_t i = 0; i < size; i++) bytes += static_cast<char>(i % 251);
    testsupport::WriteAll(path, bytes);
    return path;
  }

  testsupport::TempTree tree;
  std::string dir;
};

TEST_F(KvStreamFileTest, HeadersAndPiecesBySize) {
  struct {
    size_t size;
    std::vector<int> pieces;
  } cases[] = {{0, {}}, {1, {1}}, {16384, {16384}}, {16385, {16384, 1}}, {40000, {16384, 16384, 7232}}};
  for (const auto& c : cases) {
    std::string path = MakeFile("data.bin", c.size);
    CaptureRequest req;
    EXPECT_EQ(KvStreamFile(&req, "out.vcf", path.c_str(), nullptr, "text/x-vcard"), 1);
    const std::string headers =
        "Content-type: text/x-vcard\nStatus: 200 OK\nContent-Disposition: attachment; filename=\"out.vcf\"\n\n";
    ASSERT_EQ(req.out.substr(0, headers.size()), headers) << c.size;
    std::string body = req.out.substr(headers.size());
    EXPECT_EQ(req.pieces, c.pieces) << c.size;
    if (c.size == 0) {
      EXPECT_EQ(body, "\n");
    } else {
      EXPECT_EQ(body, testsupport::ReadAll(path));
    }
  }
}

TEST_F(KvStreamFileTest, ContentTypeFromTheConfigurationUnlessGiven) {
  std::string path = MakeFile("a", 3);
  // A configuration in a directory of its own; without a MIME types file the
  // built-in table answers.
  ASSERT_EQ(system(("mkdir -p " + dir + "/x/y/z").c_str()), 0);
  char* cwd = getcwd(nullptr, 0);
  ASSERT_EQ(chdir((dir + "/x/y/z").c_str()), 0);
  {
    KvConfigDB config((dir + "/configInfo.lst").c_str());
    CaptureRequest req;
    EXPECT_EQ(KvStreamFile(&req, "photo.gif", path.c_str(), &config, nullptr), 1);
    EXPECT_EQ(req.out.rfind("Content-type: image/gif\n", 0), 0u) << req.out;

    CaptureRequest given;
    KvStreamFile(&given, "photo.gif", path.c_str(), &config, "application/octet-stream");
    EXPECT_EQ(given.out.rfind("Content-type: application/octet-stream\n", 0), 0u);

    CaptureRequest none;
    KvStreamFile(&none, "README", path.c_str(), nullptr, nullptr);
    EXPECT_EQ(none.out.rfind("Content-type: text/plain\n", 0), 0u);
  }
  EXPECT_EQ(chdir(cwd), 0);
  free(cwd);
}

TEST_F(KvStreamFileTest, UnreadablePathWritesNothing) {
  CaptureRequest req;
  EXPECT_EQ(KvStreamFile(&req, "f", nullptr, nullptr, "text/plain"), 0);
  EXPECT_EQ(KvStreamFile(&req, "f", (dir + "/missing").c_str(), nullptr, "text/plain"), 0);
  EXPECT_EQ(KvStreamFile(&req, "f", dir.c_str(), nullptr, "text/plain"), 0);
  EXPECT_EQ(req.out, "");
}

TEST_F(KvStreamFileTest, FilePathIsAPrivateCopy) {
  std::string path = MakeFile("orig", 100);
  char* copy = KvGetFilePath(path.c_str());
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(std::string(copy), path);
  EXPECT_EQ(KvGetFileSize(copy), 100);
  unlink(copy);
  free(copy);
  EXPECT_EQ(KvGetFilePath((dir + "/missing").c_str()), nullptr);
}

}  // namespace
