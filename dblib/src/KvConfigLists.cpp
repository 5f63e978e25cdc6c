// The installation's list files besides the configuration itself: styles,
// pictures, set-up status, SQL schema and category files. Each is read under
// a shared and replaced atomically under an exclusive lock on its path +
// ".lck", inside the configuration's in-process lock.
#include <cstring>
#include <memory>
#include <string>

#include "KvConfigInternal.h"
#include "KvReplaceFile.h"

namespace {

std::string Join(const char* dir, const char* name) {
  return std::string(dir ? dir : "") + (name ? name : "");
}

// Runs body; a KvError passing through gets message as a further line.
template <typename F>
auto WithContext(int line, const char* message, F body) -> decltype(body()) {
  try {
    return body();
  } catch (KvError* e) {
    e->AddLine(line, KvSourceName(__FILE__), message, 0);
    throw;
  }
}

}  // namespace

ValList* KvConfigDB::ReadValList(const char* name, const char* dir) {
  return WithContext(__LINE__, "Exception rethrown in KvConfigDB::ReadValList",
                     [&]() {
    KvThreadLockGuard threadGuard(lock, kKvLockShared);
    std::string file = Join(dir, name);
    std::unique_ptr<ValList> list(new ValList);
    KvLockGuard guard((file + ".lck").c_str(), kKvLockShared);
    list->Read(file.c_str(), true);
    guard.Release();
    return list.release();
  });
}

int KvConfigDB::WriteValList(const char* name, const char* dir,
                             ValList* list) {
  return WithContext(__LINE__, "Exception rethrown in KvConfigDB::WriteValList",
                     [&]() {
    KvThreadLockGuard threadGuard(lock, kKvLockExclusive);
    std::string file = Join(dir, name);
    KvLockGuard guard((file + ".lck").c_str(), kKvLockExclusive);
    KvReplaceFile(file.c_str(), [list](FILE* fp) { list->Write(fp); });
    guard.Release();
    return 1;
  });
}

ValNameList* KvConfigDB::ReadValNameList(const char* file) {
  return WithContext(__LINE__,
                     "Exception rethrown in KvConfigDB::ReadValNameList",
                     [&]() {
    KvThreadLockGuard threadGuard(lock, kKvLockShared);
    std::unique_ptr<ValNameList> list(new ValNameList);
    std::string lockPath = Join(file, ".lck");
    KvLockGuard guard(lockPath.c_str(), kKvLockShared);
    list->Read(file, true);
    guard.Release();
    return list.release();
  });
}

ValNameList* KvConfigDB::ReadValNameList(const char* name, const char* dir) {
  return ReadValNameList(Join(dir, name).c_str());
}

int KvConfigDB::WriteValNameList(const char* file, ValNameList* list) {
  return WithContext(__LINE__,
                     "Exception rethrown in KvConfigDB::WriteValNameList",
                     [&]() {
    KvThreadLockGuard threadGuard(lock, kKvLockExclusive);
    std::string lockPath = Join(file, ".lck");
    KvLockGuard guard(lockPath.c_str(), kKvLockExclusive);
    KvReplaceFile(file, [list](FILE* fp) { list->Write(fp); });
    guard.Release();
    return 1;
  });
}

int KvConfigDB::WriteValNameList(const char* name, const char* dir,
                                 ValNameList* list) {
  return WriteValNameList(Join(dir, name).c_str(), list);
}

// ---------------------------------------------------------------------------
// Named files.

ValNameList* KvConfigDB::GetAvailableStyles() {
  return WithContext(__LINE__, "Exception rethrown",
                     [&]() { return ReadValNameList("styles.lst", kKvStyleDir); });
}

int KvConfigDB::SetAvailableStyles(ValNameList* list) {
  return WithContext(__LINE__, "Exception rethrown", [&]() {
    return WriteValNameList("styles.lst", kKvStyleDir, list);
  });
}

ValNameList* KvConfigDB::GetStyleInfo(const char* style) {
  return WithContext(__LINE__, "Error in KvConfigDB::GetStyleInfo()", [&]() {
    return ReadValNameList(Join(style, ".lst").c_str(), kKvStyleDir);
  });
}

int KvConfigDB::WriteStyleInfo(const char* style, ValNameList* list) {
  return WithContext(__LINE__, "Error in KvConfigDB::WriteStyleInfo", [&]() {
    return WriteValNameList(Join(style, ".lst").c_str(), kKvStyleDir, list);
  });
}

