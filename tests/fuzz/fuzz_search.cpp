// The person selector's search field, through the file directory back end's
// search over a small directory indexed once per process. Any text may come
// in as the query; at most max + 1 people come back, each with a uid and
// each matching the query.
#include <algorithm>

#include "FuzzSupport.h"
#include "KvFileUserDB.h"
#include "PeopleSearch.h"
#include "TestSupport.h"

namespace {

struct Directory {
  testsupport::TempTree tree;
  std::unique_ptr<KvFileUserDB> users;

  Directory() {
    if (!tree.Make("/tmp/fuzzsearch", {"lib", "tmp", "apps/admin/bin"})) abort();
    users = std::make_unique<KvFileUserDB>();
    if (users->OpenAt(tree.top().c_str()) != 1) abort();
    static const char* const kNames[][2] = {
        {"Adams", "Zoe"},      {"Brown", "Mark"},      {"Young", "Carl"},
        {"\xc3\x84ngstr\xc3\xb6m", "Zo\xc3\xab"},     {"O'Neil", "Sean"},
        {"van der Berg", "Ida"}, {"\xce\xa3\xce\xbf\xcf\x86\xce\xaf\xce\xb1", "A"},
        {"Smith", "Anne-Marie"}, {"Lee", ""},           {"Ng", "Tom Tom"}};
    std::string cards;
    for (int i = 0; i < 30; ++i) {
      const std::string family = kNames[i % 10][0], given = kNames[i % 10][1];
      const std::string uid = "u" + std::to_string(i) + (i % 3 ? "x" : "");
      cards += "BEGIN:VCARD\nN:" + family + ";" + given + ";;;\n";
      if (i % 4) cards += "FN:" + given + " " + family + "\n";
      if (i % 5) cards += "EMAIL;INTERNET:" + uid + "@example.com\n";
      cards += "UID:" + uid + "\nEND:VCARD\n";
    }
    std::string path = tree.top() + "/tmp/people.vcf";
    testsupport::WriteAll(path, cards);
    std::unique_ptr<ValList> errors(users->IndexDataFile(path.c_str(), "admin", nullptr, nullptr));
    if (errors) abort();
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Directory directory;
  if (size == 0) return 0;
  const int max = static_cast<int8_t>(data[0]) % 40;
  const std::string query(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::unique_ptr<ValNameList> found(directory.users->SearchPeople(query.c_str(), max));
  FUZZ_CHECK(found != nullptr);
  FUZZ_CHECK(found->count <= (max < 0 ? 0 : max) + 1);
  // Each one found has the query (without the blanks around it; control
  // characters count as blanks, as in the stored names) in its uid, name or e-mail address.
  std::string wanted = query.c_str();
  std::replace_if(wanted.begin(), wanted.end(), [](unsigned char c) { return c < 0x20 || c == 0x7f; }, ' ');
  wanted = filedb::FoldCase(wanted);
  wanted.erase(0, wanted.find_first_not_of(' '));
  wanted.erase(wanted.find_last_not_of(' ') + 1);
  for (ValNameListItem* it = found->first; it; it = it->next) {
    FUZZ_CHECK(it->name && it->name[0] == 'u' && it->value && *it->value);
    std::string person = filedb::FoldCase(std::string(it->name) + "\x01" + it->value + "\x01" +
                                          (it->extra1 ? it->extra1 : ""));
    FUZZ_CHECK(person.find(wanted) != std::string::npos);
  }
  return 0;
}
