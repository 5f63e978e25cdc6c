// Versit files: reading cards one at a time or all at once, and writing the
// UID index of a file in file order or ordered by a property.
#include "VersitFile.h"

#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "CardChain.h"
#include "VersitError.h"
#include "VersitParser.h"

namespace {

const char kNestedBegin[] = "BEGIN within a BEGIN not allowed in a versit card";
const char kNoBegin[] = "BEGIN not found in versit card";
const char kNoEnd[] = "BEGIN without END in versit card";
const char kOutside[] = "Text outside BEGIN and END in versit card";
const char kAtLine[] = "Error reading versit card at line number ";
const char kRethrown[] = "Error rethrown in GetVCardFromFile";
const char kNoUid[] = "UID field not found in versit file";
const char kEmptyUid[] = "UID field is empty in versit file";
char kRecordsProcessed[] = " records processed";

constexpr int kProgressEvery = 350;

void ReportCount(VersitProgressCallback callback, void* cookie, int count) {
  if (callback == nullptr) return;
  CallbackProgress progress;
  progress.Init(count, kRecordsProcessed, nullptr);
  callback(cookie, &progress);
}

void ReportMessages(VersitProgressCallback callback, void* cookie, ValList* messages) {
  if (callback == nullptr || messages->count == 0) return;
  CallbackProgress progress;
  progress.Init(-1, nullptr, messages);
  callback(cookie, &progress);
}

// Reads the remaining cards of file one at a time, keeping the entries with
// the ids in keep, calling visit with each card and the offset it began at,
// and reports every kProgressEvery cards. The result is how many cards were
// read.
template <typename Visit>
int ForEachCard(VersitFile* file, const int* keep, VersitProgressCallback callback,
                void* cookie, Visit visit) {
  int count = 0;
  long position = file->GetVCardFileOffset();
  long next = position;
  while (VCard* read = file->ScanVCardFromFile(keep, &next)) {
    std::unique_ptr<VCard> card(read);
    ++count;
    visit(*card, position);
    if (count % kProgressEvery == 0) ReportCount(callback, cookie, count);
    position = next;
  }
  return count;
}

// True when text begins with word (any case) followed by ':', ';' or a blank.
bool IsWord(const char* text, const char* word) {
  size_t n = strlen(word);
  return strncasecmp(text, word, n) == 0 &&
         (text[n] == ':' || text[n] == ';' || text[n] == ' ' || text[n] == '\t');
}

// ADR and ORG in their one-line readable forms.
void MakeReadable(VCardEntry* entry) {
  if (entry->id != kVCardAdr && entry->id != kVCardOrg) return;
  char* readable = entry->id == kVCardAdr ? entry->FormatAdr() : entry->FormatOrg();
  if (readable == nullptr) return;
  free(entry->value);
  entry->value = readable;
}

// Adds to an error met while reading a card the line it was met on (a
// format error) or where it passed (any other).
void NoteWhere(KvError* e, uint32_t lineNumber) {
  if (e->GetKind() == kKvErrorParse) {
    VERSIT_ADD_USER_LINE(e, kAtLine + std::to_string(lineNumber));
  } else {
    VERSIT_ADD_TRACE_LINE(e, kRethrown);
  }
}

struct FreeDeleter {
  void operator()(char* p) const { free(p); }
};
using HeapText = std::unique_ptr<char, FreeDeleter>;

}  // namespace

// What ScanVCardFromFile keeps between cards: its own read-ahead buffer of
// the file (lines are found with memchr and parsed in place, with no copy
// and no stdio call per line), and the property names already read, so that
// a name seen before is not parsed again (a file repeats a few dozen names
// on every card). While the buffer is in use the stream stands ahead of the
// caller's position; every other way of reading or moving first gives the
// read-ahead back (DropReadAhead).
struct VersitFile::ScanState {
  static constexpr size_t kMaxNames = 1024;
  static constexpr size_t kBlock = 64 * 1024;
  // A name's id, and the entry it parses to (without its value), which a
  // kept line of that name copies.
  struct Parsed {
    int id;
    std::unique_ptr<VCardEntry> prototype;
  };
  struct Known {
    std::string name;
    Parsed* parsed;
  };
  std::vector<char> buffer;
  size_t begin = 0;  // the next line starts here
  size_t end = 0;    // bytes read into the buffer
  long base = 0;     // the file offset of buffer[0]
  bool active = false;
  bool atEnd = false;
  bool sawNul = false;
  std::unordered_map<std::string, Parsed> names;
  // The name of the n-th line of the last card: the next card most likely
  // has the same there, and a comparison is cheaper than a look-up.
  std::vector<Known> byLine;

