// Locked access to the directory's list files. Readers hold a shared lock on
// the file's ".lck" companion; writers hold an exclusive one and replace the
// file atomically (a temporary file in the same folder, written, flushed to
// disk and closed with every step checked, then renamed over the old one), so
// a reader sees either the old or the new list and a failed write leaves the
// old list in place.
#pragma once

#include <sys/types.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "utillib.h"

namespace filedb {

// The lock file guarding path.
std::string LockPathOf(const std::string& path);

// New lists read under a shared lock; empty when the file does not exist.
// Throw KvError* when the file cannot be read.
std::unique_ptr<ValList> ReadValListFile(const std::string& path);
std::unique_ptr<ValNameList> ReadValNameListFile(const std::string& path);

// Replace the file under an exclusive lock. Throw KvError* on failure; the
// old file stays as it was then.
void WriteValListFile(const std::string& path, ValList* list);
void WriteValNameListFile(const std::string& path, ValNameList* list,
                          mode_t newMode = 0644);

// Read, change and write back under one exclusive lock, so that concurrent
// updates are never lost. The change may throw; nothing is written then.
void UpdateValListFile(const std::string& path,
                       const std::function<void(ValList&)>& change);
void UpdateValNameListFile(const std::string& path,
                           const std::function<void(ValNameList&)>& change,
                           mode_t newMode = 0644);

// Writes a complete new file beside path (same folder) through writer, which
// fills the stream; every step is checked and the data is flushed to disk.
// Returns the new file's path; the caller renames it into place or removes
// it. The file gets the permission bits of path when path exists and
// forceMode is false (and its owner, where the process may set it), else
// newMode. Throws KvError* naming the file, the step and the system's error
// text; nothing is left behind then.
std::string WriteBeside(const std::string& path,
                        const std::function<void(FILE*)>& writer,
                        mode_t newMode = 0644, bool forceMode = false);

// WriteBeside, then renames the new file over path.
// REQUIRES: the caller holds the exclusive lock of path.
void ReplaceFileAtomically(const std::string& path,
                           const std::function<void(FILE*)>& writer,
                           mode_t newMode = 0644, bool forceMode = false);

// rename(from, to), throwing KvError* on failure.
void RenameFile(const std::string& from, const std::string& to);

// Removes a file on scope exit unless Keep() was called.
class TempFile {
 public:
  explicit TempFile(std::string path) : path_(std::move(path)) {}
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  const std::string& Path() const { return path_; }
  void Keep() { keep_ = true; }

 private:
  std::string path_;
  bool keep_ = false;
};

// True when text can be stored as one line of a list file (no CR or LF).
bool IsOneLine(const char* text);

// Raises a KvError* whose message is what + " " + path + ": " + strerror(err).
[[noreturn]] void ThrowSystemError(int line, const char* what,
                                   const std::string& path, int err);

// The holder of a KvError* caught from a lower layer, deleted on scope exit.
using ErrorOwner = std::unique_ptr<KvError>;

// The user lines of an error, or its trace lines when it has none, in order.
std::unique_ptr<ValList> MessagesOf(const KvError* error);

}  // namespace filedb
