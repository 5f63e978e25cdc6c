// The LDAP back end's user directory: opening, people and their cards,
// logins by bind, accounts, photographs, and the console's own lists kept
// under ou=velmoraadmin.
#include "KvLdapUserDB.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "FieldLabels.h"
#include "PersonMapping.h"

using ldapdb::Change;
using ldapdb::Entry;

namespace {

// The bytes of the file at path; false when it cannot be read. (stdio: the
// back end takes the C++ runtime from its host, which carries no streams.)
bool ReadBytes(const std::string& path, std::string* bytes) {
  FILE* in = fopen(path.c_str(), "rb");
  if (in == nullptr) return false;
  bytes->clear();
  char chunk[16384];
  size_t got;
  while ((got = fread(chunk, 1, sizeof chunk, in)) > 0) bytes->append(chunk, got);
  bool ok = ferror(in) == 0;
  fclose(in);
  return ok;
}

const char kDataOu[] = "velmoraadmin";
const char kPersonClass[] = "(objectClass=inetOrgPerson)";
const char kDefaultAttr[] = "defaultAttr";
const char kTextType[] = "kavriText";
const char kNewAccountsFile[] = "/data/common/new-accounts.txt";

struct TemplateRow {
  const char* field;
  const char* heading;
};

// The templates of a new directory.
const TemplateRow kDefaultCardTemplate[] = {
    {"FN", "Name"}, {"TITLE", "Title"}, {"ORG", "Organization"},
    {"TEL;WORK;VOICE", "Phone"}, {"EMAIL;INTERNET", "E-mail"}, {nullptr, nullptr},
};
const TemplateRow kDefaultPersonTemplate[] = {
    {"FN", "Name"},          {"TITLE", "Title"},         {"ORG", "Organization"},
    {"ADR;WORK", "Address"}, {"TEL;WORK;VOICE", "Phone"}, {"TEL;WORK;FAX", "Fax"},
    {"TEL;CELL", "Mobile"},  {"EMAIL;INTERNET", "E-mail"}, {nullptr, nullptr},
};

// What a list holds before it was ever written.
const char* const kNobody[] = {nullptr};
const char* const kDirAdmin[] = {"dirAdmin", nullptr};
const char* const kFollowDefault[] = {"default", nullptr};

// "add" selects the add lists, anything else the delete lists.
const char* OperationKey(const char* operId) {
  return (operId != nullptr && strcasecmp(operId, "add") == 0) ? "add" : "delete";
}

void RequireId(const char* id) {
  if (id == nullptr || *id == '\0') KV_THROW("No attribute or operation named");
}

bool SameText(const std::string& a, const std::string& b) {
  return strcasecmp(a.c_str(), b.c_str()) == 0;
}

bool Contains(const std::vector<std::string>& list, const std::string& value) {
  for (const std::string& v : list) {
    if (SameText(v, value)) return true;
  }
  return false;
}

// Ordered values "NNNN:rest": the rests in the order of their numbers.
std::vector<std::string> InOrder(std::vector<std::string> values) {
  std::vector<std::pair<long, std::string>> numbered;
  for (const std::string& v : values) {
    std::string::size_type colon = v.find(':');
    if (colon == std::string::npos) continue;
    numbered.emplace_back(strtol(v.substr(0, colon).c_str(), nullptr, 10),
                          v.substr(colon + 1));
  }
  std::stable_sort(numbered.begin(), numbered.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::string> out;
  for (auto& n : numbered) out.push_back(std::move(n.second));
  return out;
}

std::string Numbered(size_t i, const std::string& rest) {
  char number[16];
  snprintf(number, sizeof number, "%04zu:", i);
  return number + rest;
}

void Report(VersitProgressCallback callback, void* cookie, int count, const char* message,
            ValList* list) {
  if (callback == nullptr) return;
  CallbackProgress progress;
  progress.Init(count, const_cast<char*>(message), list);
  callback(cookie, &progress);
}

std::string MessageOf(KvError* e) {
  std::unique_ptr<KvError> owned(e);
  ValList* lines = owned->GetUserLines()->GetCount() ? owned->GetUserLines()
                                                    : owned->GetLines();
  std::string text;
  for (ValListItem* item = lines->GetFirst(); item; item = item->next) {
    if (!text.empty()) text += " - ";
    text += item->value ? item->value : "";
  }
  return text;
}

std::string RandomPassword() {
  static const char kAlphabet[] = "abcdefghijkmnpqrstuvwxyzACDEFGHJKLMNPQRSTUVWXYZ23456789";
  unsigned char bytes[12];
  size_t got = 0;
  while (got < sizeof bytes) {
    ssize_t n = getrandom(bytes + got, sizeof bytes - got, 0);
    if (n < 0) {
      if (errno == EINTR) continue;
      KV_THROW(String("Unable to make a random password: ") + strerror(errno));
    }
    got += static_cast<size_t>(n);
  }
  std::string out;
  for (unsigned char b : bytes) out += kAlphabet[b % (sizeof kAlphabet - 1)];
  return out;
}

}  // namespace

// Opening -------------------------------------------------------------------

int KvLdapUserDB::Open(KvConfigDB* config, int /*threadKey*/,
                       KvBoolean /*serverGateway*/) {
  if (config == nullptr) return 0;
  ldapdb::Settings s = ldapdb::SettingsOf(config);
  std::string top;
  try {
    const char* dir = config->GetTopKavriDir();
    if (dir) top = dir;
  } catch (KvError* e) {
    delete e;  // without a top directory only generated accounts cannot be listed
  }
  return OpenWith(s, top);
}

int KvLdapUserDB::OpenWith(const ldapdb::Settings& settings, const std::string& topDir) {
  top_ = topDir;
  session_.Open(settings);
  return 1;
}

ldapdb::Session& KvLdapUserDB::Ld() {
  if (!session_.IsOpen()) KV_THROW("The LDAP directory is not open");
  return session_;
}

// People --------------------------------------------------------------------

std::unique_ptr<Entry> KvLdapUserDB::FindPerson(const std::string& uid,
                                                const std::vector<std::string>& attrs) {
  if (uid.empty()) return nullptr;
  std::vector<Entry> found =
      Ld().Search(Ld().settings().base, "sub",
                  std::string("(&") + kPersonClass + "(uid=" + ldapdb::FilterValue(uid) + "))",
                  attrs, 1);
  if (found.empty()) return nullptr;
  return std::unique_ptr<Entry>(new Entry(std::move(found.front())));
}

std::string KvLdapUserDB::KnownUid(const char* uid) {
  if (uid == nullptr || *uid == '\0') return "";
  std::unique_ptr<Entry> person = FindPerson(uid, {"uid"});
  if (!person) return "";
  // The stored spelling among the entry's uids.
  for (const std::string& v : person->All("uid")) {
    if (SameText(v, uid)) return v;
  }
  return uid;
}

VCard* KvLdapUserDB::GetUserCard(const char* uid) {
  if (uid == nullptr || *uid == '\0') return nullptr;
  std::unique_ptr<Entry> person = FindPerson(uid, ldapdb::CardAttributes());
  if (!person) return nullptr;
  std::string managerUid;
  std::string managerDN = person->First("manager");
  if (!managerDN.empty()) {
    std::vector<Entry> manager = Ld().Search(managerDN, "base", "(objectClass=*)", {"uid"});
    if (!manager.empty()) managerUid = manager.front().First("uid");
  }
  std::vector<std::string> reports;
  for (const Entry& e : Ld().Search(Ld().settings().base, "sub",
                                    std::string("(&") + kPersonClass + "(manager=" +
                                        ldapdb::FilterValue(person->dn) + "))",
                                    {"uid"})) {
    if (!e.First("uid").empty()) reports.push_back(e.First("uid"));
  }
  return ldapdb::CardFromEntry(*person, managerUid, reports);
}

int KvLdapUserDB::IsValidUser(const char* uid) { return KnownUid(uid).empty() ? 0 : 1; }

char* KvLdapUserDB::GetDisplayName(const char* uid) {
  if (uid == nullptr) return nullptr;
  std::unique_ptr<Entry> person = FindPerson(uid, {"cn", "sn", "givenName", "uid"});
  if (!person) return strdup(uid);
  return strdup(ldapdb::DisplayNameOf(*person).c_str());
}

char* KvLdapUserDB::GetEntryDisplayName(VCardEntry* entry) {
  if (entry == nullptr) return nullptr;
  std::unique_ptr<ValNameList> fields;
  if (entry->id >= kVCardFirstLabel) fields.reset(GetFieldsList());
  std::string label = filedb::FieldLabel(entry, fields.get());
  if (!label.empty()) return strdup(label.c_str());
  return entry->GetDisplayRep();
}

KvBoolean KvLdapUserDB::IsSetup() {
  return Ld().Search(Ld().settings().base, "sub", kPersonClass, {"1.1"}, 1).empty() ? 0 : 1;
}

// The server keeps its own record of binds (for example slapd's lastbind
// overlay); the console adds none.
void KvLdapUserDB::UserLoggedIn(const char* /*uid*/) {}

char* KvLdapUserDB::GetUidFromLogin(const char* login) {
  std::string uid = KnownUid(login);
  return uid.empty() ? nullptr : strdup(uid.c_str());
}

char* KvLdapUserDB::GetUidFromRemoteUser(const char* remoteUser) {
  // Exactly a uid: no realm or domain part is stripped.
  std::string uid = KnownUid(remoteUser);
  return uid.empty() ? nullptr : strdup(uid.c_str());
}

int KvLdapUserDB::CheckPassword(const char* uid, const char* passwd) {
  if (uid == nullptr || passwd == nullptr || *passwd == '\0') return 0;
  std::unique_ptr<Entry> person = FindPerson(uid, {"1.1"});
  if (!person) return 0;
  return Ld().CheckBind(person->dn, passwd);
}

void KvLdapUserDB::SetPassword(const char* uid, const char* password) {
  std::unique_ptr<Entry> person = FindPerson(uid ? uid : "", {"1.1"});
  if (!person) {
    KvError* e = new KvError();
    e->AddLine(__LINE__, KvSourceName(__FILE__),
               String("No person with the uid ") + (uid ? uid : "") + " in the directory", 1);
    throw e;
  }
  if (password == nullptr || *password == '\0') {
    KvError* e = new KvError();
    e->AddLine(__LINE__, KvSourceName(__FILE__), "The password is empty", 1);
    throw e;
  }
  Ld().SetPassword(person->dn, password);
}

int KvLdapUserDB::GetNumAccounts() {
  return static_cast<int>(Ld().Search(Ld().settings().base, "sub",
                                      std::string("(&") + kPersonClass + "(userPassword=*))",
                                      {"1.1"})
                              .size());
}

KvBoolean KvLdapUserDB::GenerateAccounts() {
  std::vector<Entry> without =
      Ld().Search(Ld().settings().base, "sub",
                  std::string("(&") + kPersonClass + "(!(userPassword=*)))", {"uid"});
  if (without.empty()) return 1;
  if (top_.empty()) KV_THROW("The installation's top directory is not known");
  std::vector<std::pair<std::string, std::string>> made;
  std::string lines;
  for (const Entry& e : without) {
    if (e.First("uid").empty()) continue;
    made.emplace_back(e.dn, RandomPassword());
    lines += e.First("uid") + " " + made.back().second + "\n";
  }
  // The passwords are written down before they are set: accounts whose
  // passwords nobody knows would be of no use.
  std::string path = top_ + kNewAccountsFile;
  {
    KvLockGuard lock((path + ".lck").c_str(), kKvLockExclusive);
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) KV_THROW(String("Unable to open ") + path.c_str() + ": " + strerror(errno));
    ssize_t n = write(fd, lines.data(), lines.size());
    int err = errno;
    close(fd);
    if (n != static_cast<ssize_t>(lines.size())) {
      KV_THROW(String("Unable to write ") + path.c_str() + ": " + strerror(err));
    }
  }
  for (const auto& account : made) Ld().SetPassword(account.first, account.second);
  return 1;
}

