// Dispatch of the data import pages on "sub_program".
#include "VelmoraAdminImportData.h"

#include <strings.h>

namespace {

struct ImportRoute {
  const char* subProgram;
  Page* (*page)(VelmoraAdminImportData* handler);
};

// The import pages; each is added here as it is built, for instance
//   {"importdata", [](VelmoraAdminImportData* h) { return h->DisplayFirstPage(); }},
// Other names go to the common dispatch.
const ImportRoute kRoutes[] = {
    {nullptr, nullptr},
};

}  // namespace

VelmoraAdminImportData::VelmoraAdminImportData(RequestInfo* req,
                                               VelmoraAdminApp* app)
    : VelmoraAdminCommon(req, app) {}

VelmoraAdminImportData::~VelmoraAdminImportData() = default;

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
