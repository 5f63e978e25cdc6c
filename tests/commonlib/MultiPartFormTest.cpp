// Multipart bodies: line reading, delimiter tests, the parse itself, upload
// files and the body limit.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "FakeRequest.h"
#include "commonlib.h"

// The body limit of this test program; the library's default is replaced.
static long long gMaxRequestSize = 64LL * 1024 * 1024;
long long KvMaxRequestSize() { return gMaxRequestSize; }

namespace {

constexpr char kType[] = "multipart/form-data; boundary=----XyZ";
constexpr char kBoundary[] = "----XyZ";

struct Entry {
  std::string name;
  std::string value;
  std::string path;  // empty unless an upload
};

std::vector<Entry> Entries(ValNameList* list) {
  std::vector<Entry> out;
  for (ValNameListItem* it = list->first; it; it = it->next) {
    out.push_back({it->name ? it->name : "(null)",
                   it->value ? it->value : "(null)",
                   it->extra1 ? it->extra1 : ""});
  }
  return out;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

bool Exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

std::string Field(const std::string& name, const std::string& value) {
  return "------XyZ\r\nContent-Disposition: form-data; name=\"" + name +
         "\"\r\n\r\n" + value + "\r\n";
}

std::string File(const std::string& name, const std::string& client,
                 const std::string& content) {
  return "------XyZ\r\nContent-Disposition: form-data; name=\"" + name +
         "\"; filename=\"" + client +
         "\"\r\nContent-Type: application/octet-stream\r\n\r\n" + content +
         "\r\n";
}

const std::string kEnd = "------XyZ--\r\n";

// Runs each test with its own TMPDIR, which must be empty at the end unless
// the test says otherwise.
class MultiPartFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/commonlib-mp-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(pattern));
    dir_ = pattern;
    const char* old = getenv("TMPDIR");
    hadTmpdir_ = old != nullptr;
    if (old) oldTmpdir_ = old;
    setenv("TMPDIR", dir_.c_str(), 1);
    gMaxRequestSize = 64LL * 1024 * 1024;
  }
  void TearDown() override {
    EXPECT_EQ(std::vector<std::string>{}, Files());
    for (const std::string& f : Files()) unlink((dir_ + "/" + f).c_str());
    rmdir(dir_.c_str());
    if (hadTmpdir_) {
      setenv("TMPDIR", oldTmpdir_.c_str(), 1);
    } else {
      unsetenv("TMPDIR");
    }
    gMaxRequestSize = 64LL * 1024 * 1024;
  }
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir_.c_str())) {
      while (dirent* e = readdir(d)) {
        std::string n = e->d_name;
        if (n != "." && n != "..") names.push_back(n);
      }
      closedir(d);
    }
    return names;
  }
  std::vector<Entry> Parse(FakeRequest* req, const char* type = kType) {
    std::unique_ptr<ValNameList> list(req->ParseMultiPartForm(type));
    if (!list) {
      parsedNull_ = true;
      return {};
    }
    parsedNull_ = false;
    return Entries(list.get());
  }

  std::string dir_;
  bool parsedNull_ = false;

 private:
  bool hadTmpdir_ = false;
  std::string oldTmpdir_;
};

std::vector<std::string> Lines(const std::string& body, int size,
                               const char* stop) {
  FakeRequest req(body);
  std::vector<std::string> lines;
  std::vector<char> buf(size);
  int n;
  while ((n = req.GetFormDataLine(buf.data(), size, stop)) != -1) {
    lines.emplace_back(buf.data(), n);
  }
  return lines;
}

TEST(FormDataLineTest, LinesAndPieces) {
  const std::string x3000(3000, 'x');
  EXPECT_EQ((std::vector<std::string>{std::string(1021, 'x'),
                                      std::string(1021, 'x'),
                                      std::string(958, 'x') + "\r\n"}),
            Lines(x3000 + "\r\n", 1023, "--B--"));
  // A CR at the cut moves to the next piece: the pair is never split.
  EXPECT_EQ((std::vector<std::string>{std::string(1020, 'y'), "\r\n", "z\r\n"}),
            Lines(std::string(1020, 'y') + "\r\nz\r\n", 1023, "--B--"));
  // A bare LF does not end a line; the stop text ends one without a line end.
  EXPECT_EQ((std::vector<std::string>{"a\nb\r\n", "--B--", "\r\n"}),
            Lines("a\nb\r\n--B--\r\n", 1023, "--B--"));
  EXPECT_EQ((std::vector<std::string>{"tail"}), Lines("tail", 1023, "--B--"));
  EXPECT_EQ((std::vector<std::string>{}), Lines("", 1023, "--B--"));
}

