// A directory back end for the console's tests, loaded by the program like
// any back end. Its people come from "../../../config/testdir.lst":
//   login.<login>:<uid>      remote.<user>:<uid>     password.<uid>:<text>
//   admin.<uid>:1            valid.<uid>:1
//   unreachable:1            Open fails as an unreachable store would
// The file is read at every question, so that a test may change the directory
// while a program keeps it open. Password checks and logins are appended to
// "../../../config/testdir.calls".
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "StubDirectory.h"

namespace {

const char kDataPath[] = "../../../config/testdir.lst";
const char kCallsPath[] = "../../../config/testdir.calls";

void NoteCall(const std::string& line) {
  if (FILE* fp = fopen(kCallsPath, "a")) { fprintf(fp, "%s\n", line.c_str()); fclose(fp); }
}

// The shared stub answers what the tests do not look at; this one refuses
// to store administrators and to generate accounts, so that the pages must
// say so.
class TestUserDB : public StubUserDB {
 public:
  int Open(KvConfigDB*, int, KvBoolean) override {
    if (Is("unreachable")) {
      KvError* error = new KvError;
      error->SetKind(kKvErrorUnreachable);
      error->AddLine(__LINE__, "TestDirectory.cpp", "The directory server is not responding", true);
      throw error;
    }
    return 1;
  }
  void UserLoggedIn(const char* uid) override { NoteCall(std::string("UserLoggedIn ") + uid); }
  int IsDirAdmin(const char* uid) override {
    return Is((std::string("admin.") + uid).c_str()) ? 1 : 0;
  }
  KvBoolean SetDirAdmins(ValList*) override { return false; }
  int CheckPassword(const char* uid, const char* passwd) override {
    NoteCall(std::string("CheckPassword ") + uid);
    const char* stored = Value((std::string("password.") + uid).c_str());
    return stored && passwd && strcmp(stored, passwd) == 0;
  }
  int IsValidUser(const char* uid) override {
    return Is((std::string("valid.") + uid).c_str()) ? 1 : 0;
  }
  char* GetUidFromLogin(const char* login) override {
    return Copy(Value((std::string("login.") + login).c_str()));
  }
  char* GetUidFromRemoteUser(const char* remoteUser) override {
    return Copy(Value((std::string("remote.") + remoteUser).c_str()));
  }
  KvBoolean GenerateAccounts() override { return false; }

 private:
  const char* Value(const char* key) {
    data_.RemoveAll();
    data_.Read(kDataPath, true);
    ValNameListItem* item = data_.Lookup(key);
    return item ? item->value : nullptr;
  }
  bool Is(const char* key) {
    const char* value = Value(key);
    return value && strcmp(value, "1") == 0;
  }
  static char* Copy(const char* s) { return s ? strdup(s) : nullptr; }

  ValNameList data_;
};

}  // namespace

extern "C" {
UserDB* KvCreateImpUserDB() { return new TestUserDB; }
void KvDestroyImpUserDB(UserDB* db) { delete db; }
GroupDB* KvCreateImpGroupDB() { return new StubGroupDB; }
void KvDestroyImpGroupDB(GroupDB* db) { delete db; }
}