ValNameList* KvLdapUserDB::GetUserAttributes(const char* uid) {
  std::unique_ptr<ValNameList> out(new ValNameList());
  if (uid == nullptr || *uid == '\0') return out.release();
  std::unique_ptr<std::vector<std::string>> values = ReadList(DataDN(uid, "userattrs"));
  if (!values) return out.release();
  for (const std::string& v : *values) {
    std::string::size_type eq = v.find('=');
    if (eq == std::string::npos || eq == 0) continue;
    out->Replace(v.substr(0, eq).c_str(), v.substr(eq + 1).c_str());
  }
  return out.release();
}

ValList* KvLdapUserDB::IndexDataFile(const char* /*path*/, const char* /*adminUid*/,
                                     void* /*cookie*/, VersitProgressCallback /*callback*/) {
  std::unique_ptr<ValList> errors(new ValList());
  errors->Append(
      "An LDAP directory is not indexed from a data file: convert the data to LDAP form "
      "and load it into the server with ldapadd.");
  return errors.release();
}

char* KvLdapUserDB::CopyPhotos(const char* /*topDir*/, const char* srcDir,
                               KvConfigDB* /*config*/, VersitProgressCallback callback,
                               void* cookie) {
  if (srcDir == nullptr || !KvCheckIfDirectory(srcDir)) {
    return strdup((std::string(srcDir ? srcDir : "") +
                   " is not a directory on the server machine!")
                      .c_str());
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
      std::string::size_type dot = name.rfind('.');
      if (name.empty() || name[0] == '.' || dot == std::string::npos || dot == 0) continue;
      std::string ext = name.substr(dot);
      // jpegPhoto holds JPEG pictures only.
      if (strcasecmp(ext.c_str(), ".jpg") != 0 && strcasecmp(ext.c_str(), ".jpeg") != 0) {
        skipped.Append(name.c_str());
        continue;
      }
      std::string from = std::string(srcDir) + "/" + name;
      if (!KvCheckIfFile(from.c_str())) continue;
      std::unique_ptr<Entry> person = FindPerson(name.substr(0, dot), {"1.1"});
      if (!person) {
        skipped.Append(name.c_str());
        continue;
      }
      std::string bytes;
      if (!ReadBytes(from, &bytes)) KV_THROW(String("Unable to read ") + from.c_str());
      Ld().Modify(person->dn, {{Change::kReplace, "jpegPhoto", {bytes}}});
      ++copied;
    }
  } catch (KvError* e) {
    return strdup(MessageOf(e).c_str());
  }
  if (skipped.GetCount() > 0) {
    Report(callback, cookie, -1,
           "Photographs that are no JPEG picture or whose names match no person were "
           "not copied:",
           &skipped);
  }
  Report(callback, cookie, copied, nullptr, nullptr);
  return nullptr;
}

