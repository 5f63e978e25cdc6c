// The installation's list files reached through the configuration database:
// MIME types, set-up status, SQL schema, styles and pictures.
#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "DbTestTree.h"

using dbtest::ReadAll;
using dbtest::TreeTest;
using dbtest::WriteAll;

namespace {

class ConfigListsTest : public TreeTest {};

std::string S(const char* s) { return s ? s : "(null)"; }

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
    const char* ext;
    const char* builtIn;
    const char* fromFile;
  } cases[] = {
      {"jpg", "image/jpeg", "image/jpeg"},
      {"JPG", "text/plain", "image/jpeg"},  // the file compares without case
      {"xlw", "application/msexcel", "application/msexcel"},
      {"bin", "application/octet-stream", "application/octet-stream"},
      {"oda", "application/pdf", "application/pdf"},
      {"vcf", "text/plain", "text/plain"},
      {nullptr, "text/plain", "text/plain"},
  };
  for (const Case& c : cases) EXPECT_EQ(Mime(config, c.ext), c.builtIn);

  config.LogLevel(KV_INFO, true);
  ASSERT_EQ(config.WriteToFile(), 1);
  std::string text = ReadAll(top + "/config/mime_types.lst");
  EXPECT_EQ(text.rfind("BEGIN:vNameList\napplication/octet-stream:bin\n"
                       "application/octet-stream:exe\napplication/pdf:oda\n",
                       0),
            0u)
      << text;
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 72);
  for (const Case& c : cases) EXPECT_EQ(Mime(config, c.ext), c.fromFile);

  // The installation's own file wins over the built-in table.
  WriteAll(top + "/config/mime_types.lst",
           "BEGIN:vNameList\ntext/x-vcard:vcf\nEND:vNameList\n");
  EXPECT_EQ(Mime(config, "VCF"), "text/x-vcard");
  EXPECT_EQ(Mime(config, "jpg"), "text/plain");
}

TEST_F(ConfigListsTest, SetupInfoScramblesPasswordsAndLeavesTheCallersList) {
  KvConfigDB config;
  ValNameList* none = config.ReadSetupInfo();
  EXPECT_EQ(none->GetCount(), 0);
  delete none;
  EXPECT_FALSE(KvCheckIfFile((top + "/config/setup.lst").c_str()));

  ValNameList setup;
  setup.Append("status", "done");
  setup.Append("rootPasswd", "Plain!Root");
  setup.Append("USERPASSWD", "Plain!Sql");
  EXPECT_EQ(config.WriteSetupInfo(&setup), 1);
  EXPECT_EQ(S(setup.Lookup("rootPasswd")->value), "Plain!Root");
  std::string text = ReadAll(top + "/config/setup.lst");
  EXPECT_EQ(text.find("Plain!"), std::string::npos) << text;
  EXPECT_TRUE(KvCheckIfFile((top + "/config/setup.lst.lck").c_str()));

  ValNameList* back = config.ReadSetupInfo();
  EXPECT_EQ(S(back->Lookup("rootPasswd")->value), "Plain!Root");
  EXPECT_EQ(S(back->Lookup("USERPASSWD")->value), "Plain!Sql");
  EXPECT_EQ(S(back->Lookup("status")->value), "done");
  delete back;
}

TEST_F(ConfigListsTest, SqlSchemaValuesSplitIntoExtras) {
  WriteAll(top + "/config/sqlSchema.lst",
           "BEGIN:vNameList\nFN:fullname:varchar:64:nn\nTEL:phone:char\n"
           "NOTE:memo\nX:a:b:c:d:e\nEND:vNameList\n");
  KvConfigDB config;
  ValNameList* schema = config.ReadSQLSchemaFile();
  ASSERT_EQ(schema->GetCount(), 4);
  struct Case {
    const char* name;
    const char* value;
    const char* e1;
    const char* e2;
    const char* e3;
  } cases[] = {{"FN", "fullname", "varchar", "64", "nn"},
               {"TEL", "phone", "char", nullptr, nullptr},
               {"NOTE", "memo", nullptr, nullptr, nullptr},
               {"X", "a", "b", "c", "d"}};
  for (const Case& c : cases) {
    ValNameListItem* item = schema->Lookup(c.name);
    ASSERT_NE(item, nullptr) << c.name;
    EXPECT_EQ(S(item->value), S(c.value)) << c.name;
    EXPECT_EQ(S(item->extra1), S(c.e1)) << c.name;
    EXPECT_EQ(S(item->extra2), S(c.e2)) << c.name;
    EXPECT_EQ(S(item->extra3), S(c.e3)) << c.name;
  }
  delete schema;
}

