// Searching people of the file directory by a prefix of their uid, name or
// e-mail address, through the search file that indexing writes.
#include "PeopleSearch.h"

#include <fcntl.h>
#include <locale.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wctype.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string_view>

#include "KvFileUserDB.h"
#include "ListFile.h"

namespace filedb {

namespace {

const char kKeySeparator = '\x1f';

std::string Trim(const char* text) {
  if (text == nullptr) return "";
  std::string v = text;
  std::string::size_type b = v.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return "";
  return v.substr(b, v.find_last_not_of(" \t\r\n") - b + 1);
}

// One field of a line: control characters (tab, line ends, the key
// separator) become blanks.
std::string Field(const std::string& text) {
  std::string out = text;
  for (char& c : out) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
  }
  return out;
}

// Freed when the plug-in is unloaded, not only at exit.
class Utf8LocaleHolder {
 public:
  Utf8LocaleHolder() : locale_(newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0))) {}
  ~Utf8LocaleHolder() {
    if (locale_ != static_cast<locale_t>(0)) freelocale(locale_);
  }
  Utf8LocaleHolder(const Utf8LocaleHolder&) = delete;
  Utf8LocaleHolder& operator=(const Utf8LocaleHolder&) = delete;
  locale_t Get() const { return locale_; }

 private:
  locale_t locale_;
};

locale_t Utf8Locale() {
  static Utf8LocaleHolder holder;
  return holder.Get();
}

void PutUtf8(unsigned long cp, std::string* out) {
  if (cp < 0x80) {
    *out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    *out += static_cast<char>(0xc0 | (cp >> 6));
    *out += static_cast<char>(0x80 | (cp & 0x3f));
  } else if (cp < 0x10000) {
    *out += static_cast<char>(0xe0 | (cp >> 12));
    *out += static_cast<char>(0x80 | ((cp >> 6) & 0x3f));
    *out += static_cast<char>(0x80 | (cp & 0x3f));
  } else {
    *out += static_cast<char>(0xf0 | (cp >> 18));
    *out += static_cast<char>(0x80 | ((cp >> 12) & 0x3f));
    *out += static_cast<char>(0x80 | ((cp >> 6) & 0x3f));
    *out += static_cast<char>(0x80 | (cp & 0x3f));
  }
}

}  // namespace

std::string CardDisplayName(VCard* card) {
  if (card == nullptr) return "";
  std::string name = Trim(card->GetEntry(kVCardFN) ? card->GetEntry(kVCardFN)->value : nullptr);
  if (!name.empty()) return name;
  VCardEntry* n = card->GetEntry(kVCardN);
  if (n == nullptr) return "";
  std::unique_ptr<char, decltype(&free)> formatted(n->FormatN(), &free);
  // The readable form keeps a blank for every empty part; one is enough.
  std::string collapsed;
  for (char c : Trim(formatted.get())) {
    if (c == ' ' && !collapsed.empty() && collapsed.back() == ' ') continue;
    collapsed += c;
  }
  return collapsed;
}

std::string CardEmail(VCard* card) {
  if (card == nullptr) return "";
  VCardEntry* mail = card->GetEntry(kVCardEmail, kTypeInternet);
  if (mail == nullptr || Trim(mail->value).empty()) mail = card->GetEntry(kVCardEmail);
  return mail == nullptr ? "" : Trim(mail->value);
}

SearchEntry SearchEntryOf(VCard* card) {
  SearchEntry entry;
  VCardEntry* uid = card ? card->GetEntry(kVCardUID) : nullptr;
  entry.uid = uid && uid->value ? uid->value : "";
  entry.name = CardDisplayName(card);
  entry.email = CardEmail(card);
  return entry;
}

