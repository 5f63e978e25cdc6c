// The request handler base: construction, styles, the dispatch of the
// common program names and the help, about and feedback pages.
#include "KavriBaseCommon.h"

#include <strings.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "KavriModule.h"
#include "KvErrorPages.h"
#include "KvFrameSetPage.h"
#include "KvImageButton.h"
#include "KvPage.h"
#include "KvSharedImages.h"
#include "KvStyle.h"
#include "KvTable.h"

namespace {

// The common program names and the pages they ask for.
struct CommonRoute {
  const char* program;
  Page* (KavriBaseCommon::*page)();
};

const CommonRoute kCommonRoutes[] = {
    {"app_common_prog_login", &KavriBaseCommon::LoginPage},
    {"app_common_prog_logout", &KavriBaseCommon::LogoutPage},
    {"app_common_prog_help_top", &KavriBaseCommon::GenHelpTopPage},
    {"app_common_prog_about_kavri", &KavriBaseCommon::GenKavriAboutPage},
    {"app_common_prog_help_feedback", &KavriBaseCommon::GenFeedbackPage},
};

const char kVersionText[] = "Velmora Directory Administrator, Version 1.0.0";
const char kSupportAddress[] = "https://support.velmora.example/";
const char kCopyrightText[] =
    "Copyright (c) 1997-2026 Kavri, Inc. All rights reserved.";

}  // namespace

char* GetKavriVersionString() { return strdup(kVersionText); }

char* GetKavriCopyrightString() { return strdup(kCopyrightText); }

KavriBaseCommon::Clock KavriBaseCommon::clock_ = nullptr;

void KavriBaseCommon::SetClock(Clock clock) { clock_ = clock; }

time_t KavriBaseCommon::Now() { return clock_ ? clock_() : time(nullptr); }

KavriBaseCommon::KavriBaseCommon(RequestInfo* req, KavriBaseApp* app,
                                 KvBoolean logFlag)
    : uid(nullptr),
      style(new KvStyle(-1)),
      request(req),
      log(nullptr),
      application(app) {
  try {
    KvConfigDB* config = app->GetConfigDB();
    log = new KvLog(app->GetName(), config->LogLevel(), config->LogFile(),
                    logFlag);
    KvDBThreadSetup(config, app->GetThreadKey());
  } catch (...) {
    delete log;
    delete style;
    throw;
  }
}

KavriBaseCommon::~KavriBaseCommon() {
  delete log;
  delete style;
  free(uid);
  KvDBThreadSetupFree(application->GetThreadKey());
}

void KavriBaseCommon::Initialize() {}

const char* KavriBaseCommon::GetStyleName() const {
  return style ? style->GetName() : nullptr;
}

void KavriBaseCommon::SetStyle(KvStyle* newStyle) {
  if (newStyle == style) return;
  delete style;
  style = newStyle;
}

void KavriBaseCommon::SetStyle(const char* name) {
  SetStyle(new KvStyle(name, nullptr));
}

void KavriBaseCommon::SetCurrentStyle(KavriBaseApp* app, const char* forUid) {
  KvConfigDB* config = app->GetConfigDB();
  std::string name;
  if (forUid && strcasecmp(config->DefaultOnlyStyle(), "FALSE") == 0) {
    std::unique_ptr<ValNameList> attributes(
        app->GetUserDB()->GetUserAttributes(forUid));
    ValNameListItem* item = attributes ? attributes->Lookup("style") : nullptr;
    if (item && item->value && *item->value) name = item->value;
  }
  if (name.empty()) name = config->DefaultStyle();
  std::unique_ptr<ValNameList> available(config->GetAvailableStyles());
  ValNameListItem* listed = available ? available->Lookup(name.c_str()) : nullptr;
  // The list's own spelling names the style's files and image folder.
  if (listed && listed->name)
    name = listed->name;
  else
    name = config->DefaultStyle();
  std::unique_ptr<KvStyle> chosen(new KvStyle(name.c_str(), nullptr));
  std::unique_ptr<ValNameList> settings(config->GetStyleInfo(name.c_str()));
  chosen->InitFromList(settings.get());
  SetStyle(chosen.release());
}

Url* KavriBaseCommon::ProgramUrl() const {
  return new Url(application->GetProgramFile());
}

Page* KavriBaseCommon::CheckLogin(const char* program) {
  if (BypassLoginCheck(program) == 1) return nullptr;
  return UserAuthenticateAndLogin();
}

