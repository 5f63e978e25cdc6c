// Indexing a vCard data file into the file directory, and copying
// photographs into it. A new data file is copied, read and indexed beside the
// current one and swapped in only when every card was read, so a file with
// errors leaves the directory as it was.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <queue>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "KvFileUserDB.h"
#include "ListFile.h"
#include "PeopleSearch.h"

namespace {

const char kDataFile[] = "data.vcf";
const char kIndexFile[] = "data.idx";
const char kSearchFile[] = "data.search";
const char kSwapNote[] = "data.swap";
const int kProgressEvery = 350;
const int kPhotoProgressEvery = 50;
char kRecordsProcessed[] = " records processed";

std::string Lower(const std::string& text) {
  std::string s = text;
  for (char& c : s) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return s;
}

// Copies the file at from into fp, checking every read.
void CopyInto(const std::string& from, FILE* fp) {
  FILE* in = fopen(from.c_str(), "rb");
  if (in == nullptr) filedb::ThrowSystemError(__LINE__, "Unable to open", from, errno);
  char buf[65536];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, in)) > 0) {
    if (fwrite(buf, 1, n, fp) != n) {
      int err = errno;
      fclose(in);
      filedb::ThrowSystemError(__LINE__, "Unable to copy", from, err ? err : EIO);
    }
  }
  bool failed = ferror(in) != 0;
  fclose(in);
  if (failed) filedb::ThrowSystemError(__LINE__, "Unable to read", from, EIO);
}

// Writes the cards of the vCard file at from into fp in the strict form.
void ConvertInto(const std::string& from, FILE* fp, VCardImporter* importer) {
  FILE* in = fopen(from.c_str(), "rb");
  if (in == nullptr) filedb::ThrowSystemError(__LINE__, "Unable to open", from, errno);
  std::unique_ptr<FILE, int (*)(FILE*)> closer(in, fclose);
  importer->Convert(in, fp);
  if (ferror(in)) filedb::ThrowSystemError(__LINE__, "Unable to read", from, EIO);
}

void Report(VersitProgressCallback callback, void* cookie, int count, char* message,
            ValList* list) {
  if (callback == nullptr) return;
  CallbackProgress progress;
  progress.Init(count, message, list);
  callback(cookie, &progress);
}

bool IsPhotoName(const std::string& name, std::string* base) {
  static const char* const kExtensions[] = {".gif", ".jpg", ".jpeg", ".png", nullptr};
  std::string::size_type dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0) return false;
  std::string ext = Lower(name.substr(dot));
  for (const char* const* e = kExtensions; *e; ++e) {
    if (ext == *e) {
      *base = name.substr(0, dot);
      return true;
    }
  }
  return false;
}

// Removes the files WriteBeside made for data, index and search file
// ("<name>.tmp" and six more characters) that are still lying in the folder.
void RemoveLeftoverCopies(const std::vector<std::string>& paths) {
  std::string dir = paths.front().substr(0, paths.front().rfind('/'));
  std::vector<std::string> prefixes;
  for (const std::string& path : paths) prefixes.push_back(path.substr(path.rfind('/') + 1) + ".tmp");
  KvRemoveLeftovers(
      dir.c_str(),
      [&](const char* name) {
        size_t n = strlen(name);
        for (const std::string& prefix : prefixes) {
          if (n == prefix.size() + 6 && strncmp(name, prefix.c_str(), prefix.size()) == 0) return true;
        }
        return false;
      },
      0);
}

// The UIDs read so far, as the bits of a Bloom filter sized to the file (one
// bit per 16 bytes): memory stays a small fraction of the file's size. A UID
// whose bits are all set may have been read before; it is noted as a
// candidate and checked against the index once the file is read.
class UidFilter {
 public:
  explicit UidFilter(long long fileSize)
      : bits_(std::max<unsigned long long>(1ULL << 15, static_cast<unsigned long long>(fileSize) / 16)),
        words_((bits_ + 63) / 64, 0) {}

  // Adds key; true when all its bits were set already.
  bool Add(const std::string& key) {
    unsigned long long h1 = std::hash<std::string>()(key);
    unsigned long long h2 = ((h1 >> 31) * 0x9e3779b97f4a7c15ULL) | 1;
    bool seen = true;
    for (int i = 0; i < kHashes; ++i) {
      unsigned long long bit = (h1 + static_cast<unsigned long long>(i) * h2) % bits_;
      unsigned long long mask = 1ULL << (bit % 64);
      if ((words_[bit / 64] & mask) == 0) {
        seen = false;
        words_[bit / 64] |= mask;
      }
    }
    return seen;
  }