  long Position() const { return base + static_cast<long>(begin); }

  // The next line, without its newline and ended by a NUL written over it,
  // and the number of bytes it took in the file. False at the end.
  bool NextLine(FILE* stream, char** line, size_t* length, size_t* taken) {
    if (!active) {
      long at = ftell(stream);
      base = at < 0 ? 0 : at;
      begin = end = 0;
      atEnd = sawNul = false;
      active = true;
      if (buffer.empty()) buffer.resize(kBlock);
    }
    for (;;) {
      char* start = buffer.data() + begin;
      size_t left = end - begin;
      char* newline = static_cast<char*>(memchr(start, '\n', left));
      if (newline != nullptr || (atEnd && left > 0)) {
        size_t size = newline != nullptr ? static_cast<size_t>(newline - start) : left;
        *taken = newline != nullptr ? size + 1 : size;
        start[size] = '\0';  // the buffer always keeps a byte spare for this
        *line = start;
        *length = size;
        begin += *taken;
        return true;
      }
      if (atEnd) return false;
      if (begin > 0) {
        memmove(buffer.data(), start, left);
        base += static_cast<long>(begin);
        begin = 0;
        end = left;
      }
      if (buffer.size() - end < kBlock / 2) buffer.resize(buffer.size() * 2);
      size_t got = fread(buffer.data() + end, 1, buffer.size() - end - 1, stream);
      if (got == 0) atEnd = true;
      if (memchr(buffer.data() + end, '\0', got) != nullptr) sawNul = true;
      end += got;
    }
  }
};

// Puts the stream back where the scanner's caller stands, for any reading
// or moving that is not the scanner's own.
void VersitFile::DropReadAhead() {
  if (scan == nullptr || !scan->active) return;
  scan->active = false;
  if (stream != nullptr) fseek(stream, scan->Position(), SEEK_SET);
}

VersitFile::VersitFile() : raw(false), lineNumber(UINT32_MAX), cards(nullptr), stream(nullptr) {}

// Releasing the stream here as well keeps a forgotten Close from leaking the
// descriptor; nothing can reach the stream once the object is gone.
VersitFile::~VersitFile() {
  DeleteCards();
  if (stream != nullptr) fclose(stream);
  delete scan;
}

void VersitFile::DeleteCards() {
  CardChain::DeleteAll(cards);
  cards = nullptr;
}

KvBoolean VersitFile::Open(const char* path, KvBoolean raw) {
  DeleteCards();
  if (scan != nullptr) scan->active = false;
  if (stream != nullptr) {
    fclose(stream);
    stream = nullptr;
  }
  this->raw = raw;
  lineNumber = UINT32_MAX;
  if (path == nullptr) return false;
  stream = fopen(path, "r");
  return stream != nullptr;
}

KvBoolean VersitFile::OpenForWriting(const char* path) {
  DeleteCards();
  if (scan != nullptr) scan->active = false;
  if (stream != nullptr) {
    fclose(stream);
    stream = nullptr;
  }
  lineNumber = UINT32_MAX;
  if (path == nullptr) return false;
  stream = fopen(path, "w");
  return stream != nullptr;
}

KvBoolean VersitFile::Close() {
  DeleteCards();
  if (scan != nullptr) scan->active = false;
  if (stream == nullptr) return true;
  int rc = fclose(stream);
  stream = nullptr;
  return rc == 0;
}

void VersitFile::IncrementLineNumber() {
  lineNumber = (lineNumber == UINT32_MAX) ? 1 : lineNumber + 1;
}

KvBoolean VersitFile::PositionVCardFile(int offset) {
  if (stream == nullptr) return false;
  if (scan != nullptr) scan->active = false;
  return fseek(stream, offset, SEEK_SET) == 0;
}