TEST(FormDataLineTest, DelimiterTests) {
  struct Case {
    const char* line;
    int boundary;
    int end;
  };
  const Case cases[] = {
      {"------XyZ\r\n", 1, 0},
      {"------XyZ", 1, 0},
      {"------XyZ\n", 1, 0},
      {"------XyZ--\r\n", 0, 1},
      {"------XyZ--", 0, 1},
      {"------XyZ--trailing", 0, 1},
      {"------XyZ \r\n", 0, 0},
      {"------Xy\r\n", 0, 0},
      {"--", 0, 0},
      {"", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    int n = static_cast<int>(strlen(c.line));
    EXPECT_EQ(c.boundary, RequestInfo::IsBoundary(c.line, n, kBoundary));
    EXPECT_EQ(c.end, RequestInfo::IsEndBoundary(c.line, n, kBoundary));
  }
}

TEST_F(MultiPartFormTest, BrowserShapedBody) {
  const std::string binary("\x00\x01\r\nmid\xff\r\n\r\n", 12);
  const std::string longValue(3000, 'v');
  const std::string body = "preamble ignored\r\n" + Field("program", "upload") +
                           File("empty", "", "") +
                           File("data", "C:\\data\\people.txt", binary) +
                           Field("comment", longValue) + kEnd;
  auto req = std::make_unique<FakeRequest>(body);
  std::vector<Entry> entries = Parse(req.get());
  ASSERT_EQ(4u, entries.size());
  EXPECT_EQ("program", entries[0].name);
  EXPECT_EQ("upload", entries[0].value);
  EXPECT_EQ("", entries[0].path);
  EXPECT_EQ("empty", entries[1].name);
  EXPECT_EQ("", entries[1].value);
  EXPECT_EQ("data", entries[2].name);
  EXPECT_EQ("people.txt", entries[2].value);
  EXPECT_EQ("comment", entries[3].name);
  EXPECT_EQ(longValue, entries[3].value);

  EXPECT_EQ("", ReadFile(entries[1].path));
  EXPECT_EQ(binary, ReadFile(entries[2].path));
  struct stat st;
  ASSERT_EQ(0, stat(entries[2].path.c_str(), &st));
  EXPECT_EQ(0600u, st.st_mode & 07777);
  EXPECT_EQ(0u, entries[2].path.rfind(dir_ + "/", 0));
  EXPECT_EQ(2u, Files().size());

  // The request owns its uploads: they go with it.
  req.reset();
  EXPECT_FALSE(Exists(entries[1].path));
  EXPECT_FALSE(Exists(entries[2].path));
}

TEST_F(MultiPartFormTest, AdoptedUploadOutlivesTheRequest) {
  auto req = std::make_unique<FakeRequest>(File("keep", "k.txt", "K") +
                                           File("drop", "d.txt", "D") + kEnd);
  std::unique_ptr<ValNameList> list(req->ParseMultiPartForm(kType));
  ASSERT_NE(nullptr, list);
  req->AddParams(list.get());
  const std::string kept = req->FindVar2("keep");
  const std::string dropped = req->FindVar2("drop");
  EXPECT_EQ(kept, req->AdoptUpload("KEEP"));
  EXPECT_EQ(nullptr, req->AdoptUpload("missing"));
  req.reset();
  EXPECT_EQ("K", ReadFile(kept));
  EXPECT_FALSE(Exists(dropped));
  unlink(kept.c_str());
}

TEST_F(MultiPartFormTest, FileNames) {
  struct Case {
    const char* client;
    int system;
    const char* expected;
  };
  const Case cases[] = {
      {"C:\\data\\people.txt", 0, "people.txt"},
      {"people.txt", 0, "people.txt"},
      {"/home/ann/people.txt", 0, "people.txt"},
      {"my%20file.txt", 0, "my%20file.txt"},
      {"my%20file.txt", 1, "my file.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.client);
    FakeRequest req(File("f", c.client, "x") + kEnd);
    req.systemType = c.system;
    std::vector<Entry> entries = Parse(&req);
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ(c.expected, entries[0].value);
  }
}

TEST_F(MultiPartFormTest, TextareaLineEndsByBrowser) {
  struct Case {
    const char* agent;
    const char* expected;
  };
  const Case cases[] = {
      {"Mozilla/4.7 [en] (WinNT; I)", "one\r\ntwo\r\nthree"},
      {"Mozilla/4.0 (compatible; MSIE 4.01; Windows 98)", "onetwothree"},
      {"Mozilla/2.0 (compatible; MSIE 3.02; Windows 95)", "one\r\ntwo\r\nthree"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.agent);
    FakeRequest req(Field("text", "one\r\ntwo\r\nthree") + kEnd);
    req.SetBrowserType(c.agent);
    std::vector<Entry> entries = Parse(&req);
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ(c.expected, entries[0].value);
  }
}

TEST_F(MultiPartFormTest, ClosingDelimiterWithoutLineEnd) {
  FakeRequest req(Field("a", "1") + "------XyZ--");
  std::vector<Entry> entries = Parse(&req);
  ASSERT_EQ(1u, entries.size());
  EXPECT_EQ("1", entries[0].value);
  EXPECT_EQ(1, req.closeCalls);
}

TEST_F(MultiPartFormTest, MalformedBodies) {
  struct Case {
    const char* what;
    std::string type;
    std::string body;
    bool null;
    std::vector<std::string> names;
  };
  const std::string file = File("f", "f.txt", "partial");
  const Case cases[] = {
      {"no boundary line", kType, "just text\r\nmore\r\n", false, {}},
      {"no boundary parameter", "multipart/form-data", Field("a", "1") + kEnd,
       true, {}},
      {"empty boundary", "multipart/form-data; boundary=", Field("a", "1"),
       true, {}},
      {"quoted boundary", "multipart/form-data; boundary=\"----XyZ\"",
       Field("a", "1") + kEnd, false, {}},
      {"ends inside a value", kType, Field("a", "1") + Field("b", "lost").substr(0, 60),
       false, {"a"}},
      {"ends inside a file", kType,
       Field("a", "1") + file.substr(0, file.size() - 4), false, {"a", "f"}},
      {"ends inside headers", kType,
       Field("a", "1") + "------XyZ\r\nContent-Disp", false, {"a"}},
      {"never closed", kType, Field("a", "1") + Field("b", "2"), false,
       {"a"}},
      {"part without blank line", kType,
       "------XyZ\r\nContent-Disposition: form-data; name=\"f\"; "
       "filename=\"1.txt\"\r\n------XyZ\r\n" +
           File("g", "2.txt", "G") + kEnd,
       false, {"f", "g"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    {
      FakeRequest req(c.body);
      std::vector<Entry> entries = Parse(&req, c.type.c_str());
      EXPECT_EQ(c.null, parsedNull_);
      std::vector<std::string> names;
      for (const Entry& e : entries) names.push_back(e.name);
      EXPECT_EQ(c.names, names);
      EXPECT_EQ(1, req.closeCalls);
    }
    EXPECT_EQ(std::vector<std::string>{}, Files());  // uploads removed
  }
}

TEST_F(MultiPartFormTest, PartialFileKeepsWhatArrived) {
  FakeRequest req(File("f", "f.txt", "abc\r\ndef"));
  std::vector<Entry> entries = Parse(&req);
  ASSERT_EQ(1u, entries.size());
  // The held-back line end was never confirmed as data.
  EXPECT_EQ("abc\r\ndef", ReadFile(entries[0].path));
}

TEST_F(MultiPartFormTest, InputStreamFailure) {
  FakeRequest req(Field("a", "1") + kEnd);
  req.setupResult = -1;
  Parse(&req);
  EXPECT_TRUE(parsedNull_);
}

TEST_F(MultiPartFormTest, TemporaryDirectoryMissing) {
  setenv("TMPDIR", (dir_ + "/missing").c_str(), 1);
  FakeRequest req(Field("a", "1") + File("f", "f.txt", "x") + kEnd);
  Parse(&req);
  EXPECT_TRUE(parsedNull_);
  EXPECT_EQ(1, req.closeCalls);
}

TEST_F(MultiPartFormTest, BodyLimit) {
  gMaxRequestSize = 1000;
  const std::string body = Field("a", "1") +
                           File("f", "f.txt", std::string(5000, 'z')) + kEnd;
  FakeRequest req(body);
  std::unique_ptr<ValNameList> list(req.ParseMultiPartForm(kType));
  EXPECT_TRUE(req.BodyTooLarge());
  EXPECT_EQ(1001u, req.consumed());  // not read further
  EXPECT_EQ(std::vector<std::string>{}, Files());

  gMaxRequestSize = static_cast<long long>(body.size());
  FakeRequest fits(body);
  std::vector<Entry> entries = Parse(&fits);
  EXPECT_FALSE(fits.BodyTooLarge());
  ASSERT_EQ(2u, entries.size());
  EXPECT_EQ(std::string(5000, 'z'), ReadFile(entries[1].path));
}

}  // namespace
