// Minimal user and group directories for tests: every operation answers from
// a few fixed people, enough to see the interface work through a loaded
// library and to exercise the interface's own bodies.
#pragma once

#include <cstdlib>
#include <cstring>
#include <string>

#include "StubDirectory.h"

class TestUserDB : public StubUserDB {
 public:
  int IsDirAdmin(const char* uid) override { return uid && strcmp(uid, "u1") == 0; }
  // u1 is "Zoe Adams", u2 "adam Young", u3 "Mia Brown"; others their uid.
  char* GetDisplayName(const char* uid) override {
    std::string id = uid ? uid : "";
    if (id == "u1") return strdup("Zoe Adams");
    if (id == "u2") return strdup("adam Young");
    if (id == "u3") return strdup("Mia Brown");
    return strdup(id.c_str());
  }
};

class TestGroupDB : public StubGroupDB {
 public:
  ValList* GetMembers(const char*) override {
    ValList* list = new ValList;
    list->Append("u1");
    list->Append("u2");
    return list;
  }
};