 private:
  static constexpr int kHashes = 6;
  unsigned long long bits_;
  std::vector<unsigned long long> words_;
};

// Finds the first card whose UID an earlier card has (any case), among the
// candidates (case-folded UIDs) the filter named, by reading the index
// written so far: its item n is card n. Returns the message naming both
// cards, or "" when every candidate was a false alarm.
std::string FindDuplicateUid(const std::string& indexPath, int cards,
                             const std::vector<std::string>& candidates) {
  std::unordered_map<std::string, int> first;
  for (const std::string& key : candidates) first.emplace(key, 0);
  FILE* fp = fopen(indexPath.c_str(), "r");
  if (fp == nullptr) filedb::ThrowSystemError(__LINE__, "Unable to open", indexPath, errno);
  std::unique_ptr<FILE, int (*)(FILE*)> closer(fp, fclose);
  struct Line {
    char* text = nullptr;
    size_t capacity = 0;
    ~Line() { free(text); }
  } line;
  // The list's header line, then one item a card.
  if (getline(&line.text, &line.capacity, fp) < 0) return "";
  for (int card = 1; card <= cards && getline(&line.text, &line.capacity, fp) >= 0; ++card) {
    const char* colon = strchr(line.text, ':');
    if (colon == nullptr) break;
    std::string uid(line.text, static_cast<size_t>(colon - line.text));
    auto known = first.find(Lower(uid));
    if (known == first.end()) continue;
    if (known->second == 0) {
      known->second = card;
    } else {
      return "The UID " + uid + " is given to two cards, numbers " +
             std::to_string(known->second) + " and " + std::to_string(card);
    }
  }
  if (ferror(fp)) filedb::ThrowSystemError(__LINE__, "Unable to read", indexPath, EIO);
  return "";
}

// A scratch file without a name in folder dir (else in the system's
// temporary folder): nothing is left behind whatever happens to the process.
FILE* OpenScratch(const std::string& dir) {
  int fd = open(dir.c_str(), O_TMPFILE | O_RDWR, 0600);
  FILE* fp = fd >= 0 ? fdopen(fd, "w+") : tmpfile();
  if (fp == nullptr) {
    int err = errno;
    if (fd >= 0) close(fd);
    filedb::ThrowSystemError(__LINE__, "Unable to create a scratch file in", dir, err);
  }
  return fp;
}

// The search file's entries, sorted in runs of bounded size kept in scratch
// files and merged when written, so that memory does not grow with the
// number of people. Few people make one run that never leaves memory.
class SearchRuns {
 public:
  explicit SearchRuns(std::string dir) : dir_(std::move(dir)) {}
  ~SearchRuns() {
    for (FILE* run : runs_) fclose(run);
  }
  SearchRuns(const SearchRuns&) = delete;
  SearchRuns& operator=(const SearchRuns&) = delete;

  void Add(filedb::SearchEntry entry) {
    bytes_ += sizeof entry + entry.uid.size() + entry.name.size() + entry.email.size();
    entries_.push_back(std::move(entry));
    if (bytes_ >= kRunBytes) Spill();
  }

  void WriteTo(FILE* fp) {
    if (runs_.empty()) {
      filedb::WriteSearchFile(fp, &entries_);
      return;
    }
    Spill();
    // Each run holds records "<key length> <line length>\n<key><line>".
    struct Head {
      std::string key, line;
      size_t run;
    };
    auto later = [](const Head& a, const Head& b) {
      return a.key != b.key ? a.key > b.key : a.run > b.run;
    };
    std::priority_queue<Head, std::vector<Head>, decltype(later)> heads(later);
    auto next = [&](size_t run) {
      size_t keyLength, lineLength;
      if (fscanf(runs_[run], "%zu %zu\n", &keyLength, &lineLength) != 2) return;
      Head head{std::string(keyLength, '\0'), std::string(lineLength, '\0'), run};
      if (fread(&head.key[0], 1, keyLength, runs_[run]) != keyLength ||
          fread(&head.line[0], 1, lineLength, runs_[run]) != lineLength) {
        KV_THROW("Short read of a scratch file");
      }
      heads.push(std::move(head));
    };
    for (size_t run = 0; run < runs_.size(); ++run) {
      rewind(runs_[run]);
      next(run);
    }
    while (!heads.empty()) {
      Head head = heads.top();
      heads.pop();
      if (fwrite(head.line.data(), 1, head.line.size(), fp) != head.line.size()) {
        KV_THROW("Short write");
      }
      next(head.run);
    }
    for (FILE* run : runs_) {
      if (ferror(run)) KV_THROW("Short read of a scratch file");
    }
  }

