// The log writer: records and their threshold, messages with colons and line
// breaks, buffered requests landing in one piece while other processes
// append.
#include <time.h>

#include <vector>

#include "DbTestTree.h"

using dbtest::EndsWith;
using dbtest::ReadAll;
using dbtest::TreeTest;

namespace {

class LogTest : public TreeTest {
 protected:
  std::string LogPath() const { return top + "/logs/kvlogfile"; }

  std::vector<std::string> LogLines() const {
    std::vector<std::string> lines;
    std::stringstream in(ReadAll(LogPath()));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  bool TmpDirEmpty() const { return std::filesystem::is_empty(top + "/tmp"); }

};

TEST_F(LogTest, OneLinePerRecordWithColonsAndLineBreaks) {
  KvLog log("App", KV_WARNING, LogPath().c_str(), false);
  log.AddMsg(KV_INFO, "below the threshold");
  EXPECT_FALSE(KvCheckIfFile(LogPath().c_str()));
  const std::pair<const char*, const char*> messages[] = {
      {"user:alice:logged in", "user:alice:logged in"}, {"one\ntwo\r\nthree", "one two  three"},
      {"Error : line 12 in file a.cpp : bad", "Error : line 12 in file a.cpp : bad"}, {"", ""}};
  for (const auto& [message, written] : messages) log.AddMsg(KV_ERROR, message);
  std::vector<std::string> lines = LogLines();
  ASSERT_EQ(lines.size(), 4u) << "one record per event";
  for (size_t i = 0; i < lines.size(); i++) {
    std::string tail = std::string(":App:KV_ERROR:") + messages[i].second;
    EXPECT_TRUE(EndsWith(lines[i], tail)) << lines[i];
    EXPECT_EQ(lines[i].find(':'), lines[i].size() - tail.size()) << "the time holds no colon";
  }
  KvLog nowhere("App", KV_INFO, (top + "/missing/dir/log").c_str(), false);
  std::string error = dbtest::ErrorText([&] { nowhere.AddMsg(KV_ERROR, "lost"); });
  EXPECT_EQ(error.find("Error : "), 0u);
  EXPECT_TRUE(dbtest::Has(error, ": Unable to add the message to the log file\n")) << error;
}

TEST_F(LogTest, BufferedRequestLandsAsOneBlockWhileOthersAppend) {
  const int kBuffered = 40;
  std::vector<pid_t> writers;
  for (int w = 0; w < 2; w++) {
    fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
      KvLog other("Other", KV_INFO, LogPath().c_str(), false);
      for (int i = 0; i < 150; i++) {
        other.AddMsg(KV_INFO, "other process");
        struct timespec pause = {0, 100000L};
        nanosleep(&pause, nullptr);
      }
      _exit(0);
    }
    writers.push_back(pid);
  }
  {
    KvLog log("Mine", KV_INFO, LogPath().c_str(), true);
    for (int i = 0; i < kBuffered; i++) {
      log.AddMsg(KV_INFO, ("step " + std::to_string(i)).c_str());
      struct timespec pause = {0, 200000L};
      nanosleep(&pause, nullptr);
    }
    // The records wait in a temporary file that has no name left, so a
    // process killed now leaves nothing behind.
    EXPECT_TRUE(TmpDirEmpty());
  }  // the destructor appends the block
  for (pid_t pid : writers) waitpid(pid, nullptr, 0);
  std::vector<std::string> lines = LogLines();
  EXPECT_EQ(lines.size(), size_t(300 + kBuffered));
  size_t start = 0;
  while (start < lines.size() && lines[start].find(":Mine:") == std::string::npos) start++;
  ASSERT_LE(start + kBuffered, lines.size());
  for (int i = 0; i < kBuffered; i++)
    EXPECT_TRUE(EndsWith(lines[start + i], ":Mine:KV_INFO:step " + std::to_string(i)))
        << lines[start + i];
  {
    // The temporary file comes with the first record, and a record below
    // the threshold is none.
    KvLog empty("Mine", KV_WARNING, LogPath().c_str(), true);
    empty.AddMsg(KV_INFO, "below the threshold");
    EXPECT_TRUE(TmpDirEmpty());
  }
  EXPECT_EQ(LogLines().size(), size_t(300 + kBuffered)) << "an empty buffer appends nothing";
  EXPECT_TRUE(TmpDirEmpty());
}

}  // namespace
