// The import dialogue in one process: the conversion of delimited files to
// cards and to LDAP entries, the progress page, the category lists, and the
// limits on which server files a request may read or fetch. The process
// works in the test installation tree that the console tests set up.
#include <sys/stat.h>
#include <unistd.h>

#include <fcntl.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ConsoleTestTree.h"
#include "DelimitedReader.h"
#include "TestSupport.h"
#include "velmoraadmin.h"

namespace {

using testsupport::CountOf;
using testsupport::ReadAll;
using testsupport::WriteAll;

// A request whose output is kept in memory and whose uploads can be made.
class ImportRequest : public CGIRequestInfo {
 public:
  ImportRequest() {
    stream_ = open_memstream(&buffer_, &size_);
    outputStream = stream_;
    cookies = new ValNameList;
  }
  ~ImportRequest() override {
    fclose(stream_);
    free(buffer_);
  }
  void Set(const std::map<std::string, std::string>& vars) {
    for (const auto& [name, value] : vars) AddParam(name.c_str(), value.c_str());
  }
  // An uploaded file as the multipart parser leaves it.
  void Upload(const char* name, const std::string& path) {
    params->Append(name, "data.txt", path.c_str());
    KeepUpload(path.c_str());
  }
  std::string Output() {
    fflush(stream_);
    return std::string(buffer_, size_);
  }
  std::string Emit(Page* page) {
    std::unique_ptr<Page> owned(page);
    owned->emit(this, 0, 1, "style0");
    return Output();
  }

 private:
  char* buffer_ = nullptr;
  size_t size_ = 0;
  FILE* stream_;
};

// Each test gets its own temporary directory as TMPDIR.
class ImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/velmora-import-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    tmp_ = pattern;
    const char* old = getenv("TMPDIR");
    hadTmp_ = old != nullptr;
    if (old) oldTmp_ = old;
    setenv("TMPDIR", tmp_.c_str(), 1);
  }
  void TearDown() override {
    if (hadTmp_)
      setenv("TMPDIR", oldTmp_.c_str(), 1);
    else
      unsetenv("TMPDIR");
    std::string command = "rm -rf '" + tmp_ + "'";
    if (system(command.c_str()) != 0) ADD_FAILURE() << "cannot remove " << tmp_;
  }

  std::string Source(const std::string& text) {
    std::string path = tmp_ + "/source.txt";
    WriteAll(path, text);
    return path;
  }
  std::string Output() const { return ReadAll(tmp_ + "/tempdata.vcf"); }

  // Runs the "genVersitFile" step; returns the streamed page.
  std::string Convert(const std::string& source,
                      const std::vector<std::string>& tags,
                      std::map<std::string, std::string> vars) {
    ImportRequest req;
    vars["filePath"] = Source(source);
    vars["versittags"] = std::to_string(tags.size());
    for (size_t i = 0; i < tags.size(); ++i)
      vars["versittag_" + std::to_string(i)] = tags[i];
    req.Set(vars);
    VelmoraAdminImportData handler(&req, VelmoraAdminGetApp());
    req.Emit(handler.GenVersitFile());
    return req.Output();
  }

  std::string tmp_;
  std::string oldTmp_;
  bool hadTmp_ = false;
};

const std::map<std::string, std::string> kVersit = {{"toFormat", "toVersit"}};

