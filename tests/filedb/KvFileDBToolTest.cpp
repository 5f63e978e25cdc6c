// The kvfiledb tool run as a separate process: its commands, messages and
// exit statuses, and that what it writes is what the plug-in reads.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "FileDBTestSupport.h"

using namespace filedbtest;

namespace {

class FileDBToolTest : public FileDBTest {
 protected:
  std::string Top() const { return "--top " + top + " "; }
  std::string Input(const std::string& name, const std::string& text) {
    std::string path = top + "/tmp/" + name;
    WriteAll(path, text);
    return path;
  }
};

TEST_F(FileDBToolTest, IndexesAFileAndRefusesABadOne) {
  auto good = RunTool(Top() + "index " + Input("good.vcf", kThreePeople));
  EXPECT_EQ(good.status, 0) << good.err;
  EXPECT_NE(good.out.find("3 records processed"), std::string::npos);
  EXPECT_NE(good.out.find("\n3 cards loaded\n"), std::string::npos) << good.out;
  EXPECT_EQ(db->IsValidUser("mbrown"), 1);

  auto bad = RunTool(Top() + "index " +
                     Input("bad.vcf", "BEGIN:VCARD\nUID:x\nNOPE 1\nEND:VCARD\n"));
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("Error reading versit card at line number 3"), std::string::npos)
      << bad.err;
  EXPECT_NE(bad.err.find("the directory was not changed"), std::string::npos);
  EXPECT_EQ(db->IsValidUser("mbrown"), 1);
  EXPECT_EQ(db->IsValidUser("x"), 0);
}

TEST_F(FileDBToolTest, SetsPasswordsReadFromStandardInput) {
  ASSERT_TRUE(IndexText(kThreePeople).empty());
  auto set = RunTool(Top() + "passwd zadams", "s3cret phrase\n");
  EXPECT_EQ(set.status, 0) << set.err;
  EXPECT_EQ(db->CheckPassword("zadams", "s3cret phrase"), 1);
  EXPECT_EQ(db->CheckPassword("zadams", "s3cret phrase\n"), 0);

  auto unknown = RunTool(Top() + "passwd ghost", "whatever\n");
  EXPECT_EQ(unknown.status, 1);
  EXPECT_NE(unknown.err.find("no person with the uid ghost"), std::string::npos);
  auto empty = RunTool(Top() + "passwd zadams", "");
  EXPECT_EQ(empty.status, 1);
  EXPECT_EQ(db->CheckPassword("zadams", "s3cret phrase"), 1);
}

TEST_F(FileDBToolTest, ListsAddsAndRemovesAdministrators) {
  ASSERT_TRUE(IndexText(kThreePeople).empty());
  struct Step {
    std::string args;
    int status;
    const char* output;  // part of stdout (status 0) or stderr
  } steps[] = {
      {"admins add zadams", 0, "zadams is now a directory administrator"},
      {"admins add ZADAMS", 0, "already is a directory administrator"},
      {"admins add mbrown", 0, "mbrown is now"},
      {"admins add ghost", 1, "no person with the uid ghost"},
      {"admins remove zadams", 0, "no longer a directory administrator"},
      {"admins remove zadams", 1, "zadams is not a directory administrator"},
      {"admins list", 0, "mbrown\n"},
      {"admins", 2, "usage:"},
      {"admins frobnicate x", 2, "usage:"},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.args);
    auto r = RunTool(Top() + step.args);
    EXPECT_EQ(r.status, step.status) << r.err;
    const std::string& text = step.status == 0 ? r.out : r.err;
    EXPECT_NE(text.find(step.output), std::string::npos) << text;
  }
  EXPECT_EQ(Texts(db->GetDirAdmins()), Strings{"mbrown"});
}