 private:
  static constexpr size_t kRunBytes = 1 << 20;

  void Spill() {
    FILE* run = OpenScratch(dir_);
    runs_.push_back(run);
    std::vector<std::pair<std::string, const filedb::SearchEntry*>> sorted;
    sorted.reserve(entries_.size());
    for (const filedb::SearchEntry& e : entries_) sorted.emplace_back(filedb::SearchSortKey(e), &e);
    std::sort(sorted.begin(), sorted.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& item : sorted) {
      std::string line = filedb::SearchLine(*item.second);
      if (fprintf(run, "%zu %zu\n", item.first.size(), line.size()) < 0 ||
          fwrite(item.first.data(), 1, item.first.size(), run) != item.first.size() ||
          fwrite(line.data(), 1, line.size(), run) != line.size()) {
        KV_THROW("Short write to a scratch file");
      }
    }
    if (fflush(run) != 0) KV_THROW("Short write to a scratch file");
    entries_.clear();
    entries_.shrink_to_fit();
    bytes_ = 0;
  }

  std::string dir_;
  std::vector<filedb::SearchEntry> entries_;
  size_t bytes_ = 0;
  std::vector<FILE*> runs_;
};

}  // namespace

void KvFileUserDB::FinishInterruptedSwap() {
  std::string note = CommonPath(kSwapNote);
  if (!KvCheckIfFile(note.c_str())) return;
  std::string dataPath = CommonPath(kDataFile);
  KvLockGuard lock(filedb::LockPathOf(dataPath).c_str(), kKvLockExclusive);
  FILE* fp = fopen(note.c_str(), "r");
  if (fp == nullptr) return;  // finished meanwhile
  std::string newData, newIndex;
  std::string* line = &newData;
  for (int c; (c = fgetc(fp)) != EOF;) {
    if (c == '\n') {
      if (line == &newIndex) break;
      line = &newIndex;
    } else {
      line->push_back(static_cast<char>(c));
    }
  }
  fclose(fp);
  // Only files of the two kinds, beside the data, are taken.
  std::string dir = CommonPath("");
  auto beside = [&](const std::string& file, const char* kind) {
    std::string prefix = dir + kind + ".tmp";
    return file.size() == prefix.size() + 6 && file.compare(0, prefix.size(), prefix) == 0;
  };
  if (beside(newData, kDataFile) && KvCheckIfFile(newData.c_str())) {
    filedb::RenameFile(newData, dataPath);
  }
  if (beside(newIndex, kIndexFile) && KvCheckIfFile(newIndex.c_str())) {
    filedb::RenameFile(newIndex, CommonPath(kIndexFile));
  }
  unlink(note.c_str());
}