KvBoolean KavriBaseCommon::BypassLoginCheck(const char* program) {
  if (!program) return false;
  return strcasecmp(program, "app_common_prog_login") == 0 ||
         strcasecmp(program, "app_common_prog_logout") == 0;
}

KvBoolean KavriBaseCommon::ChangesState() { return false; }

Page* KavriBaseCommon::GenFrontPage() { return HandleEvent(nullptr); }

char* KavriBaseCommon::CheckChangeLimits() { return nullptr; }

Page* KavriBaseCommon::GenRefusedChangePage(const char* reason) {
  std::unique_ptr<KvPage> page(new KvPage(nullptr));
  std::string text = std::string("The change was not made: ") + (reason ? reason : "");
  page->AppendToBody(new H2(text.c_str()));
  return page.release();
}

void KavriBaseCommon::Audit(const char* what, const char* who) {
  if (!who) who = GetMyUid();
  std::string record = who && *who ? who : "-";
  const char* program = request->FindVar("program");
  record += std::string(" ") + (program ? program : "front");
  const char* sub = request->FindVar("sub_program");
  if (sub && *sub) record += std::string("/") + sub;
  record += std::string(": ") + (what ? what : "");
  if (log && log->GetLevel() <= KV_AUDIT) {
    log->AddMsg(KV_AUDIT, record.c_str());
    return;
  }
  // The trail is kept whatever level the log is set to.
  KvConfigDB* config = application->GetConfigDB();
  KvLog audit(application->GetName(), KV_AUDIT, config->LogFile(), false);
  audit.AddMsg(KV_AUDIT, record.c_str());
}

Page* KavriBaseCommon::HandleEvent(const char* program) {
  if (program) {
    for (const CommonRoute& route : kCommonRoutes) {
      if (strcasecmp(program, route.program) == 0) return (this->*route.page)();
    }
  }
  std::unique_ptr<KvError> error(new KvError);
  KV_ADD_LINE(error.get(), String("Bad program name ") + (program ? program : ""));
  return KvCreateErrorPage(error->GetLines(),
                           application->GetConfigDB()->BugReportAddr(),
                           request);
}

Page* KavriBaseCommon::GenHelpTopPage() {
  std::unique_ptr<KvFrameSetPage> page(new KvFrameSetPage(kAttrRows, "37,*"));
  Url* navbar = ProgramUrl();
  navbar->addAttribute("program", "app_common_prog_help_navbar");
  page->AddNewFrame(navbar, "about_navbar", false);
  Url* main = ProgramUrl();
  main->addAttribute("program", "app_common_prog_about_kavri");
  page->AddNewFrame(main, "about_main", true);
  return page.release();
}

Page* KavriBaseCommon::GenFeedbackPage() {
  return KvCreateGenericFeedbackPage(
      "hkavrifeedback", application->GetMessage("FeedbackHdg"),
      application->GetConfigDB()->FeedbackAddr(), request);
}

Page* KavriBaseCommon::GenKavriAboutPage() {
  std::unique_ptr<KvPage> page(new KvPage(nullptr));
  page->SetHelpContext("Top");

  std::unique_ptr<char, decltype(&free)> version(GetKavriVersionString(), &free);
  std::unique_ptr<char, decltype(&free)> copyright(GetKavriCopyrightString(),
                                                   &free);
  std::unique_ptr<char, decltype(&free)> platform(KvGetPlatform(), &free);

  KvTable* top = new KvTable(2, 0, 0);
  top->SetVerticalAlignment("center");
  top->addObject(KvGetKavriLogo());
  top->addObject(new H1(version.get()));
  page->AppendToBody(top);
  page->AppendToBody(new Br());

  Center* center = new Center();
  center->addObject(new H2(copyright.get()));
  std::string platformText =
      std::string("Server platform: ") + (platform ? platform.get() : "");
  center->addObject(new H2(platformText.c_str()));
  page->AppendToBody(center);

  // The vendor's contact block.
  Address* contact = new Address();
  contact->addObject("Kavri, Inc.", false);
  contact->addObject(new Br());
  contact->addObject("Technical support: ", false);
  // The address as plain text: activated, it would become a link inside
  // the link.
  A* web = new A();
  web->addObject(kSupportAddress, false);
  web->addAttribute(kAttrHref, kSupportAddress);
  web->addAttribute(kAttrTarget, "_blank");
  contact->addObject(web);
  page->AppendToBody(contact);
  return page.release();
}
