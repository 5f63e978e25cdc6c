// The file back end's user directory: opening, person cards, template cards,
// field names, set-up state, logins and per-person attributes.
#include "KvFileUserDB.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>

#include "FieldLabels.h"
#include "ListFile.h"
#include "PeopleSearch.h"

using filedb::ErrorOwner;
using filedb::ReadValNameListFile;

namespace {

const char kDataFile[] = "data.vcf";
const char kIndexFile[] = "data.idx";
const char kCardTemplateFile[] = "cardtemplate.lst";
const char kPersonTemplateFile[] = "persontemplate.lst";
const char kLoginsFile[] = "logins.lst";
const char kUserAttrsFile[] = "userattrs.lst";
const char kFieldsFile[] = "addinfo.lst";

struct TemplateRow {
  const char* field;
  const char* heading;
};

// The templates of a new installation.
const TemplateRow kDefaultCardTemplate[] = {
    {"FN", "Name"},
    {"TITLE", "Title"},
    {"ORG", "Organization"},
    {"TEL;WORK;VOICE", "Phone"},
    {"EMAIL;INTERNET", "E-mail"},
    {nullptr, nullptr},
};
const TemplateRow kDefaultPersonTemplate[] = {
    {"FN", "Name"},
    {"TITLE", "Title"},
    {"ORG", "Organization"},
    {"ADR;WORK", "Address"},
    {"TEL;WORK;VOICE", "Phone"},
    {"TEL;WORK;FAX", "Fax"},
    {"TEL;CELL", "Mobile"},
    {"EMAIL;INTERNET", "E-mail"},
    {nullptr, nullptr},
};

// mkdir -p; true when the directory exists afterwards.
bool MakeDirs(const std::string& path) {
  if (KvCheckIfDirectory(path.c_str())) return true;
  std::string::size_type slash = path.rfind('/');
  if (slash != std::string::npos && slash > 0 && !MakeDirs(path.substr(0, slash))) {
    return false;
  }
  return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST;
}

char* Dup(const std::string& s) { return strdup(s.c_str()); }

// A process that asks for more people than this loads the whole index once
// instead of reading the index file for each of them.
const int kSingleLookups = 4;

// Finds uid in the index file at indexPath as ValNameList::Read (with its
// header line) and Lookup would: the first item whose name equals uid without
// regard to case. Reads the file line by line without building the list: a
// page asks for one or two people, and loading the index of a large directory
// costs far more than the page itself. Sets the stored spelling and the
// card's offset (-1 when the item's value is no offset); false when uid is
// not listed or the file cannot be read.
bool FindInIndexFile(const std::string& indexPath, const char* uid, std::string* stored,
                     long* offset) {
  FILE* fp = fopen(indexPath.c_str(), "r");
  if (fp == nullptr) return false;
  std::unique_ptr<FILE, int (*)(FILE*)> closer(fp, fclose);
  const size_t uidLength = strlen(uid);
  char* line = nullptr;
  size_t capacity = 0;
  bool header = true;
  bool continued = false;  // the line carries on the value of the line before
  bool found = false;
  ssize_t got;
  while (!found && (got = getline(&line, &capacity, fp)) >= 0) {
    size_t n = static_cast<size_t>(got);
    while (n > 0 && (line[n - 1] == '\n' || line[n - 1] == '\r')) line[--n] = '\0';
    if (header) {
      header = false;
      continue;
    }
    // A value goes on over the next line when it ends with "=0A=".
    bool more = n >= 4 && strcasecmp(line + n - 4, "=0A=") == 0;
    bool inValue = continued;
    continued = more;
    if (inValue) continue;
    if (strncmp(line, "END:vNameList", 13) == 0) break;
    const char* colon = strchr(line, ':');
    if (colon == nullptr || static_cast<size_t>(colon - line) != uidLength ||
        strncasecmp(line, uid, uidLength) != 0) {
      continue;
    }
    char* end = nullptr;
    errno = 0;
    long value = strtol(colon + 1, &end, 10);
    bool valid = !more && end != colon + 1 && errno == 0 && value >= 0;
    stored->assign(line, uidLength);
    *offset = valid ? value : -1;
    found = true;
  }
  free(line);
  return found;
}

}  // namespace