ValList* KvFileUserDB::IndexDataFile(const char* path, const char* /*adminUid*/,
                                     void* cookie, VersitProgressCallback callback) {
  std::unique_ptr<ValList> errors(new ValList());
  std::string dataPath = CommonPath(kDataFile);
  std::string indexPath = CommonPath(kIndexFile);
  std::string searchPath = CommonPath(kSearchFile);
  std::string source = (path != nullptr && *path != '\0') ? path : dataPath;

  if (!KvCheckIfFile(source.c_str())) {
    errors->Append((std::string("Unable to access the data file ") + source).c_str());
    return errors.release();
  }

  try {
    // One indexing at a time: its lock is held to the end. Whatever copies
    // and indexes lie beside the data now were left by indexings that died
    // (killed, or their browser gone), so they are removed first.
    KvLockGuard indexing(filedb::LockPathOf(dataPath + ".index").c_str(), kKvLockExclusive);
    FinishInterruptedSwap();
    RemoveLeftoverCopies({dataPath, indexPath, searchPath});

    // 1. A private copy of the new data beside the current data file, in the
    // strict form whatever vCard version the source was written in.
    VCardImporter importer;
    std::string copyPath;
    {
      std::unique_ptr<KvLockGuard> lock;
      if (source == dataPath) {
        lock.reset(new KvLockGuard(filedb::LockPathOf(dataPath).c_str(), kKvLockShared));
      }
      copyPath = filedb::WriteBeside(dataPath, [&](FILE* fp) { ConvertInto(source, fp, &importer); });
    }
    filedb::TempFile copy(copyPath);

    // 2. Read every card of the copy and write where it starts to a new
    // index beside the current one, and its search entry to the runs.
    static const int kKeep[] = {kVCardUID, kVCardFN, kVCardN, kVCardEmail, -1};
    SearchRuns people(CommonPath(""));
    std::vector<std::string> candidates;
    VersitFile reader;
    if (!reader.Open(copy.Path().c_str(), true)) {
      filedb::ThrowSystemError(__LINE__, "Unable to open", copy.Path(), errno);
    }
    struct stat copyStat;
    UidFilter filter(fstat(fileno(reader.GetStream()), &copyStat) == 0 ? copyStat.st_size : 0);
    // The accounts, each marked once its person is read, so that those left
    // without one are counted without loading the new index afterwards.
    // The count is a notice only: accounts that cannot be read do not stop
    // the indexing.
    std::unordered_map<std::string, bool> accountFound;
    try {
      for (const std::string& uid : AccountUids()) accountFound.emplace(Lower(uid), false);
    } catch (KvError* e) {
      filedb::ErrorOwner owned(e);
    }
    int count = 0;
    int indexed = 0;
    filedb::TempFile newIndex(filedb::WriteBeside(indexPath, [&](FILE* fp) {
      fputs("BEGIN:vNameList\n", fp);
      try {
        for (;;) {
          long offset = reader.GetVCardFileOffset();
          std::unique_ptr<VCard> card(reader.ScanVCardFromFile(kKeep));
          if (!card) break;
          ++count;
          VCardEntry* uid = card->GetEntry(kVCardUID);
          std::string where = "The card is number " + std::to_string(count) +
                              " in the file, ending at line " +
                              std::to_string(reader.GetLineNumber());
          if (uid == nullptr || uid->value == nullptr || StringIsEmpty(uid->value)) {
            errors->Append(uid == nullptr ? "UID field not found in versit file"
                                          : "UID field is empty in versit file");
            errors->Append(where.c_str());
            break;
          }
          if (!filedb::IsOneLine(uid->value) || strchr(uid->value, ':') != nullptr) {
            errors->Append((std::string("The UID ") + uid->value +
                            " holds a character a UID may not hold (':')")
                               .c_str());
            errors->Append(where.c_str());
            break;
          }
          std::string key = Lower(uid->value);
          if (filter.Add(key)) candidates.push_back(key);
          if (!accountFound.empty()) {
            auto account = accountFound.find(key);
            if (account != accountFound.end()) account->second = true;
          }
          fprintf(fp, "%s:%ld\n", uid->value, offset);
          ++indexed;
          people.Add(filedb::SearchEntryOf(card.get()));
          if (count % kProgressEvery == 0) {
            Report(callback, cookie, count, kRecordsProcessed, nullptr);
          }
        }
      } catch (KvError* e) {
        filedb::ErrorOwner owned(e);
        std::unique_ptr<ValList> lines = filedb::MessagesOf(e);
        errors->Add(lines.get());
      }
      fputs("END:vNameList\n", fp);
    }));
    reader.Close();
    // Reading stops at the first error; a UID given twice before it is
    // the first fault of the file.
    if (!candidates.empty()) {
      std::string twice = FindDuplicateUid(newIndex.Path(), indexed, candidates);
      if (!twice.empty()) {
        errors.reset(new ValList());
        errors->Append(twice.c_str());
      }
    }
    if (errors->GetCount() > 0) return errors.release();
    if (count == 0) {
      errors->Append((std::string("The data file ") + source +
                      " holds no vCards; the directory was not changed")
                         .c_str());
      return errors.release();
    }
    Report(callback, cookie, count, kRecordsProcessed, nullptr);
    for (const std::string& line : importer.ReportLines()) {
      std::vector<char> text(line.begin(), line.end());
      text.push_back('\0');
      Report(callback, cookie, -1, text.data(), nullptr);
    }

    // 3. The index and the search file beside the current ones, then all
    // three swapped in together. The swap note names the new data and index
    // first, so that a swap cut short (the process killed between the
    // renames) is completed by the next reader instead of leaving new data
    // with the old index; a search file older than the data is rebuilt on
    // its first use.
    filedb::TempFile newSearch(
        filedb::WriteBeside(searchPath, [&](FILE* fp) { people.WriteTo(fp); }));
    {
      KvLockGuard lock(filedb::LockPathOf(dataPath).c_str(), kKvLockExclusive);
      std::string note = CommonPath(kSwapNote);
      filedb::ReplaceFileAtomically(note, [&](FILE* fp) {
        fprintf(fp, "%s\n%s\n", copy.Path().c_str(), newIndex.Path().c_str());
      });
      filedb::RenameFile(copy.Path(), dataPath);
      copy.Keep();
      filedb::RenameFile(newIndex.Path(), indexPath);
      newIndex.Keep();
      unlink(note.c_str());
      filedb::RenameFile(newSearch.Path(), searchPath);
      newSearch.Keep();
    }

    // Accounts of people the new data no longer holds cannot log in; say how
    // many there are, so that they can be removed.
    int orphans = 0;
    for (const auto& account : accountFound) orphans += account.second ? 0 : 1;
    if (orphans > 0) {
      std::string text = std::to_string(orphans) +
                         (orphans == 1 ? " account now has" : " accounts now have") +
                         " no person in the directory (kvfiledb accounts prune removes them)";
      Report(callback, cookie, -1, &text[0], nullptr);
    }
  } catch (KvError* e) {
    filedb::ErrorOwner owned(e);
    std::unique_ptr<ValList> lines = filedb::MessagesOf(e);
    errors->Add(lines.get());
    return errors.release();
  }
  return nullptr;
}

