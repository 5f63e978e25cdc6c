// The console's own pages: the front page frame set and the navigation bar,
// and the dispatch of the console's program names.
#include "VelmoraAdminCommon.h"

#include <strings.h>

#include <memory>

namespace {

// The console's program names and the pages they ask for. Each feature adds
// its row here, for instance
//   {"setupPhotos", [](VelmoraAdminCommon* h) { return h->GenSetupPhotosPage(nullptr, nullptr); }},
struct CommonRoute {
  const char* program;
  Page* (*page)(VelmoraAdminCommon* handler);
};

const CommonRoute kRoutes[] = {
    {"front", [](VelmoraAdminCommon* h) { return h->GenFrontPage(); }},
    {"navbar", [](VelmoraAdminCommon* h) { return h->GenNavbarPage(); }},
    {"progGenerateAccounts", [](VelmoraAdminCommon* h) { return h->GenerateAccounts(nullptr); }},
    {"progProcessGenerateAccounts", [](VelmoraAdminCommon* h) { return h->ProcessGenerateAccounts(); }},
    {"setupData", [](VelmoraAdminCommon* h) { return h->GenSetupDataPage(nullptr, nullptr, "../help/diradmin_sum.htm"); }},
    {"processData", [](VelmoraAdminCommon* h) { return h->GenProcessDataPage(); }},
    {"setupPhotos", [](VelmoraAdminCommon* h) { return h->GenSetupPhotosPage(nullptr, nullptr); }},
    {"processPhotos", [](VelmoraAdminCommon* h) { return h->GenProcessPhotosPage(); }},
    {"genDirAdminsConfPage", [](VelmoraAdminCommon* h) { return h->GenConfDirAdminsPage(); }},
    {"procconfDirAdmins", [](VelmoraAdminCommon* h) { return h->ProcessConfDirAdmins(); }},
    {"updateLDAPSetupInfo", [](VelmoraAdminCommon* h) { return h->ProcessLDAPSetupInfo(); }},
};

// When a navigation button is shown.
enum ShowWhen { kAlways, kFormatNotFile, kFormatFile, kFormatNotLDAP, kNotDrovak };
// Where it goes in the bar.
enum Placement { kStacked, kInTable };

struct NavButton {
  ShowWhen when;
  Placement placement;
  const char* program;  // on the program file; null for the two special ones
  const char* image;
  const char* label;
};

const char kMainFrame[] = "application_main";
const char kHelpTopic[] = "../../common/help/admin_help.htm";
const char kLogoutQuestion[] = "Do you really want to logout ?";
const char kLogoutProgram[] = "admin.cgi";

const NavButton kNavButtons[] = {
    {kAlways, kStacked, "genDirAdminsConfPage", "side_confdirectoryadmins",
     "Configure Directory Admininstrators"},
    {kFormatNotFile, kStacked, "accessControlDisplay", "side_accesscontrol",
     "Set Access Control"},
    {kFormatFile, kStacked, "setupData", "side_confdata",
     "Configure Employee Data"},
    {kAlways, kStacked, "setupPhotos", "side_custphotos", "Customize Photos"},
    {kAlways, kStacked, "genChangeJcardLabelForm", "side_custbusinesscard",
     "Customize Business Card"},
    {kAlways, kStacked, "genChangeEmpPageLabelForm", "side_custpersonpage",
     "Customize Person Page"},
    {kAlways, kStacked, "genChangeAdditionalInfoForm",
     "side_custadditionalinfo", "Customize Additional Info"},
    {kFormatNotLDAP, kStacked, "progGenerateAccounts", "side_generateaccounts",
     "Generate all user accounts"},
    {kAlways, kStacked, nullptr, "side_help", "View Online Help"},
    {kAlways, kInTable, "app_common_prog_help_top", "side_babout",
     "Product Information and Feedback"},
    {kNotDrovak, kInTable, nullptr, "side_blogout", "Logout"},
};

}  // namespace

