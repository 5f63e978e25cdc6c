// The kvfiledb tool run as a separate process: its commands, messages and
// exit statuses, and that what it writes is what the plug-in reads.
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

TEST_F(FileDBToolTest, GeneratesAccounts) {
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