TEST_F(FileDBToolTest, GeneratesRemovesAndPrunesAccounts) {
  ASSERT_TRUE(IndexText(kThreePeople).empty());
  auto r = RunTool(Top() + "accounts generate");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("3 accounts created"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("current number of user accounts: 3"), std::string::npos);
  EXPECT_EQ(ModeOf(Common("new-accounts.txt")), 0600);
  EXPECT_EQ(db->GetNumAccounts(), 3);
  auto again = RunTool(Top() + "accounts generate");
  EXPECT_EQ(again.status, 0);
  EXPECT_NE(again.out.find("0 accounts created"), std::string::npos);

  // One account goes, with its generated password.
  auto removed = RunTool(Top() + "accounts remove CYOUNG");
  EXPECT_EQ(removed.status, 0) << removed.err;
  EXPECT_EQ(db->GetNumAccounts(), 2);
  EXPECT_EQ(ReadAll(Common("new-accounts.txt")).find("cyoung "), std::string::npos);
  auto none = RunTool(Top() + "accounts remove cyoung");
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.err.find("cyoung has no account"), std::string::npos) << none.err;

  // New data without mbrown: indexing counts the account left without a
  // person, pruning removes it and keeps the others.
  std::string zoeOnly = std::string(kThreePeople).substr(0, std::string(kThreePeople).find("\n\n"));
  auto indexed = RunTool(Top() + "index " + Input("zoe.vcf", zoeOnly + "\n"));
  EXPECT_EQ(indexed.status, 0) << indexed.err;
  EXPECT_NE(indexed.out.find("1 account now has no person in the directory"), std::string::npos)
      << indexed.out;
  auto pruned = RunTool(Top() + "accounts prune");
  EXPECT_EQ(pruned.status, 0) << pruned.err;
  EXPECT_NE(pruned.out.find("1 accounts of people no longer in the directory removed"),
            std::string::npos) << pruned.out;
  EXPECT_EQ(db->GetNumAccounts(), 1);
  std::string passwords = ReadAll(Common("new-accounts.txt"));
  EXPECT_EQ(passwords.find("mbrown "), std::string::npos);
  EXPECT_NE(passwords.find("zadams "), std::string::npos);
  EXPECT_EQ(ModeOf(Common("accounts.lst")), 0600);

  // Without person data nothing is pruned.
  unlink(Common("data.vcf").c_str());
  EXPECT_EQ(RunTool(Top() + "accounts prune").status, 1);
  EXPECT_EQ(db->GetNumAccounts(), 1);
}

TEST_F(FileDBToolTest, WrongUsageAndMissingPiecesFail) {
  struct Case {
    std::string args;
    int status;
  } cases[] = {
      {"index x.vcf", 2},                      // no --top
      {Top(), 2},                              // no command
      {Top() + "frobnicate", 2},
      {Top() + "index", 2},
      {Top() + "accounts", 2},
      {Top() + "accounts remove", 2},
      {"--top " + top + "/missing admins list", 1},
      {Top() + "index " + top + "/tmp/none.vcf", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    EXPECT_EQ(RunTool(c.args).status, c.status);
  }
  // Without --lib the tool needs the installed plug-in under TOP/lib.
  std::string command = std::string(KVFILEDB_TOOL) + " --top " + top +
                        " admins list >/dev/null 2>&1";
  EXPECT_EQ(WEXITSTATUS(system(command.c_str())), 1);
  std::filesystem::copy_file(KVFILEDB_PLUGIN, top + "/lib/kvfiledblib_cgi.so");
  EXPECT_EQ(WEXITSTATUS(system(command.c_str())), 0);
}

}  // namespace

// An indexing killed at any point may leave its copy or index beside the
// data; the next indexing removes them.
TEST_F(FileDBToolTest, KilledIndexingLeavesNothingAfterTheNextOne) {
  ASSERT_EQ(RunTool(Top() + "index " + Input("small.vcf", kThreePeople)).status, 0);
  std::string big = Input("big.vcf", ManyPeople(60000));
  std::string command = std::string(KVFILEDB_TOOL) + " --lib " + KVFILEDB_PLUGIN + " " +
                        Top() + "index " + big + " >/dev/null 2>&1";
  srand(static_cast<unsigned>(getpid()));
  for (int round = 0; round < 6; ++round) {
    pid_t pid = fork();
    if (pid == 0) {
      execl("/bin/sh", "sh", "-c", ("exec " + command).c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    usleep(static_cast<useconds_t>(rand() % 400000));
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
  ASSERT_EQ(RunTool(Top() + "index " + Input("small.vcf", kThreePeople)).status, 0);
  EXPECT_EQ(FilesContaining(top + "/data/common", ".tmp"), std::vector<std::string>{});
  std::unique_ptr<VCard> card(db->GetUserCard("zadams"));
  EXPECT_NE(card, nullptr);
}