// The console's lists -------------------------------------------------------

std::string KvLdapUserDB::DataDN(const std::string& name, const char* folder) const {
  std::string dn = "cn=" + ldapdb::DNValue(name) + ",";
  if (folder) dn += std::string("ou=") + folder + ",";
  return dn + "ou=" + kDataOu + "," + session_.settings().base;
}

std::unique_ptr<std::vector<std::string>> KvLdapUserDB::ReadList(const std::string& dn) {
  std::vector<Entry> found = Ld().Search(dn, "base", "(objectClass=*)", {"description"});
  if (found.empty()) return nullptr;
  return std::unique_ptr<std::vector<std::string>>(
      new std::vector<std::string>(found.front().All("description")));
}

ValList* KvLdapUserDB::ReadListOr(const std::string& dn, const char* const* defaults) {
  std::unique_ptr<ValList> out(new ValList());
  std::unique_ptr<std::vector<std::string>> values = ReadList(dn);
  if (!values) {
    for (const char* const* d = defaults; *d; ++d) out->Append(*d);
  } else {
    for (const std::string& v : *values) out->Append(v.c_str());
  }
  return out.release();
}

void KvLdapUserDB::CreateFolders(const char* folder) {
  std::string root = std::string("ou=") + kDataOu + "," + Ld().settings().base;
  Ld().Add(root, {{"objectClass", {"organizationalUnit"}}, {"ou", {kDataOu}}});
  if (folder) {
    Ld().Add(std::string("ou=") + folder + "," + root,
             {{"objectClass", {"organizationalUnit"}}, {"ou", {folder}}});
  }
}