TEST_F(ImportTest, VersitCardsFromColumns) {
  struct Case {
    const char* name;
    std::string source;
    std::vector<std::string> tags;
    std::map<std::string, std::string> vars;
    std::string cards;
  } cases[] = {
      {"name parts feed FN only; an empty tag is not written",
       "first,last,middle,skip,mail\nJohn,Smith,Quincy,x,j@x.com\n",
       {"GivenName", "FamilyName", "MiddleInitial", "", "EMAIL"},
       {},
       "BEGIN:vCard\nEMAIL:j@x.com\nFN:John Q Smith\nEND:vCard\n"},
      {"an FN column is kept and none is made up",
       "John Smith;Boss\n", {"FN", "TITLE"},
       {{"firstLine", "TRUE"}, {"delimiter", ";"}},
       "BEGIN:vCard\nFN:John Smith\nTITLE:Boss\nEND:vCard\n"},
      {"the header line is skipped, the last line counts without its end",
       "a|b\nAnn|1\nBo|2", {"N", "TEL;WORK"}, {{"delimiter", "|"}},
       "BEGIN:vCard\nN:Ann\nTEL;WORK:1\nFN:\nEND:vCard\n"
       "BEGIN:vCard\nN:Bo\nTEL;WORK:2\nFN:\nEND:vCard\n"},
      {"administrator fields are numbered in column order",
       "x,y,z\n1,2,3\n", {"X-KAVRI-LABEL", "x-kavri-label;WORK", "FN"}, {},
       "BEGIN:vCard\nX-KAVRI-LABEL-1:1\nX-KAVRI-LABEL-2;WORK:2\nFN:3\n"
       "END:vCard\n"},
  };
  for (const Case& c : cases) {
    std::map<std::string, std::string> vars = kVersit;
    vars.insert(c.vars.begin(), c.vars.end());
    std::string page = Convert(c.source, c.tags, vars);
    EXPECT_EQ(Output(), c.cards) << c.name;
    EXPECT_NE(page.find("Data successfuly converted and put in tempdata.vcf "
                        "file in the temporary directory."),
              std::string::npos)
        << c.name << "\n" << page;
  }
}

TEST_F(ImportTest, VersitLineWithWrongCountIsReportedAndSkipped) {
  std::string page = Convert("a,b,c\n1,2,3\n4,5,6,7\n8,9,10\n",
                             {"N", "ORG", "FN"}, kVersit);
  EXPECT_EQ(CountOf(Output(), "BEGIN:vCard"), 2);
  EXPECT_EQ(Output().find("FN:6"), std::string::npos);
  EXPECT_NE(page.find("Converting:Confusion at line no. 3 Fields found : 4 "
                      "expected : 3"),
            std::string::npos)
      << page;
  // The start, the line count, then the save section.
  EXPECT_NE(page.find("Please wait while the data is being converted."),
            std::string::npos);
  EXPECT_NE(page.find("Converting:4<"), std::string::npos);
  // Skipped rows are counted instead of a success message.
  EXPECT_NE(page.find("<h2>2 rows converted, 1 rows skipped</h2>"), std::string::npos);
  EXPECT_EQ(page.find("Data successfuly converted"), std::string::npos);
  EXPECT_NE(page.find("Click on Save to save the file"), std::string::npos);
  EXPECT_NE(page.find("sub_program=saveAsFile"), std::string::npos);
}

const std::map<std::string, std::string> kLDAP = {{"toFormat", "toLDAP"},
                                                  {"whichUid", "NEW"}};

