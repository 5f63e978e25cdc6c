// Directory administrators, passwords and generated accounts of the file
// back end, including concurrent writers in separate processes.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>

#include "FileDBTestSupport.h"

using namespace filedbtest;

namespace {

TEST_F(FileDBTest, AdministratorsAreReplacedWholeAndChecked) {
  EXPECT_EQ(Texts(db->GetDirAdmins()), Strings{});
  std::unique_ptr<ValList> admins(ListOf({"zadams", "", "MBrown", "ZADAMS"}));
  EXPECT_EQ(db->SetDirAdmins(admins.get()), 1);
  EXPECT_EQ(Texts(db->GetDirAdmins()), (Strings{"zadams", "MBrown"}));
  EXPECT_EQ(db->IsDirAdmin("mbrown"), 1);
  EXPECT_EQ(db->IsDirAdmin("cyoung"), 0);
  EXPECT_EQ(db->IsDirAdmin(""), 0);

  std::unique_ptr<ValList> bad(ListOf({"cyoung", "evil\nEND:vList"}));
  EXPECT_TRUE(Throws([&] { db->SetDirAdmins(bad.get()); }));
  EXPECT_EQ(Texts(db->GetDirAdmins()), (Strings{"zadams", "MBrown"}));

  EXPECT_EQ(ThePlugin().addAdmin(db, "cyoung"), 1);
  EXPECT_EQ(ThePlugin().addAdmin(db, "CYOUNG"), 0);
  EXPECT_EQ(ThePlugin().removeAdmin(db, "zadams"), 1);
  EXPECT_EQ(ThePlugin().removeAdmin(db, "zadams"), 0);
  UserDB* other = NewDB();
  EXPECT_EQ(Texts(other->GetDirAdmins()), (Strings{"MBrown", "cyoung"}));
  Destroy(other);
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
    EXPECT_TRUE(Throws(
        [&] { ThePlugin().setPassword(db, bad.first, bad.second); }))
        << bad.first << "/" << bad.second;
  }
  EXPECT_EQ(db->CheckPassword("zadams", "correct horse"), 1);
}

TEST_F(FileDBTest, AStoredValueThatIsNoHashNeverMatches) {
  ASSERT_TRUE(IndexText(kThreePeople).empty());
  WriteAll(Common("accounts.lst"),
           "BEGIN:vNameList\nzadams:secret\nmbrown:\nEND:vNameList\n");
  EXPECT_EQ(db->CheckPassword("zadams", "secret"), 0);
  EXPECT_EQ(db->CheckPassword("mbrown", ""), 0);
}

TEST_F(FileDBTest, GeneratedAccountsGetRandomPasswordsListedOnce) {
  ASSERT_TRUE(IndexText(kThreePeople).empty());
  EXPECT_EQ(db->GetNumAccounts(), 0);
  ThePlugin().setPassword(db, "zadams", "kept password");
  EXPECT_EQ(db->GenerateAccounts(), 1);
  EXPECT_EQ(db->GetNumAccounts(), 3);
  EXPECT_EQ(db->CheckPassword("zadams", "kept password"), 1);

  std::string listPath = Common("new-accounts.txt");
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

TEST_F(FileDBTest, AnUnreadableListOfNewPasswordsStopsTheGeneration) {
  ASSERT_TRUE(IndexText(kThreePeople).empty());
  // A link to itself cannot be opened, not even by root.
  std::string listPath = Common("new-accounts.txt");
  ASSERT_EQ(symlink("new-accounts.txt", listPath.c_str()), 0);
  EXPECT_TRUE(Throws([&] { db->GenerateAccounts(); }));
  EXPECT_EQ(db->GetNumAccounts(), 0);
  struct stat st;
  ASSERT_EQ(lstat(listPath.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
}

// The time it takes for a large directory is measured by bench_request.
TEST_F(FileDBTest, AccountsForAThousandPeople) {
  ASSERT_TRUE(IndexText(ManyPeople(1000)).empty());
  EXPECT_EQ(ThePlugin().generateAccounts(db), 1000);
  EXPECT_EQ(db->GetNumAccounts(), 1000);
}

TEST_F(FileDBTest, ConcurrentReplacementsOfTheAdministratorsNeverTear) {
  const Strings first{"a1", "a2", "a3"};
  const Strings second{"b1", "b2", "b3", "b4", "b5"};
  std::unique_ptr<ValList> start(ListOf(first));
  db->SetDirAdmins(start.get());

  auto writer = [this](const Strings& admins) {
    return [this, admins] {
      UserDB* mine = NewDB();
      std::unique_ptr<ValList> list(ListOf(admins));
      for (int i = 0; i < 150; ++i) mine->SetDirAdmins(list.get());
      Destroy(mine);
      return 0;
    };
  };
  fflush(nullptr);
  pid_t a = fork();
  if (a == 0) _exit(InChild(writer(first)));
  pid_t b = fork();
  if (b == 0) _exit(InChild(writer(second)));
  int torn = 0;
  for (int i = 0; i < 300; ++i) {
    Strings seen = Texts(db->GetDirAdmins());
    if (seen != first && seen != second) ++torn;
  }
  int sa = 0, sb = 0;
  waitpid(a, &sa, 0);
  waitpid(b, &sb, 0);
  EXPECT_EQ(WEXITSTATUS(sa), 0);
  EXPECT_EQ(WEXITSTATUS(sb), 0);
  EXPECT_EQ(torn, 0);
  Strings last = Texts(db->GetDirAdmins());
  EXPECT_TRUE(last == first || last == second);
  EXPECT_EQ(FilesContaining(top + "/data/common", ".tmp").size(), 0u);
}

TEST_F(FileDBTest, ConcurrentAdditionsOfAdministratorsAreAllKept) {
  auto adder = [this](const std::string& prefix) {
    return [this, prefix] {
      UserDB* mine = NewDB();
      for (int i = 0; i < 40; ++i) {
        ThePlugin().addAdmin(mine, (prefix + std::to_string(i)).c_str());
      }
      Destroy(mine);
      return 0;
    };
  };
  fflush(nullptr);
  pid_t a = fork();
  if (a == 0) _exit(InChild(adder("x")));
  pid_t b = fork();
  if (b == 0) _exit(InChild(adder("y")));
  int sa = 0, sb = 0;
  waitpid(a, &sa, 0);
  waitpid(b, &sb, 0);
  EXPECT_EQ(WEXITSTATUS(sa), 0);
  EXPECT_EQ(WEXITSTATUS(sb), 0);
  EXPECT_EQ(Texts(db->GetDirAdmins()).size(), 80u);
}

}  // namespace