void KvLdapUserDB::WriteList(const std::string& name, const char* folder,
                             const std::vector<std::string>& values) {
  std::string dn = DataDN(name, folder);
  std::unique_ptr<std::vector<std::string>> current = ReadList(dn);
  if (current) {
    Change removed{Change::kDelete, "description", {}};
    Change added{Change::kAdd, "description", {}};
    for (const std::string& v : *current) {
      if (!Contains(values, v)) removed.values.push_back(v);
    }
    for (const std::string& v : values) {
      if (!Contains(*current, v)) added.values.push_back(v);
    }
    if (Ld().Modify(dn, {removed, added})) return;
  }
  ReplaceList(name, folder, values);
}

void KvLdapUserDB::ReplaceList(const std::string& name, const char* folder,
                               const std::vector<std::string>& values) {
  std::string dn = DataDN(name, folder);
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (Ld().Modify(dn, {{Change::kReplace, "description", values}})) return;
    CreateFolders(folder);
    std::vector<std::pair<std::string, std::vector<std::string>>> attrs = {
        {"objectClass", {"applicationProcess"}}, {"cn", {name}}};
    if (!values.empty()) attrs.push_back({"description", values});
    // Made meanwhile by another process: the replace is tried again.
    if (Ld().Add(dn, attrs)) return;
  }
  KV_THROW(String("Unable to store ") + dn.c_str());
}

