// The log writer: records and their threshold, messages with colons and line
// breaks, buffered requests landing in one piece while other processes
// append, archiving and purging.
#include <time.h>

#include <regex>
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

  // The fields of the records of file, "time|app|level|message" with "-" for
  // an absent field and "T" for any time.
  static std::vector<std::string> Records(KvLog& log, const char* file) {
    std::vector<std::string> out;
    KvLogRecord* first = log.ReadLogFile(file);
    for (KvLogRecord* r = first; r; r = r->next) {
      auto f = [](const char* s) { return std::string(s ? s : "-"); };
      std::string time = r->time && strlen(r->time) > 2 ? "T" : f(r->time);
      out.push_back(time + "|" + f(r->appName) + "|" + f(r->level) + "|" + f(r->message));
    }
    KvFreeLogRecords(first);
    return out;
  }
};

TEST_F(LogTest, RecordsReadBackWholeWithColonsAndLineBreaks) {
  KvLog log("App", KV_WARNING, LogPath().c_str(), false);
  log.AddMsg(KV_INFO, "below the threshold");
  EXPECT_FALSE(KvCheckIfFile(LogPath().c_str()));
  EXPECT_EQ(log.LogFileSize(), 0);
  const char* messages[] = {"user:alice:logged in", "one\ntwo\r\nthree",
                            "Error : line 12 in file a.cpp : bad", ""};
  for (const char* m : messages) log.AddMsg(KV_ERROR, m);
  std::vector<std::string> lines = LogLines();
  ASSERT_EQ(lines.size(), 4u) << "one record per event";
  EXPECT_EQ(lines[0].find(':'), lines[0].size() - strlen(":App:KV_ERROR:user:alice:logged in"))
      << "the time holds no colon";
  EXPECT_EQ(log.LogFileSize(), long(ReadAll(LogPath()).size()));
  EXPECT_EQ(Records(log, nullptr),
            (std::vector<std::string>{"T|App|KV_ERROR|user:alice:logged in",
                                      "T|App|KV_ERROR|one two  three",
                                      "T|App|KV_ERROR|Error : line 12 in file a.cpp : bad",
                                      "T|App|KV_ERROR|"}));
  KvLog other("Other", KV_INFO, nullptr, false);
  EXPECT_EQ(other.ReadLogFile((top + "/logs/none").c_str()), nullptr);

  // Lines damaged by hand or cut short: no field takes the line break, and a
  // missing field is absent rather than a piece of the next one.
  std::string damaged = top + "/logs/damaged";
  dbtest::WriteAll(damaged, "t:App:KV_ERROR\r\nno colons\n\n:App:KV_INFO:m\n");
  EXPECT_EQ(Records(other, damaged.c_str()),
            (std::vector<std::string>{"t|App|-|KV_ERROR", "-|-|-|no colons", "-|App|KV_INFO|m"}));
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

TEST_F(LogTest, ArchivePurgeAndFailures) {
  KvLog log("App", KV_INFO, LogPath().c_str(), false);
  log.AddMsg(KV_ERROR, "before");
  char* archive = log.ArchiveLogFile(nullptr);  // named by the minute
  ASSERT_NE(archive, nullptr);
  EXPECT_TRUE(std::regex_match(archive, std::regex(LogPath() + R"(\.\d\d_[A-Z][a-z]{2}_\d\d_\d\d)")))
      << archive;
  EXPECT_TRUE(KvCheckIfFile(archive));
  EXPECT_FALSE(KvCheckIfFile(LogPath().c_str()));
  free(archive);
  log.AddMsg(KV_ERROR, "after");
  EXPECT_EQ(LogLines().size(), 1u) << "a new log file is begun";
  std::string named = top + "/logs/old.log";
  archive = log.ArchiveLogFile(named.c_str());
  EXPECT_EQ(dbtest::S(archive), named);
  free(archive);
  EXPECT_EQ(log.ArchiveLogFile((top + "/nowhere/x").c_str()), nullptr);

  for (int round = 0; round < 2; ++round) {  // creates, then empties
    EXPECT_TRUE(log.PurgeLogFile() == true);
    EXPECT_EQ(log.LogFileSize(), 0);
    EXPECT_TRUE(KvCheckIfFile(LogPath().c_str()));
    log.AddMsg(KV_INFO, "x");
  }
  KvLog nowhere("App", KV_INFO, (top + "/missing/dir/log").c_str(), false);
  std::string lines = dbtest::ErrorText([&] { nowhere.AddMsg(KV_ERROR, "lost"); });
  EXPECT_EQ(lines.find("Error : "), 0u);
  EXPECT_TRUE(dbtest::Has(lines, ": Unable to add the message to the log file\n")) << lines;
}

}  // namespace