long VersitFile::GetVCardFileOffset() const {
  if (stream == nullptr) return -1;
  if (scan != nullptr && scan->active) return scan->Position();
  return ftell(stream);
}

VCard* VersitFile::GetVCardFromFile() {
  if (stream == nullptr) return nullptr;
  DropReadAhead();
  auto card = std::make_unique<VCard>();
  VCardEntry** tail = &card->firstEntry;
  bool begun = false;
  String line;
  try {
    for (;;) {
      line.Cleanup();
      if (!line.GetField(stream)) {
        // A card cut off after its BEGIN line is reported, not dropped.
        if (begun) VERSIT_PARSE_ERROR(kNoEnd);
        return nullptr;
      }
      if (StringIsEmpty(line.GetBuffer())) continue;
      IncrementLineNumber();
      // Outside a card only a BEGIN line, or an END line that is reported
      // below, may stand.
      if (!begun) {
        const char* text = line.CStr();
        while (*text == ' ' || *text == '\t') ++text;
        if (!IsWord(text, "BEGIN") && !IsWord(text, "END")) VERSIT_PARSE_ERROR(kOutside);
      }

      char* rawName = nullptr;
      char* rawValue = nullptr;
      BreakLine(line.CStr(), &rawName, &rawValue);
      HeapText name(rawName);
      HeapText value(rawValue);
      std::unique_ptr<VCardEntry> entry(VCardEntry::ParsePropertyName(name.get()));
      if (entry->id == kVCardIgnored) continue;

      entry->value = value.release();
      if (!raw) MakeReadable(entry.get());

      if (entry->id == kVCardBegin) {
        if (begun) VERSIT_PARSE_ERROR(kNestedBegin);
        begun = true;
        continue;
      }
      if (entry->id == kVCardEnd) {
        if (!begun) VERSIT_PARSE_ERROR(kNoBegin);
        return card.release();
      }
      *tail = entry.release();
      tail = &(*tail)->next;
    }
  } catch (KvError* e) {
    NoteWhere(e, lineNumber);
    throw;
  }
}

