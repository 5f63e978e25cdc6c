// Locked, atomically replaced list files of the file directory back end.
#include "ListFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace filedb {

std::string LockPathOf(const std::string& path) { return path + ".lck"; }

void ThrowSystemError(int line, const char* what, const std::string& path,
                      int err) {
  String message = String(what) + " " + path.c_str() + ": " + strerror(err);
  KvThrowError(line, KvSourceName(__FILE__), message);
}

std::unique_ptr<ValList> MessagesOf(const KvError* error) {
  std::unique_ptr<ValList> out(new ValList());
  ValList* source = error->GetUserLines();
  if (source == nullptr || source->GetCount() == 0) source = error->GetLines();
  if (source != nullptr) {
    for (ValListItem* item = source->GetFirst(); item; item = item->next) {
      if (item->value != nullptr) out->Append(item->value);
    }
  }
  return out;
}

std::unique_ptr<ValList> ReadValListFile(const std::string& path) {
  std::unique_ptr<ValList> list(new ValList());
  KvLockGuard lock(LockPathOf(path).c_str(), kKvLockShared);
  list->Read(path.c_str(), true);
  return list;
}

std::unique_ptr<ValNameList> ReadValNameListFile(const std::string& path) {
  std::unique_ptr<ValNameList> list(new ValNameList());
  KvLockGuard lock(LockPathOf(path).c_str(), kKvLockShared);
  list->Read(path.c_str(), true);
  return list;
}

TempFile::~TempFile() {
  if (!keep_) unlink(path_.c_str());
}

bool IsOneLine(const char* text) {
  return text == nullptr || strpbrk(text, "\r\n") == nullptr;
}

std::string WriteBeside(const std::string& path,
                        const std::function<void(FILE*)>& writer,
                        mode_t newMode, bool forceMode) {
  std::string pattern = path + ".tmpXXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = mkstemp(name.data());
  if (fd < 0) ThrowSystemError(__LINE__, "Unable to create a file beside", path, errno);
  TempFile tmp(name.data());

  struct stat old;
  if (!forceMode && stat(path.c_str(), &old) == 0) {
    // Keep the owner where we may (a tool run by root must not take the file
    // away from the web server's user), and the permission bits.
    if (fchown(fd, old.st_uid, old.st_gid) != 0) {
      // Not permitted for an ordinary user: the file simply becomes ours.
    }
    newMode = old.st_mode & 07777;
  }
  if (fchmod(fd, newMode) != 0) {
    int err = errno;
    close(fd);
    ThrowSystemError(__LINE__, "Unable to set the permissions of", tmp.Path(), err);
  }
  FILE* fp = fdopen(fd, "w");
  if (fp == nullptr) {
    int err = errno;
    close(fd);
    ThrowSystemError(__LINE__, "Unable to open", tmp.Path(), err);
  }
  try {
    writer(fp);
  } catch (KvError* e) {
    fclose(fp);
    KV_ADD_LINE(e, String("Unable to write ") + tmp.Path().c_str());
    throw;
  } catch (...) {
    fclose(fp);
    throw;
  }
  errno = 0;
  if (fflush(fp) != 0 || ferror(fp)) {
    int err = errno ? errno : EIO;
    fclose(fp);
    ThrowSystemError(__LINE__, "Unable to write", tmp.Path(), err);
  }
  if (fsync(fileno(fp)) != 0) {
    int err = errno;
    fclose(fp);
    ThrowSystemError(__LINE__, "Unable to flush to disk", tmp.Path(), err);
  }
  if (fclose(fp) != 0) ThrowSystemError(__LINE__, "Unable to close", tmp.Path(), errno);
  tmp.Keep();
  return tmp.Path();
}

void RenameFile(const std::string& from, const std::string& to) {
  if (rename(from.c_str(), to.c_str()) != 0) {
    ThrowSystemError(__LINE__, "Unable to rename a new version onto", to, errno);
  }
  // Make the rename itself durable; a failure here loses nothing already
  // visible, so it is not reported.
  std::string dir = ".";
  std::string::size_type slash = to.rfind('/');
  if (slash != std::string::npos) dir = slash == 0 ? "/" : to.substr(0, slash);
  int dfd = open(dir.c_str(), O_RDONLY | O_DIRECTORY);
  if (dfd >= 0) {
    (void)fsync(dfd);
    close(dfd);
  }
}

void ReplaceFileAtomically(const std::string& path,
                           const std::function<void(FILE*)>& writer,
                           mode_t newMode, bool forceMode) {
  TempFile tmp(WriteBeside(path, writer, newMode, forceMode));
  RenameFile(tmp.Path(), path);
  tmp.Keep();
}

void WriteValListFile(const std::string& path, ValList* list) {
  KvLockGuard lock(LockPathOf(path).c_str(), kKvLockExclusive);
  ReplaceFileAtomically(path, [list](FILE* fp) { list->Write(fp); });
}

void WriteValNameListFile(const std::string& path, ValNameList* list,
                          mode_t newMode) {
  KvLockGuard lock(LockPathOf(path).c_str(), kKvLockExclusive);
  ReplaceFileAtomically(path, [list](FILE* fp) { list->Write(fp); }, newMode);
}

void UpdateValListFile(const std::string& path,
                       const std::function<void(ValList&)>& change) {
  KvLockGuard lock(LockPathOf(path).c_str(), kKvLockExclusive);
  ValList list;
  list.Read(path.c_str(), true);
  change(list);
  ReplaceFileAtomically(path, [&list](FILE* fp) { list.Write(fp); });
}

void UpdateValNameListFile(const std::string& path,
                           const std::function<void(ValNameList&)>& change,
                           mode_t newMode) {
  KvLockGuard lock(LockPathOf(path).c_str(), kKvLockExclusive);
  ValNameList list;
  list.Read(path.c_str(), true);
  change(list);
  ReplaceFileAtomically(path, [&list](FILE* fp) { list.Write(fp); }, newMode);
}

}  // namespace filedb
