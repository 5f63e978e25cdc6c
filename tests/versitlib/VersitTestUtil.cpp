// Helpers shared by the versitlib tests.
#include "VersitTestUtil.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

TempDir::TempDir() {
  std::string pattern = std::string(TEST_BINARY_DIR) + "/versitlib-XXXXXX";
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  if (mkdtemp(buf.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
  dir = buf.data();
}

TempDir::~TempDir() { std::filesystem::remove_all(dir); }

std::string TempDir::Write(const std::string& name, const std::string& text) const {
  std::string path = Path(name);
  std::ofstream out(path, std::ios::binary);
  out << text;
  return path;
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string DataPath(const std::string& name) {
  return std::string(TEST_DATA_DIR) + "/versitlib/" + name;
}

namespace {

std::vector<std::string> Texts(const ValList* list) {
  std::vector<std::string> out;
  for (const ValListItem* i = list->first; i != nullptr; i = i->next) {
    out.push_back(i->value ? i->value : "<null>");
  }
  return out;
}

}  // namespace

std::vector<std::string> UserLinesOf(const std::function<void()>& action, int* kind) {
  try {
    action();
  } catch (KvError* e) {
    std::unique_ptr<KvError> owned(e);
    if (kind) *kind = e->GetKind();
    return Texts(e->GetUserLines());
  }
  ADD_FAILURE() << "no KvError thrown";
  return {};
}

std::vector<std::string> TraceMessagesOf(const std::function<void()>& action) {
  try {
    action();
  } catch (KvError* e) {
    std::unique_ptr<KvError> owned(e);
    std::vector<std::string> out;
    for (const std::string& line : Texts(e->GetLines())) {
      size_t cut = line.find(" : ", line.find(" in file "));
      out.push_back(cut == std::string::npos ? line : line.substr(cut + 3));
    }
    return out;
  }
  ADD_FAILURE() << "no KvError thrown";
  return {};
}

std::string Take(char* text) {
  std::string out = text ? text : "<null>";
  free(text);
  return out;
}

std::vector<std::pair<std::string, std::string>> ReadIndex(const std::string& path) {
  ValNameList list;
  list.Read(path.c_str(), true);
  std::vector<std::pair<std::string, std::string>> out;
  for (const ValNameListItem* i = list.first; i != nullptr; i = i->next) {
    out.emplace_back(i->name ? i->name : "", i->value ? i->value : "");
  }
  return out;
}
