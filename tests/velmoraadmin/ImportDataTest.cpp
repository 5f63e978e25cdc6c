// The import dialogue in one process: the conversion of delimited files to
// cards and to LDAP entries, the category lists, and the
// limits on which server files a request may read or fetch. The process
// works in the test installation tree that the console tests set up.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <map>

#include "ConsoleTestTree.h"
#include "DelimitedReader.h"
#include "MemoryRequest.h"
#include "TestSupport.h"

namespace {

using testsupport::CountOf;
using testsupport::ReadAll;
using testsupport::WriteAll;

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Each test gets its own temporary directory as TMPDIR.
class ImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.Make("/tmp/velmora-import-"));
    tmp_ = dir_.top();
    if (const char* old = getenv("TMPDIR")) oldTmp_ = old;
    setenv("TMPDIR", tmp_.c_str(), 1);
  }
  void TearDown() override {
    if (oldTmp_.empty()) unsetenv("TMPDIR"); else setenv("TMPDIR", oldTmp_.c_str(), 1);
  }

  std::string Source(const std::string& text) {
    WriteAll(tmp_ + "/source.txt", text);
    return tmp_ + "/source.txt";
  }
  std::string Output() const { return ReadAll(tmp_ + "/tempdata.vcf"); }

  // Runs the "genVersitFile" step; returns the streamed page.
  std::string Convert(const std::string& source, const std::vector<std::string>& tags,
                      const Vars& vars) {
    MemoryRequest req(vars);
    req.Set({{"filePath", Source(source)}, {"versittags", std::to_string(tags.size())}});
    for (size_t i = 0; i < tags.size(); ++i)
      req.Set({{"versittag_" + std::to_string(i), tags[i]}});
    VelmoraAdminImportData handler(&req, VelmoraAdminGetApp());
    return req.Emit(handler.GenVersitFile());
  }
  // Runs one step of the dialogue on a request with vars.
  std::string Step(const Vars& vars, Page* (VelmoraAdminImportData::*step)()) {
    MemoryRequest req(vars);
    VelmoraAdminImportData handler(&req, VelmoraAdminGetApp());
    return req.Emit((handler.*step)());
  }

  testsupport::TempTree dir_;
  std::string tmp_;
  std::string oldTmp_;
};

const Vars kVersit = {{"toFormat", "toVersit"}};
const Vars kLDAP = {{"toFormat", "toLDAP"}, {"whichUid", "NEW"}};
const char kConverted[] =
    "Data successfuly converted and put in tempdata.vcf file in the temporary directory.";