VelmoraAdminCommon::VelmoraAdminCommon(RequestInfo* req, VelmoraAdminApp* app)
    : KavriAdminCommon(req, app), velmoraApp(app) {}

VelmoraAdminCommon::~VelmoraAdminCommon() = default;

const char* VelmoraAdminCommon::ProgramName() const {
  const char* program = request->FindVar("program");
  return program ? program : "front";
}

Page* VelmoraAdminCommon::HandleEventError(KvError* error,
                                           const char* context) {
  std::unique_ptr<KvError> owned(error);
  if (owned->GetKind() == kKvErrorUnreachable)
    return GenDBSetupErrorPage("Could not connect to database.",
                               owned->GetUserLines());
  KV_ADD_LINE(owned.get(), context);
  throw owned.release();
}

Page* VelmoraAdminCommon::HandleEvent(const char* /*program*/) {
  try {
    const char* program = ProgramName();
    for (const CommonRoute& route : kRoutes) {
      if (strcasecmp(program, route.program) == 0) return route.page(this);
    }
    return KavriAdminCommon::HandleEvent(program);
  } catch (KvError* e) {
    return HandleEventError(e, "Exception rethrown in VelmoraAdminCommon::HandleEvent");
  }
}

KvBoolean VelmoraAdminCommon::BypassLoginCheck(const char* program) {
  try {
    return KavriAdminCommon::BypassLoginCheck(program);
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Exception rethrown in VelmoraAdminCommon::BypassLoginCheck()");
    throw;
  }
}

Page* VelmoraAdminCommon::GenFrontPage() {
  try {
    std::unique_ptr<KvAppFrameSet> page(
        new KvAppFrameSet(style->GetLowerFrameSetStyle()));
    Url* navbar = new Url(application->GetProgramFile());
    navbar->addAttribute("program", "navbar");
    page->AddNewFrame(navbar, "application_navbar", true);
    page->AddNewFrame(new Url("../help/diradmin_sum.htm"), kMainFrame, true);
    return page.release();
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Failed in GenEmpAdminPage()");
    throw;
  }
}

Page* VelmoraAdminCommon::GenNavbarPage() {
  try {
    std::unique_ptr<KvAppNavbar> page(new KvAppNavbar(style->GetLowerPageStyle()));
    page->AddJSHelpFunctions();
    page->AddJSConfirm();
    KvDBFormat format = application->GetConfigDB()->DBFormat(KV_EMPDIR);
    bool drovak = IsDrovakLogin() == 1;

    for (const NavButton& button : kNavButtons) {
      bool shown = false;
      switch (button.when) {
        case kAlways: shown = true; break;
        case kFormatNotFile: shown = format != KV_KAVRI; break;
        case kFormatFile: shown = format == KV_KAVRI; break;
        case kFormatNotLDAP: shown = format != KV_LDAP; break;
        case kNotDrovak: shown = !drovak; break;
      }
      if (!shown) continue;

      KvImageButton* link;
      if (button.when == kNotDrovak) {
        Url* logout = new Url(kLogoutProgram);
        logout->addAttribute("program", "app_common_prog_logout");
        link = new KvImageButton(new ConfirmUrl(kLogoutQuestion, logout),
                                 button.image, button.label);
        link->SetTarget("_top");
      } else if (!button.program) {
        link = new KvImageButton(new HelpUrl(kHelpTopic), button.image,
                                 button.label);
      } else {
        Url* url = new Url(application->GetProgramFile());
        url->addAttribute("program", button.program);
        link = new KvImageButton(url, button.image, button.label);
        link->SetTarget(kMainFrame);
      }
      if (button.placement == kStacked)
        page->AddElement(link);
      else
        page->AddElementToTable(link);
    }
    return page.release();
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Error in GenEmpAdminNavbarPage");
    throw;
  }
}