KvFileUserDB::KvFileUserDB() = default;

KvFileUserDB::~KvFileUserDB() {
  if (data_) data_->Close();
}

int KvFileUserDB::Open(KvConfigDB* config, int /*threadKey*/,
                       KvBoolean /*serverGateway*/) {
  if (config == nullptr) return 0;
  try {
    return OpenAt(config->GetTopKavriDir());
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Unable to open the file directory");
    throw;
  }
}

int KvFileUserDB::OpenAt(const char* topDir) {
  if (topDir == nullptr || *topDir == '\0') return 0;
  top_ = topDir;
  while (top_.size() > 1 && top_.back() == '/') top_.pop_back();
  std::string common = top_ + "/data/common";
  if (!MakeDirs(common)) {
    int err = errno;
    KvError* e = new KvError();
    e->SetKind(kKvErrorUnreachable);
    e->AddLine(__LINE__, KvSourceName(__FILE__),
               String("Unable to create the directory's data folder ") +
                   common.c_str() + ": " + strerror(err),
               0);
    top_.clear();
    throw e;
  }
  return 1;
}

void KvFileUserDB::RequireOpen() const {
  if (top_.empty()) KV_THROW("The file directory is not open");
}

std::string KvFileUserDB::CommonPath(const std::string& name) const {
  RequireOpen();
  return top_ + "/data/common/" + name;
}

void KvFileUserDB::FinishSwapBeforeReading() {
  try {
    FinishInterruptedSwap();
  } catch (KvError* e) {
    // Not ours to finish (another user's files, say): the next indexing
    // will. Reading goes on with what is in place.
    ErrorOwner owned(e);
    for (ValListItem* line = e->GetLines()->GetFirst(); line; line = line->next) {
      if (line->value) fprintf(stderr, "%s\n", line->value);
    }
  }
}

VersitFileWithIndex* KvFileUserDB::Data() {
  FinishSwapBeforeReading();
  std::string path = CommonPath(kDataFile);
  struct stat now;
  if (stat(path.c_str(), &now) != 0) {
    if (data_) data_->Close();
    data_.reset();
    return nullptr;
  }
  if (data_ && now.st_dev == dataStat_.st_dev && now.st_ino == dataStat_.st_ino &&
      now.st_size == dataStat_.st_size && now.st_mtime == dataStat_.st_mtime) {
    return data_.get();
  }
  if (data_) data_->Close();
  data_.reset();

  // The data file and its index are swapped together under this lock.
  KvLockGuard lock(filedb::LockPathOf(path).c_str(), kKvLockShared);
  std::unique_ptr<VersitFileWithIndex> file(new VersitFileWithIndex());
  if (!file->OpenWithIndex(path.c_str(), CommonPath(kIndexFile).c_str(), false)) {
    filedb::ThrowSystemError(__LINE__, "Unable to open the person data", path, errno);
  }
  if (fstat(fileno(file->GetStream()), &dataStat_) != 0) {
    int err = errno;
    file->Close();
    filedb::ThrowSystemError(__LINE__, "Unable to examine the person data", path, err);
  }
  data_ = std::move(file);
  return data_.get();
}

bool KvFileUserDB::UseSingleLookup() {
  if (data_ || singleLookups_ >= kSingleLookups) return false;
  if (singleLookups_++ == 0) FinishSwapBeforeReading();
  return true;
}

