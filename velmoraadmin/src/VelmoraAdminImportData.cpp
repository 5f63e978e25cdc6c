// Dispatch of the data import pages on "sub_program".
#include "VelmoraAdminImportData.h"

#include <strings.h>

namespace {

struct ImportRoute {
  const char* subProgram;
  Page* (*page)(VelmoraAdminImportData* handler);
};

// The steps of the import dialogue. Other names go to the common dispatch.
const ImportRoute kRoutes[] = {
    {"genVersitFile", [](VelmoraAdminImportData* h) { return h->GenVersitFile(); }},
    {"saveSubCategories",
     [](VelmoraAdminImportData* h) { return h->SaveSubCategoriesPage(); }},
    {"saveCategories", [](VelmoraAdminImportData* h) { return h->SaveCategoriesPage(); }},
    {"addCategories",
     [](VelmoraAdminImportData* h) { return h->DisplayAddCategoriesPage(); }},
    {"addSubCategories",
     [](VelmoraAdminImportData* h) { return h->DisplayAddSubCategoriesPage(); }},
    {"importdata", [](VelmoraAdminImportData* h) { return h->DisplayFirstPage(); }},
    {"genupperframe", [](VelmoraAdminImportData* h) { return h->GenUpperFrame(); }},
    {"genlowerframe", [](VelmoraAdminImportData* h) { return h->GenLowerFrame(); }},
    {"displayOptions", [](VelmoraAdminImportData* h) { return h->DisplayOptionsPage(); }},
    {"saveAsFile", [](VelmoraAdminImportData* h) { return h->GenSaveAsDialogBox(); }},
};

}  // namespace

VelmoraAdminImportData::VelmoraAdminImportData(RequestInfo* req,
                                               VelmoraAdminApp* app)
    : VelmoraAdminCommon(req, app),
      dnList(new ValList),
      ouIndex(-1),
      snIndex(-1),
      givenNameIndex(-1),
      cnIndex(-1),
      uidIndex(-1),
      managerIndex(-1),
      generateUid(false) {}

VelmoraAdminImportData::~VelmoraAdminImportData() { delete dnList; }

Page* VelmoraAdminImportData::HandleEvent(const char* program) {
  try {
    const char* name = request->FindVar("sub_program");
    if (!name) name = ProgramName();
    for (const ImportRoute& route : kRoutes) {
      if (route.subProgram && strcasecmp(name, route.subProgram) == 0)
        return route.page(this);
    }
    return VelmoraAdminCommon::HandleEvent(program);
  } catch (KvError* e) {
    return HandleEventError(
        e, "Exception rethrown in VelmoraAdminImportData::HandleEvent");
  }
}
