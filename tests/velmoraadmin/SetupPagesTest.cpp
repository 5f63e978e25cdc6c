// The maintenance pages run as the web server runs them, over the real file
// directory back end: indexing the employee data (named on the server or
// uploaded), bringing in photographs and their display size, choosing the
// directory administrators through the selector cookies, and generating
// accounts.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "FileBackendTest.h"

namespace {

const char kPeople[] =
    "BEGIN:VCARD\nFN:Zoe Adams\nUID:zadams\nEND:VCARD\n"
    "BEGIN:VCARD\nFN:Mark Brown\nUID:mbrown\nEND:VCARD\n"
    "BEGIN:VCARD\nFN:Carl Young\nUID:cyoung\nEND:VCARD\n";
const char kNewPeople[] =
    "BEGIN:VCARD\nFN:Zoe Adams\nUID:zadams\nEND:VCARD\n"
    "BEGIN:VCARD\nFN:Dana Fox\nUID:dfox\nEND:VCARD\n";
const char kCapableBrowser[] = "Mozilla/4.0 (X11; Linux x86_64)";

bool Exists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

// Three people, of whom zadams is the directory administrator.
class SetupPagesTest : public FileBackendTest {
 protected:
  void SetUp() override {
    InstallFileBackend(kPeople);
    if (HasFatalFailure()) return;
    oldData_ = Data();
  }

  // A multipart post of one file part "dataFile" from a browser that can
  // upload.
  ConsoleResponse Upload(const std::string& content,
                         const std::string& client = "staff.vcf") {
    std::string body =
        "--XyZ\r\nContent-Disposition: form-data; name=\"dataFile\"; "
        "filename=\"" + client + "\"\r\nContent-Type: text/plain\r\n\r\n" +
        content + "\r\n--XyZ--\r\n";
    return Post("program=processData", body,
                {{"CONTENT_TYPE", "multipart/form-data; boundary=XyZ"},
                 {"HTTP_USER_AGENT", kCapableBrowser}});
  }

  std::string Common(const std::string& name) const {
    return tree_.top() + "/data/common/" + name;
  }
  std::string Data() const { return ConsoleTestTree::ReadFile(Common("data.vcf")); }
  std::string Config() const {
    return ConsoleTestTree::ReadFile(tree_.top() + "/config/configInfo.lst");
  }
  std::string Log() const {
    return ConsoleTestTree::ReadFile(tree_.top() + "/logs/kvlogfile");
  }
  // Files of the temporary folder other than the log.
  std::vector<std::string> Leftovers() const {
    std::vector<std::string> names;
    DIR* dir = opendir((tree_.top() + "/logs").c_str());
    if (!dir) return names;
    while (struct dirent* entry = readdir(dir)) {
      std::string name = entry->d_name;
      if (name != "." && name != ".." && name.rfind("kvlogfile", 0) != 0)
        names.push_back(name);
    }
    closedir(dir);
    return names;
  }

