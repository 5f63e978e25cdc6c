// Dispatch of the access-control pages; the pages themselves are in
// VelmoraAdminAccessPages.cpp.
#include "VelmoraAdminAccessControl.h"

#include <strings.h>

namespace {

struct AccessRoute {
  const char* program;
  Page* (*page)(VelmoraAdminAccessControl* handler);
};

// The access-control pages. Names without a row ("operationDisplay" among
// them) go to the common dispatch.
const AccessRoute kRoutes[] = {
    {"accessControlDisplay", [](VelmoraAdminAccessControl* h) { return h->GenAccessControlFrameSet(); }},
    {"progTabsFrame", [](VelmoraAdminAccessControl* h) { return h->GenAccessControlTabsFrame(); }},
    {"attribDisplay", [](VelmoraAdminAccessControl* h) { return h->GenShowAttributeFrameSet(); }},
    {"showAttribList", [](VelmoraAdminAccessControl* h) { return h->GenAttribListFrame(); }},
    {"progAccessControlMain", [](VelmoraAdminAccessControl* h) { return h->GenMainPage(); }},
    {"attribMain", [](VelmoraAdminAccessControl* h) { return h->GenMainPage(); }},
    {"operationMain", [](VelmoraAdminAccessControl* h) { return h->GenMainPage(); }},
    {"attribMainFrame", [](VelmoraAdminAccessControl* h) { return h->GenAttribMainFrame(); }},
    {"attribModifyPeople", [](VelmoraAdminAccessControl* h) { return h->GenAttribModifyFrame(); }},
    {"saveAttributeModifier", [](VelmoraAdminAccessControl* h) { return h->GenAttribSavePeople(); }},
    {"processSelectEmail", [](VelmoraAdminAccessControl* h) { return h->GenProcessSelectEmail(); }},
    {"progOperMainFrame", [](VelmoraAdminAccessControl* h) { return h->GenOperationMainFrame(); }},
    {"modifyOperPeople", [](VelmoraAdminAccessControl* h) { return h->GenOperationModifyFrame(); }},
    {"progSaveOperModifier", [](VelmoraAdminAccessControl* h) { return h->GenOperationSaveModifiers(); }},
    {"processOperationEmail", [](VelmoraAdminAccessControl* h) { return h->GenOperationSaveEmail(); }},
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
      if (strcasecmp(name, route.program) == 0)
        return route.page(this);
    }
    return VelmoraAdminCommon::HandleEvent(program);
  } catch (KvError* e) {
    return HandleEventError(
        e, "Exception rethrown in VelmoraAdminAccessControl::HandleEvent");
  }
}
