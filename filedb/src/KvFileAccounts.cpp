// The file back end's directory administrators, login accounts and password
// checks. Passwords are kept only as Argon2id hashes (PasswordHash.h).
#include <strings.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

#include "KvFileUserDB.h"
#include "ListFile.h"
#include "PasswordHash.h"

namespace {

const char kAdminsFile[] = "admins.lst";
const char kAccountsFile[] = "accounts.lst";
const char kNewAccountsFile[] = "new-accounts.txt";
const mode_t kSecretMode = 0600;

std::string Lower(const char* text) {
  std::string s = text ? text : "";
  for (char& c : s) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return s;
}

// The whole content of a file, or "" when it does not exist. Any other
// failure throws: taking an unreadable list for an empty one would drop the
// passwords already listed when the list is written back.
std::string ReadWholeFile(const std::string& path) {
  std::string out;
  FILE* fp = fopen(path.c_str(), "r");
  if (fp == nullptr) {
    if (errno == ENOENT) return out;
    filedb::ThrowSystemError(__LINE__, "Unable to open", path, errno);
  }
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, fp)) > 0) out.append(buf, n);
  bool failed = ferror(fp) != 0;
  fclose(fp);
  if (failed) filedb::ThrowSystemError(__LINE__, "Unable to read", path, EIO);
  return out;
}

void WriteText(FILE* fp, const std::string& text) {
  if (!text.empty() && fwrite(text.data(), 1, text.size(), fp) != text.size()) {
    KV_THROW("Short write");
  }
}

}  // namespace

// Administrators ----------------------------------------------------------

int KvFileUserDB::IsDirAdmin(const char* uid) {
  if (uid == nullptr || *uid == '\0') return 0;
  std::unique_ptr<ValList> admins = filedb::ReadValListFile(CommonPath(kAdminsFile));
  return admins->Lookup(uid) != nullptr ? 1 : 0;
}

ValList* KvFileUserDB::GetDirAdmins() {
  return filedb::ReadValListFile(CommonPath(kAdminsFile)).release();
}

KvBoolean KvFileUserDB::SetDirAdmins(ValList* admins) {
  ValList clean;
  if (admins != nullptr) {
    for (ValListItem* item = admins->GetFirst(); item; item = item->next) {
      if (item->value == nullptr || *item->value == '\0') continue;
      if (!filedb::IsOneLine(item->value)) KV_THROW("A uid may not hold a line break");
      clean.AppendWithDupCheck(item->value);
    }
  }
  filedb::WriteValListFile(CommonPath(kAdminsFile), &clean);
  return 1;
}

bool KvFileUserDB::AddDirAdmin(const char* uid) {
  if (uid == nullptr || *uid == '\0' || !filedb::IsOneLine(uid)) {
    KV_THROW("Not a usable uid");
  }
  bool changed = false;
  filedb::UpdateValListFile(CommonPath(kAdminsFile), [&](ValList& list) {
    if (list.Lookup(uid) == nullptr) {
      list.Append(uid);
      changed = true;
    }
  });
  return changed;
}

bool KvFileUserDB::RemoveDirAdmin(const char* uid) {
  if (uid == nullptr || *uid == '\0') return false;
  bool changed = false;
  filedb::UpdateValListFile(CommonPath(kAdminsFile), [&](ValList& list) {
    while (list.Lookup(uid) != nullptr) {
      list.Remove(uid);
      changed = true;
    }
  });
  return changed;
}

// Logins ------------------------------------------------------------------

char* KvFileUserDB::GetUidFromLogin(const char* login) {
  // The login name of a person is the person's uid, in any case.
  std::string uid = KnownUid(login);
  return uid.empty() ? nullptr : strdup(uid.c_str());
}

char* KvFileUserDB::GetUidFromRemoteUser(const char* remoteUser) {
  // The web server's user name must equal a uid exactly (in any case); no
  // realm or domain part is stripped, so that a user of another realm can
  // never pass for a person of this directory.
  std::string uid = KnownUid(remoteUser);
  return uid.empty() ? nullptr : strdup(uid.c_str());
}

int KvFileUserDB::CheckPassword(const char* uid, const char* passwd) {
  if (uid == nullptr || passwd == nullptr || *passwd == '\0') return 0;
  std::unique_ptr<ValNameList> accounts =
      filedb::ReadValNameListFile(CommonPath(kAccountsFile));
  ValNameListItem* item = accounts->Lookup(uid);
  if (item == nullptr || item->value == nullptr) return 0;
  return filedb::VerifyPassword(item->value, passwd) ? 1 : 0;
}

void KvFileUserDB::SetPassword(const char* uid, const char* password) {
  std::string known = KnownUid(uid);
  if (known.empty()) {
    KvError* e = new KvError();
    e->AddLine(__LINE__, KvSourceName(__FILE__),
               String("No person with the uid ") + (uid ? uid : "") +
                   " in the directory",
               1);
    throw e;
  }
  if (password == nullptr || *password == '\0') {
    KvError* e = new KvError();
    e->AddLine(__LINE__, KvSourceName(__FILE__), "The password is empty", 1);
    throw e;
  }
  // Hash before taking the lock: it is the slow part.
  std::string hash = filedb::HashPassword(password, filedb::HashCost::kInteractive);
  filedb::UpdateValNameListFile(
      CommonPath(kAccountsFile),
      [&](ValNameList& list) { list.Replace(known.c_str(), hash.c_str()); },
      kSecretMode);
}

int KvFileUserDB::GetNumAccounts() {
  std::unique_ptr<ValNameList> accounts =
      filedb::ReadValNameListFile(CommonPath(kAccountsFile));
  return accounts->GetCount();
}

