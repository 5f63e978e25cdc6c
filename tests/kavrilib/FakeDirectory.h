// A small in-memory user and group directory: people with display names and
// e-mail addresses (none when empty), groups with names and members,
// attributes with options.
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
  struct Attribute { std::string id, type; Options options; };

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
    card->AddEntry(kVCardFN, it->second.first.c_str());
    if (!it->second.second.empty()) card->AddEntry(kVCardEmail, it->second.second.c_str());
    return card;
  }
  char* GetDisplayName(const char* uid) override {
    auto it = people.find(uid);
    return strdup(it == people.end() ? uid : it->second.first.c_str());
  }
  ValList* GetAttributeList() override {
    ValList* list = new ValList();
    for (const auto& a : attributes) list->Append(a.id.c_str());
    return list;
  }
  // The types, or with an id that attribute's options.
  ValNameList* Attributes(const char* id) {
    ValNameList* list = new ValNameList();
    for (const auto& a : attributes) {
      if (!id) list->Append(a.id.c_str(), a.type.c_str());
      for (const auto& [value, text] : a.options) {
        if (id && a.id == id) list->Append(value.c_str(), text.c_str());
      }
    }
    return list;
  }
  ValNameList* GetAttributeTypes() override { return Attributes(nullptr); }
  ValNameList* GetAttributeOptions(const char* id) override { return Attributes(id); }

  std::map<std::string, std::pair<std::string, std::string>> people;  // name, e-mail
  std::vector<Attribute> attributes;
};

class FakeGroupDB : public StubGroupDB {
 public:
  void Add(const std::string& gid, const std::string& name, const std::vector<std::string>& members) {
    groups[gid] = {name, members};
  }

  ValList* GetMembers(const char* gid) override {
    ValList* list = new ValList();
    auto it = groups.find(gid);
    for (const std::string& m : it == groups.end() ? std::vector<std::string>{} : it->second.second) {
      list->Append(m.c_str());
    }
    return list;
  }

  std::map<std::string, std::pair<std::string, std::vector<std::string>>> groups;  // name, members
};