VCard* KvFileUserDB::ReadOnePerson(const char* uid) {
  std::string path = CommonPath(kDataFile);
  std::string found;
  long offset = 0;
  VersitFile file;
  {
    // The data file and its index are swapped together under this lock.
    KvLockGuard lock(filedb::LockPathOf(path).c_str(), kKvLockShared);
    if (!KvCheckIfFile(path.c_str()) || !file.Open(path.c_str(), false)) return nullptr;
    if (!FindInIndexFile(CommonPath(kIndexFile), uid, &found, &offset)) return nullptr;
  }
  // As VersitFileWithIndex::GetVCard: a stale offset yields no card.
  if (offset < 0 || offset > INT_MAX || !file.PositionVCardFile(static_cast<int>(offset))) {
    return nullptr;
  }
  std::unique_ptr<VCard> card;
  try {
    card.reset(file.GetVCardFromFile());
  } catch (KvError* e) {
    ErrorOwner owned(e);
    if (e->GetKind() != kKvErrorParse) throw owned.release();
    return nullptr;
  }
  if (!card) return nullptr;
  const VCardEntry* cardUid = card->GetEntry(kVCardUID);
  if (cardUid == nullptr || cardUid->value == nullptr ||
      strcasecmp(cardUid->value, found.c_str()) != 0) {
    return nullptr;
  }
  return card.release();
}

std::string KvFileUserDB::KnownUid(const char* uid) {
  if (uid == nullptr || *uid == '\0') return "";
  if (UseSingleLookup()) {
    std::string path = CommonPath(kDataFile);
    if (!KvCheckIfFile(path.c_str())) return "";
    std::string stored;
    long offset = 0;
    KvLockGuard lock(filedb::LockPathOf(path).c_str(), kKvLockShared);
    return FindInIndexFile(CommonPath(kIndexFile), uid, &stored, &offset) ? stored : "";
  }
  VersitFileWithIndex* data = Data();
  if (data == nullptr || data->GetIndex() == nullptr) return "";
  ValNameListItem* item = data->GetIndex()->Lookup(uid);
  if (item == nullptr || item->name == nullptr) return "";
  return item->name;
}

// Templates ---------------------------------------------------------------

VCard* KvFileUserDB::ReadTemplate(const std::string& file, bool business) {
  std::string path = CommonPath(file);
  std::unique_ptr<VCard> card(new VCard());
  try {
    if (!KvCheckIfFile(path.c_str())) {
      const TemplateRow* row = business ? kDefaultCardTemplate : kDefaultPersonTemplate;
      for (; row->field; ++row) {
        VCardEntry* entry = VCardEntry::ParsePropertyName(row->field);
        entry->SetPropValue(row->heading);
        card->AddEntry(entry);
      }
      return card.release();
    }
    std::unique_ptr<ValNameList> list = ReadValNameListFile(path);
    for (ValNameListItem* item = list->GetFirst(); item; item = item->next) {
      if (item->name == nullptr) continue;
      VCardEntry* entry = VCardEntry::ParsePropertyName(item->name);
      entry->SetPropValue(item->value);
      card->AddEntry(entry);
    }
  } catch (KvError* e) {
    KV_ADD_LINE(e, String("Unable to read the template card ") + path.c_str());
    throw;
  }
  return card.release();
}

KvBoolean KvFileUserDB::WriteTemplate(const std::string& file, VCard* card) {
  if (card == nullptr) KV_THROW("No template card to write");
  std::string path = CommonPath(file);
  try {
    ValNameList list;
    for (VCardEntry* entry = card->firstEntry; entry; entry = entry->next) {
      std::unique_ptr<char, decltype(&free)> name(entry->GetNameAndSubTypes(), &free);
      list.Append(name.get(), entry->value);
    }
    filedb::WriteValNameListFile(path, &list);
  } catch (KvError* e) {
    KV_ADD_LINE(e, String("Unable to write the template card ") + path.c_str());
    throw;
  }
  return 1;
}

VCard* KvFileUserDB::GetCardTemplate() { return ReadTemplate(kCardTemplateFile, true); }
VCard* KvFileUserDB::GetPersonTemplate() {
  return ReadTemplate(kPersonTemplateFile, false);
}
KvBoolean KvFileUserDB::WriteCardTemplate(VCard* card) {
  return WriteTemplate(kCardTemplateFile, card);
}
KvBoolean KvFileUserDB::WritePersonTemplate(VCard* card) {
  return WriteTemplate(kPersonTemplateFile, card);
}