  std::string oldData_;
};

TEST_F(SetupPagesTest, DataFormNamesTheFileAndAsksBeforeIndexing) {
  ConsoleResponse plain = Get("program=setupData");
  EXPECT_TRUE(plain.Has("<form name=\"createform\" action=\"velmoraadmin.cgi?program=processData\" method=\"post\">"))
      << plain.body;
  EXPECT_TRUE(plain.Has("type=\"text\" name=\"dataFile\" size=\"50\" value=\"\""));
  EXPECT_TRUE(plain.Has("onChange=\"document.forms[0].dataFile.focus();\"")) << plain.body;
  EXPECT_TRUE(plain.Has(tree_.top() + "/data/common/data.vcf and indexed."));
  EXPECT_TRUE(plain.Has("javascript:submitFormAfterConfirm('Indexing will overwrite the "
                        "existing data.\\nDo you want to continue?')"));

  ConsoleResponse capable = Get("program=setupData", {{"HTTP_USER_AGENT", kCapableBrowser}});
  EXPECT_TRUE(capable.Has("enctype=\"multipart/form-data\""));
  EXPECT_TRUE(capable.Has("type=\"file\" name=\"dataFile\" size=\"50\""));
}

TEST_F(SetupPagesTest, IndexingANamedFileReplacesTheDataWithProgress) {
  std::string path = tree_.top() + "/new.vcf";
  ConsoleTestTree::WriteFile(path, kNewPeople);
  ConsoleResponse done = Post("", "program=processData&dataFile=" + path);
  EXPECT_EQ(done.headers.rfind("Content-type: text/html; charset=utf-8\nStatus: 200 OK", 0), 0u);
  EXPECT_TRUE(done.Has("top.CurrentProg='Configure Data'"));
  EXPECT_TRUE(done.Has("2 records processed"));
  EXPECT_FALSE(done.Has("Error"));
  EXPECT_EQ(Data(), kNewPeople);
  EXPECT_TRUE(Exists(path)) << "a named file belongs to the server, not to the page";

  // No path: the directory indexes its own file again.
  ConsoleResponse again = Post("", "program=processData&dataFile=");
  EXPECT_TRUE(again.Has("2 records processed"));
  EXPECT_EQ(Data(), kNewPeople);
}

TEST_F(SetupPagesTest, RefusedOrFailedFilesLeaveTheDataAsItWas) {
  std::string empty = tree_.top() + "/empty.vcf";
  ConsoleTestTree::WriteFile(empty, "");
  std::string noUid = tree_.top() + "/nocolon.vcf";
  ConsoleTestTree::WriteFile(noUid, "BEGIN:VCARD\nFN Nobody\nEND:VCARD\n");
  std::string missing = tree_.top() + "/missing.vcf";
  struct Case {
    std::string path;
    std::string shown;  // as the page writes it
    bool form;          // the form comes back; otherwise the stream reports
  } cases[] = {
      {missing, "Error: Unable to access the data file " + missing + " on the server machine", true},
      {empty, "Error: Supplied data file\t" + empty + " is of zero size", true},
      {tree_.top() + "/<b>x.vcf",
       "Error: Unable to access the data file " + tree_.top() + "/&lt;b&gt;x.vcf", true},
      {noUid, "<b>Error in indexing : Error reading versit card at line number 2</b>", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    ConsoleResponse page = Post("", "program=processData&dataFile=" + c.path);
    EXPECT_TRUE(page.Has(c.shown)) << page.body;
    if (c.form) {
      EXPECT_TRUE(page.Has("<h2>" + c.shown));
      EXPECT_TRUE(page.Has("name=\"createform\""));
    } else {
      EXPECT_TRUE(page.Has("top.CurrentProg='Configure Data'"));
      EXPECT_TRUE(Log().find("Indexing the versit file failed") != std::string::npos);
    }
    EXPECT_FALSE(page.Has("<b>x.vcf"));
    EXPECT_EQ(Data(), oldData_);
  }
  EXPECT_TRUE(Exists(empty));
  // The typed path comes back in the field.
  ConsoleResponse again = Post("", "program=processData&dataFile=" + missing);
  EXPECT_TRUE(again.Has("name=\"dataFile\" size=\"50\" value=\"" + missing + "\""));
}

TEST_F(SetupPagesTest, UploadedFilesAreIndexedAndTheirTemporaryFileRemoved) {
  ConsoleResponse done = Upload(kNewPeople);
  EXPECT_TRUE(done.Has("2 records processed")) << done.body;
  EXPECT_TRUE(done.Has("<b>2 cards loaded</b>")) << done.body;
  EXPECT_EQ(Data(), kNewPeople);
  EXPECT_TRUE(Leftovers().empty());

  // A name that holds ";", or no name at all, is still an upload.
  for (const char* client : {";staff; 2024.vcf", ""}) {
    ConsoleResponse named = Upload(kPeople, client);
    EXPECT_TRUE(named.Has("3 records processed")) << client << named.body;
    EXPECT_EQ(Data(), kPeople) << client;
    ASSERT_TRUE(Upload(kNewPeople).Has("2 records processed"));
  }
  EXPECT_TRUE(Leftovers().empty());

  ConsoleResponse empty = Upload("");
  EXPECT_TRUE(empty.Has("Error: Supplied data file\tstaff.vcf is of zero size")) << empty.body;
  EXPECT_TRUE(empty.Has("type=\"file\" name=\"dataFile\""));
  EXPECT_EQ(Data(), kNewPeople);
  EXPECT_TRUE(Leftovers().empty());
}

TEST_F(SetupPagesTest, PhotoFormShowsTheStoredSize) {
  tree_.SetConfig({{"photoStyle", "KV_FIXED"}, {"photoHeight", "80"}});
  ConsoleResponse page = Get("program=setupPhotos");
  EXPECT_TRUE(page.Has("<td rowspan=\"2\" valign=\"top\"><b>")) << page.body;
  EXPECT_TRUE(page.Has("name=\"photoSize\" value=\"variableSize\">Variable Size(True Size)</b>"));
  EXPECT_TRUE(page.Has("value=\"fixedSize\" checked=\"true\""));
  EXPECT_TRUE(page.Has("name=\"photoHeight\" size=\"3\" value=\"80\""));
  EXPECT_TRUE(page.Has("name=\"photoWidth\" size=\"3\" value=\"\""));
  EXPECT_TRUE(page.Has("action=\"velmoraadmin.cgi?program=processPhotos\""));
}

TEST_F(SetupPagesTest, PhotosAreCopiedAndTheSizeStored) {
  std::string dir = tree_.top() + "/pictures";
  mkdir(dir.c_str(), 0755);
  ConsoleTestTree::WriteFile(dir + "/zadams.jpg", "JPEG");
  ConsoleTestTree::WriteFile(dir + "/stranger.jpg", "JPEG");
  ConsoleResponse page = Post("", "program=processPhotos&photosDir=" + dir +
                                      "&photoSize=fixedSize&photoHeight=120&photoWidth=");
  EXPECT_TRUE(page.Has("1 photos copied")) << page.body;
  EXPECT_TRUE(page.Has("<b>Photographs were brought over!</b>"));
  EXPECT_TRUE(page.Has("<b>The current display style for the employee photographs is </b>"));
  EXPECT_TRUE(page.Has("<b>Fixed Height (120).</b>"));
  EXPECT_TRUE(Exists(tree_.top() + "/data/photos/zadams.jpg"));
  EXPECT_FALSE(Exists(tree_.top() + "/data/photos/stranger.jpg"));
  EXPECT_TRUE(Config().find("photoStyle:KV_FIXED") != std::string::npos);
  EXPECT_TRUE(Config().find("photoHeight:120") != std::string::npos);

  ConsoleResponse both = Post("", "program=processPhotos&photosDir=&photoSize=FIXEDSIZE"
                                  "&photoHeight=+90+&photoWidth=60");
  EXPECT_TRUE(both.Has("<b>No photographs were brought over!</b>"));
  EXPECT_TRUE(both.Has("<b>Fixed Size(60W x 90H).</b>"));
  EXPECT_TRUE(Config().find("photoHeight:90\n") != std::string::npos);

  ConsoleResponse variable = Post("", "program=processPhotos&photosDir=&photoSize=VariableSize");
  EXPECT_TRUE(variable.Has("<b>Variable Size(True Size).</b>"));
  EXPECT_TRUE(Config().find("photoStyle:KV_VARIABLE") != std::string::npos);
}

TEST_F(SetupPagesTest, PhotoSizeIsLeftAloneWhenTheInputIsUnusable) {
  struct Case {
    std::string body;
    std::string shown;
  } cases[] = {
      {"photosDir=/no/such/dir&photoSize=fixedSize&photoHeight=100",
       "<b>/no/such/dir is not a directory on the server machine!</b>"},
      {"photosDir=&photoSize=fixedSize&photoHeight=&photoWidth=",
       "<b>Neither height nor width were specified.\tPHOTO SIZE NOT CHANGED.</b>"},
      {"photosDir=&photoSize=fixedSize&photoHeight=12%22x&photoWidth=",
       "<b>The height and the width must be whole numbers.\tPHOTO SIZE NOT CHANGED.</b>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    ConsoleResponse page = Post("", "program=processPhotos&" + c.body);
    EXPECT_TRUE(page.Has(c.shown)) << page.body;
    EXPECT_FALSE(page.Has("The current display style"));
    EXPECT_EQ(Config().find("photo"), std::string::npos);
  }
}

TEST_F(SetupPagesTest, AdminFormStartsFromTheStoredAdministrators) {
  ConsoleResponse page = Get("program=genDirAdminsConfPage");
  EXPECT_EQ(Count(page.body, "name=\"dirAdminUidVal\""), 1u) << page.body;
  EXPECT_TRUE(page.Has("name=\"dirAdminUidVal\" value=\"zadams\" checked=\"true\""));
  EXPECT_EQ(page.cookies["PersonSelectorCookie"], "zadams");
  EXPECT_EQ(page.cookies.count("GroupSelectorCookie"), 1u);
  EXPECT_TRUE(page.Has(
      "javascript:dirAdminsSelector('../../selector/bin/selector.cgi','..%2F..%2Fadmin%2Fbin%2F"
      "velmoraadmin.cgi%3Fprogram%3DgenDirAdminsConfPage')"));
  EXPECT_TRUE(page.Has("action=\"velmoraadmin.cgi?program=procconfDirAdmins\""));
}

TEST_F(SetupPagesTest, SelectorReturnAddsGroupMembersOnce) {
  ConsoleTestTree::WriteFile(Common("groups.lst"),
                             "BEGIN:vNameList\nteam:The Team\nEND:vNameList\n");
  ConsoleTestTree::WriteFile(Common("groupmembers.lst"),
                             "BEGIN:vNameList\nteam:mbrown\nteam:cyoung\nteam:zadams\n"
                             "END:vNameList\n");
  ConsoleResponse page =
      Get("program=genDirAdminsConfPage&selector=1",
          {{"HTTP_COOKIE", "PersonSelectorCookie=zadams; GroupSelectorCookie=team"}});
  EXPECT_EQ(Count(page.body, "name=\"dirAdminUidVal\""), 3u) << page.body;
  for (const char* uid : {"zadams", "mbrown", "cyoung"})
    EXPECT_TRUE(page.Has(std::string("value=\"") + uid + "\" checked=\"true\"")) << uid;
  // The cookie keeps the people as the selector chose them.
  EXPECT_EQ(page.cookies["PersonSelectorCookie"], "zadams");
}

TEST_F(SetupPagesTest, SavingAdministratorsNeverLeavesNone) {
  ConsoleResponse saved =
      Post("", "program=procconfDirAdmins&dirAdminUidVal=zadams&dirAdminUidVal=mbrown");
  EXPECT_TRUE(saved.Has("<h3>Current Directory Administrators</h3>")) << saved.body;
  EXPECT_TRUE(saved.Has("Zoe Adams"));
  EXPECT_TRUE(saved.Has("Mark Brown"));
  EXPECT_TRUE(saved.Has("uid=mbrown"));
  EXPECT_NE(ConsoleTestTree::ReadFile(Common("admins.lst")).find("mbrown"), std::string::npos);

  // Every box cleared: the form sends only its placeholder. People the
  // directory does not know are named and refused.
  struct Refused {
    const char* body;
    const char* message;
  } refused[] = {
      {"program=procconfDirAdmins&hack=hack", "the list was not changed"},
      {"program=procconfDirAdmins&dirAdminUidVal=ghost",
       "<h2>Not people of the directory: ghost. The list was not changed.</h2>"},
      {"program=procconfDirAdmins&dirAdminUidVal=zadams&dirAdminUidVal=gh%3Cost",
       "<h2>Not people of the directory: gh&lt;ost. The list was not changed.</h2>"},
  };
  for (const Refused& r : refused) {
    ConsoleResponse none = Post("", r.body);
    EXPECT_TRUE(none.Has(r.message)) << none.body;
    EXPECT_TRUE(none.Has("Mark Brown"));
  }
  ConsoleResponse still = Get("program=genDirAdminsConfPage");
  EXPECT_FALSE(still.IsLoginPage());
  EXPECT_EQ(Count(still.body, "name=\"dirAdminUidVal\""), 2u);
}

TEST_F(SetupPagesTest, RemovingAnAdministratorEndsTheirSessions) {
  ASSERT_EQ(Tool("admins add mbrown"), 0);
  std::string mark =
      tree_.Run("GET", "program=navbar", {{"REMOTE_USER", "mbrown"}}).CookieHeader();
  EXPECT_FALSE(tree_.Run("GET", "program=navbar", {{"HTTP_COOKIE", mark}}).IsLoginPage());
  Post("", "program=procconfDirAdmins&dirAdminUidVal=zadams");
  Post("", "program=procconfDirAdmins&dirAdminUidVal=zadams&dirAdminUidVal=mbrown");
  // Back on the list, but the old session stays ended.
  EXPECT_TRUE(tree_.Run("GET", "program=navbar", {{"HTTP_COOKIE", mark}}).IsLoginPage());
  std::string log = ConsoleTestTree::ReadFile(tree_.top() + "/logs/kvlogfile");
  for (const char* record :
       {":KV_AUDIT:mbrown navbar: logged in through the web server",
        ":KV_AUDIT:zadams procconfDirAdmins: administrators set to zadams; removed mbrown",
        ":KV_AUDIT:zadams procconfDirAdmins: administrators set to zadams, mbrown\n"})
    EXPECT_NE(log.find(record), std::string::npos) << record << "\n" << log;
}

TEST_F(SetupPagesTest, AccountsAreGeneratedAndCounted) {
  ConsoleResponse ask = Get("program=progGenerateAccounts");
  EXPECT_TRUE(ask.Has("href=\"velmoraadmin.cgi?program=progProcessGenerateAccounts\"")) << ask.body;
  EXPECT_FALSE(Exists(Common("accounts.lst")));

  ConsoleResponse done = Get("program=progProcessGenerateAccounts");
  EXPECT_TRUE(done.Has("<h2>All accounts were successfully generated. !!</h2>")) << done.body;
  EXPECT_TRUE(done.Has(">3</td>") || done.Has(">3\n"));
  EXPECT_TRUE(Exists(Common("accounts.lst")));
}

// The test back end: refuses to generate accounts and can become
// unreachable.
class SetupPagesTestBackEnd : public ::testing::Test {
 protected:
  ConsoleTestTree tree_;
};

TEST_F(SetupPagesTestBackEnd, FailuresOfTheDirectoryAreNotReportedAsSuccess) {
  ConsoleResponse login = tree_.LogIn();
  std::map<std::string, std::string> env = {{"HTTP_COOKIE", login.CookieHeader()}};
  ConsoleResponse refused = tree_.Run("GET", "program=progProcessGenerateAccounts", env);
  EXPECT_FALSE(refused.Has("successfully")) << refused.body;
  EXPECT_TRUE(refused.Has("<h2>The accounts could not be generated.</h2>"));

  ConsoleResponse notStored = tree_.Run("POST", "", env,
                                        "program=procconfDirAdmins&dirAdminUidVal=u-bob");
  EXPECT_TRUE(notStored.Has("did not store")) << notStored.body;

  tree_.AddToDirectory("unreachable", "1");
  for (const char* query : {"program=genDirAdminsConfPage",
                            "program=processData&dataFile="}) {
    SCOPED_TRACE(query);
    ConsoleResponse page = tree_.Run("GET", query, env);
    EXPECT_TRUE(page.Has("The directory server is not responding")) << page.body;
    // The database page, not a streamed page cut short.
    EXPECT_FALSE(page.Has("parent.scroll"));
  }
}

}  // namespace
