// User and group directories for tests that answer every question with
// nothing: no people, no groups, writes accepted. Tests derive from them and
// override what they look at.
#pragma once

#include <cstdlib>
#include <cstring>

#include "dblib.h"

class StubUserDB : public UserDB {
 public:
  int Open(KvConfigDB*, int, KvBoolean) override { return 1; }
  VCard* GetCardTemplate() override { return nullptr; }
  VCard* GetPersonTemplate() override { return nullptr; }
  KvBoolean WriteCardTemplate(VCard*) override { return true; }
  KvBoolean WritePersonTemplate(VCard*) override { return true; }
  VCard* GetUserCard(const char*) override { return nullptr; }
  char* GetEntryDisplayName(VCardEntry*) override { return nullptr; }
  KvBoolean IsSetup() override { return true; }
  void UserLoggedIn(const char*) override {}
  int IsDirAdmin(const char*) override { return 0; }
  ValList* GetDirAdmins() override { return new ValList; }
  KvBoolean SetDirAdmins(ValList*) override { return true; }
  int CheckPassword(const char*, const char*) override { return 0; }
  int IsValidUser(const char*) override { return 1; }
  char* GetUidFromLogin(const char*) override { return nullptr; }
  char* GetUidFromRemoteUser(const char*) override { return nullptr; }
  KvBoolean GenerateAccounts() override { return true; }
  // The uid itself (caller frees with free()).
  char* GetDisplayName(const char* uid) override { return strdup(uid ? uid : ""); }
  ValNameList* GetUserAttributes(const char*) override { return new ValNameList; }
  ValList* IndexDataFile(const char*, const char*, void*, VersitProgressCallback) override {
    return nullptr;
  }
  ValNameList* GetFieldsList() override { return new ValNameList; }
  KvBoolean WriteFieldsList(ValNameList*) override { return true; }
  char* CopyPhotos(const char*, const char*, KvConfigDB*, VersitProgressCallback,
                   void*) override {
    return nullptr;
  }
  ValList* GetAttributeList() override { return new ValList; }
  ValNameList* GetAttributeTypes() override { return new ValNameList; }
  ValNameList* GetAttributeOptions(const char*) override { return new ValNameList; }
  ValList* GetAttribModifiers(KvConfigDB*, const char*) override { return new ValList; }
  KvBoolean SetAttribModifiers(KvConfigDB*, const char*, ValList*) override { return true; }
  ValList* GetAttribApprovers(KvConfigDB*, const char*) override { return new ValList; }
  KvBoolean SetAttribApprovers(KvConfigDB*, const char*, ValList*) override { return true; }
  ValList* GetOperModifiers(const char*) override { return new ValList; }
  KvBoolean SetOperModifiers(const char*, ValList*) override { return true; }
  ValList* GetOperNotifyList(const char*) override { return new ValList; }
  KvBoolean SetOperNotifyList(const char*, ValList*) override { return true; }
  int GetNumAccounts() override { return 0; }
};

class StubGroupDB : public GroupDB {
 public:
  int Open(KvConfigDB*, int) override { return 1; }
  // The gid itself (caller frees with free()).
  char* GetGroupName(const char* gid) override { return strdup(gid ? gid : ""); }
  void SortByValue(VoidList*) override {}
  ValNameList* SortByValue(ValList*) override { return new ValNameList; }
  ValList* GetMembers(const char*) override { return new ValList; }
};
