// The maintenance pages run as the web server runs them, over the real file
// directory back end: indexing the employee data (named on the server or
// uploaded), bringing in photographs and their display size, saving the
// directory administrators, generating accounts, and stored lists under
// concurrent changes.
#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "FileBackendTest.h"

namespace {

const char kNewPeople[] =
    "BEGIN:VCARD\nFN:Zoe Adams\nUID:zadams\nEND:VCARD\n"
    "BEGIN:VCARD\nFN:Dana Fox\nUID:dfox\nEND:VCARD\n";
const char kCapableBrowser[] = "Mozilla/4.0 (X11; Linux x86_64)";

bool Exists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

class SetupPagesTest : public FileBackendTest {
 protected:
  void SetUp() override { InstallFileBackend(kPeople); }

  // A multipart post of one file part "dataFile" from a browser that can
  // upload.
  ConsoleResponse Upload(const std::string& content, const std::string& client) {
    std::string body = "--XyZ\r\nContent-Disposition: form-data; name=\"dataFile\"; filename=\"" +
                       client + "\"\r\nContent-Type: text/plain\r\n\r\n" + content +
                       "\r\n--XyZ--\r\n";
    return Post("program=processData", body,
                {{"CONTENT_TYPE", "multipart/form-data; boundary=XyZ"},
                 {"HTTP_USER_AGENT", kCapableBrowser}});
  }
  std::string Common(const std::string& name) const { return tree_.top() + "/data/common/" + name; }
  std::string Read(const std::string& name) const { return ConsoleTestTree::ReadFile(Common(name)); }
  std::string Config() const { return ConsoleTestTree::ReadFile(tree_.top() + "/config/configInfo.lst"); }
  std::string Log() const { return ConsoleTestTree::ReadFile(tree_.top() + "/logs/kvlogfile"); }
  // Files of the temporary folder other than the log.
  std::vector<std::string> Leftovers() const {
    std::vector<std::string> names;
    DIR* dir = opendir((tree_.top() + "/logs").c_str());
    while (struct dirent* entry = dir ? readdir(dir) : nullptr) {
      std::string name = entry->d_name;
      if (name != "." && name != ".." && name.rfind("kvlogfile", 0) != 0) names.push_back(name);
    }
    if (dir) closedir(dir);
    return names;
  }
};

// A file named on the server or uploaded replaces the data only when it
// reads; an upload leaves no temporary file behind.
TEST_F(SetupPagesTest, IndexingReplacesTheDataOnlyWhenTheFileReads) {
  std::string top = tree_.top();
  ConsoleTestTree::WriteFile(top + "/empty.vcf", "");
  ConsoleTestTree::WriteFile(top + "/nocolon.vcf", "BEGIN:VCARD\nFN Nobody\nEND:VCARD\n");
  ConsoleTestTree::WriteFile(top + "/new.vcf", kNewPeople);
  struct Case {
    std::string path;     // on the server, or the client's name of an upload
    const char* upload;   // the uploaded text, or null
    std::string shown;    // as the page writes it
    const char* data;     // the directory's data after
  } cases[] = {
      {top + "/missing.vcf", nullptr,
       "<h2>Error: Unable to access the data file " + top + "/missing.vcf on the server machine",
       kPeople},
      {top + "/empty.vcf", nullptr,
       "<h2>Error: Supplied data file\t" + top + "/empty.vcf is of zero size", kPeople},
      {top + "/<b>x.vcf", nullptr,
       "<h2>Error: Unable to access the data file " + top + "/&lt;b&gt;x.vcf", kPeople},
      {top + "/nocolon.vcf", nullptr,
       "<b>Error in indexing : Error reading versit card at line number 2</b>", kPeople},
      {top + "/new.vcf", nullptr, "2 records processed", kNewPeople},
      // No path: the directory indexes its own file again.
      {"", nullptr, "2 records processed", kNewPeople},
      // A name that holds ";", or no name at all, is still an upload.
      {";staff; 2024.vcf", kPeople, "5 records processed", kPeople},
      {"", kNewPeople, "2 records processed", kNewPeople},
      {"staff.vcf", "", "<h2>Error: Supplied data file\tstaff.vcf is of zero size", kNewPeople},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    ConsoleResponse page = c.upload ? Upload(c.upload, c.path)
                                    : Post("", "program=processData&dataFile=" + c.path);
    EXPECT_TRUE(page.Has(c.shown)) << page.body;
    EXPECT_FALSE(page.Has("<b>x.vcf"));
    EXPECT_EQ(Read("data.vcf"), c.data);
    // Refused files bring the form back; the others report in the stream.
    EXPECT_EQ(page.Has("name=\"createform\""), c.shown.rfind("<h2>", 0) == 0);
  }
  EXPECT_TRUE(Log().find("Indexing the versit file failed") != std::string::npos);
  // A named file belongs to the server, not to the page.
  EXPECT_TRUE(Exists(top + "/new.vcf") && Exists(top + "/empty.vcf"));
  EXPECT_TRUE(Leftovers().empty());
}

TEST_F(SetupPagesTest, PhotosAreCopiedAndTheSizeStoredWhenUsable) {
  std::string dir = tree_.top() + "/pictures";
  mkdir(dir.c_str(), 0755);
  ConsoleTestTree::WriteFile(dir + "/zadams.jpg", "JPEG");
  ConsoleTestTree::WriteFile(dir + "/stranger.jpg", "JPEG");
  struct Case {
    std::string body;
    const char* shown;
    const char* stored;  // in the configuration; null: no photo setting
  } cases[] = {
      {"photosDir=/no/such/dir&photoSize=fixedSize&photoHeight=100",
       "<b>/no/such/dir is not a directory on the server machine!</b>", nullptr},
      {"photosDir=&photoSize=fixedSize&photoHeight=12%22x&photoWidth=",
       "<b>The height and the width must be whole numbers.\tPHOTO SIZE NOT CHANGED.</b>", nullptr},
      {"photosDir=" + dir + "&photoSize=fixedSize&photoHeight=120&photoWidth=", "1 photos copied",
       "photoHeight:120\n"},
      {"photosDir=&photoSize=FIXEDSIZE&photoHeight=+90+&photoWidth=60",
       "<b>Fixed Size(60W x 90H).</b>", "photoHeight:90\n"},
      {"photosDir=&photoSize=VariableSize", "<b>Variable Size(True Size).</b>",
       "photoStyle:KV_VARIABLE"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    ConsoleResponse page = Post("", "program=processPhotos&" + c.body);
    EXPECT_TRUE(page.Has(c.shown)) << page.body;
    EXPECT_TRUE(c.stored || !page.Has("The current display style"));
    EXPECT_EQ(Config().find(c.stored ? c.stored : "photo") != std::string::npos, c.stored != nullptr);
  }
  EXPECT_TRUE(Exists(tree_.top() + "/data/photos/zadams.jpg"));
  EXPECT_FALSE(Exists(tree_.top() + "/data/photos/stranger.jpg"));
}

TEST_F(SetupPagesTest, SavingAdministratorsNeverLeavesNoneAndEndsSessions) {
  ConsoleResponse saved =
      Post("", "program=procconfDirAdmins&dirAdminUidVal=zadams&dirAdminUidVal=mbrown");
  EXPECT_TRUE(saved.Has("uid=mbrown")) << saved.body;
  std::string mark = tree_.Run("GET", "program=navbar", {{"REMOTE_USER", "mbrown"}}).CookieHeader();
  EXPECT_FALSE(tree_.Run("GET", "program=navbar", {{"HTTP_COOKIE", mark}}).IsLoginPage());

  // Every box cleared: the form sends only its placeholder. People the
  // directory does not know are named and refused.
  struct Refused {
    const char* body;
    const char* message;
  } refused[] = {
      {"hack=hack", "the list was not changed"},
      {"dirAdminUidVal=ghost", "<h2>Not people of the directory: ghost. The list was not changed.</h2>"},
      {"dirAdminUidVal=zadams&dirAdminUidVal=gh%3Cost",
       "<h2>Not people of the directory: gh&lt;ost. The list was not changed.</h2>"},
  };
  for (const Refused& r : refused) {
    ConsoleResponse none = Post("", std::string("program=procconfDirAdmins&") + r.body);
    EXPECT_TRUE(none.Has(r.message)) << none.body;
    EXPECT_TRUE(none.Has("Mark Brown"));
  }
  EXPECT_EQ(Count(Get("program=genDirAdminsConfPage").body, "name=\"dirAdminUidVal\""), 2u);

  // Taken off and put back, mbrown's old session stays ended.
  Post("", "program=procconfDirAdmins&dirAdminUidVal=zadams");
  Post("", "program=procconfDirAdmins&dirAdminUidVal=zadams&dirAdminUidVal=mbrown");
  EXPECT_TRUE(tree_.Run("GET", "program=navbar", {{"HTTP_COOKIE", mark}}).IsLoginPage());
  for (const char* record :
       {":KV_AUDIT:mbrown navbar: logged in through the web server",
        ":KV_AUDIT:zadams procconfDirAdmins: administrators set to zadams; removed mbrown",
        ":KV_AUDIT:zadams procconfDirAdmins: administrators set to zadams, mbrown\n"})
    EXPECT_NE(Log().find(record), std::string::npos) << record << "\n" << Log();
}

// The form's change (one added, one taken off) applies to the list as it is
// stored now; an old form without its starting list replaces the list.
TEST_F(SetupPagesTest, AdministratorFormChangesOnlyWhatItChanged) {
  ASSERT_EQ(Tool("admins add mbrown"), 0);
  EXPECT_EQ(Count(Get("program=genDirAdminsConfPage").body, "name=\"dirAdminListedUid\""), 2u);
  ASSERT_EQ(Tool("admins add cyoung"), 0);  // meanwhile
  Post("program=procconfDirAdmins", "dirAdminsListed=1&dirAdminListedUid=zadams"
       "&dirAdminListedUid=mbrown&dirAdminUidVal=zadams&dirAdminUidVal=efox");
  EXPECT_EQ(Read("admins.lst"), "BEGIN:vList\nzadams\ncyoung\nefox\nEND:vList\n");
  Post("program=procconfDirAdmins", "dirAdminUidVal=zadams&dirAdminUidVal=mbrown");
  EXPECT_EQ(Read("admins.lst"), "BEGIN:vList\nzadams\nmbrown\nEND:vList\n");
}

// Twenty processes at once: ten add a field, five change the administrators
// on the console's form, five with the tool. Every change is kept.
TEST_F(SetupPagesTest, ConcurrentChangesAreAllKept) {
  std::string cards = kPeople;
  for (int i = 0; i < 10; ++i)
    cards += "BEGIN:VCARD\nFN:Person " + std::to_string(i) + "\nUID:p" + std::to_string(i) +
             "\nEND:VCARD\n";
  ConsoleTestTree::WriteFile(tree_.top() + "/more.vcf", cards);
  ASSERT_EQ(Tool("index " + tree_.top() + "/more.vcf"), 0);
  Get("program=navbar");  // the session, made once
  std::vector<pid_t> children;
  for (int i = 0; i < 20; ++i) {
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      std::string n = std::to_string(i), p = "p" + std::to_string(i - 10);
      if (i < 10)
        Post("program=proModAddnalFlds", "sub_program=processadd&fldheading=Field" + n + "&size=10");
      else if (i < 15)
        Post("program=procconfDirAdmins",
             "dirAdminsListed=1&dirAdminListedUid=zadams&dirAdminUidVal=zadams&dirAdminUidVal=" + p);
      else
        Tool("admins add " + p);
      _exit(0);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) waitpid(pid, nullptr, 0);
  std::string fields = Read("addinfo.lst");
  EXPECT_EQ(Count(fields, "Desc_"), 10u) << fields;
  EXPECT_EQ(Count(fields, "Size_"), 10u) << fields;
  for (int i = 0; i < 10; ++i) EXPECT_EQ(Count(fields, ":Field" + std::to_string(i) + "\n"), 1u);
  std::string admins = Read("admins.lst");
  for (int i = 0; i < 10; ++i) EXPECT_EQ(Count(admins, "p" + std::to_string(i) + "\n"), 1u) << admins;
  EXPECT_EQ(Count(admins, "zadams\n"), 1u);
  // Still a list the page can read.
  EXPECT_TRUE(Get("program=genChangeAdditionalInfoForm").Has("Field7"));
}

// The test back end refuses to generate accounts and can become unreachable.
TEST(SetupPagesTestBackEnd, FailuresOfTheDirectoryAreNotReportedAsSuccess) {
  ConsoleTestTree tree;
  std::map<std::string, std::string> env = {{"HTTP_COOKIE", tree.LogIn().CookieHeader()}};
  ConsoleResponse refused = tree.Run("GET", "program=progProcessGenerateAccounts", env);
  EXPECT_FALSE(refused.Has("successfully")) << refused.body;
  EXPECT_TRUE(refused.Has("<h2>The accounts could not be generated.</h2>"));
  tree.AddToDirectory("unreachable", "1");
  for (const char* query : {"program=genDirAdminsConfPage", "program=processData&dataFile="}) {
    SCOPED_TRACE(query);
    ConsoleResponse page = tree.Run("GET", query, env);
    EXPECT_TRUE(page.Has("The directory server is not responding")) << page.body;
    // The database page, not a streamed page cut short.
    EXPECT_FALSE(page.Has("parent.scroll"));
  }
}

}  // namespace