std::string FoldCase(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  locale_t locale = Utf8Locale();
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
  const unsigned char* end = p + text.size();
  while (p < end) {
    unsigned char c = *p;
    int length = c < 0x80 ? 1 : (c & 0xe0) == 0xc0 ? 2 : (c & 0xf0) == 0xe0 ? 3
                             : (c & 0xf8) == 0xf0 ? 4 : 0;
    bool valid = length > 0 && end - p >= length;
    unsigned long cp = length == 1 ? c : length == 2 ? (c & 0x1f) : length == 3 ? (c & 0x0f)
                                                                                : (c & 0x07);
    for (int i = 1; valid && i < length; ++i) {
      if ((p[i] & 0xc0) != 0x80) valid = false;
      cp = (cp << 6) | (p[i] & 0x3f);
    }
    if (!valid) {
      out += static_cast<char>(c);
      ++p;
      continue;
    }
    if (length == 1) {
      out += static_cast<char>(tolower(c));
    } else {
      wint_t lower = locale != static_cast<locale_t>(0)
                         ? towlower_l(static_cast<wint_t>(cp), locale)
                         : static_cast<wint_t>(cp);
      PutUtf8(static_cast<unsigned long>(lower), &out);
    }
    p += length;
  }
  return out;
}

std::string SearchSortKey(const SearchEntry& entry) {
  return FoldCase(entry.name) + '\t' + FoldCase(entry.uid);
}

std::string SearchLine(const SearchEntry& e) {
  std::string name = Field(e.name);
  std::string line = Field(e.uid) + '\t' + name + '\t' + Field(e.email) + '\t';
  line += kKeySeparator + FoldCase(Field(e.uid));
  if (!e.email.empty()) line += kKeySeparator + FoldCase(Field(e.email));
  std::string folded = FoldCase(name);
  line += kKeySeparator + folded;
  for (std::string::size_type blank = folded.find(' '); blank != std::string::npos;
       blank = folded.find(' ', blank + 1)) {
    if (blank + 1 < folded.size() && folded[blank + 1] != ' ') {
      line += kKeySeparator + folded.substr(blank + 1);
    }
  }
  line += '\n';
  return line;
}

void WriteSearchFile(FILE* fp, std::vector<SearchEntry>* entries) {
  struct Sorted {
    std::string key;
    const SearchEntry* entry;
  };
  std::vector<Sorted> sorted;
  sorted.reserve(entries->size());
  for (const SearchEntry& e : *entries) sorted.push_back({SearchSortKey(e), &e});
  std::sort(sorted.begin(), sorted.end(),
            [](const Sorted& a, const Sorted& b) { return a.key < b.key; });
  for (const Sorted& s : sorted) {
    std::string line = SearchLine(*s.entry);
    if (fwrite(line.data(), 1, line.size(), fp) != line.size()) KV_THROW("Short write");
  }
}

}  // namespace filedb

namespace {

const char kDataFile[] = "data.vcf";
const char kSearchFile[] = "data.search";

bool Older(const struct stat& a, const struct stat& b) {
  return a.st_mtim.tv_sec < b.st_mtim.tv_sec ||
         (a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec < b.st_mtim.tv_nsec);
}

// A file mapped into memory for reading, unmapped at the end of its scope.
class MappedFile {
 public:
  explicit MappedFile(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) filedb::ThrowSystemError(__LINE__, "Unable to open", path, errno);
    struct stat st;
    int err = fstat(fd, &st) == 0 ? 0 : errno;
    if (err == 0 && st.st_size > 0) {
      size_ = static_cast<size_t>(st.st_size);
      void* map = mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd, 0);
      if (map == MAP_FAILED) {
        err = errno;
        size_ = 0;
      } else {
        data_ = static_cast<const char*>(map);
      }
    }
    close(fd);
    if (err != 0) filedb::ThrowSystemError(__LINE__, "Unable to read", path, err);
  }
  ~MappedFile() {
    if (data_ != nullptr) munmap(const_cast<char*>(data_), size_);
  }
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  std::string_view Text() const { return data_ ? std::string_view(data_, size_) : std::string_view(); }

 private:
  const char* data_ = nullptr;
  size_t size_ = 0;
};