ValList* KvConfigDB::GetGifList(const char* appDir) {
  return WithContext(__LINE__, "Error in KvConfigDB::GetGifList()", [&]() {
    std::string dir = "../../" + Join(appDir, "/bin/images/");
    return ReadValList("giflist.lst", dir.c_str());
  });
}

ValNameList* KvConfigDB::ReadSetupInfo() {
  return WithContext(__LINE__, "Error while reading Setup Info", [&]() {
    if (!KvCheckIfFile(kKvSetupPath)) return new ValNameList;
    ValNameList* list = ReadValNameList(kKvSetupPath);
    KvUnscramblePasswords(list);
    return list;
  });
}

int KvConfigDB::WriteSetupInfo(ValNameList* list) {
  return WithContext(__LINE__, "Error while writing Setup Info", [&]() {
    // The caller's list keeps its plain passwords; a scrambled copy is stored.
    std::unique_ptr<ValNameList> stored(list->Copy());
    KvScramblePasswords(stored.get());
    return WriteValNameList(kKvSetupPath, stored.get());
  });
}

ValNameList* KvConfigDB::ReadSQLSchemaMapFile() {
  return WithContext(__LINE__, "Could not read SchemaMapFile", [&]() {
    return ReadValNameList("sqlSchemaMap.lst", kKvConfigDir);
  });
}

int KvConfigDB::WriteSQLSchemaMapFile(ValNameList* list) {
  return WithContext(__LINE__, "Could not write SchemaFile", [&]() {
    return WriteValNameList("sqlSchemaMap.lst", kKvConfigDir, list);
  });
}

ValNameList* KvConfigDB::ReadSQLSchemaFile() {
  return WithContext(__LINE__, "Could not read SchemaFile", [&]() {
    std::unique_ptr<ValNameList> raw(
        ReadValNameList("sqlSchema.lst", kKvConfigDir));
    std::unique_ptr<ValNameList> result(new ValNameList);
    for (ValNameListItem* item = raw->GetFirst(); item; item = item->next) {
      std::unique_ptr<ValList> parts(
          item->value ? StringTokenize(item->value, ':') : new ValList);
      if (parts->GetCount() < 2) {
        result->Append(item->name, item->value, item->extra1, item->extra2,
                       item->extra3);
        continue;
      }
      auto part = [&parts](int i) -> const char* {
        ValListItem* p = parts->GetNthItem(i);
        return p ? p->value : nullptr;
      };
      result->Append(item->name, part(0), part(1), part(2), part(3));
    }
    return result.release();
  });
}

int KvConfigDB::WriteSQLSchemaFile(ValNameList* list) {
  return WithContext(__LINE__, "Could not write SchemaFile", [&]() {
    return WriteValNameList("sqlSchema.lst", kKvConfigDir, list);
  });
}

ValNameList* KvConfigDB::ReadSubcategories() {
  return WithContext(__LINE__, "Could not read Subcategories file", [&]() {
    return ReadValNameList("subcateg.lst", kKvConfigDir);
  });
}

int KvConfigDB::WriteSubcategories(ValNameList* list) {
  return WithContext(__LINE__, "Could not write Subcategories file", [&]() {
    return WriteValNameList("subcateg.lst", kKvConfigDir, list);
  });
}

ValNameList* KvConfigDB::ReadVersitCategories() {
  return WithContext(__LINE__, "Could not read versit categ file", [&]() {
    return ReadValNameList("versitcateg.lst", kKvConfigDir);
  });
}

int KvConfigDB::WriteVersitCategories(ValNameList* list) {
  return WithContext(__LINE__, "Could not write versit categ file", [&]() {
    return WriteValNameList("versitcateg.lst", kKvConfigDir, list);
  });
}

ValNameList* KvConfigDB::ReadLDAPCategories() {
  return WithContext(__LINE__, "Could not read ldapCategFile", [&]() {
    return ReadValNameList("ldapcateg.lst", kKvConfigDir);
  });
}

int KvConfigDB::WriteLDAPCategories(ValNameList* list) {
  return WithContext(__LINE__, "Could not write ldapCategFile", [&]() {
    return WriteValNameList("ldapcateg.lst", kKvConfigDir, list);
  });
}
