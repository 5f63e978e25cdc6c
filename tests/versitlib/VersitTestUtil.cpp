// Helpers shared by the versitlib tests.
#include "VersitTestUtil.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

std::string DataPath(const std::string& name) {
  return std::string(TEST_DATA_DIR) + "/versitlib/" + name;
}

std::vector<std::string> UserLinesOf(const std::function<void()>& action, int* kind) {
  try {
    action();
  } catch (KvError* e) {
    std::unique_ptr<KvError> owned(e);
    if (kind) *kind = e->GetKind();
    std::vector<std::string> lines;
    for (ValListItem* i = e->GetUserLines()->first; i != nullptr; i = i->next) {
      lines.push_back(i->value);
    }
    return lines;
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
    out.emplace_back(i->name, i->value ? i->value : "");
  }
  return out;
}