char* KvFileUserDB::CopyPhotos(const char* topDir, const char* srcDir,
                               KvConfigDB* /*config*/, VersitProgressCallback callback,
                               void* cookie) {
  std::string top = (topDir != nullptr && *topDir != '\0') ? topDir : Top();
  if (top.empty()) return strdup("The installation's top directory is not known");
  if (srcDir == nullptr || !KvCheckIfDirectory(srcDir)) {
    return strdup((std::string(srcDir ? srcDir : "") +
                   " is not a directory on the server machine!")
                      .c_str());
  }
  std::string dest = top + "/data/photos";
  if (!KvCheckIfDirectory(dest.c_str()) && mkdir(dest.c_str(), 0755) != 0 &&
      errno != EEXIST) {
    return strdup((std::string("Unable to create ") + dest + ": " + strerror(errno)).c_str());
  }
  DIR* dir = opendir(srcDir);
  if (dir == nullptr) {
    return strdup((std::string("Unable to read ") + srcDir + ": " + strerror(errno)).c_str());
  }
  std::unique_ptr<DIR, int (*)(DIR*)> closer(dir, closedir);

  int copied = 0;
  ValList skipped;
  try {
    while (struct dirent* ent = readdir(dir)) {
      std::string name = ent->d_name;
      std::string base;
      if (name.empty() || name[0] == '.' || !IsPhotoName(name, &base)) continue;
      std::string from = std::string(srcDir) + "/" + name;
      if (!KvCheckIfFile(from.c_str())) continue;
      std::string uid = KnownUid(base.c_str());
      if (uid.empty()) {
        skipped.Append(name.c_str());
        continue;
      }
      std::string to = dest + "/" + uid + Lower(name.substr(base.size()));
      KvLockGuard lock(filedb::LockPathOf(to).c_str(), kKvLockExclusive);
      filedb::ReplaceFileAtomically(to, [&](FILE* fp) { CopyInto(from, fp); });
      ++copied;
      if (copied % kPhotoProgressEvery == 0) Report(callback, cookie, copied, nullptr, nullptr);
    }
  } catch (KvError* e) {
    filedb::ErrorOwner owned(e);
    std::unique_ptr<ValList> lines = filedb::MessagesOf(e);
    std::string text;
    for (ValListItem* item = lines->GetFirst(); item; item = item->next) {
      if (!text.empty()) text += " - ";
      text += item->value;
    }
    return strdup(text.c_str());
  }
  if (skipped.GetCount() > 0) {
    char message[] = "Photographs whose names match no person were not copied:";
    Report(callback, cookie, -1, message, &skipped);
  }
  Report(callback, cookie, copied, nullptr, nullptr);
  return nullptr;
}