// Cards from columns; LDAP entries missing their structure end the
// conversion with no file.
TEST_F(ImportTest, ConversionsFromColumns) {
  struct Case {
    const char* name;
    std::string source;
    std::vector<std::string> tags;
    Vars vars;
    std::string cards;
    std::vector<std::string> page;  // beyond the start and the save section
  } cases[] = {
      {"name parts feed FN only; an empty tag is not written",
       "first,last,middle,skip,mail\nJohn,Smith,Quincy,x,j@x.com\n",
       {"GivenName", "FamilyName", "MiddleInitial", "", "EMAIL"}, {},
       "BEGIN:vCard\nEMAIL:j@x.com\nFN:John Q Smith\nEND:vCard\n", {kConverted}},
      {"an FN column is kept and none is made up", "John Smith;Boss\n", {"FN", "TITLE"},
       {{"firstLine", "TRUE"}, {"delimiter", ";"}},
       "BEGIN:vCard\nFN:John Smith\nTITLE:Boss\nEND:vCard\n", {kConverted}},
      {"the header line is skipped, the last line counts without its end",
       "a|b\nAnn|1\nBo|2", {"N", "TEL;WORK"}, {{"delimiter", "|"}},
       "BEGIN:vCard\nN:Ann\nTEL;WORK:1\nFN:\nEND:vCard\n"
       "BEGIN:vCard\nN:Bo\nTEL;WORK:2\nFN:\nEND:vCard\n", {kConverted}},
      {"administrator fields are numbered in column order",
       "x,y,z\n1,2,3\n", {"X-KAVRI-LABEL", "x-kavri-label;WORK", "FN"}, {},
       "BEGIN:vCard\nX-KAVRI-LABEL-1:1\nX-KAVRI-LABEL-2;WORK:2\nFN:3\nEND:vCard\n", {kConverted}},
      {"a line break in a quoted field keeps every person and is no fold",
       "name,note\n\"Lee, Ann\",\"two\r\nlines\"\nCy Fox,plain\n", {"FN", "NOTE"}, {},
       "BEGIN:vCard\nFN:Lee, Ann\nNOTE:two, lines\nEND:vCard\n"
       "BEGIN:vCard\nFN:Cy Fox\nNOTE:plain\nEND:vCard\n", {kConverted}},
      {"a line with the wrong count is reported, skipped and counted",
       "a,b,c\n1,2,3\n4,5,6,7\n8,9,10\n", {"N", "ORG", "FN"}, {},
       "BEGIN:vCard\nN:1\nORG:2\nFN:3\nEND:vCard\nBEGIN:vCard\nN:8\nORG:9\nFN:10\nEND:vCard\n",
       {"Converting:Confusion at line no. 3 Fields found : 4 expected : 3", "Converting:4<",
        "<h2>2 rows converted, 1 rows skipped</h2>"}},
      {"LDAP entries need an ou", "a,b\nc,d\n", {"cn", "mail"}, kLDAP, "",
       {"Errors encountered while Data convertion.",
        "Error while converting : No ou field specified."}},
      {"LDAP entries need a cn or both names", "a,b\nc,d\n", {"ou", "sn"}, kLDAP, "",
       {"Error while converting : cn as well as sn &amp; givenname fields are missing"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    unlink((tmp_ + "/tempdata.vcf").c_str());
    Vars vars = c.vars;
    if (vars.empty() || vars[0].first != "toFormat")
      vars.insert(vars.begin(), kVersit.begin(), kVersit.end());
    std::string page = Convert(c.source, c.tags, vars);
    EXPECT_EQ(Output(), c.cards);
    EXPECT_EQ(KvCheckIfFile((tmp_ + "/tempdata.vcf").c_str()), !c.cards.empty());
    for (const std::string& piece : c.page) EXPECT_TRUE(Has(page, piece)) << piece << page;
    EXPECT_EQ(Has(page, kConverted), c.page[0] == kConverted);
  }
}

// RFC 4180 records: quoted delimiters, doubled quotes, line breaks inside
// quotes, a byte-order mark, CR LF ends and empty lines.
TEST(DelimitedReaderTest, QuotingCases) {
  struct Case {
    std::string text;
    char delimiter;
    std::vector<std::vector<std::string>> records;
    std::vector<int> lines;  // where each record starts
    std::string problem;     // of the last record
  } cases[] = {
      {"a,\"Berlin, Mitte\",\"He said \"\"hi\"\"\"\n", ',', {{"a", "Berlin, Mitte", "He said \"hi\""}},
       {1}, ""},
      {"\"1 Main St\r\nSuite 2\",y\r\nz,w\r\n", ',', {{"1 Main St\r\nSuite 2", "y"}, {"z", "w"}},
       {1, 3}, ""},
      {"\xEF\xBB\xBFname;city\r\nAnn;Oslo\r\n", ';', {{"name", "city"}, {"Ann", "Oslo"}}, {1, 2}, ""},
      {"a,b\n\n\nc,d\n\n", ',', {{"a", "b"}, {"c", "d"}}, {1, 4}, ""},
      // Blanks trimmed outside quotes, but not in the last field.
      {" a , \" b \" , c ", ',', {{"a", " b ", " c "}}, {1}, ""},
      {",,\nx,\"\",", ',', {{"", "", ""}, {"x", "", ""}}, {1, 2}, ""},
      {"a,b\nc,\"never closed\n", ',', {{"a", "b"}, {"c", "never closed\n"}}, {1, 2},
       "a quoted field is not closed before the end of the file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    FILE* fp = fmemopen(const_cast<char*>(c.text.data()), c.text.size(), "r");
    ASSERT_NE(fp, nullptr);
    DelimitedReader reader(fp, c.delimiter);
    std::vector<std::vector<std::string>> records;
    std::vector<int> lines;
    std::vector<std::string> fields;
    std::string problem;
    int line = 0;
    while (reader.Next(&fields, &line, &problem)) {
      records.push_back(fields);
      lines.push_back(line);
      if (!problem.empty()) break;
    }
    fclose(fp);
    EXPECT_EQ(lines, c.lines);
    EXPECT_EQ(problem, c.problem);
    if (c.problem.empty()) {
      EXPECT_EQ(records, c.records);
    }
  }
}

// The LDIF as python-ldap's parser reads it: escaped dns, base64 values
// that are not safe strings, UTF-8 lower case, no line twice; and
// ldapmodify accepts it.
TEST_F(ImportTest, LDIFParsedByPythonLdap) {
  Convert(
      "name,dept,uid,boss,pw,note\n"
      "José López,\"Ops, West\",jlopez,,secret,\" leading blank\"\n"
      "ÉMILE Durand,\"Ops, West\",edurand,jlopez,secret,:colon\n"
      "Ann Lee,#1 <R&D>,alee,nobody,pw2,\"a\r\nb\"\n",
      {"cn", "ou", "uid", "manager", "userpassword", "description"}, kLDAP);
  std::string ldif = tmp_ + "/tempdata.vcf";
  std::string command = "/usr/bin/python3 " + std::string(TEST_SOURCE_DIR) +
                        "/tests/velmoraadmin/ldif_records.py " + ldif;
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string parsed;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) parsed.append(buf, n);
  EXPECT_EQ(pclose(pipe), 0) << ReadAll(ldif);
  EXPECT_EQ(parsed,
            "dn=o=Kavri|c=US\nobjectclass=top\nobjectclass=organization\no=Kavri\n--\n"
            "dn=ou=Ops, West|o=Kavri|c=US\nobjectclass=top\nobjectclass=organizationalunit\n"
            "ou=Ops, West\n--\ndn=cn=José López|ou=Ops, West|o=Kavri|c=US\ncn=José López\n"
            "sn=López\ngivenname=José\nobjectclass=top\nobjectclass=person\n"
            "objectclass=organizationalPerson\nobjectclass=inetOrgPerson\nou=Ops, West\n"
            "userpassword=secret\ndescription= leading blank\nmanager=\nuid=josé_lópez\n--\n"
            "dn=cn=ÉMILE Durand|ou=Ops, West|o=Kavri|c=US\ncn=ÉMILE Durand\nsn=Durand\n"
            "givenname=ÉMILE\nobjectclass=top\nobjectclass=person\n"
            "objectclass=organizationalPerson\nobjectclass=inetOrgPerson\nou=Ops, West\n"
            "userpassword=secret\ndescription=:colon\n"
            "manager=cn=José López, ou=Ops\\, West, o=Kavri, c=US\nuid=émile_durand\n--\n"
            "dn=ou=#1 <R&D>|o=Kavri|c=US\nobjectclass=top\nobjectclass=organizationalunit\n"
            "ou=#1 <R&D>\n--\ndn=cn=Ann Lee|ou=#1 <R&D>|o=Kavri|c=US\ncn=Ann Lee\nsn=Lee\n"
            "givenname=Ann\nobjectclass=top\nobjectclass=person\nobjectclass=organizationalPerson\n"
            "objectclass=inetOrgPerson\nou=#1 <R&D>\nuserpassword=pw2\ndescription=a\r\nb\n"
            "manager=\nuid=ann_lee\n--\n")
      << ReadAll(ldif);
  std::string check = "ldapmodify -n -a -f " + ldif + " -H ldap://127.0.0.1:1 >/dev/null 2>&1";
  EXPECT_EQ(system(check.c_str()), 0) << ReadAll(ldif);
}

TEST_F(ImportTest, LDAPManagersIdentifiersAndPasswords) {
  Convert("gn,sn,ou,uid,mgr\nAnn,Lee,Ops,alee,\nBo,Kim,Ops,bkim,ALEE\nCy,Dunn,Ops,cdunn,nobody\n"
          "Cy,Dunn,Ops,cdunn,nobody\n",
          {"givenname", "sn", "ou", "uid", "manager"},
          {{"toFormat", "toLDAP"}, {"whichUid", "EXISTING"}, {"companyName", "Acme"},
           {"country", "DE"}});
  std::string out = Output();
  EXPECT_TRUE(Has(out, "\ndn: o=Acme, c=DE\n"));
  // Names come from their own columns, so neither is written twice; a
  // person twice in the file is written once.
  EXPECT_EQ(CountOf(out, "sn: Kim\n"), 1);
  EXPECT_EQ(CountOf(out, "dn: cn=Cy Dunn, ou=Ops, o=Acme, c=DE\n"), 1);
  EXPECT_TRUE(Has(out, "uid: bkim\nmanager: cn=Ann Lee, ou=Ops, o=Acme, c=DE\n"
                       "userpassword: bo_kim\n\n")) << out;
  EXPECT_TRUE(Has(out, "uid: cdunn\nmanager: \nuserpassword: cy_dunn\n\n")) << out;
}

// Whatever lies under the output's name (a link, a second name of another
// file, a file of another user open to all) is replaced, never written to;
// the source is removed once converted. A source outside the temporary
// directory is not read.
TEST_F(ImportTest, OnlyTemporaryFilesAreReadAndPlantedOutputIsNotWritten) {
  std::string victim = tmp_ + "/victim.txt", out = tmp_ + "/tempdata.vcf";
  std::function<void()> plants[] = {
      [&] { ASSERT_EQ(symlink(victim.c_str(), out.c_str()), 0); },
      [&] { ASSERT_EQ(link(victim.c_str(), out.c_str()), 0); },
      [&] {
        WriteAll(out, "precious\n");
        ASSERT_EQ(chmod(out.c_str(), 0666), 0);
        ASSERT_EQ(chown(out.c_str(), 65534, 65534), 0);
      },
  };
  for (auto& plant : plants) {
    WriteAll(victim, "precious\n");
    unlink(out.c_str());
    plant();
    int planted = open(out.c_str(), O_RDONLY);
    std::string page = Convert("a\nb\n", {"FN"}, kVersit);
    EXPECT_TRUE(Has(page, "Click on Save")) << page;
    EXPECT_EQ(ReadAll(victim), "precious\n");
    char buf[16] = {};
    EXPECT_EQ(pread(planted, buf, sizeof buf - 1, 0), 9) << buf;
    close(planted);
    struct stat st;
    ASSERT_EQ(lstat(out.c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode) && st.st_nlink == 1 && st.st_uid == geteuid());
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_TRUE(Has(Output(), "FN:b"));
    EXPECT_FALSE(KvCheckIfFile((tmp_ + "/source.txt").c_str()));
  }

  unlink(out.c_str());
  std::string page = Step({{"toFormat", "toVersit"}, {"filePath", "/etc/passwd"},
                           {"versittags", "1"}, {"versittag_0", "FN"}, {"firstLine", "TRUE"}},
                          &VelmoraAdminImportData::GenVersitFile);
  EXPECT_TRUE(Has(page, "Could not open the source file"));
  EXPECT_FALSE(Has(page, "root"));
  EXPECT_FALSE(KvCheckIfFile(out.c_str()));
  // Nor through a link or a subfolder of the temporary directory.
  ASSERT_EQ(symlink("/etc/passwd", (tmp_ + "/link.txt").c_str()), 0);
  for (std::string path : {tmp_ + "/link.txt", tmp_ + "/../../etc/passwd"}) {
    MemoryRequest req(Vars{{"filePath", path}});
    EXPECT_EQ(VelmoraAdminImportData(&req, VelmoraAdminGetApp()).SourcePath(), "") << path;
  }
  // A path typed by the administrator is copied, and only from here.
  WriteAll(tmp_ + "/upload-1", "a,b\n");
  for (std::string typed : {tmp_ + "/upload-1", std::string("/etc/passwd")}) {
    page = Step({{"fileUploadName", typed}, {"toFormat", "toVersit"}},
                &VelmoraAdminImportData::DisplayOptionsPage);
    EXPECT_EQ(Has(page, "filePath=%2F"), typed[1] == 't') << page;
    EXPECT_FALSE(Has(page, "upload-1") || Has(page, "passwd"));
  }
}

TEST_F(ImportTest, DownloadOnlyTheConvertedFile) {
  std::string converted = tmp_ + "/tempdata.vcf", second = tmp_ + "/second";
  WriteAll(converted, "BEGIN:vCard\nFN:A\nEND:vCard\n");
  WriteAll(tmp_ + "/other.txt", "secret\n");
  struct Case {
    std::string dataFile;
    std::function<void()> before;  // makes it a file not to send
    bool sent;
  } cases[] = {
      {converted, [] {}, true},
      {tmp_ + "/other.txt", [] {}, false},
      {"/etc/passwd", [] {}, false},
      {tmp_ + "/../" + tmp_.substr(5) + "/tempdata.vcf", [] {}, true},
      // Not a file with a second name, nor one of another user.
      {converted, [&] { ASSERT_EQ(link(converted.c_str(), second.c_str()), 0); }, false},
      {converted, [&] {
         unlink(second.c_str());
         ASSERT_EQ(chown(converted.c_str(), 65534, 65534), 0);
       }, false},
  };
  for (const Case& c : cases) {
    c.before();
    std::string out = Step({{"dataFile", c.dataFile}}, &VelmoraAdminImportData::GenSaveAsDialogBox);
    EXPECT_EQ(Has(out, "FN:A"), c.sent) << c.dataFile << out;
    EXPECT_EQ(Has(out, "text/vcard; charset=utf-8"), c.sent) << c.dataFile;
    EXPECT_FALSE(Has(out, "secret"));
    EXPECT_FALSE(Has(out, "root:"));
  }
  // After an LDAP conversion the file is offered as data.ldif.
  unlink(second.c_str());
  ASSERT_EQ(chown(converted.c_str(), geteuid(), getegid()), 0);
  std::string ldif = Step({{"dataFile", converted}, {"toFormat", "toLDAP"}},
                          &VelmoraAdminImportData::GenSaveAsDialogBox);
  EXPECT_TRUE(Has(ldif, "filename=\"data.ldif\"")) << ldif;
}

// A file of very many columns is offered its first 4096, as converted.
TEST_F(ImportTest, FramesOfferAtMost4096Columns) {
  std::string wide;
  for (int i = 0; i < 5000; ++i) wide += "c" + std::to_string(i) + ",";
  std::string lower = Step({{"toFormat", "toVersit"}, {"filePath", Source(wide + "\n")}},
                           &VelmoraAdminImportData::GenLowerFrame);
  EXPECT_EQ(CountOf(lower, "name=\"versittag_"), 4096);
  EXPECT_TRUE(Has(lower, "name=\"versittags\" value=\"4096\""));
  // Nor does a file outside the temporary directory give its columns.
  EXPECT_TRUE(testsupport::Throws([&] {
    Step({{"toFormat", "toVersit"}, {"filePath", "/etc/passwd"}},
         &VelmoraAdminImportData::GenLowerFrame);
  }));
}

TEST_F(ImportTest, CategoryListsAreEditedAndSorted) {
  KvConfigDB* config = VelmoraAdminGetApp()->GetConfigDB();
  Step({{"toFormat", "toVersit"}, {"subcategories", "4"}, {"subcateg_0", "Work"},
        {"val_0", "WORK"}, {"subcateg_1", ""}, {"val_1", "DROPPED"}, {"subcateg_2", "Fax"},
        {"val_2", ""}, {"subcateg_3", "Cell"}, {"val_3", "CELL"}},
       &VelmoraAdminImportData::SaveSubCategoriesPage);
  std::unique_ptr<ValNameList> stored(config->ReadSubcategories());
  std::string text;
  for (ValNameListItem* item = stored->GetFirst(); item; item = item->next)
    text += std::string(item->name) + "=" + item->value + ";";
  EXPECT_EQ(text, "Cell=CELL;Fax=Fax;Work=WORK;");

  // A save without its count, with a bad one or with rows missing is
  // refused and the list stays.
  const Vars refused[] = {
      {}, {{"subcategories", "-1"}}, {{"subcategories", "abc"}},
      {{"subcategories", "99999999999999999999"}}, {{"subcategories", "2"}, {"subcateg_0", "Home"}},
  };
  for (const Vars& vars : refused) {
    try {
      Step(vars, &VelmoraAdminImportData::SaveSubCategoriesPage);
      ADD_FAILURE() << "saved";
    } catch (KvError* e) {
      std::unique_ptr<KvError> owned(e);
      EXPECT_EQ(e->GetKind(), kKvErrorParse);
    }
    std::unique_ptr<ValNameList> kept(config->ReadSubcategories());
    EXPECT_EQ(kept->GetCount(), 3);
  }
}

}  // namespace
