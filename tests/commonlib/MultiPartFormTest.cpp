// Multipart bodies: line reading, delimiter tests, the parse, upload files
// and the body limit.
#include <gtest/gtest.h>

#include "FakeRequest.h"

// The body limit of this test program, replacing the library's default.
static long long gMaxRequestSize = 64LL * 1024 * 1024;
long long KvMaxRequestSize() { return gMaxRequestSize; }

namespace {

constexpr char kType[] = "multipart/form-data; boundary=----XyZ";

TEST(FormDataLineTest, LinesAndPieces) {
  const struct { std::string body; std::vector<std::string> lines; } cases[] = {
      {std::string(3000, 'x') + "\r\n",
       {std::string(1021, 'x'), std::string(1021, 'x'), std::string(958, 'x') + "\r\n"}},
      // A CR at the cut moves to the next piece: CR LF is never split.
      {std::string(1020, 'y') + "\r\nz\r\n", {std::string(1020, 'y'), "\r\n", "z\r\n"}},
      // A bare LF does not end a line; the stop text ends one by itself.
      {"a\nb\r\n--B--\r\n", {"a\nb\r\n", "--B--", "\r\n"}}, {"tail", {"tail"}},
  };
  for (const auto& c : cases) {
    FakeRequest req(c.body);
    std::vector<std::string> lines;
    char buf[1023];
    for (int n; (n = req.GetFormDataLine(buf, sizeof buf, "--B--")) != -1;) lines.emplace_back(buf, n);
    EXPECT_EQ(c.lines, lines);
  }
}

// Each case gets its own TMPDIR, which must be empty again after the request;
// a null list shows as {{"null", ""}}.
TEST(MultiPartFormTest, Parse) {
  testsupport::TempTree tree;
  ASSERT_TRUE(tree.Make("/tmp/commonlib-mp-"));
  const std::string file = File("f", "f.txt", "partial"), mac = "Mozilla/4.5 [en] (Macintosh; I; PPC)";
  const struct {
    const char* what; std::string body, agent; Pairs expected; std::string type = kType; bool noTmp = false;
  } cases[] = {
      {"path cut, escapes kept", File("f", "/a/my%20file.txt", "x") + kEnd, "", {{"f", "my%20file.txt"}}},
      {"Macintosh names are decoded", File("f", "my%20file.txt", "x") + kEnd, mac, {{"f", "my file.txt"}}},
      // Quoted values keep ";" and quotes (RFC 7578).
      {"quoted ;", File("f", "staff; 2024.csv", "x") + kEnd, "", {{"f", "staff; 2024.csv"}}},
      {"leading ;", File("f", ";leading.csv", "x") + kEnd, "", {{"f", ";leading.csv"}}},
      {"%22", File("f", "say %22hi%22.csv", "x") + kEnd, "", {{"f", "say \"hi\".csv"}}},
      {"escaped quotes", File("f", "say \\\"hi\\\".csv", "x") + kEnd, "", {{"f", "say \"hi\".csv"}}},
      // MSIE 4 drops the line ends of a text area.
      {"MSIE 4", Field("t", "one\r\ntwo") + kEnd, "Mozilla/4.0 (compatible; MSIE 4.01; Windows 98)",
       {{"t", "onetwo"}}},
      {"MSIE 3", Field("t", "one\r\ntwo") + kEnd, "Mozilla/2.0 (compatible; MSIE 3.02; Windows 95)",
       {{"t", "one\r\ntwo"}}},
      {"closing delimiter without line end", Field("a", "1") + "------XyZ--", "", {{"a", "1"}}},
      {"no boundary parameter", Field("a", "1") + kEnd, "", {{"null", ""}}, "multipart/form-data"},
      {"quoted boundary", Field("a", "1") + kEnd, "", {}, "multipart/form-data; boundary=\"----XyZ\""},
      {"ends inside a file", Field("a", "1") + file.substr(0, file.size() - 4), "",
       {{"a", "1"}, {"f", "f.txt"}}},
      {"never closed", Field("a", "1") + Field("b", "2"), "", {{"a", "1"}}},
      {"part without blank line",
       "------XyZ\r\nContent-Disposition: form-data; name=\"f\"; filename=\"1\"\r\n" + File("g", "2", "G") +
           kEnd,
       "", {{"f", "1"}, {"g", "2"}}},
      {"no upload file", Field("a", "1") + File("f", "f.txt", "x") + kEnd, "", {{"null", ""}}, kType, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    setenv("TMPDIR", c.noTmp ? tree.Path("missing").c_str() : tree.top().c_str(), 1);
    {
      FakeRequest req(c.body);
      req.SetBrowserType(c.agent.c_str());
      req.SetSystemType(c.agent.c_str());
      std::unique_ptr<ValNameList> list(req.ParseMultiPartForm(c.type.c_str()));
      EXPECT_EQ(list ? ToPairs(list.get()) : Pairs({{"null", ""}}), c.expected);
      EXPECT_EQ(1, req.closeCalls);
    }
    EXPECT_EQ(std::vector<std::string>{}, DirFiles(tree.top()));  // uploads went with the request
  }
  unsetenv("TMPDIR");
}

TEST(MultiPartFormTest, BodyLimit) {
  const std::string body = Field("a", "1") + File("f", "f.txt", std::string(5000, 'z')) + kEnd;
  gMaxRequestSize = 1000;
  FakeRequest over(body);
  std::unique_ptr<ValNameList> list(over.ParseMultiPartForm(kType));
  EXPECT_TRUE(over.BodyTooLarge());
  EXPECT_EQ(1001u, over.consumed());  // not read further
  gMaxRequestSize = static_cast<long long>(body.size());
  FakeRequest fits(body);
  list.reset(fits.ParseMultiPartForm(kType));
  EXPECT_FALSE(fits.BodyTooLarge());
  EXPECT_EQ(std::string(5000, 'z'), ReadAll(list->last->extra1));
  gMaxRequestSize = 64LL * 1024 * 1024;
}

}  // namespace
