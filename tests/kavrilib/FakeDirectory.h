// A small in-memory user and group directory: people with display names and
// e-mail addresses, groups with names and members, attributes with options.
#pragma once

#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "StubDirectory.h"
#include "kavrilib.h"

class FakeUserDB : public StubUserDB {
 public:
  using Options = std::vector<std::pair<std::string, std::string>>;  // stored value, display text
  struct Person { std::string name, email; };
  struct Attribute { std::string id, type; Options options; };

  // email empty: no address on the card.
  void Add(const std::string& uid, const std::string& name, const std::string& email = "") {
    people[uid] = {name, email};
  }
  void AddAttribute(const std::string& id, const std::string& type, const Options& options = {}) {
    attributes.push_back({id, type, options});
  }

  VCard* GetUserCard(const char* uid) override {
    auto it = people.find(uid);
    if (it == people.end()) return nullptr;
    VCard* card = new VCard();
    card->AddEntry(kVCardFN, it->second.name.c_str());
    if (!it->second.email.empty()) card->AddEntry(kVCardEmail, it->second.email.c_str());
    return card;
  }
  char* GetDisplayName(const char* uid) override {
    auto it = people.find(uid);
    return strdup(it == people.end() ? uid : it->second.name.c_str());
  }
  ValList* GetAttributeList() override {
    ValList* list = new ValList();
    for (const auto& a : attributes) list->Append(a.id.c_str());
    return list;
  }
  ValNameList* GetAttributeTypes() override {
    ValNameList* list = new ValNameList();
    for (const auto& a : attributes) list->Append(a.id.c_str(), a.type.c_str());
    return list;
  }
  ValNameList* GetAttributeOptions(const char* id) override {
    ValNameList* list = new ValNameList();
    for (const auto& a : attributes) {
      if (a.id != id) continue;
      for (const auto& [value, text] : a.options) list->Append(value.c_str(), text.c_str());
    }
    return list;
  }

  std::map<std::string, Person> people;
  std::vector<Attribute> attributes;
};

class FakeGroupDB : public StubGroupDB {
 public:
  struct Group { std::string name; std::vector<std::string> members; };
  void Add(const std::string& gid, const std::string& name, const std::vector<std::string>& members) {
    groups[gid] = {name, members};
  }

  using StubGroupDB::SortByValue;
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

  std::map<std::string, Group> groups;
};
