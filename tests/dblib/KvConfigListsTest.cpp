// The installation's list files reached through the configuration database:
// MIME types, set-up status, SQL schema, styles and pictures.
#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "DbTestTree.h"

using dbtest::ReadAll;
using dbtest::S;
using dbtest::TreeTest;
using dbtest::WriteAll;

namespace {

class ConfigListsTest : public TreeTest {};

std::string Mime(KvConfigDB& config, const char* ext) {
  char* type = config.FindMimeType(ext);
  std::string result = S(type);
  free(type);
  return result;
}

TEST_F(ConfigListsTest, MimeTypesBeforeAndAfterTheFileExists) {
  WriteConfig("logLevel:KV_ERROR\n");
  KvConfigDB config;
  struct Case {
    const char *ext, *builtIn, *fromFile;
  } cases[] = {
      {"jpg", "image/jpeg", "image/jpeg"},
      {"JPG", "text/plain", "image/jpeg"},  // the file compares without case
      {"xlw", "application/msexcel", "application/msexcel"},
      {"oda", "application/pdf", "application/pdf"},
      {"vcf", "text/plain", "text/plain"},
      {nullptr, "text/plain", "text/plain"},
  };
  for (const Case& c : cases) EXPECT_EQ(Mime(config, c.ext), c.builtIn);
  config.LogLevel(KV_INFO, true);
  ASSERT_EQ(config.WriteToFile(), 1);
  std::string text = ReadAll(top + "/config/mime_types.lst");
  EXPECT_EQ(text.rfind("BEGIN:vNameList\napplication/octet-stream:bin\n"
                       "application/octet-stream:exe\napplication/pdf:oda\n", 0), 0u) << text;
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 72);
  for (const Case& c : cases) EXPECT_EQ(Mime(config, c.ext), c.fromFile);
  // The installation's own file wins over the built-in table.
  WriteAll(top + "/config/mime_types.lst", "BEGIN:vNameList\ntext/x-vcard:vcf\nEND:vNameList\n");
  EXPECT_EQ(Mime(config, "VCF"), "text/x-vcard");
  EXPECT_EQ(Mime(config, "jpg"), "text/plain");
}

TEST_F(ConfigListsTest, SetupInfoScramblesPasswordsAndLeavesTheCallersList) {
  KvConfigDB config;
  std::unique_ptr<ValNameList> none(config.ReadSetupInfo());
  EXPECT_EQ(none->GetCount(), 0);
  ValNameList setup;
  setup.Append("status", "done");
  setup.Append("rootPasswd", "Plain!Root");
  setup.Append("USERPASSWD", "Plain!Sql");
  EXPECT_EQ(config.WriteSetupInfo(&setup), 1);
  EXPECT_EQ(S(setup.Lookup("rootPasswd")->value), "Plain!Root");
  EXPECT_FALSE(dbtest::Has(ReadAll(top + "/config/setup.lst"), "Plain!"));
  std::unique_ptr<ValNameList> back(config.ReadSetupInfo());
  for (const char* key : {"status", "rootPasswd", "USERPASSWD"})
    EXPECT_STREQ(back->Lookup(key)->value, setup.Lookup(key)->value) << key;
}

TEST_F(ConfigListsTest, SqlSchemaValuesSplitIntoExtras) {
  WriteAll(top + "/config/sqlSchema.lst",
           "BEGIN:vNameList\nFN:fullname:varchar:64:nn\nTEL:phone:char\n"
           "NOTE:memo\nX:a:b:c:d:e\nEND:vNameList\n");
  KvConfigDB config;
  std::unique_ptr<ValNameList> schema(config.ReadSQLSchemaFile());
  std::string got;
  for (ValNameListItem* i = schema->first; i; i = i->next)
    got += S(i->name) + "|" + S(i->value) + "|" + S(i->extra1) + "|" + S(i->extra2) + "|" + S(i->extra3) + " ";
  EXPECT_EQ(got, "FN|fullname|varchar|64|nn TEL|phone|char|(null)|(null) NOTE|memo|(null)|(null)|(null) X|a|b|c|d ");
}

TEST_F(ConfigListsTest, ListFilesRoundTripAndKeepTheirPermissions) {
  KvConfigDB config;
  ValNameList styles;
  styles.Append("style0", "Classic");
  EXPECT_EQ(config.SetAvailableStyles(&styles), 1);
  std::string stylesPath = top + "/config/style/styles.lst";
  chmod(stylesPath.c_str(), 0604);
  styles.Append("style2", "Green");
  EXPECT_EQ(config.SetAvailableStyles(&styles), 1);
  struct stat st;
  ASSERT_EQ(stat(stylesPath.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0604u);
  EXPECT_EQ(S(std::unique_ptr<ValNameList>(config.GetAvailableStyles())->Lookup("style2")->value),
            "Green");
  ValNameList info;
  info.Append("bgcolor", "#ffffff");
  EXPECT_EQ(config.WriteStyleInfo("style1", &info), 1);
  EXPECT_EQ(S(std::unique_ptr<ValNameList>(config.GetStyleInfo("style1"))->Lookup("BGCOLOR")->value),
            "#ffffff");
  WriteAll(top + "/apps/admin/bin/images/giflist.lst", "BEGIN:vList\nbsave\nbcancel\nEND:vList\n");
  EXPECT_EQ(std::unique_ptr<ValList>(config.GetGifList("admin"))->GetCount(), 2);

  ValNameList categories;
  categories.Append("TEL", "Phone");
  std::pair<int (KvConfigDB::*)(ValNameList*), ValNameList* (KvConfigDB::*)()> pairs[] = {
      {&KvConfigDB::WriteSubcategories, &KvConfigDB::ReadSubcategories},
      {&KvConfigDB::WriteVersitCategories, &KvConfigDB::ReadVersitCategories},
      {&KvConfigDB::WriteLDAPCategories, &KvConfigDB::ReadLDAPCategories},
      {&KvConfigDB::WriteSQLSchemaMapFile, &KvConfigDB::ReadSQLSchemaMapFile}};
  for (auto [write, read] : pairs) {
    EXPECT_EQ((config.*write)(&categories), 1);
    EXPECT_EQ(S(std::unique_ptr<ValNameList>((config.*read)())->Lookup("TEL")->value), "Phone");
  }
  ExpectOnlyInConfig({".lst", ".lck"});
}

TEST_F(ConfigListsTest, ErrorsNameTheOperation) {
  KvConfigDB config;
  // The folder of the picture list does not exist: its lock cannot be made.
  std::string lines = dbtest::ErrorText([&] { delete config.GetGifList("missing"); });
  EXPECT_TRUE(dbtest::EndsWith(lines.substr(0, lines.find('\n')),
                               ": Error in KvConfigDB::GetGifList()")) << lines;
  EXPECT_TRUE(dbtest::Has(lines, "Exception rethrown in KvConfigDB::ReadValList"));
}

}  // namespace
