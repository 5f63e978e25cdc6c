// A small in-memory user and group directory: people with display names and
// e-mail addresses, groups with names and members.
#pragma once

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "kavrilib.h"

class FakeUserDB : public UserDB {
 public:
  struct Person {
    std::string name;
    std::string email;  // empty: no address on the card
  };

  void Add(const std::string& uid, const std::string& name,
           const std::string& email = "") {
    people[uid] = Person{name, email};
  }

  int Open(KvConfigDB*, int, KvBoolean) override { return 1; }
  VCard* GetCardTemplate() override { return nullptr; }
  VCard* GetPersonTemplate() override { return nullptr; }
  KvBoolean WriteCardTemplate(VCard*) override { return 0; }
  KvBoolean WritePersonTemplate(VCard*) override { return 0; }
  VCard* GetUserCard(const char* uid) override {
    auto it = people.find(uid);
    if (it == people.end()) return nullptr;
    VCard* card = new VCard();
    card->AddEntry(kVCardFN, it->second.name.c_str());
    if (!it->second.email.empty()) {
      card->AddEntry(kVCardEmail, it->second.email.c_str());
    }
    return card;
  }
  char* GetEntryDisplayName(VCardEntry*) override { return nullptr; }
  KvBoolean IsSetup() override { return 1; }
  void UserLoggedIn(const char*) override {}
  int IsDirAdmin(const char*) override { return 0; }
  ValList* GetDirAdmins() override { return new ValList(); }
  KvBoolean SetDirAdmins(ValList*) override { return 0; }
  int CheckPassword(const char*, const char*) override { return 0; }
  int IsValidUser(const char* uid) override { return people.count(uid) ? 1 : 0; }
  char* GetUidFromLogin(const char*) override { return nullptr; }
  char* GetUidFromRemoteUser(const char*) override { return nullptr; }
  KvBoolean GenerateAccounts() override { return 0; }
  char* GetDisplayName(const char* uid) override {
    auto it = people.find(uid);
    return strdup(it == people.end() ? uid : it->second.name.c_str());
  }
  ValNameList* GetUserAttributes(const char*) override { return new ValNameList(); }
  ValList* IndexDataFile(const char*, const char*, void*,
                         VersitProgressCallback) override {
    return nullptr;
  }
  ValNameList* GetFieldsList() override { return new ValNameList(); }
  KvBoolean WriteFieldsList(ValNameList*) override { return 0; }
  char* CopyPhotos(const char*, const char*, KvConfigDB*, VersitProgressCallback,
                   void*) override {
    return nullptr;
  }
  ValList* GetAttributeList() override { return new ValList(); }
  ValNameList* GetAttributeTypes() override { return new ValNameList(); }
  ValNameList* GetAttributeOptions(const char*) override { return new ValNameList(); }
  ValList* GetAttribModifiers(KvConfigDB*, const char*) override { return new ValList(); }
  KvBoolean SetAttribModifiers(KvConfigDB*, const char*, ValList*) override { return 0; }
  ValList* GetAttribApprovers(KvConfigDB*, const char*) override { return new ValList(); }
  KvBoolean SetAttribApprovers(KvConfigDB*, const char*, ValList*) override { return 0; }
  ValList* GetOperModifiers(const char*) override { return new ValList(); }
  KvBoolean SetOperModifiers(const char*, ValList*) override { return 0; }
  ValList* GetOperNotifyList(const char*) override { return new ValList(); }
  KvBoolean SetOperNotifyList(const char*, ValList*) override { return 0; }
  int GetNumAccounts() override { return static_cast<int>(people.size()); }

  std::map<std::string, Person> people;
};

class FakeGroupDB : public GroupDB {
 public:
  void Add(const std::string& gid, const std::string& name,
           const std::vector<std::string>& members) {
    groups[gid] = Group{name, members};
  }

  int Open(KvConfigDB*, int) override { return 1; }
  char* GetGroupName(const char* gid) override {
    auto it = groups.find(gid);
    return it == groups.end() ? nullptr : strdup(it->second.name.c_str());
  }
  void SortByValue(VoidList*) override {}
  ValNameList* SortByValue(ValList* gids) override {
    ValNameList unsorted;
    for (ValListItem* i = gids->GetFirst(); i; i = i->next) {
      auto it = groups.find(i->value);
      unsorted.Append(i->value, it == groups.end() ? i->value : it->second.name.c_str());
    }
    return unsorted.SortListByAscendingValue();
  }
  ValList* GetMembers(const char* gid) override {
    ValList* list = new ValList();
    auto it = groups.find(gid);
    if (it != groups.end()) {
      for (const std::string& m : it->second.members) list->Append(m.c_str());
    }
    return list;
  }

  struct Group {
    std::string name;
    std::vector<std::string> members;
  };
  std::map<std::string, Group> groups;
};
