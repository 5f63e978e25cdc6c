// The console's programs that change stored state. Every one of them is
// listed here and nowhere else; the module's dispatch refuses them when the
// request did not come from the console's own pages, and after a login made
// by the request itself.
#include <strings.h>

#include <cstring>
#include <map>
#include <string>

#include "VelmoraAdminCommon.h"

namespace {

struct Change {
  const char* program;
  const char* subProgram;  // null: whatever "sub_program" says
};

const Change kChanges[] = {
    // Headings and order of the business card and the person page.
    {"useradminChangeJcardLabel", nullptr},
    {"useradminChangeEmpPageLabel", nullptr},
    // Additional information fields: add, delete, headings and sizes, order.
    {"proModAddnalFlds", "processadd"},
    {"proModAddnalFlds", "procDel"},
    {"proModAddnalFlds", "procSave"},
    {"proModAddnalFlds", "procSaveOrder"},
    // Access control: modifiers and approvers of attributes, modifiers and
    // notify lists of operations.
    {"saveAttributeModifier", nullptr},
    {"processSelectEmail", nullptr},
    {"progSaveOperModifier", nullptr},
    {"processOperationEmail", nullptr},
    // Employee data, photographs, administrators, accounts.
    {"processData", nullptr},
    {"processPhotos", nullptr},
    {"procconfDirAdmins", nullptr},
    {"progProcessGenerateAccounts", nullptr},
    // Data import: the upload kept for the dialogue, category lists, the
    // conversion.
    {"importdata", "displayOptions"},
    {"importdata", "saveCategories"},
    {"importdata", "saveSubCategories"},
    {"importdata", "genVersitFile"},
};

// The form variables that name a file or folder on the server (or the
// browser's name of an uploaded file) rather than a text that is stored.
const char* const kPathVariables[] = {"dataFile", "photosDir", "filePath",
                                      "fileUploadName"};

bool Same(const char* a, const char* b) {
  return a && b && strcasecmp(a, b) == 0;
}

}  // namespace

KvBoolean VelmoraAdminCommon::ChangesState() {
  const char* program = ProgramName();
  const char* sub = request->FindVar("sub_program");
  for (const Change& change : kChanges) {
    if (Same(program, change.program) &&
        (!change.subProgram || Same(sub, change.subProgram)))
      return true;
  }
  return false;
}

char* VelmoraAdminCommon::CheckChangeLimits() {
  std::map<std::string, int> counts;
  for (ValNameListItem* item = request->params->GetFirst(); item; item = item->next) {
    if (!item->name) continue;
    size_t limit = kMaxStoredValue;
    for (const char* path : kPathVariables)
      if (Same(item->name, path)) limit = kMaxPathValue;
    std::string name = item->name;
    for (char& c : name) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    std::string shown = std::string(item->name).substr(0, 64);
    if (item->value && strlen(item->value) > limit)
      return strdup(("the value of " + shown + " is longer than " +
                     std::to_string(limit) + " bytes.")
                        .c_str());
    if (++counts[name] > kMaxListEntries)
      return strdup(("more than " + std::to_string(kMaxListEntries) +
                     " values were sent for " + shown + ".")
                        .c_str());
  }
  return nullptr;
}
