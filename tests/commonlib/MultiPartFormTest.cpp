// Multipart bodies: line reading, delimiter tests, the parse, upload files
// and the body limit.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "FakeRequest.h"

// The body limit of this test program, replacing the library's default.
static long long gMaxRequestSize = 64LL * 1024 * 1024;
long long KvMaxRequestSize() { return gMaxRequestSize; }

namespace {

constexpr char kType[] = "multipart/form-data; boundary=----XyZ";
const std::string kEnd = "------XyZ--\r\n";

std::string Field(const std::string& name, const std::string& value) {
  return "------XyZ\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value + "\r\n";
}

std::string File(const std::string& name, const std::string& client, const std::string& data) {
  return "------XyZ\r\nContent-Disposition: form-data; name=\"" + name + "\"; filename=\"" +
         client + "\"\r\nContent-Type: text/plain\r\n\r\n" + data + "\r\n";
}

// Each test gets its own TMPDIR, which must be empty again at its end.
class MultiPartFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tree_.Make("/tmp/commonlib-mp-"));
    dir_ = tree_.top();
    setenv("TMPDIR", dir_.c_str(), 1);
  }
  void TearDown() override {
    EXPECT_EQ(std::vector<std::string>{}, DirFiles(dir_));
    tree_.Remove();
    unsetenv("TMPDIR");
    gMaxRequestSize = 64LL * 1024 * 1024;
  }
  // Parses `body`; null becomes {{"null", ""}}.
  static Pairs Parse(FakeRequest* req, const char* type = kType) {
    std::unique_ptr<ValNameList> list(req->ParseMultiPartForm(type));
    return list ? ToPairs(list.get()) : Pairs{{"null", ""}};
  }
  testsupport::TempTree tree_;
  std::string dir_;
};

TEST(FormDataLineTest, LinesAndPieces) {
  struct Case { std::string body; std::vector<std::string> lines; };
  const Case cases[] = {
      {std::string(3000, 'x') + "\r\n",
       {std::string(1021, 'x'), std::string(1021, 'x'), std::string(958, 'x') + "\r\n"}},
      // A CR at the cut moves to the next piece: CR LF is never split.
      {std::string(1020, 'y') + "\r\nz\r\n", {std::string(1020, 'y'), "\r\n", "z\r\n"}},
      // A bare LF does not end a line; the stop text ends one by itself.
      {"a\nb\r\n--B--\r\n", {"a\nb\r\n", "--B--", "\r\n"}},
      {"tail", {"tail"}},
  };
  for (const Case& c : cases) {
    FakeRequest req(c.body);
    std::vector<std::string> lines;
    char buf[1023];
    for (int n; (n = req.GetFormDataLine(buf, sizeof buf, "--B--")) != -1;) lines.emplace_back(buf, n);
    EXPECT_EQ(c.lines, lines);
  }
}

TEST_F(MultiPartFormTest, ClientFileNames) {
  struct Case { const char* client; int mac; const char* expected; };
  const Case cases[] = {{"/home/ann/my%20file.txt", 0, "my%20file.txt"},
                        {"my%20file.txt", 1, "my file.txt"},
                        // Quoted values keep ";" and quotes (RFC 7578).
                        {"staff; 2024.csv", 0, "staff; 2024.csv"},
                        {";leading.csv", 0, ";leading.csv"},
                        {"say %22hi%22.csv", 0, "say \"hi\".csv"},
                        {"say \\\"hi\\\".csv", 0, "say \"hi\".csv"}};
  for (const Case& c : cases) {
    FakeRequest req(File("f", c.client, "x") + kEnd);
    req.systemType = c.mac;
    EXPECT_EQ((Pairs{{"f", c.expected}}), Parse(&req)) << c.client;
  }
}

TEST_F(MultiPartFormTest, TextareaLineEndsByBrowser) {
  struct Case { const char* agent; const char* expected; };
  const Case cases[] = {{"Mozilla/4.7 [en] (WinNT; I)", "one\r\ntwo\r\nthree"},
                        {"Mozilla/4.0 (compatible; MSIE 4.01; Windows 98)", "onetwothree"},
                        {"Mozilla/2.0 (compatible; MSIE 3.02; Windows 95)", "one\r\ntwo\r\nthree"}};
  for (const Case& c : cases) {
    FakeRequest req(Field("text", "one\r\ntwo\r\nthree") + kEnd);
    req.SetBrowserType(c.agent);
    EXPECT_EQ((Pairs{{"text", c.expected}}), Parse(&req)) << c.agent;
  }
}

TEST_F(MultiPartFormTest, MalformedBodies) {
  const std::string file = File("f", "f.txt", "partial");
  struct Case { const char* what; std::string type, body; Pairs expected; };
  const Case cases[] = {
      {"closing delimiter without line end", kType, Field("a", "1") + "------XyZ--", {{"a", "1"}}},
      {"no boundary parameter", "multipart/form-data", Field("a", "1") + kEnd, {{"null", ""}}},
      {"quoted boundary", "multipart/form-data; boundary=\"----XyZ\"", Field("a", "1") + kEnd, {}},
      {"ends inside a file", kType, Field("a", "1") + file.substr(0, file.size() - 4),
       {{"a", "1"}, {"f", "f.txt"}}},
      {"never closed", kType, Field("a", "1") + Field("b", "2"), {{"a", "1"}}},
      {"part without blank line", kType,
       "------XyZ\r\nContent-Disposition: form-data; name=\"f\"; filename=\"1\"\r\n" +
           File("g", "2", "G") + kEnd,
       {{"f", "1"}, {"g", "2"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    {
      FakeRequest req(c.body);
      EXPECT_EQ(c.expected, Parse(&req, c.type.c_str()));
      EXPECT_EQ(1, req.closeCalls);
    }
    EXPECT_EQ(std::vector<std::string>{}, DirFiles(dir_));  // uploads went with the request
  }
}

TEST_F(MultiPartFormTest, UploadFileCannotBeCreated) {
  setenv("TMPDIR", (dir_ + "/missing").c_str(), 1);
  FakeRequest req(Field("a", "1") + File("f", "f.txt", "x") + kEnd);
  EXPECT_EQ((Pairs{{"null", ""}}), Parse(&req));
  EXPECT_EQ(1, req.closeCalls);
}

TEST_F(MultiPartFormTest, BodyLimit) {
  const std::string body = Field("a", "1") + File("f", "f.txt", std::string(5000, 'z')) + kEnd;
  gMaxRequestSize = 1000;
  FakeRequest over(body);
  std::unique_ptr<ValNameList> list(over.ParseMultiPartForm(kType));
  EXPECT_TRUE(over.BodyTooLarge());
  EXPECT_EQ(1001u, over.consumed());  // not read further
  gMaxRequestSize = static_cast<long long>(body.size());
  FakeRequest fits(body);
  list.reset(fits.ParseMultiPartForm(kType));
  EXPECT_EQ(std::string(5000, 'z'), ReadAll(list->last->extra1));
}

}  // namespace
