// The heading editors: their common base and the dispatch of each variant.
#include "VelmoraAdminLabel.h"

#include <strings.h>

#include <string>

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

const LabelRoute<VelmoraAdminJcardLabel> kJcardRoutes[] = {
    {"genChangeJcardLabelForm",
     [](VelmoraAdminJcardLabel* h) { return h->GenLabelChangeForm(nullptr); }},
    {"useradminChangeJcardLabel",
     [](VelmoraAdminJcardLabel* h) { return h->ProcessChangeForm(); }},
};
const LabelRoute<VelmoraAdminEmpLabel> kEmpRoutes[] = {
    {"genChangeEmpPageLabelForm",
     [](VelmoraAdminEmpLabel* h) { return h->GenLabelChangeForm(nullptr); }},
    {"useradminChangeEmpPageLabel",
     [](VelmoraAdminEmpLabel* h) { return h->ProcessChangeForm(); }},
};
const LabelRoute<VelmoraAdminAdditionalLabel> kAdditionalRoutes[] = {
    {"genChangeAdditionalInfoForm",
     [](VelmoraAdminAdditionalLabel* h) { return h->GenLabelChangeForm(nullptr); }},
    {"proModAddnalFlds",
     [](VelmoraAdminAdditionalLabel* h) { return h->ProcessChangeForm(); }},
};

}  // namespace

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

// Business card ------------------------------------------------------------

VCard* VelmoraAdminJcardLabel::GetTemplateCard() {
  return application->GetUserDB()->GetCardTemplate();
}

KvBoolean VelmoraAdminJcardLabel::WriteTemplateCard(VCard* card) {
  if (!application->GetUserDB()->WriteCardTemplate(card))
    KV_THROW("Unable to store the business card's fields");
  log->AddMsg(KV_INFO, "Writing of J-Card Succesful");
  Audit(("business card fields saved: " + std::to_string(card->GetNumEntries()) +
         " fields").c_str());
  return true;
}

const char* VelmoraAdminJcardLabel::GetTopLevelProgramName() {
  return "genChangeJcardLabelForm";
}
const char* VelmoraAdminJcardLabel::GetProgramName() {
  return "useradminChangeJcardLabel";
}
const char* VelmoraAdminJcardLabel::GetHeading() { return "hcustbusinesscard"; }
const char* VelmoraAdminJcardLabel::GetHelpContext() {
  return "Customize Business Card";
}
const char* VelmoraAdminJcardLabel::GetHeadText() {
  return HeadTextFor("CustBusinessHdg1", "CustBusinessHdg2", "CustBusinessHdg3");
}
int VelmoraAdminJcardLabel::MaxAllowedToCheck() { return 5; }
KvBoolean VelmoraAdminJcardLabel::BlankValuesAllowed() { return true; }

// Person page --------------------------------------------------------------

VCard* VelmoraAdminEmpLabel::GetTemplateCard() {
  return application->GetUserDB()->GetPersonTemplate();
}

KvBoolean VelmoraAdminEmpLabel::WriteTemplateCard(VCard* card) {
  if (!application->GetUserDB()->WritePersonTemplate(card))
    KV_THROW("Unable to store the person page's fields");
  log->AddMsg(KV_INFO, "Write of Label Card Succesful");
  Audit(("person page fields saved: " + std::to_string(card->GetNumEntries()) +
         " fields").c_str());
  return true;
}

const char* VelmoraAdminEmpLabel::GetTopLevelProgramName() {
  return "genChangeEmpPageLabelForm";
}
const char* VelmoraAdminEmpLabel::GetProgramName() {
  return "useradminChangeEmpPageLabel";
}
const char* VelmoraAdminEmpLabel::GetHeading() { return "hcustpersonpage"; }
const char* VelmoraAdminEmpLabel::GetHelpContext() {
  return "Customize Person Page";
}
const char* VelmoraAdminEmpLabel::GetHeadText() {
  return HeadTextFor("CustPersonHdg1", "CustPersonHdg2", "CustPersonHdg3");
}
int VelmoraAdminEmpLabel::MaxAllowedToCheck() { return -1; }
KvBoolean VelmoraAdminEmpLabel::BlankValuesAllowed() { return false; }
KvBoolean VelmoraAdminEmpLabel::GenerateCheckInputFieldsFunc() { return true; }
