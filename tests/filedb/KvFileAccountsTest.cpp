// Directory administrators, access lists, templates, fields, passwords and
// generated accounts of the file back end; concurrent writers in processes.
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>

#include "FileDBTestSupport.h"

using namespace filedbtest;

namespace {

// Administrators, access lists, templates and additional fields, as a
// fresh directory object reads them from the files.
TEST_F(FileDBTest, AdministratorsAccessListsTemplatesAndFieldsPersist) {
  UserDB* other = NewDB();
  CheckAdministrators(db, other, {"zadams", "MBrown", "cyoung"});
  CheckTemplates(db, other);
  CheckFieldsList(db, other);
  CheckAccessLists(db, other, "TITLE",
                   {{"defaultAttr", {"self", "dirAdmin"}, {"dirAdmin"}},
                    {"TEL;WORK;VOICE", {"u1", "u2", "self"}, {"u2"}},
                    {"TEL;WORK", {"any"}, {}},
                    {"TEL/WORK", {}, {}},  // an empty list stays empty
                    {"../../escape", {"u3"}, {"u3"}}},
                   "u9");
  // Lists keep their order.
  EXPECT_EQ(Texts(other->GetAttribModifiers(nullptr, "tel;work;voice")),
            (Strings{"u1", "u2", "self"}));
  Destroy(other);
  // Two lists and their lock files, all inside the access folder.
  EXPECT_EQ(CommonFiles("escape"), Strings{});
  int inside = 0;
  for (const auto& e : std::filesystem::directory_iterator(Common("access")))
    inside += e.path().filename().string().find("escape") != std::string::npos;
  EXPECT_EQ(inside, 4);
  EXPECT_EQ(CommonFiles(".tmp"), Strings{});
}

TEST_F(FileDBTest, PasswordsAreHashedAndChecked) {
  ASSERT_TRUE(IndexText(kThreePeople).empty());
  ThePlugin().setPassword(db, "ZADAMS", "correct horse");
  struct Case {
    const char* uid;
    const char* password;
    int accepted;
  } cases[] = {
      {"zadams", "correct horse", 1}, {"ZAdams", "correct horse", 1},
      {"zadams", "correct horsE", 0}, {"zadams", "correct hors", 0},
      {"zadams", "", 0},              {"mbrown", "correct horse", 0},  // no account
      {"ghost", "correct horse", 0},  {"", "correct horse", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.uid) + "/" + c.password);
    EXPECT_EQ(db->CheckPassword(c.uid, c.password) != 0, c.accepted != 0);
  }
  EXPECT_EQ(db->CheckPassword("zadams", nullptr), 0);
  std::string stored = ReadAll(Common("accounts.lst"));
  EXPECT_EQ(stored.find("correct horse"), std::string::npos);
  EXPECT_NE(stored.find("zadams:$argon2id$"), std::string::npos);
  EXPECT_EQ(ModeOf(Common("accounts.lst")), 0600);

  for (auto bad : {std::make_pair("ghost", "pw"), std::make_pair("", "pw"),
                   std::make_pair("zadams", "")}) {
    EXPECT_TRUE(Throws([&] { ThePlugin().setPassword(db, bad.first, bad.second); }))
        << bad.first << "/" << bad.second;
  }
  EXPECT_EQ(db->CheckPassword("zadams", "correct horse"), 1);  // refused changes keep it

  // A stored value that is no hash never matches, not even an empty one.
  WriteAll(Common("accounts.lst"), "BEGIN:vNameList\nzadams:secret\nmbrown:\nEND:vNameList\n");
  EXPECT_EQ(db->CheckPassword("zadams", "secret"), 0);
  EXPECT_EQ(db->CheckPassword("mbrown", ""), 0);
}

TEST_F(FileDBTest, GeneratedAccountsGetRandomPasswordsListedOnce) {
  // A link to itself cannot be opened, not even by root: nothing is made.
  ASSERT_TRUE(IndexText(kThreePeople).empty());
  std::string listPath = Common("new-accounts.txt");
  ASSERT_EQ(symlink("new-accounts.txt", listPath.c_str()), 0);
  EXPECT_TRUE(Throws([&] { db->GenerateAccounts(); }));
  EXPECT_EQ(db->GetNumAccounts(), 0);
  ASSERT_TRUE(std::filesystem::is_symlink(listPath));
  unlink(listPath.c_str());

  ThePlugin().setPassword(db, "zadams", "kept password");
  EXPECT_EQ(db->GenerateAccounts(), 1);
  EXPECT_EQ(db->GetNumAccounts(), 3);
  EXPECT_EQ(db->CheckPassword("zadams", "kept password"), 1);
  EXPECT_EQ(ModeOf(listPath), 0600);
  std::istringstream lines(ReadAll(listPath));
  std::string uid, password;
  Strings listed;
  while (lines >> uid >> password) {
    listed.push_back(uid);
    EXPECT_GE(password.size(), 22u);  // 128 random bits
    EXPECT_EQ(db->CheckPassword(uid.c_str(), password.c_str()), 1) << uid;
    EXPECT_EQ(ReadAll(Common("accounts.lst")).find(password), std::string::npos);
  }
  EXPECT_EQ(listed, (Strings{"mbrown", "cyoung"}));
  // Nothing new: the list stays as it was.
  std::string before = ReadAll(listPath);
  EXPECT_EQ(ThePlugin().generateAccounts(db), 0);
  EXPECT_EQ(ReadAll(listPath), before);
}

// Two processes write the administrators 150 times each while this one
// reads: a whole list is replaced at once. (Concurrent additions are kept,
// as the console's setup page tests show with the tool and the form.)
TEST_F(FileDBTest, ConcurrentWritersOfTheAdministratorsNeverTear) {
  const Strings first{"a1", "a2", "a3"}, second{"b1", "b2", "b3", "b4", "b5"};
  std::unique_ptr<ValList> start(ListOf(first));
  db->SetDirAdmins(start.get());
  pid_t pids[2];
  for (int w = 0; w < 2; ++w) {
    fflush(nullptr);
    pids[w] = fork();
    if (pids[w] == 0) _exit(InChild([&] {
        UserDB* mine = NewDB();
        std::unique_ptr<ValList> list(ListOf(w == 0 ? first : second));
        for (int i = 0; i < 150; ++i) mine->SetDirAdmins(list.get());
        Destroy(mine);
        return 0;
      }));
  }
  int torn = 0;
  for (int i = 0; i < 300; ++i) {
    Strings seen = Texts(db->GetDirAdmins());
    if (seen != first && seen != second) ++torn;
  }
  for (pid_t pid : pids) {
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);
  }
  EXPECT_EQ(torn, 0);
  Strings last = Texts(db->GetDirAdmins());
  EXPECT_TRUE(last == first || last == second);
  EXPECT_EQ(CommonFiles(".tmp"), Strings{});
}

}  // namespace