// People ------------------------------------------------------------------

VCard* KvFileUserDB::GetUserCard(const char* uid) {
  if (uid == nullptr || *uid == '\0') return nullptr;
  if (UseSingleLookup()) return ReadOnePerson(uid);
  VersitFileWithIndex* data = Data();
  if (data == nullptr) return nullptr;
  return data->GetVCard(uid);
}

int KvFileUserDB::IsValidUser(const char* uid) { return KnownUid(uid).empty() ? 0 : 1; }

char* KvFileUserDB::GetDisplayName(const char* uid) {
  if (uid == nullptr) return nullptr;
  std::unique_ptr<VCard> card(GetUserCard(uid));
  std::string name = filedb::CardDisplayName(card.get());
  return Dup(name.empty() ? uid : name);
}

char* KvFileUserDB::GetEmail(const char* uid) {
  std::unique_ptr<VCard> card(GetUserCard(uid));
  std::string address = filedb::CardEmail(card.get());
  return address.empty() ? nullptr : Dup(address);
}

char* KvFileUserDB::GetEntryDisplayName(VCardEntry* entry) {
  if (entry == nullptr) return nullptr;
  std::unique_ptr<ValNameList> fields;
  if (entry->id >= kVCardFirstLabel) fields.reset(GetFieldsList());
  std::string label = filedb::FieldLabel(entry, fields.get());
  if (!label.empty()) return Dup(label);
  return entry->GetDisplayRep();
}

KvBoolean KvFileUserDB::IsSetup() {
  return KvCheckIfFile(CommonPath(kDataFile).c_str()) &&
                 KvCheckIfFile(CommonPath(kIndexFile).c_str())
             ? 1
             : 0;
}

void KvFileUserDB::UserLoggedIn(const char* uid) {
  std::string known = KnownUid(uid);
  if (known.empty()) return;
  std::string stamp = std::to_string(static_cast<long long>(time(nullptr)));
  try {
    filedb::UpdateValNameListFile(CommonPath(kLoginsFile), [&](ValNameList& list) {
      list.Replace(known.c_str(), stamp.c_str());
    });
  } catch (KvError* e) {
    // The notice is a record for the administrator; failing to keep it must
    // not refuse the login. Say why on standard error.
    ErrorOwner owned(e);
    for (ValListItem* line = e->GetLines()->GetFirst(); line; line = line->next) {
      if (line->value) fprintf(stderr, "%s\n", line->value);
    }
  }
}

ValNameList* KvFileUserDB::GetUserAttributes(const char* uid) {
  std::unique_ptr<ValNameList> out(new ValNameList());
  if (uid == nullptr) return out.release();
  std::unique_ptr<ValNameList> all = ReadValNameListFile(CommonPath(kUserAttrsFile));
  for (ValNameListItem* item = all->GetFirst(); item; item = item->next) {
    if (item->name == nullptr || item->value == nullptr) continue;
    if (strcasecmp(item->name, uid) != 0) continue;
    const char* eq = strchr(item->value, '=');
    if (eq == nullptr || eq == item->value) continue;
    std::string name(item->value, eq - item->value);
    out->Replace(name.c_str(), eq + 1);
  }
  return out.release();
}

// Additional information fields ---------------------------------------------

ValNameList* KvFileUserDB::GetFieldsList() {
  return ReadValNameListFile(CommonPath(kFieldsFile)).release();
}

KvBoolean KvFileUserDB::WriteFieldsList(ValNameList* fields) {
  if (fields == nullptr) KV_THROW("No fields list to write");
  if (fields->GetCount() % 2 != 0) {
    KV_THROW("The additional information fields must come in pairs of heading and size");
  }
  for (ValNameListItem* item = fields->GetFirst(); item; item = item->next) {
    if (item->name == nullptr || !filedb::IsOneLine(item->name) ||
        strchr(item->name, ':') != nullptr) {
      KV_THROW("An additional information field has no usable name");
    }
  }
  filedb::WriteValNameListFile(CommonPath(kFieldsFile), fields);
  return 1;
}
