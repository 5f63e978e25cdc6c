// The kvfiledb tool run as a separate process: its commands, messages and
// exit statuses, that what it writes is what the plug-in reads, and that a
// killed indexing leaves nothing behind.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "FileDBTestSupport.h"

using namespace filedbtest;

namespace {

TEST_F(FileDBTest, ToolCommandsChangeWhatThePlugInReads) {
  std::string three = Input("three.vcf", kThreePeople);
  std::string three_ = kThreePeople;  // without mbrown and cyoung:
  std::string zoe = Input("zoe.vcf", three_.substr(0, three_.find("\n\n") + 1));
  struct Step {
    std::string args;
    std::string input;
    int status;
    const char* output;  // part of stdout (status 0) or stderr
  } steps[] = {
      {"index " + three, "", 0, "\n3 cards loaded\n"},
      {"index " + Input("bad.vcf", "BEGIN:VCARD\nUID:x\nNOPE 1\nEND:VCARD\n"), "", 1,
       "the directory was not changed"},
      {"passwd ghost", "whatever\n", 1, "no person with the uid ghost"},
      {"passwd zadams", "", 1, ""},
      {"admins add zadams", "", 0, "zadams is now a directory administrator"},
      {"admins add ZADAMS", "", 0, "already is a directory administrator"},
      {"admins add mbrown", "", 0, "mbrown is now"},
      {"admins add ghost", "", 1, "no person with the uid ghost"},
      {"admins remove zadams", "", 0, "no longer a directory administrator"},
      {"admins remove zadams", "", 1, "zadams is not a directory administrator"},
      {"admins list", "", 0, "mbrown\n"},
      {"accounts generate", "", 0, "3 accounts created"},
      {"accounts generate", "", 0, "0 accounts created\ncurrent number of user accounts: 3"},
      // One account goes, with its generated password.
      {"accounts remove CYOUNG", "", 0, ""},
      {"accounts remove cyoung", "", 1, "cyoung has no account"},
      {"passwd zadams", "s3cret phrase\n", 0, ""},
      // New data without mbrown: indexing counts the account left without a
      // person, pruning removes it and keeps the others.
      {"index " + zoe, "", 0, "1 account now has no person in the directory"},
      {"accounts prune", "", 0, "1 accounts of people no longer in the directory removed"},
      // Wrong usage.
      {"", "", 2, "usage:"},
      {"frobnicate", "", 2, "usage:"},
      {"index " + top + "/tmp/none.vcf", "", 1, ""},
      {"accounts remove", "", 2, "usage:"},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.args);
    ToolResult r = RunTool(step.args, step.input);
    EXPECT_EQ(r.status, step.status) << r.err;
    const std::string& text = step.status == 0 ? r.out : r.err;
    EXPECT_NE(text.find(step.output), std::string::npos) << text;
  }
  EXPECT_EQ(Texts(db->GetDirAdmins()), Strings{"mbrown"});
  EXPECT_EQ(db->IsValidUser("mbrown"), 0);
  EXPECT_EQ(db->GetNumAccounts(), 1);
  EXPECT_EQ(db->CheckPassword("zadams", "s3cret phrase"), 1);
  EXPECT_EQ(db->CheckPassword("zadams", "s3cret phrase\n"), 0);
  std::string passwords = ReadAll(Common("new-accounts.txt"));
  EXPECT_EQ(passwords.find("cyoung "), std::string::npos);
  EXPECT_EQ(passwords.find("mbrown "), std::string::npos);
  EXPECT_NE(passwords.find("zadams "), std::string::npos);

  // Without person data nothing is pruned.
  unlink(Common("data.vcf").c_str());
  EXPECT_EQ(RunTool("accounts prune").status, 1);
  EXPECT_EQ(db->GetNumAccounts(), 1);

  // Without --top, or with one that is missing, nothing runs; without --lib
  // the tool needs the installed plug-in under TOP/lib.
  std::string tool = std::string(KVFILEDB_TOOL) + " ", quiet = " >/dev/null 2>&1";
  auto status = [](const std::string& command) { return WEXITSTATUS(system(command.c_str())); };
  EXPECT_EQ(status(tool + "--lib " + KVFILEDB_PLUGIN + " admins list" + quiet), 2);
  EXPECT_EQ(status(tool + "--lib " + KVFILEDB_PLUGIN + " --top " + top + "/missing admins list" +
                   quiet), 1);
  EXPECT_EQ(status(tool + "--top " + top + " admins list" + quiet), 1);
  std::filesystem::copy_file(KVFILEDB_PLUGIN, top + "/lib/kvfiledblib_cgi.so");
  EXPECT_EQ(status(tool + "--top " + top + " admins list" + quiet), 0);
}

// An indexing killed at any point may leave its copy or index beside the
// data; the next indexing removes them.
TEST_F(FileDBTest, KilledIndexingLeavesNothingAfterTheNextOne) {
  std::string small = Input("small.vcf", kThreePeople);
  ASSERT_EQ(RunTool("index " + small).status, 0);
  std::string command =
      "exec " + ToolCommand() + "index " + Input("big.vcf", ManyPeople(60000)) + " >/dev/null 2>&1";
  srand(static_cast<unsigned>(getpid()));
  for (int round = 0; round < 6; ++round) {
    pid_t pid = fork();
    if (pid == 0) {
      execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    usleep(static_cast<useconds_t>(rand() % 400000));
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
  ASSERT_EQ(RunTool("index " + small).status, 0);
  EXPECT_EQ(CommonFiles(".tmp"), Strings{});
  EXPECT_NE(std::unique_ptr<VCard>(db->GetUserCard("zadams")), nullptr);
}

}  // namespace