// Writes the search file of the cards of dataPath.
// REQUIRES: the caller holds the data file's exclusive lock.
void WriteSearchFileFor(const std::string& dataPath, const std::string& searchPath) {
  std::vector<filedb::SearchEntry> entries;
  VersitFile reader;
  if (!reader.Open(dataPath.c_str(), 1)) {
    filedb::ThrowSystemError(__LINE__, "Unable to open", dataPath, errno);
  }
  try {
    while (VCard* raw = reader.GetVCardFromFile()) {
      std::unique_ptr<VCard> card(raw);
      filedb::SearchEntry entry = filedb::SearchEntryOf(card.get());
      if (!entry.uid.empty()) entries.push_back(entry);
    }
  } catch (KvError*) {
    reader.Close();
    throw;
  }
  reader.Close();
  filedb::ReplaceFileAtomically(
      searchPath, [&](FILE* fp) { filedb::WriteSearchFile(fp, &entries); });
}

}  // namespace

ValNameList* KvFileUserDB::SearchPeople(const char* prefix, int max) {
  std::string dataPath = CommonPath(kDataFile);
  std::string searchPath = CommonPath(kSearchFile);
  std::unique_ptr<ValNameList> found(new ValNameList());
  struct stat data, search;
  if (stat(dataPath.c_str(), &data) != 0) return found.release();

  if (stat(searchPath.c_str(), &search) != 0 || Older(search, data)) {
    // Data indexed before there was a search file: made once, from the cards.
    KvLockGuard lock(filedb::LockPathOf(dataPath).c_str(), kKvLockExclusive);
    if (stat(dataPath.c_str(), &data) != 0) return found.release();
    if (stat(searchPath.c_str(), &search) != 0 || Older(search, data)) {
      WriteSearchFileFor(dataPath, searchPath);
    }
  }
  // The file is searched where it lies, mapped (it is replaced by renaming,
  // never rewritten in place), under the lock that keeps it whole.
  KvLockGuard lock(filedb::LockPathOf(dataPath).c_str(), kKvLockShared);
  MappedFile mapped(searchPath);
  const std::string_view text = mapped.Text();

  // Control characters are blanks here as in the search file's fields: a
  // line break in the query must not match across lines.
  std::string wanted = filedb::FoldCase(filedb::Field(prefix ? prefix : ""));
  while (!wanted.empty() && wanted.back() == ' ') wanted.pop_back();
  while (!wanted.empty() && wanted.front() == ' ') wanted.erase(0, 1);
  std::string needle = std::string(1, '\x1f') + wanted;
  int limit = max < 0 ? 0 : max;
  // The separator occurs only in the keys, so every hit is a matching line.
  std::string_view::size_type at = 0;
  while (found->GetCount() <= limit) {
    std::string_view::size_type hit = text.find(needle, at);
    if (hit == std::string_view::npos) break;
    std::string_view::size_type begin = text.rfind('\n', hit);
    begin = begin == std::string_view::npos ? 0 : begin + 1;
    std::string_view::size_type end = text.find('\n', hit);
    if (end == std::string_view::npos) end = text.size();
    std::string_view::size_type t1 = text.find('\t', begin);
    std::string_view::size_type t2 = text.find('\t', t1 + 1);
    std::string_view::size_type t3 = text.find('\t', t2 + 1);
    if (t1 != std::string_view::npos && t1 < t2 && t2 < t3 && t3 < hit) {
      std::string uid(text.substr(begin, t1 - begin));
      std::string name(text.substr(t1 + 1, t2 - t1 - 1));
      std::string email(text.substr(t2 + 1, t3 - t2 - 1));
      found->Append(uid.c_str(), name.empty() ? uid.c_str() : name.c_str(),
                    email.empty() ? nullptr : email.c_str());
    }
    at = end;
  }
  return found.release();
}
