// Writer of the installation's shared log file, which every program of the
// suite appends to concurrently. One record is one line:
// time ":" application ":" level text ":" message. A log writes straight
// through (lock, append, unlock for each message) or, buffered, collects one
// request's records in a private temporary file and appends them in one piece
// on Close, so that they stay together in the log.
//
// Locking: the in-process log lock (thread shim) is taken before the file
// lock on the log's path + ".lck" and released after it; appends, purges and
// buffered flushes hold it exclusively, reading and archiving shared.
#pragma once

#include <cstdio>

#include "KvConfigDB.h"

// One record read back from a log file. Every field is a malloc'd C string
// (or null); the caller frees each field and each record with free(), or
// calls KvFreeLogRecords.
struct KvLogRecord {
  char* time;
  char* appName;
  char* level;
  char* message;
  KvLogRecord* next;
};

// Frees a chain of records from ReadLogFile.
void KvFreeLogRecords(KvLogRecord* first);

class KvLog {
 public:
  // Copies appName and path. Messages below level are dropped. With buffered
  // true the records go to a new private temporary file (made with the first
  // record) until Close.
  KvLog(const char* appName, KvLogLevel level, const char* path,
        KvBoolean buffered);
  // Close(), dropping any error.
  ~KvLog();
  KvLog(const KvLog&) = delete;
  KvLog& operator=(const KvLog&) = delete;

  // Adds one record; CR and LF in message become blanks so that the record
  // stays one line. When the log file cannot be opened the message is lost
  // silently. Returns 1; throws KvError*.
  int AddMsg(KvLogLevel level, const char* message);
  // Flushes the temporary file of a buffered log. Returns 1.
  int Flush();
  // Appends the buffered records to the log in one piece and removes the
  // temporary file; later messages go straight to the log. Returns 1;
  // throws KvError*.
  int Close();
  // New chain of records (see KvLogRecord), or null when the file cannot be
  // read. With other null this log's own file is read under the shared lock;
  // another file is read without locks. Throws KvError*.
  KvLogRecord* ReadLogFile(const char* other);
  // Renames the log to newName, or to its path followed by the local time as
  // ".%d_%b_%H_%M" when newName is null. New string with the archive's name
  // (caller frees), or null when the rename failed. Throws KvError*.
  char* ArchiveLogFile(const char* newName);
  // Empties the log, creating it when missing; true when it could be opened.
  KvBoolean PurgeLogFile();
  // Size in bytes; 0 when there is no path or no file.
  long LogFileSize();

  const char* GetPath() const { return path; }
  KvLogLevel GetLevel() const { return level; }

 private:
  KvLogLevel level;
  char* appName;
  const char* format;
  char* path;
  char* tmpPath;
  FILE* tmpFile;
  // Buffered, and the temporary file not made yet.
  bool bufferPending;

  void OpenTmpFile();
};