VCard* VersitFile::ScanVCardFromFile(const int* keep, long* consumed) {
  if (stream == nullptr) return nullptr;
  if (scan == nullptr) scan = new ScanState();
  auto card = std::make_unique<VCard>();
  VCardEntry** tail = &card->firstEntry;
  bool begun = false;
  size_t lineInCard = 0;
  try {
    for (;;) {
      char* text;
      size_t n;
      size_t taken;
      if (!scan->NextLine(stream, &text, &n, &taken)) {
        if (begun) VERSIT_PARSE_ERROR(kNoEnd);
        return nullptr;
      }
      if (consumed != nullptr) *consumed += static_cast<long>(taken);
      // The line as GetVCardFromFile sees it: up to a NUL, without its end.
      if (scan->sawNul) n = strlen(text);
      while (n > 0 && (text[n - 1] == '\n' || text[n - 1] == '\r')) --n;
      text[n] = '\0';
      bool blankFirst = *text == ' ' || *text == '\t' || *text == '\r';
      if (n == 0 || (blankFirst && StringIsEmpty(text))) continue;
      IncrementLineNumber();
      if (!begun) {
        const char* word = text;
        while (*word == ' ' || *word == '\t') ++word;
        if (!IsWord(word, "BEGIN") && !IsWord(word, "END")) VERSIT_PARSE_ERROR(kOutside);
      }

      // The name: the one this line had in the last card when the line
      // starts with it and a colon, else looked up or parsed.
      ScanState::Known* last = nullptr;
      if (lineInCard < ScanState::kMaxNames) {
        if (lineInCard == scan->byLine.size()) scan->byLine.push_back({std::string(), nullptr});
        last = &scan->byLine[lineInCard];
      }
      ++lineInCard;
      ScanState::Parsed* parsed;
      ScanState::Parsed unlisted;
      size_t length;
      if (last != nullptr && last->parsed != nullptr && n > last->name.size() &&
          text[last->name.size()] == ':' &&
          memcmp(last->name.data(), text, last->name.size()) == 0) {
        parsed = last->parsed;
        length = last->name.size();
      } else {
        const char* colon = text + strcspn(text, ":\r");
        if (*colon != ':') {
          char* rawName = nullptr;
          char* rawValue = nullptr;
          BreakLine(text, &rawName, &rawValue);  // throws its error
          free(rawName);
          free(rawValue);
        }
        length = static_cast<size_t>(colon - text);
        std::string name(text, length);
        auto known = scan->names.find(name);
        if (known != scan->names.end()) {
          parsed = &known->second;
        } else {
          std::unique_ptr<VCardEntry> entry(VCardEntry::ParsePropertyName(name.c_str()));
          unlisted.id = entry->id;
          unlisted.prototype = std::move(entry);
          parsed = &unlisted;
          if (scan->names.size() < ScanState::kMaxNames) {
            parsed = &scan->names.emplace(name, std::move(unlisted)).first->second;
          }
        }
        if (last != nullptr) {
          if (parsed == &unlisted) {
            *last = {std::string(), nullptr};
          } else {
            *last = {std::move(name), parsed};
          }
        }
      }
      int id = parsed->id;
      if (id == kVCardIgnored) continue;
      if (id == kVCardBegin) {
        if (begun) VERSIT_PARSE_ERROR(kNestedBegin);
        begun = true;
        continue;
      }
      if (id == kVCardEnd) {
        if (!begun) VERSIT_PARSE_ERROR(kNoBegin);
        return card.release();
      }
      const int* wanted = keep;
      while (*wanted >= 0 && *wanted != id) ++wanted;
      if (*wanted < 0) continue;

      // A kept line is read as GetVCardFromFile reads it: the name's entry
      // and the value after the colon and its leading blanks.
      std::unique_ptr<VCardEntry> entry(parsed->prototype->Copy());
      const char* value = text + length + 1;
      while (*value == ' ' || *value == '\t') ++value;
      if (!StringIsEmpty(value)) entry->value = strdup(value);
      if (!raw) MakeReadable(entry.get());
      *tail = entry.release();
      tail = &(*tail)->next;
    }
  } catch (KvError* e) {
    NoteWhere(e, lineNumber);
    throw;
  }
}

void VersitFile::ReadInAllCards() {
  if (cards != nullptr || stream == nullptr) return;
  if (scan != nullptr) scan->active = false;
  rewind(stream);
  CardChain chain;
  while (VCard* card = GetVCardFromFile()) chain.Append(card);
  cards = chain.Release();
}

VCard* VersitFile::FindCardFromList(const char* value, int id) const {
  if (value == nullptr) return nullptr;
  for (VCard* card = cards; card != nullptr; card = card->next) {
    const VCardEntry* entry = card->GetEntry(id);
    if (entry != nullptr && entry->value != nullptr && strcasecmp(entry->value, value) == 0) {
      return card;
    }
  }
  return nullptr;
}

// Cards without a usable UID cannot be found through the index; they are
// left out and named to the caller instead of stopping the whole run, so
// that one bad record does not leave a large directory without an index.
namespace {

// An index file written item by item beside its final path and renamed into
// place once complete, so that indexing holds no more than one card in
// memory whatever the file's size, and a failure leaves the old index.
class StreamedIndex {
 public:
  explicit StreamedIndex(const char* indexPath) : path_(indexPath ? indexPath : "") {
    std::vector<char> name(path_.begin(), path_.end());
    const char suffix[] = ".XXXXXX";
    name.insert(name.end(), suffix, suffix + sizeof suffix);
    int fd = path_.empty() ? -1 : mkstemp(name.data());
    if (fd < 0) KV_THROW(String("Unable to open file ") + path_.c_str() + "for writing");
    tmp_ = name.data();
    // The mode fopen would give: the old file's, else the default one.
    struct stat old;
    mode_t mode;
    if (stat(path_.c_str(), &old) == 0) {
      mode = old.st_mode & 07777;
    } else {
      mode_t mask = umask(0);
      umask(mask);
      mode = 0666 & ~mask;
    }
    fp_ = fchmod(fd, mode) == 0 ? fdopen(fd, "w") : nullptr;
    if (fp_ == nullptr) {
      close(fd);
      unlink(tmp_.c_str());
      KV_THROW(String("Unable to open file ") + path_.c_str() + "for writing");
    }
    fputs("BEGIN:vNameList\n", fp_);
  }
  ~StreamedIndex() {
    if (fp_ != nullptr) {
      fclose(fp_);
      unlink(tmp_.c_str());
    }
  }
  StreamedIndex(const StreamedIndex&) = delete;
  StreamedIndex& operator=(const StreamedIndex&) = delete;

