// The heading editors: their common base and the dispatch of each variant.
#include "VelmoraAdminLabel.h"

#include <strings.h>

#include "VelmoraAdminAdditionalLabel.h"
#include "VelmoraAdminEmpLabel.h"
#include "VelmoraAdminJcardLabel.h"

namespace {

template <class Handler>
struct LabelRoute {
  const char* program;
  Page* (*page)(Handler* handler);
};

// Answers program from routes, or hands it to the common dispatch.
template <class Handler, size_t N>
Page* Dispatch(Handler* handler, const char* name,
               const LabelRoute<Handler> (&routes)[N], const char* program) {
  for (const LabelRoute<Handler>& route : routes) {
    if (route.program && strcasecmp(name, route.program) == 0)
      return route.page(handler);
  }
  return handler->VelmoraAdminCommon::HandleEvent(program);
}

// The form and save pages of each editor are added here as they are built,
// for instance
//   {"genChangeJcardLabelForm", [](VelmoraAdminJcardLabel* h) { return h->GenLabelChangeForm(nullptr); }},
const LabelRoute<VelmoraAdminJcardLabel> kJcardRoutes[] = {{nullptr, nullptr}};
const LabelRoute<VelmoraAdminEmpLabel> kEmpRoutes[] = {{nullptr, nullptr}};
const LabelRoute<VelmoraAdminAdditionalLabel> kAdditionalRoutes[] = {
    {nullptr, nullptr}};

}  // namespace

VelmoraAdminLabel::VelmoraAdminLabel(RequestInfo* req, VelmoraAdminApp* app)
    : VelmoraAdminCommon(req, app) {}

VelmoraAdminLabel::~VelmoraAdminLabel() = default;

VelmoraAdminJcardLabel::VelmoraAdminJcardLabel(RequestInfo* req,
                                               VelmoraAdminApp* app)
    : VelmoraAdminLabel(req, app) {}

VelmoraAdminJcardLabel::~VelmoraAdminJcardLabel() = default;

Page* VelmoraAdminJcardLabel::HandleEvent(const char* program) {
  try {
    return Dispatch(this, ProgramName(), kJcardRoutes, program);
  } catch (KvError* e) {
    return HandleEventError(e, "Failed in VelmoraAdminJcardLabel HandleEvent.");
  }
}

VelmoraAdminEmpLabel::VelmoraAdminEmpLabel(RequestInfo* req,
                                           VelmoraAdminApp* app)
    : VelmoraAdminLabel(req, app) {}

VelmoraAdminEmpLabel::~VelmoraAdminEmpLabel() = default;

Page* VelmoraAdminEmpLabel::HandleEvent(const char* program) {
  try {
    return Dispatch(this, ProgramName(), kEmpRoutes, program);
  } catch (KvError* e) {
    return HandleEventError(
        e, "Exception rethrown in VelmoraAdminEmpLabel::HandleEvent");
  }
}

VelmoraAdminAdditionalLabel::VelmoraAdminAdditionalLabel(RequestInfo* req,
                                                         VelmoraAdminApp* app)
    : VelmoraAdminLabel(req, app) {}

VelmoraAdminAdditionalLabel::~VelmoraAdminAdditionalLabel() = default;

Page* VelmoraAdminAdditionalLabel::HandleEvent(const char* program) {
  try {
    return Dispatch(this, ProgramName(), kAdditionalRoutes, program);
  } catch (KvError* e) {
    return HandleEventError(
        e, "Exception rethrown in VelmoraAdminAdditionalLabel::HandleEvent");
  }
}