// RFC 4180 records: quoted delimiters, doubled quotes, line breaks inside
// quotes, a byte-order mark, CR LF ends and empty lines.
TEST(DelimitedReaderTest, QuotingCases) {
  struct Case {
    const char* name;
    std::string text;
    char delimiter;
    std::vector<std::vector<std::string>> records;
    std::vector<int> lines;  // where each record starts
  } cases[] = {
      {"quoted delimiter", "a,\"Berlin, Mitte\",c\n", ',', {{"a", "Berlin, Mitte", "c"}}, {1}},
      {"doubled quotes", "\"He said \"\"hi\"\"\",x\n", ',', {{"He said \"hi\"", "x"}}, {1}},
      {"line break inside quotes", "\"1 Main St\r\nSuite 2\",y\r\nz,w\r\n", ',',
       {{"1 Main St\r\nSuite 2", "y"}, {"z", "w"}}, {1, 3}},
      {"byte-order mark and CR LF", "\xEF\xBB\xBFname;city\r\nAnn;Oslo\r\n", ';',
       {{"name", "city"}, {"Ann", "Oslo"}}, {1, 2}},
      {"empty lines and an empty last line", "a,b\n\n\nc,d\n\n", ',', {{"a", "b"}, {"c", "d"}},
       {1, 4}},
      {"blanks trimmed outside quotes, but not in the last field", " a , \" b \" , c ", ',',
       {{"a", " b ", " c "}}, {1}},
      {"empty fields and a last line without its end", ",,\nx,\"\",", ',',
       {{"", "", ""}, {"x", "", ""}}, {1, 2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FILE* fp = fmemopen(const_cast<char*>(c.text.data()), c.text.size(), "r");
    ASSERT_NE(fp, nullptr);
    DelimitedReader reader(fp, c.delimiter);
    std::vector<std::vector<std::string>> records;
    std::vector<int> lines;
    std::vector<std::string> fields;
    std::string problem;
    int line = 0;
    while (reader.Next(&fields, &line, &problem)) {
      EXPECT_EQ(problem, "");
      records.push_back(fields);
      lines.push_back(line);
    }
    fclose(fp);
    EXPECT_EQ(records, c.records);
    EXPECT_EQ(lines, c.lines);
  }
  std::string open = "a,b\nc,\"never closed\n";
  FILE* fp = fmemopen(const_cast<char*>(open.data()), open.size(), "r");
  DelimitedReader reader(fp, ',');
  std::vector<std::string> fields;
  std::string problem;
  int line = 0;
  ASSERT_TRUE(reader.Next(&fields, &line, &problem));
  ASSERT_TRUE(reader.Next(&fields, &line, &problem));
  EXPECT_EQ(line, 2);
  EXPECT_EQ(problem, "a quoted field is not closed before the end of the file");
  fclose(fp);
}

TEST_F(ImportTest, QuotedFieldsKeepEveryPerson) {
  std::string source =
      "name,city,note\n"
      "\"Lee, Ann\",\"Berlin, Mitte\",\"says \"\"hi\"\"\"\n"
      "Bo Ek,Oslo,\"two\r\nlines\"\n"
      "Cy Fox,\"Rome\",plain\n";
  std::string page = Convert(source, {"FN", "ADR;WORK", "NOTE"}, kVersit);
  EXPECT_EQ(Output(),
            "BEGIN:vCard\nFN:Lee, Ann\nADR;WORK:Berlin, Mitte\nNOTE:says \"hi\"\nEND:vCard\n"
            "BEGIN:vCard\nFN:Bo Ek\nADR;WORK:Oslo\nNOTE:two, lines\nEND:vCard\n"
            "BEGIN:vCard\nFN:Cy Fox\nADR;WORK:Rome\nNOTE:plain\nEND:vCard\n");
  EXPECT_NE(page.find("Data successfuly converted"), std::string::npos) << page;
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
            "ou=Ops, West\n--\n"
            "dn=cn=José López|ou=Ops, West|o=Kavri|c=US\ncn=José López\nsn=López\n"
            "givenname=José\nobjectclass=top\nobjectclass=person\n"
            "objectclass=organizationalPerson\nobjectclass=inetOrgPerson\nou=Ops, West\n"
            "userpassword=secret\ndescription= leading blank\nmanager=\nuid=josé_lópez\n--\n"
            "dn=cn=ÉMILE Durand|ou=Ops, West|o=Kavri|c=US\ncn=ÉMILE Durand\nsn=Durand\n"
            "givenname=ÉMILE\nobjectclass=top\nobjectclass=person\n"
            "objectclass=organizationalPerson\nobjectclass=inetOrgPerson\nou=Ops, West\n"
            "userpassword=secret\ndescription=:colon\n"
            "manager=cn=José López, ou=Ops\\, West, o=Kavri, c=US\nuid=émile_durand\n--\n"
            "dn=ou=#1 <R&D>|o=Kavri|c=US\nobjectclass=top\nobjectclass=organizationalunit\n"
            "ou=#1 <R&D>\n--\n"
            "dn=cn=Ann Lee|ou=#1 <R&D>|o=Kavri|c=US\ncn=Ann Lee\nsn=Lee\ngivenname=Ann\n"
            "objectclass=top\nobjectclass=person\nobjectclass=organizationalPerson\n"
            "objectclass=inetOrgPerson\nou=#1 <R&D>\nuserpassword=pw2\ndescription=a\r\nb\n"
            "manager=\nuid=ann_lee\n--\n")
      << ReadAll(ldif);
  std::string check = "ldapmodify -n -a -f " + ldif + " -H ldap://127.0.0.1:1 >/dev/null 2>&1";
  EXPECT_EQ(system(check.c_str()), 0) << ReadAll(ldif);
}

TEST_F(ImportTest, LDAPEntriesFromAFullName) {
  std::string page = Convert(
      "name,dept,mail\nJohn Smith,Sales,js@x.com\nJohn Smith,Sales,other@x\n"
      "Mary Jones,R&D,mj@x.com\n",
      {"cn", "ou", "mail"}, kLDAP);
  EXPECT_EQ(Output(),
            "\ndn: o=Kavri, c=US\nobjectclass: top\nobjectclass: organization\n"
            "o: Kavri\n\n"
            "\ndn: ou=Sales, o=Kavri, c=US\nobjectclass: top\n"
            "objectclass: organizationalunit\nou: Sales\n\n"
            "dn: cn=John Smith, ou=Sales, o=Kavri, c=US\ncn: John Smith\n"
            "sn: Smith\ngivenname: John\nobjectclass: top\nobjectclass: person\n"
            "objectclass: organizationalPerson\nobjectclass: inetOrgPerson\n"
            "ou: Sales\nmail: js@x.com\nuserpassword: john_smith\n"
            "uid: john_smith\n\n"
            "\ndn: ou=R&D, o=Kavri, c=US\nobjectclass: top\n"
            "objectclass: organizationalunit\nou: R&D\n\n"
            "dn: cn=Mary Jones, ou=R&D, o=Kavri, c=US\ncn: Mary Jones\n"
            "sn: Jones\ngivenname: Mary\nobjectclass: top\nobjectclass: person\n"
            "objectclass: organizationalPerson\nobjectclass: inetOrgPerson\n"
            "ou: R&D\nmail: mj@x.com\nuserpassword: mary_jones\n"
            "uid: mary_jones\n\n");
  EXPECT_NE(page.find("Data successfuly converted"), std::string::npos);
}

TEST_F(ImportTest, LDAPManagersAndExistingIdentifiers) {
  std::map<std::string, std::string> vars = {
      {"toFormat", "toLDAP"}, {"whichUid", "EXISTING"},
      {"companyName", "Acme"}, {"country", "DE"}};
  Convert(
      "gn,sn,ou,uid,mgr\nAnn,Lee,Ops,alee,\nBo,Kim,Ops,bkim,ALEE\n"
      "Cy,Dunn,Ops,cdunn,nobody\n",
      {"givenname", "sn", "ou", "uid", "manager"}, vars);
  std::string out = Output();
  EXPECT_NE(out.find("dn: o=Acme, c=DE\n"), std::string::npos);
  EXPECT_NE(out.find("dn: cn=Bo Kim, ou=Ops, o=Acme, c=DE\n"), std::string::npos);
  // Names come from their own columns, so neither is written twice.
  EXPECT_EQ(CountOf(out, "sn: Kim\n"), 1);
  EXPECT_NE(out.find("uid: bkim\nmanager: cn=Ann Lee, ou=Ops, o=Acme, c=DE\n"
                     "userpassword: bo_kim\n\n"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("uid: cdunn\nmanager: \nuserpassword: cy_dunn\n\n"),
            std::string::npos)
      << out;
  EXPECT_EQ(out.find("uid: bo_kim"), std::string::npos);
}

// The progress page carries its help context, and the count is reported
// after line 350 even when that line is skipped.
TEST_F(ImportTest, ProgressAfterEach350thLineEvenWhenSkipped) {
  std::string source = "dept,name\n";
  for (int line = 2; line <= 351; ++line)
    source += line == 350 ? "x,y,z\n" : "Ops,Person " + std::to_string(line) + "\n";
  struct Case {
    std::vector<std::string> tags;
    std::map<std::string, std::string> vars;
  } cases[] = {{{"ORG", "FN"}, kVersit}, {{"ou", "cn"}, kLDAP}};
  for (const Case& c : cases) {
    std::string page = Convert(source, c.tags, c.vars);
    EXPECT_NE(page.find("onload=\"top.CurrentProg='Convert Data'\""), std::string::npos);
    size_t confusion = page.find("Confusion at line no. 350 ");
    ASSERT_NE(confusion, std::string::npos) << c.tags[0];
    EXPECT_NE(page.find("Converting:350<", confusion), std::string::npos) << c.tags[0];
  }
}

TEST_F(ImportTest, LDAPStructuralProblemsEndTheConversion) {
  struct Case {
    std::vector<std::string> tags;
    const char* error;
  } cases[] = {
      {{"cn", "mail"}, "No ou field specified."},
      {{"ou", "sn"}, "cn as well as sn &amp; givenname fields are missing"},
  };
  for (const Case& c : cases) {
    unlink((tmp_ + "/tempdata.vcf").c_str());
    std::string page = Convert("a,b\nc,d\n", c.tags, kLDAP);
    EXPECT_NE(page.find("Errors encountered while Data convertion."),
              std::string::npos)
        << page;
    EXPECT_NE(page.find(std::string("Error while converting : ") + c.error),
              std::string::npos)
        << page;
    EXPECT_EQ(page.find("Click on Save"), std::string::npos);
    EXPECT_FALSE(KvCheckIfFile((tmp_ + "/tempdata.vcf").c_str()));
  }
}

TEST_F(ImportTest, SourceOutsideTheTemporaryDirectoryIsNotRead) {
  ImportRequest req;
  req.Set({{"toFormat", "toVersit"}, {"filePath", "/etc/passwd"},
           {"versittags", "1"}, {"versittag_0", "FN"}, {"firstLine", "TRUE"}});
  VelmoraAdminImportData handler(&req, VelmoraAdminGetApp());
  req.Emit(handler.GenVersitFile());
  std::string page = req.Output();
  EXPECT_NE(page.find("Could not open the source file"), std::string::npos);
  EXPECT_EQ(page.find("root"), std::string::npos);
  EXPECT_FALSE(KvCheckIfFile((tmp_ + "/tempdata.vcf").c_str()));

  // Nor through a link or a subfolder of the temporary directory.
  ASSERT_EQ(symlink("/etc/passwd", (tmp_ + "/link.txt").c_str()), 0);
  ImportRequest viaLink;
  viaLink.Set({{"filePath", tmp_ + "/link.txt"}});
  VelmoraAdminImportData linked(&viaLink, VelmoraAdminGetApp());
  EXPECT_EQ(linked.SourcePath(), "");
  ImportRequest dots;
  dots.Set({{"filePath", tmp_ + "/../../etc/passwd"}});
  VelmoraAdminImportData dotted(&dots, VelmoraAdminGetApp());
  EXPECT_EQ(dotted.SourcePath(), "");
}

// Whatever lies under the output's name (a link, a second name of another
// file, a file of another user open to all) is replaced, never written to;
// the source is removed once converted.
TEST_F(ImportTest, PlantedOutputIsNotWrittenAndTheSourceIsRemoved) {
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
    std::string source = tmp_ + "/source.txt";
    EXPECT_NE(page.find("Click on Save"), std::string::npos) << page;
    EXPECT_EQ(ReadAll(victim), "precious\n");
    char buf[16] = {};
    EXPECT_EQ(pread(planted, buf, sizeof buf - 1, 0), 9) << buf;
    close(planted);
    struct stat st;
    ASSERT_EQ(lstat(out.c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode) && st.st_nlink == 1 && st.st_uid == geteuid());
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_NE(Output().find("FN:b"), std::string::npos);
    EXPECT_FALSE(KvCheckIfFile(source.c_str()));
  }
}

TEST_F(ImportTest, DownloadOnlyTheConvertedFile) {
  WriteAll(tmp_ + "/tempdata.vcf", "BEGIN:vCard\nFN:A\nEND:vCard\n");
  WriteAll(tmp_ + "/other.txt", "secret\n");
  struct Case {
    std::string dataFile;
    bool sent;
  } cases[] = {
      {tmp_ + "/tempdata.vcf", true},
      {tmp_ + "/other.txt", false},
      {"/etc/passwd", false},
      {tmp_ + "/../" + tmp_.substr(5) + "/tempdata.vcf", true},
  };
  for (const Case& c : cases) {
    ImportRequest req;
    req.Set({{"dataFile", c.dataFile}});
    VelmoraAdminImportData handler(&req, VelmoraAdminGetApp());
    std::string out = req.Emit(handler.GenSaveAsDialogBox());
    EXPECT_EQ(out.find("FN:A") != std::string::npos, c.sent) << c.dataFile << out;
    EXPECT_EQ(out.find("text/vcard; charset=utf-8") != std::string::npos, c.sent) << c.dataFile;
    EXPECT_EQ(out.find("secret"), std::string::npos);
    EXPECT_EQ(out.find("root:"), std::string::npos);
  }
  {
    // After an LDAP conversion the file is saved as data.ldif.
    ImportRequest req;
    req.Set({{"dataFile", tmp_ + "/tempdata.vcf"}, {"toFormat", "toLDAP"}});
    VelmoraAdminImportData handler(&req, VelmoraAdminGetApp());
    std::string out = req.Emit(handler.GenSaveAsDialogBox());
    EXPECT_NE(out.find("Content-Disposition: attachment; filename=\"data.ldif\"\n"),
              std::string::npos) << out;
  }
  // Not a file with a second name, nor one of another user.
  std::string converted = tmp_ + "/tempdata.vcf", second = tmp_ + "/second";
  for (bool linked : {true, false}) {
    ASSERT_EQ(linked ? link(converted.c_str(), second.c_str())
                     : chown(converted.c_str(), 65534, 65534), 0);
    ImportRequest req;
    req.Set({{"dataFile", converted}});
    VelmoraAdminImportData handler(&req, VelmoraAdminGetApp());
    EXPECT_EQ(req.Emit(handler.GenSaveAsDialogBox()).find("FN:A"), std::string::npos);
    unlink(second.c_str());
  }
}

TEST_F(ImportTest, OptionsPageKeepsTheUploadForTheFrames) {
  std::string upload = tmp_ + "/upload-1";
  WriteAll(upload, "a,b\n");
  {
    ImportRequest req;
    req.capableBrowser = 1;
    req.Upload("fileUploadName", upload);
    req.Set({{"toFormat", "toLDAP"}, {"delimiter", ""}});
    VelmoraAdminImportData handler(&req, VelmoraAdminGetApp());
    std::string page = req.Emit(handler.DisplayOptionsPage());
    EXPECT_NE(page.find("rows=\"50%, *\""), std::string::npos) << page;
    EXPECT_EQ(CountOf(page, "upload-1"), 2) << page;
    EXPECT_NE(page.find("delimiter=%2C"), std::string::npos) << page;
  }
  EXPECT_TRUE(KvCheckIfFile(upload.c_str()));

  // A path typed by the administrator is copied, and only from the
  // temporary directory.
  struct Case {
    std::string typed;
    bool copied;
  } cases[] = {{upload, true}, {"/etc/passwd", false}};
  for (const Case& c : cases) {
    ImportRequest req;
    req.Set({{"fileUploadName", c.typed}, {"toFormat", "toVersit"}});
    VelmoraAdminImportData handler(&req, VelmoraAdminGetApp());
    std::string page = req.Emit(handler.DisplayOptionsPage());
    EXPECT_EQ(page.find("filePath=%2F") != std::string::npos, c.copied) << page;
    EXPECT_EQ(page.find("upload-1"), std::string::npos);
    EXPECT_EQ(page.find("passwd"), std::string::npos);
  }
}

TEST_F(ImportTest, FramesOfferTheFileColumns) {
  std::string source = Source("\"Name; full\";Mail;Phone\nA;b;c\n");
  ImportRequest req;
  req.Set({{"toFormat", "toLDAP"}, {"delimiter", ";"}, {"filePath", source}});
  VelmoraAdminImportData handler(&req, VelmoraAdminGetApp());
  std::string upper = req.Emit(handler.GenUpperFrame());
  EXPECT_NE(upper.find("<option value=\"Field 1\">Name; full\n"), std::string::npos) << upper;
  EXPECT_NE(upper.find("\"Field 3\""), std::string::npos) << upper;
  EXPECT_EQ(upper.find("savesubcategform"), std::string::npos);
  EXPECT_EQ(upper.find("Select Sub-Category"), std::string::npos);
  EXPECT_NE(upper.find("savecategform"), std::string::npos);

  ImportRequest lowerReq;
  lowerReq.Set({{"toFormat", "toLDAP"}, {"delimiter", ";"}, {"filePath", source}});
  VelmoraAdminImportData lowerHandler(&lowerReq, VelmoraAdminGetApp());
  std::string lower = lowerReq.Emit(lowerHandler.GenLowerFrame());
  EXPECT_NE(lower.find("versittag_2"), std::string::npos);
  EXPECT_EQ(lower.find("versittag_3"), std::string::npos);
  EXPECT_NE(lower.find("changeCurrField(2)"), std::string::npos);
  EXPECT_NE(lower.find("companyName"), std::string::npos);

  // A file of very many columns is offered its first 4096, as converted.
  std::string wide;
  for (int i = 0; i < 5000; ++i) wide += "c" + std::to_string(i) + ",";
  ImportRequest wideReq;
  wideReq.Set({{"toFormat", "toVersit"}, {"filePath", Source(wide + "\n")}});
  VelmoraAdminImportData wideHandler(&wideReq, VelmoraAdminGetApp());
  std::string wideLower = wideReq.Emit(wideHandler.GenLowerFrame());
  EXPECT_EQ(CountOf(wideLower, "name=\"versittag_"), 4096);
  EXPECT_NE(wideLower.find("name=\"versittags\" value=\"4096\""), std::string::npos);

  ImportRequest missing;
  missing.Set({{"toFormat", "toVersit"}, {"filePath", "/etc/passwd"}});
  VelmoraAdminImportData missingHandler(&missing, VelmoraAdminGetApp());
  try {
    delete missingHandler.GenLowerFrame();
    ADD_FAILURE() << "an unreadable file gave a page";
  } catch (KvError* e) {
    std::string lines = testsupport::Lines(e);
    EXPECT_NE(lines.find("Couln't read from the file /etc/passwd"),
              std::string::npos)
        << lines;
  }
}

TEST_F(ImportTest, CategoryListsAreEditedAndSorted) {
  KvConfigDB* config = VelmoraAdminGetApp()->GetConfigDB();
  ValNameList start;
  start.Append("Work", "WORK");
  config->WriteSubcategories(&start);

  ImportRequest show;
  show.Set({{"toFormat", "toVersit"}});
  VelmoraAdminImportData shower(&show, VelmoraAdminGetApp());
  std::string page = show.Emit(shower.DisplayAddSubCategoriesPage());
  EXPECT_NE(page.find("Add new sub categories"), std::string::npos);
  EXPECT_NE(page.find("subcateg_10"), std::string::npos);
  EXPECT_EQ(page.find("subcateg_11"), std::string::npos);
  EXPECT_NE(page.find("name=\"subcategories\" value=\"11\""), std::string::npos)
      << page;

  ImportRequest save;
  save.Set({{"toFormat", "toVersit"}, {"subcategories", "4"},
            {"subcateg_0", "Work"}, {"val_0", "WORK"},
            {"subcateg_1", ""}, {"val_1", "DROPPED"},
            {"subcateg_2", "Fax"}, {"val_2", ""},
            {"subcateg_3", "Cell"}, {"val_3", "CELL"}});
  VelmoraAdminImportData saver(&save, VelmoraAdminGetApp());
  delete saver.SaveSubCategoriesPage();
  std::unique_ptr<ValNameList> stored(config->ReadSubcategories());
  std::string text;
  for (ValNameListItem* item = stored->GetFirst(); item; item = item->next)
    text += std::string(item->name) + "=" + item->value + ";";
  EXPECT_EQ(text, "Cell=CELL;Fax=Fax;Work=WORK;");

  // A save without its count, with a bad one or with rows missing is
  // refused and the list stays.
  const std::map<std::string, std::string> refused[] = {
      {},
      {{"subcategories", "-1"}},
      {{"subcategories", "abc"}},
      {{"subcategories", "99999999999999999999"}},
      {{"subcategories", "2"}, {"subcateg_0", "Home"}},
  };
  for (const auto& vars : refused) {
    ImportRequest bad;
    bad.Set(vars);
    VelmoraAdminImportData handler(&bad, VelmoraAdminGetApp());
    try {
      delete handler.SaveSubCategoriesPage();
      ADD_FAILURE() << "saved";
    } catch (KvError* e) {
      std::unique_ptr<KvError> owned(e);
      EXPECT_EQ(e->GetKind(), kKvErrorParse);
    }
    std::unique_ptr<ValNameList> kept(config->ReadSubcategories());
    EXPECT_EQ(kept->GetCount(), 3);
  }
}


TEST_F(ImportTest, FirstPageAsksForAnUploadOrAPath) {
  for (int capable : {1, 0}) {
    ImportRequest req;
    req.capableBrowser = capable;
    req.Set({{"program", "IMPORTDATA"}});
    VelmoraAdminImportData handler(&req, VelmoraAdminGetApp());
    std::string page = req.Emit(handler.HandleEvent("IMPORTDATA"));
    EXPECT_EQ(page.find("multipart/form-data") != std::string::npos, capable == 1);
    EXPECT_EQ(page.find("type=\"file\" name=\"fileUploadName\"") != std::string::npos,
              capable == 1)
        << page;
    EXPECT_EQ(page.find("Enter full pathname of the data file") != std::string::npos,
              capable == 0);
    EXPECT_NE(page.find("return validateFields()"), std::string::npos);
    EXPECT_NE(page.find("value=\"displayOptions\""), std::string::npos);
  }
}


// The conversion through the program itself: the streamed page reaches the
// browser, the log keeps the outcome, and the save link fetches the cards.
TEST(ImportProcessTest, ConvertAndSave) {
  ConsoleTestTree tree;
  std::string cookies = tree.LogIn().CookieHeader();
  std::string source = tree.top() + "/logs/people.txt";
  ConsoleTestTree::WriteFile(source, "name,mail\nAnn Lee,al@x\n");
  std::map<std::string, std::string> env = {{"HTTP_COOKIE", cookies}};
  ConsoleResponse page = tree.Run(
      "POST", "", env,
      "program=importdata&sub_program=genVersitFile&toFormat=toVersit"
      "&filePath=" + source + "&delimiter=&versittags=2&versittag_0=FN"
      "&versittag_1=EMAIL");
  EXPECT_TRUE(page.Has("Data successfuly converted")) << page.body;
  EXPECT_TRUE(page.Has("sub_program=saveAsFile")) << page.body;
  EXPECT_NE(ConsoleTestTree::ReadFile(tree.top() + "/logs/kvlogfile")
                .find("Data successfuly converted"),
            std::string::npos);

  ConsoleResponse saved = tree.Run(
      "GET", "program=importdata&sub_program=saveAsFile&dataFile=" +
                 tree.top() + "/logs/tempdata.vcf",
      env);
  EXPECT_EQ(saved.body, "BEGIN:vCard\nFN:Ann Lee\nEMAIL:al@x\nEND:vCard\n")
      << saved.headers;
  EXPECT_NE(saved.headers.find("Content-type: text/vcard; charset=utf-8"), std::string::npos);
  EXPECT_NE(saved.headers.find("Content-Disposition: attachment; filename=\"data.vcf\""),
            std::string::npos);
}

}  // namespace
