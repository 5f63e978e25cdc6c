// Minimal user and group directories for tests: every operation answers from
// a few fixed people, enough to see the interface work through a loaded
// library and to exercise the interface's own bodies.
#pragma once

#include <cstdlib>
#include <cstring>
#include <string>

#include "dblib.h"

class TestUserDB : public UserDB {
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
  int IsDirAdmin(const char* uid) override {
    return uid && strcmp(uid, "u1") == 0;
  }
  ValList* GetDirAdmins() override {
    ValList* list = new ValList;
    list->Append("u1");
    return list;
  }
  KvBoolean SetDirAdmins(ValList*) override { return true; }
  int CheckPassword(const char*, const char*) override { return 0; }
  int IsValidUser(const char*) override { return 1; }
  char* GetUidFromLogin(const char*) override { return nullptr; }
  char* GetUidFromRemoteUser(const char*) override { return nullptr; }
  KvBoolean GenerateAccounts() override { return true; }
  // u1 is "Zoe Adams", u2 "adam Young", u3 "Mia Brown"; others their uid.
  char* GetDisplayName(const char* uid) override {
    std::string id = uid ? uid : "";
    if (id == "u1") return strdup("Zoe Adams");
    if (id == "u2") return strdup("adam Young");
    if (id == "u3") return strdup("Mia Brown");
    return strdup(id.c_str());
  }
  ValNameList* GetUserAttributes(const char*) override {
    return new ValNameList;
  }
  ValList* IndexDataFile(const char*, const char*, void*,
                         VersitProgressCallback) override {
    return nullptr;
  }
  ValNameList* GetFieldsList() override { return new ValNameList; }
  KvBoolean WriteFieldsList(ValNameList*) override { return true; }
  char* CopyPhotos(const char*, const char*, KvConfigDB*,
                   VersitProgressCallback, void*) override {
    return nullptr;
  }
  ValList* GetAttributeList() override { return new ValList; }
  ValNameList* GetAttributeTypes() override { return new ValNameList; }
  ValNameList* GetAttributeOptions(const char*) override {
    return new ValNameList;
  }
  ValList* GetAttribModifiers(KvConfigDB*, const char*) override {
    return new ValList;
  }
  KvBoolean SetAttribModifiers(KvConfigDB*, const char*, ValList*) override {
    return true;
  }
  ValList* GetAttribApprovers(KvConfigDB*, const char*) override {
    return new ValList;
  }
  KvBoolean SetAttribApprovers(KvConfigDB*, const char*, ValList*) override {
    return true;
  }
  ValList* GetOperModifiers(const char*) override { return new ValList; }
  KvBoolean SetOperModifiers(const char*, ValList*) override { return true; }
  ValList* GetOperNotifyList(const char*) override { return new ValList; }
  KvBoolean SetOperNotifyList(const char*, ValList*) override { return true; }
  int GetNumAccounts() override { return 3; }
};

class TestGroupDB : public GroupDB {
 public:
  int Open(KvConfigDB*, int) override { return 1; }
  char* GetGroupName(const char* gid) override {
    return strdup(gid ? gid : "");
  }
  void SortByValue(VoidList*) override {}
  ValNameList* SortByValue(ValList*) override { return new ValNameList; }
  ValList* GetMembers(const char*) override {
    ValList* list = new ValList;
    list->Append("u1");
    list->Append("u2");
    return list;
  }
};
