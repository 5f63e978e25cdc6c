// The installation's list files reached through the configuration database:
// MIME types, styles and the import categories.
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

  ValNameList categories;
  categories.Append("TEL", "Phone");
  std::pair<int (KvConfigDB::*)(ValNameList*), ValNameList* (KvConfigDB::*)()> pairs[] = {
      {&KvConfigDB::WriteSubcategories, &KvConfigDB::ReadSubcategories},
      {&KvConfigDB::WriteVersitCategories, &KvConfigDB::ReadVersitCategories},
      {&KvConfigDB::WriteLDAPCategories, &KvConfigDB::ReadLDAPCategories}};
  for (auto [write, read] : pairs) {
    EXPECT_EQ((config.*write)(&categories), 1);
    EXPECT_EQ(S(std::unique_ptr<ValNameList>((config.*read)())->Lookup("TEL")->value), "Phone");
  }
  ExpectOnlyInConfig({".lst", ".lck"});
}

}  // namespace
