// The log writer: records and their threshold, messages with colons and line
// breaks, buffered requests landing in one piece while other processes
// append, archiving and purging.
#include <time.h>

#include <vector>

#include "DbTestTree.h"

using dbtest::InChild;
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

  bool TmpDirEmpty() const {
    return std::filesystem::is_empty(top + "/tmp");
  }
};

bool EndsWith(const std::string& s, const std::string& end) {
  return s.size() >= end.size() &&
         s.compare(s.size() - end.size(), end.size(), end) == 0;
}

TEST_F(LogTest, ThresholdDropsLowerLevels) {
  KvLog log("VelmoraAdmin", KV_ERROR, LogPath().c_str(), false);
  log.AddMsg(KV_WARNING, "ignored");
  EXPECT_FALSE(KvCheckIfFile(LogPath().c_str()));
  EXPECT_EQ(log.LogFileSize(), 0);
  log.AddMsg(KV_ERROR, "boom");
  std::vector<std::string> lines = LogLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(EndsWith(lines[0], ":VelmoraAdmin:KV_ERROR:boom")) << lines[0];
  EXPECT_EQ(lines[0].find(':'), lines[0].size() - strlen(":VelmoraAdmin:KV_ERROR:boom"))
      << "the time holds no colon";
  EXPECT_EQ(log.LogFileSize(), long(lines[0].size() + 1));
}

TEST_F(LogTest, RecordsReadBackWholeWithColonsAndLineBreaks) {
  KvLog log("App", KV_INFO, LogPath().c_str(), false);
  struct Case {
    KvLogLevel level;
    const char* message;
    const char* readBack;
  } cases[] = {
      {KV_INFO, "plain", "plain"},
      {KV_AUDIT, "user:alice:logged in", "user:alice:logged in"},
      {KV_WARNING, "one\ntwo\r\nthree", "one two  three"},
      {KV_ERROR, "Error : line 12 in file a.cpp : bad", "Error : line 12 in file a.cpp : bad"},
      {KV_ERROR, "", ""},
  };
  for (const Case& c : cases) log.AddMsg(c.level, c.message);
  EXPECT_EQ(LogLines().size(), 5u) << "one record per event";

  KvLogRecord* first = log.ReadLogFile(nullptr);
  KvLogRecord* rec = first;
  for (const Case& c : cases) {
    ASSERT_NE(rec, nullptr);
    EXPECT_STREQ(rec->appName, "App");
    EXPECT_STREQ(rec->level, kKvLogLevelText[c.level]);
    EXPECT_STREQ(rec->message ? rec->message : "", c.readBack);
    ASSERT_NE(rec->time, nullptr);
    rec = rec->next;
  }
  EXPECT_EQ(rec, nullptr);
  KvFreeLogRecords(first);

  KvLog other("Other", KV_INFO, nullptr, false);
  EXPECT_EQ(other.ReadLogFile((top + "/logs/none").c_str()), nullptr);
  first = other.ReadLogFile(LogPath().c_str());
  ASSERT_NE(first, nullptr);
  EXPECT_STREQ(first->message, "plain");
  KvFreeLogRecords(first);
}