  // One item as ValNameList::Write writes it (an offset needs no escaping),
  // gathered into large writes.
  void Add(const char* uid, long offset) {
    char number[24];
    number[0] = ':';
    char* stop = std::to_chars(number + 1, number + sizeof number - 1, offset).ptr;
    *stop++ = '\n';
    pending_.append(uid).append(number, static_cast<size_t>(stop - number));
    if (pending_.size() >= kFlushAt) Flush();
  }

  void Finish() {
    Flush();
    fputs("END:vNameList\n", fp_);
    bool ok = fflush(fp_) == 0 && ferror(fp_) == 0;
    if (fclose(fp_) != 0) ok = false;
    fp_ = nullptr;
    if (!ok || rename(tmp_.c_str(), path_.c_str()) != 0) {
      unlink(tmp_.c_str());
      KV_THROW(String("Unable to close file ") + path_.c_str() + "after writing");
    }
  }

 private:
  static constexpr size_t kFlushAt = 64 * 1024;
  void Flush() {
    fwrite(pending_.data(), 1, pending_.size(), fp_);
    pending_.clear();
  }

  std::string path_;
  std::string tmp_;
  std::string pending_;
  FILE* fp_ = nullptr;
};

}  // namespace

void VersitFile::IndexFile(const char* indexPath, VersitProgressCallback callback,
                           void* cookie) {
  StreamedIndex index(indexPath);
  ValList skipped;
  static const int kKeep[] = {kVCardUID, -1};
  int count = ForEachCard(this, kKeep, callback, cookie, [&](const VCard& card, long position) {
    const VCardEntry* uid = card.GetEntry(kVCardUID);
    if (uid != nullptr && uid->value != nullptr) {
      index.Add(uid->value, position);
    } else {
      std::string why = uid == nullptr ? "has no UID" : "has an empty UID";
      skipped.Append(("Card ending at line number " + std::to_string(lineNumber) + " " + why +
                      " and was left out of the index")
                         .c_str());
    }
  });
  ReportMessages(callback, cookie, &skipped);
  ReportCount(callback, cookie, count);
  index.Finish();
}

namespace {

struct KeyedItem {
  std::string key;
  std::string uid;
  long position;
  size_t sequence;
};

}  // namespace

void VersitFile::IndexFileOn(const char* indexPath, int id, VersitProgressCallback callback,
                             void* cookie) {
  std::vector<KeyedItem> items;
  const int keep[] = {kVCardUID, id, -1};
  int count = ForEachCard(this, keep, callback, cookie, [&](const VCard& card, long position) {
    const VCardEntry* uid = card.GetEntry(kVCardUID);
    if (uid == nullptr) VERSIT_PARSE_ERROR(kNoUid);
    if (uid->value == nullptr) VERSIT_PARSE_ERROR(kEmptyUid);
    const VCardEntry* keyEntry = card.GetEntry(id);
    const char* key = (keyEntry != nullptr && keyEntry->value != nullptr) ? keyEntry->value : "";
    items.push_back(KeyedItem{key, uid->value, position, items.size()});
  });
  ReportCount(callback, cookie, count);

  // Ascending by key without regard to case; among equal keys the card read
  // later comes first (the order the list's insertion sort gives).
  std::sort(items.begin(), items.end(), [](const KeyedItem& a, const KeyedItem& b) {
    int order = strcasecmp(a.key.c_str(), b.key.c_str());
    if (order != 0) return order < 0;
    return a.sequence > b.sequence;
  });
  ValNameList index;
  for (const KeyedItem& item : items) {
    index.Append(item.uid.c_str(), std::to_string(item.position).c_str());
  }
  index.Write(indexPath);
}