TEST_F(ConfigListsTest, ListFilesRoundTripAndKeepTheirPermissions) {
  KvConfigDB config;
  ValNameList styles;
  styles.Append("style0", "Classic");
  styles.Append("style1", "Blue");
  EXPECT_EQ(config.SetAvailableStyles(&styles), 1);
  std::string stylesPath = top + "/config/style/styles.lst";
  chmod(stylesPath.c_str(), 0604);
  styles.Append("style2", "Green");
  EXPECT_EQ(config.SetAvailableStyles(&styles), 1);
  struct stat st;
  ASSERT_EQ(stat(stylesPath.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0604u);
  ValNameList* back = config.GetAvailableStyles();
  EXPECT_EQ(back->GetCount(), 3);
  EXPECT_EQ(S(back->Lookup("style2")->value), "Green");
  delete back;

  ValNameList info;
  info.Append("bgcolor", "#ffffff");
  EXPECT_EQ(config.WriteStyleInfo("style1", &info), 1);
  EXPECT_TRUE(KvCheckIfFile((top + "/config/style/style1.lst").c_str()));
  ValNameList* style = config.GetStyleInfo("style1");
  EXPECT_EQ(S(style->Lookup("BGCOLOR")->value), "#ffffff");
  delete style;

  WriteAll(top + "/apps/admin/bin/images/giflist.lst",
           "BEGIN:vList\nbsave\nbcancel\nEND:vList\n");
  ValList* gifs = config.GetGifList("admin");
  EXPECT_EQ(gifs->GetCount(), 2);
  delete gifs;

  ValNameList categories;
  categories.Append("TEL", "Phone");
  for (auto write : {&KvConfigDB::WriteSubcategories,
                     &KvConfigDB::WriteVersitCategories,
                     &KvConfigDB::WriteLDAPCategories,
                     &KvConfigDB::WriteSQLSchemaMapFile})
    EXPECT_EQ((config.*write)(&categories), 1);
  for (auto read : {&KvConfigDB::ReadSubcategories,
                    &KvConfigDB::ReadVersitCategories,
                    &KvConfigDB::ReadLDAPCategories,
                    &KvConfigDB::ReadSQLSchemaMapFile}) {
    ValNameList* list = (config.*read)();
    EXPECT_EQ(list->GetCount(), 1);
    delete list;
  }
  // Nothing but the lists and their lock files in the config folder.
  for (const auto& entry : std::filesystem::directory_iterator(top + "/config")) {
    std::string name = entry.path().filename().string();
    bool expected = entry.is_directory() ||
                    (name.size() > 4 &&
                     (name.compare(name.size() - 4, 4, ".lst") == 0 ||
                      name.compare(name.size() - 4, 4, ".lck") == 0));
    EXPECT_TRUE(expected) << name;
  }
}

TEST_F(ConfigListsTest, ErrorsNameTheOperation) {
  KvConfigDB config;
  // The folder of the picture list does not exist: its lock cannot be made.
  try {
    delete config.GetGifList("missing");
    FAIL() << "no error";
  } catch (KvError* e) {
    std::string lines = dbtest::Lines(e);
    std::string first = lines.substr(0, lines.find('\n'));
    const std::string outer = ": Error in KvConfigDB::GetGifList()";
    ASSERT_GE(first.size(), outer.size());
    EXPECT_EQ(first.substr(first.size() - outer.size()), outer) << lines;
    EXPECT_NE(lines.find("Exception rethrown in KvConfigDB::ReadValList"),
              std::string::npos);
  }
}

}  // namespace
