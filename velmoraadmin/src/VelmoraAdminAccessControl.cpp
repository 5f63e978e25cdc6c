// Dispatch of the access-control pages.
#include "VelmoraAdminAccessControl.h"

#include <strings.h>

namespace {

struct AccessRoute {
  const char* program;
  Page* (*page)(VelmoraAdminAccessControl* handler);
};

// The access-control pages; each is added here as it is built, for instance
//   {"progTabsFrame", [](VelmoraAdminAccessControl* h) { return h->GenAccessControlTabsFrame(); }},
// Names without a row ("operationDisplay" among them) go to the common
// dispatch.
const AccessRoute kRoutes[] = {
    {nullptr, nullptr},
};

}  // namespace

VelmoraAdminAccessControl::VelmoraAdminAccessControl(RequestInfo* req,
                                                     VelmoraAdminApp* app)
    : VelmoraAdminCommon(req, app) {}

VelmoraAdminAccessControl::~VelmoraAdminAccessControl() = default;

Page* VelmoraAdminAccessControl::HandleEvent(const char* program) {
  try {
    const char* name = ProgramName();
    for (const AccessRoute& route : kRoutes) {
      if (route.program && strcasecmp(name, route.program) == 0)
        return route.page(this);
    }
    return VelmoraAdminCommon::HandleEvent(program);
  } catch (KvError* e) {
    return HandleEventError(
        e, "Exception rethrown in VelmoraAdminAccessControl::HandleEvent");
  }
}