std::vector<std::string> KvLdapUserDB::Cleaned(ValList* list, const char* what) {
  std::vector<std::string> out;
  if (list == nullptr) return out;
  for (ValListItem* item = list->GetFirst(); item; item = item->next) {
    if (item->value == nullptr || *item->value == '\0') continue;
    if (strpbrk(item->value, "\r\n") != nullptr) {
      KV_THROW(String("An entry of the ") + what + " may not hold a line break");
    }
    if (!Contains(out, item->value)) out.push_back(item->value);
  }
  return out;
}

int KvLdapUserDB::IsDirAdmin(const char* uid) {
  if (uid == nullptr || *uid == '\0') return 0;
  std::unique_ptr<std::vector<std::string>> admins = ReadList(DataDN("admins", nullptr));
  return admins && Contains(*admins, uid) ? 1 : 0;
}

ValList* KvLdapUserDB::GetDirAdmins() { return ReadListOr(DataDN("admins", nullptr), kNobody); }

KvBoolean KvLdapUserDB::SetDirAdmins(ValList* admins) {
  WriteList("admins", nullptr, Cleaned(admins, "administrators"));
  return 1;
}

VCard* KvLdapUserDB::ReadTemplate(const char* name, bool business) {
  std::unique_ptr<VCard> card(new VCard());
  std::unique_ptr<std::vector<std::string>> values = ReadList(DataDN(name, nullptr));
  if (!values) {
    for (const TemplateRow* row = business ? kDefaultCardTemplate : kDefaultPersonTemplate;
         row->field; ++row) {
      VCardEntry* entry = VCardEntry::ParsePropertyName(row->field);
      entry->SetPropValue(row->heading);
      card->AddEntry(entry);
    }
    return card.release();
  }
  for (const std::string& row : InOrder(*values)) {
    std::string::size_type colon = row.find(':');
    std::unique_ptr<VCardEntry> entry(VCardEntry::ParsePropertyName(row.substr(0, colon).c_str()));
    if (colon != std::string::npos) entry->SetPropValue(row.substr(colon + 1).c_str());
    card->AddEntry(entry.release());
  }
  return card.release();
}

KvBoolean KvLdapUserDB::WriteTemplate(const char* name, VCard* card) {
  if (card == nullptr) KV_THROW("No template card to write");
  std::vector<std::string> values;
  for (VCardEntry* entry = card->firstEntry; entry; entry = entry->next) {
    std::unique_ptr<char, decltype(&free)> field(entry->GetNameAndSubTypes(), &free);
    values.push_back(Numbered(values.size(), std::string(field.get()) + ":" +
                                                 (entry->value ? entry->value : "")));
  }
  ReplaceList(name, nullptr, values);
  return 1;
}