KvBoolean KvFileUserDB::GenerateAccounts() {
  GenerateAccountsCounted();
  return 1;
}

int KvFileUserDB::GenerateAccountsCounted() {
  VersitFileWithIndex* data = Data();
  if (data == nullptr || data->GetIndex() == nullptr) return 0;
  std::string accountsPath = CommonPath(kAccountsFile);
  std::string listPath = CommonPath(kNewAccountsFile);

  struct NewAccount {
    std::string uid, password, hash;
  };
  std::vector<NewAccount> made;
  {
    std::unique_ptr<ValNameList> existing = filedb::ReadValNameListFile(accountsPath);
    std::unordered_set<std::string> have;
    for (ValNameListItem* item = existing->GetFirst(); item; item = item->next) {
      have.insert(Lower(item->name));
    }
    for (ValNameListItem* item = data->GetIndex()->GetFirst(); item; item = item->next) {
      if (item->name == nullptr || !have.insert(Lower(item->name)).second) continue;
      NewAccount account;
      account.uid = item->name;
      account.password = filedb::MakeRandomPassword();
      account.hash = filedb::HashPassword(account.password, filedb::HashCost::kRandomSecret);
      made.push_back(std::move(account));
    }
  }
  if (made.empty()) return 0;

  // The accounts lock guards the list of new passwords too.
  KvLockGuard lock(filedb::LockPathOf(accountsPath).c_str(), kKvLockExclusive);
  ValNameList accounts;
  accounts.Read(accountsPath.c_str(), true);
  std::string lines;
  int added = 0;
  for (const NewAccount& account : made) {
    if (accounts.Lookup(account.uid.c_str()) != nullptr) continue;  // set meanwhile
    accounts.Append(account.uid.c_str(), account.hash.c_str());
    lines += account.uid + " " + account.password + "\n";
    ++added;
  }
  if (added == 0) return 0;

  // The passwords are written down first: accounts whose passwords nobody
  // knows would be of no use.
  std::string before = ReadWholeFile(listPath);
  filedb::ReplaceFileAtomically(
      listPath, [&](FILE* fp) { WriteText(fp, before + lines); }, kSecretMode, true);
  try {
    filedb::ReplaceFileAtomically(
        accountsPath, [&](FILE* fp) { accounts.Write(fp); }, kSecretMode);
  } catch (KvError* e) {
    try {
      filedb::ReplaceFileAtomically(
          listPath, [&](FILE* fp) { WriteText(fp, before); }, kSecretMode, true);
    } catch (KvError* again) {
      filedb::ErrorOwner owned(again);
    }
    KV_ADD_LINE(e, "Unable to store the generated accounts");
    throw;
  }
  return added;
}

// Removing accounts -------------------------------------------------------

namespace {

// Removes, under the accounts lock, every account whose uid gone() names,
// and the generated passwords listed for them; how many accounts went.
int RemoveAccountsWhere(const std::string& accountsPath, const std::string& listPath,
                        const std::function<bool(const char*)>& gone) {
  KvLockGuard lock(filedb::LockPathOf(accountsPath).c_str(), kKvLockExclusive);
  ValNameList accounts;
  accounts.Read(accountsPath.c_str(), true);
  ValNameList kept;
  int removed = 0;
  for (ValNameListItem* item = accounts.GetFirst(); item; item = item->next) {
    if (item->name != nullptr && gone(item->name)) {
      ++removed;
    } else {
      kept.Append(item->name, item->value);
    }
  }
  if (removed == 0) return 0;
  filedb::ReplaceFileAtomically(
      accountsPath, [&](FILE* fp) { kept.Write(fp); }, kSecretMode);

  // "uid password" lines of generated accounts that no longer exist.
  std::string before = ReadWholeFile(listPath);
  if (before.empty()) return removed;
  std::string after;
  std::string::size_type at = 0;
  while (at < before.size()) {
    std::string::size_type end = before.find('\n', at);
    end = end == std::string::npos ? before.size() : end + 1;
    std::string line = before.substr(at, end - at);
    std::string uid = line.substr(0, line.find_first_of(" \n"));
    if (uid.empty() || !gone(uid.c_str())) after += line;
    at = end;
  }
  if (after != before) {
    filedb::ReplaceFileAtomically(
        listPath, [&](FILE* fp) { WriteText(fp, after); }, kSecretMode, true);
  }
  return removed;
}

}  // namespace

bool KvFileUserDB::RemoveAccount(const char* uid) {
  if (uid == nullptr || *uid == '\0') return false;
  return RemoveAccountsWhere(CommonPath(kAccountsFile), CommonPath(kNewAccountsFile),
                             [&](const char* name) { return strcasecmp(name, uid) == 0; }) > 0;
}

int KvFileUserDB::PruneAccounts() {
  VersitFileWithIndex* data = Data();
  if (data == nullptr || data->GetIndex() == nullptr || data->GetIndex()->GetCount() == 0) {
    KV_THROW("The directory holds no person data; no account was removed");
  }
  ValNameList* index = data->GetIndex();
  return RemoveAccountsWhere(CommonPath(kAccountsFile), CommonPath(kNewAccountsFile),
                             [&](const char* name) { return index->Lookup(name) == nullptr; });
}

std::vector<std::string> KvFileUserDB::AccountUids() {
  std::unique_ptr<ValNameList> accounts =
      filedb::ReadValNameListFile(CommonPath(kAccountsFile));
  std::vector<std::string> uids;
  for (ValNameListItem* item = accounts->GetFirst(); item; item = item->next) {
    if (item->name != nullptr) uids.emplace_back(item->name);
  }
  return uids;
}
