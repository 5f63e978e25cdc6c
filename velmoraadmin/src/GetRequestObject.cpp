// Routing: which handler class serves a request, chosen by "program".
#include <strings.h>

#include "velmoraadmin.h"

namespace {

template <class Handler>
KavriBaseCommon* Make(RequestInfo* req, VelmoraAdminApp* app) {
  return new Handler(req, app);
}

struct HandlerRoute {
  const char* program;
  KavriBaseCommon* (*make)(RequestInfo*, VelmoraAdminApp*);
};

// First match wins; names not listed go to VelmoraAdminCommon.
const HandlerRoute kHandlerRoutes[] = {
    {"genChangeJcardLabelForm", &Make<VelmoraAdminJcardLabel>},
    {"useradminChangeJcardLabel", &Make<VelmoraAdminJcardLabel>},
    {"genChangeEmpPageLabelForm", &Make<VelmoraAdminEmpLabel>},
    {"useradminChangeEmpPageLabel", &Make<VelmoraAdminEmpLabel>},
    {"genChangeAdditionalInfoForm", &Make<VelmoraAdminAdditionalLabel>},
    {"proModAddnalFlds", &Make<VelmoraAdminAdditionalLabel>},
    {"importdata", &Make<VelmoraAdminImportData>},
    {"accessControlDisplay", &Make<VelmoraAdminAccessControl>},
    {"progTabsFrame", &Make<VelmoraAdminAccessControl>},
    {"attribDisplay", &Make<VelmoraAdminAccessControl>},
    {"showAttribList", &Make<VelmoraAdminAccessControl>},
    {"progAccessControlMain", &Make<VelmoraAdminAccessControl>},
    {"attribMain", &Make<VelmoraAdminAccessControl>},
    {"attribMainFrame", &Make<VelmoraAdminAccessControl>},
    {"attribModifyPeople", &Make<VelmoraAdminAccessControl>},
    {"saveAttributeModifier", &Make<VelmoraAdminAccessControl>},
    {"operationDisplay", &Make<VelmoraAdminAccessControl>},
    {"operationMain", &Make<VelmoraAdminAccessControl>},
    {"progOperMainFrame", &Make<VelmoraAdminAccessControl>},
    {"modifyOperPeople", &Make<VelmoraAdminAccessControl>},
    {"progSaveOperModifier", &Make<VelmoraAdminAccessControl>},
    {"processOperationEmail", &Make<VelmoraAdminAccessControl>},
    {"processSelectEmail", &Make<VelmoraAdminAccessControl>},
};

}  // namespace

KavriBaseCommon* GetRequestObject(RequestInfo* req) {
  try {
    VelmoraAdminApp* app = VelmoraAdminGetApp();
    const char* program = req->FindVar("program");
    if (!program) program = "front";
    for (const HandlerRoute& route : kHandlerRoutes) {
      if (strcasecmp(program, route.program) == 0) return route.make(req, app);
    }
    return new VelmoraAdminCommon(req, app);
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Exception rethrown in GetRequestObject()");
    throw;
  }
}