VCard* KvLdapUserDB::GetCardTemplate() { return ReadTemplate("cardtemplate", true); }
VCard* KvLdapUserDB::GetPersonTemplate() { return ReadTemplate("persontemplate", false); }
KvBoolean KvLdapUserDB::WriteCardTemplate(VCard* card) {
  return WriteTemplate("cardtemplate", card);
}
KvBoolean KvLdapUserDB::WritePersonTemplate(VCard* card) {
  return WriteTemplate("persontemplate", card);
}

ValNameList* KvLdapUserDB::GetFieldsList() {
  std::unique_ptr<ValNameList> out(new ValNameList());
  std::unique_ptr<std::vector<std::string>> values = ReadList(DataDN("fields", nullptr));
  if (!values) return out.release();
  for (const std::string& row : InOrder(*values)) {
    std::string::size_type colon = row.find(':');
    if (colon == std::string::npos) continue;
    out->Append(row.substr(0, colon).c_str(), row.substr(colon + 1).c_str());
  }
  return out.release();
}

KvBoolean KvLdapUserDB::WriteFieldsList(ValNameList* fields) {
  if (fields == nullptr) KV_THROW("No fields list to write");
  if (fields->GetCount() % 2 != 0) {
    KV_THROW("The additional information fields must come in pairs of heading and size");
  }
  std::vector<std::string> values;
  for (ValNameListItem* item = fields->GetFirst(); item; item = item->next) {
    if (item->name == nullptr || *item->name == '\0' || strchr(item->name, ':') != nullptr) {
      KV_THROW("An additional information field has no usable name");
    }
    values.push_back(
        Numbered(values.size(), std::string(item->name) + ":" + (item->value ? item->value : "")));
  }
  ReplaceList("fields", nullptr, values);
  return 1;
}

// Access control --------------------------------------------------------------

ValList* KvLdapUserDB::GetAttributeList() {
  std::unique_ptr<ValList> ids(new ValList());
  for (const std::string& a : ldapdb::RuleAttributes()) ids->Append(a.c_str());
  return ids.release();
}

ValNameList* KvLdapUserDB::GetAttributeTypes() {
  std::unique_ptr<ValNameList> out(new ValNameList());
  for (const std::string& a : ldapdb::RuleAttributes()) out->Append(a.c_str(), kTextType);
  return out.release();
}

ValNameList* KvLdapUserDB::GetAttributeOptions(const char* /*attribId*/) {
  return new ValNameList();
}

ValList* KvLdapUserDB::GetAttribModifiers(KvConfigDB*, const char* attribId) {
  RequireId(attribId);
  bool isDefault = strcmp(attribId, kDefaultAttr) == 0;
  return ReadListOr(DataDN(attribId, "attrmod"), isDefault ? kDirAdmin : kFollowDefault);
}

KvBoolean KvLdapUserDB::SetAttribModifiers(KvConfigDB*, const char* attribId, ValList* list) {
  RequireId(attribId);
  WriteList(attribId, "attrmod", Cleaned(list, "access list"));
  return 1;
}

ValList* KvLdapUserDB::GetAttribApprovers(KvConfigDB*, const char* attribId) {
  RequireId(attribId);
  return ReadListOr(DataDN(attribId, "attrappr"), kNobody);
}

KvBoolean KvLdapUserDB::SetAttribApprovers(KvConfigDB*, const char* attribId, ValList* list) {
  RequireId(attribId);
  WriteList(attribId, "attrappr", Cleaned(list, "access list"));
  return 1;
}

ValList* KvLdapUserDB::GetOperModifiers(const char* operId) {
  return ReadListOr(DataDN(OperationKey(operId), "opermod"), kDirAdmin);
}

KvBoolean KvLdapUserDB::SetOperModifiers(const char* operId, ValList* list) {
  WriteList(OperationKey(operId), "opermod", Cleaned(list, "access list"));
  return 1;
}

ValList* KvLdapUserDB::GetOperNotifyList(const char* operId) {
  return ReadListOr(DataDN(OperationKey(operId), "opernotify"), kNobody);
}

KvBoolean KvLdapUserDB::SetOperNotifyList(const char* operId, ValList* list) {
  WriteList(OperationKey(operId), "opernotify", Cleaned(list, "access list"));
  return 1;
}