// Lines damaged by hand or cut short: no field takes the line break, and a
// missing field is absent rather than a piece of the next one.
TEST_F(LogTest, ShortLinesReadBackWithoutLineBreaks) {
  std::string file = top + "/logs/damaged";
  dbtest::WriteAll(file, "t:App:KV_ERROR\r\nno colons\n\n:App:KV_INFO:m\n");
  KvLog log("App", KV_INFO, nullptr, false);
  KvLogRecord* first = log.ReadLogFile(file.c_str());
  struct Want {
    const char* time;
    const char* appName;
    const char* level;
    const char* message;
  } want[] = {{"t", "App", nullptr, "KV_ERROR"},
              {nullptr, nullptr, nullptr, "no colons"},
              {nullptr, "App", "KV_INFO", "m"}};
  KvLogRecord* rec = first;
  for (const Want& w : want) {
    ASSERT_NE(rec, nullptr);
    EXPECT_STREQ(rec->time, w.time);
    EXPECT_STREQ(rec->appName, w.appName);
    EXPECT_STREQ(rec->level, w.level);
    EXPECT_STREQ(rec->message, w.message);
    rec = rec->next;
  }
  EXPECT_EQ(rec, nullptr);
  KvFreeLogRecords(first);
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
    log.AddMsg(KV_INFO, "last");
    // The records wait in a temporary file that has no name left, so a
    // process killed now leaves nothing behind.
    EXPECT_TRUE(TmpDirEmpty());
  }  // the destructor appends the block
  for (pid_t pid : writers) waitpid(pid, nullptr, 0);
  EXPECT_TRUE(TmpDirEmpty());

  std::vector<std::string> lines = LogLines();
  EXPECT_EQ(lines.size(), size_t(300 + kBuffered + 1));
  size_t start = 0;
  while (start < lines.size() && lines[start].find(":Mine:") == std::string::npos)
    start++;
  ASSERT_LT(start + kBuffered, lines.size());
  for (int i = 0; i < kBuffered; i++)
    EXPECT_TRUE(EndsWith(lines[start + i], ":Mine:KV_INFO:step " + std::to_string(i)))
        << lines[start + i];
  EXPECT_TRUE(EndsWith(lines[start + kBuffered], ":Mine:KV_INFO:last"));
}

TEST_F(LogTest, EmptyBufferedLogAppendsNothingAndLeavesNoTemporaryFile) {
  {
    // The temporary file comes with the first record, and a record below
    // the threshold is none.
    KvLog log("Mine", KV_WARNING, LogPath().c_str(), true);
    log.AddMsg(KV_INFO, "below the threshold");
    EXPECT_TRUE(TmpDirEmpty());
  }
  EXPECT_TRUE(TmpDirEmpty());
  EXPECT_TRUE(!KvCheckIfFile(LogPath().c_str()) || LogLines().empty());
}

TEST_F(LogTest, ArchiveNamesTheLogByTheMinute) {
  KvLog log("App", KV_INFO, LogPath().c_str(), false);
  log.AddMsg(KV_ERROR, "before");
  auto stamp = []() {
    char buf[64];
    time_t now = time(nullptr);
    struct tm local;
    localtime_r(&now, &local);
    strftime(buf, sizeof(buf), ".%d_%b_%H_%M", &local);
    return std::string(buf);
  };
  std::string early = stamp();
  char* archive = log.ArchiveLogFile(nullptr);
  std::string late = stamp();
  ASSERT_NE(archive, nullptr);
  EXPECT_TRUE(archive == LogPath() + early || archive == LogPath() + late)
      << archive;
  EXPECT_TRUE(KvCheckIfFile(archive));
  EXPECT_FALSE(KvCheckIfFile(LogPath().c_str()));
  free(archive);

  log.AddMsg(KV_ERROR, "after");
  EXPECT_EQ(LogLines().size(), 1u) << "a new log file is begun";

  std::string named = top + "/logs/old.log";
  archive = log.ArchiveLogFile(named.c_str());
  ASSERT_NE(archive, nullptr);
  EXPECT_EQ(std::string(archive), named);
  free(archive);
  EXPECT_EQ(log.ArchiveLogFile((top + "/nowhere/x").c_str()), nullptr);
}

TEST_F(LogTest, PurgeEmptiesOrCreatesTheLog) {
  KvLog log("App", KV_INFO, LogPath().c_str(), false);
  EXPECT_TRUE(log.PurgeLogFile() == true);
  EXPECT_TRUE(KvCheckIfFile(LogPath().c_str()));
  EXPECT_EQ(log.LogFileSize(), 0);
  log.AddMsg(KV_INFO, "x");
  EXPECT_GT(log.LogFileSize(), 0);
  EXPECT_TRUE(log.PurgeLogFile() == true);
  EXPECT_EQ(log.LogFileSize(), 0);

  KvLog nowhere("App", KV_INFO, (top + "/missing/dir/log").c_str(), false);
  try {
    nowhere.AddMsg(KV_ERROR, "lost");
    FAIL() << "the log's lock cannot be made";
  } catch (KvError* e) {
    std::string lines = dbtest::Lines(e);
    EXPECT_EQ(lines.find("Error : "), 0u);
    EXPECT_NE(lines.find(": Unable to add the message to the log file\n"),
              std::string::npos)
        << lines;
  }
}

}  // namespace
