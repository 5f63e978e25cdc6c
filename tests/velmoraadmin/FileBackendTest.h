// A fixture for whole-program tests over the real file directory back end:
// the installation tree of ConsoleTestTree with the file back end in place of
// the test one, the people of a vCard text indexed and zadams the directory
// administrator. Every request comes as zadams through the web server.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <map>
#include <string>

#include "ConsoleTestTree.h"
#include "TestSupport.h"

class FileBackendTest : public ::testing::Test {
 protected:
  // Five people for InstallFileBackend, so that a rule can list four or more.
  static constexpr char kPeople[] =
      "BEGIN:VCARD\nFN:Zoe Adams\nUID:zadams\nEND:VCARD\n"
      "BEGIN:VCARD\nFN:Mark Brown\nUID:mbrown\nEND:VCARD\n"
      "BEGIN:VCARD\nFN:Carl Young\nUID:cyoung\nEND:VCARD\n"
      "BEGIN:VCARD\nFN:Dana Lee\nUID:dlee\nEND:VCARD\n"
      "BEGIN:VCARD\nFN:Eve Fox\nUID:efox\nEND:VCARD\n";

  // For SetUp: cards must hold zadams. A failure here is fatal to the test.
  void InstallFileBackend(const char* cards) {
    std::string lib = tree_.top() + "/lib/kvfiledblib_cgi.so";
    unlink(lib.c_str());
    ASSERT_EQ(symlink(FILEDB_BACKEND, lib.c_str()), 0);
    std::string people = tree_.top() + "/people.vcf";
    ConsoleTestTree::WriteFile(people, cards);
    ASSERT_EQ(Tool("index " + people), 0);
    ASSERT_EQ(Tool("admins add zadams"), 0);
  }

  // The file back end's command-line tool on this tree; its exit status.
  int Tool(const std::string& command) {
    std::string line = std::string(FILEDB_TOOL) + " --top '" + tree_.top() +
                       "' --lib '" + FILEDB_BACKEND + "' " + command +
                       " >/dev/null 2>&1";
    return system(line.c_str());
  }

  ConsoleResponse Get(const std::string& query,
                      std::map<std::string, std::string> env = {}) {
    return tree_.Run("GET", query, AsZadams(env));
  }
  ConsoleResponse Post(const std::string& query, const std::string& body,
                       std::map<std::string, std::string> env = {}) {
    return tree_.Run("POST", query, AsZadams(env), body);
  }

  // env with zadams's web-server login and the cookies of his session: a
  // login made by the request itself never runs a change.
  std::map<std::string, std::string> AsZadams(std::map<std::string, std::string> env) {
    env["REMOTE_USER"] = "zadams";
    if (session_.empty())
      session_ = tree_.Run("GET", "program=navbar", {{"REMOTE_USER", "zadams"}}).CookieHeader();
    std::string& cookies = env["HTTP_COOKIE"];
    cookies = session_ + (cookies.empty() ? "" : "; " + cookies);
    return env;
  }

  static size_t Count(const std::string& text, const std::string& part) {
    return testsupport::CountOf(text, part);
  }

  ConsoleTestTree tree_;
  std::string session_;
};
