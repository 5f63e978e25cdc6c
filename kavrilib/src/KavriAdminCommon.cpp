// The administrator programs' handler base: administrator-only login, the
// help navigation bar and the directory set-up pages.
#include "KavriAdminCommon.h"

#include <strings.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "KvErrorPages.h"
#include "KvForm.h"
#include "KvImageButton.h"
#include "KvInput.h"
#include "KvPage.h"
#include "KvSharedImages.h"
#include "KvStyle.h"
#include "KvTable.h"

KavriAdminCommon::KavriAdminCommon(RequestInfo* req, KavriBaseApp* app)
    : KavriBaseCommon(req, app, true) {}

KavriAdminCommon::~KavriAdminCommon() = default;

void KavriAdminCommon::Initialize() { SetStyle("style0"); }

KvBoolean KavriAdminCommon::IsLoggedIn() {
  if (KavriBaseCommon::IsLoggedIn() != 1) return false;
  const char* webmaster = request->FindCookie(kKavriWebmasterCookie);
  if (!webmaster || strcmp(webmaster, "TRUE") != 0) return false;
  // The cookie says what was true at login; the directory says what is
  // true now.
  try {
    return application->GetUserDB()->IsDirAdmin(FindUid()) == 1;
  } catch (KvError* e) {
    if (e->GetKind() != kKvErrorUnreachable) throw;
    delete e;
    return true;
  }
}

Page* KavriAdminCommon::UserAuthenticateAndLogin() {
  if (IsLoggedIn()) return nullptr;
  UserDB* db = application->GetUserDB();

  std::unique_ptr<Url> action(RepeatRequestUrl());

  if (request->remoteUser && *request->remoteUser) {
    std::unique_ptr<char, decltype(&free)> remote(
        db->GetUidFromRemoteUser(request->remoteUser), &free);
    if (remote && db->IsValidUser(remote.get()) == 1 &&
        db->IsDirAdmin(remote.get()) == 1) {
      LogIn(remote.get(), true, true);
      db->UserLoggedIn(remote.get());
      Audit("logged in through the web server", remote.get());
      return nullptr;
    }
    Audit("web-server login refused: not a directory administrator",
          request->remoteUser);
  }

  const char* login = request->FindVar("login");
  const char* password = request->FindVar("password");
  if (!login || !password) return GenLoginPage(action.release(), nullptr);
  // Every refusal leaves a record naming the login name tried.
  auto refuse = [&](const char* message) {
    Audit((std::string("login refused: ") + message).c_str(), login);
    return GenLoginPage(action.release(), message);
  };
  std::unique_ptr<char, decltype(&free)> found(db->GetUidFromLogin(login), &free);
  if (!found) return refuse("Incorrect username, please try again");
  if (db->IsDirAdmin(found.get()) != 1)
    return refuse("You are not on the list of valid administrators.");
  if (db->CheckPassword(found.get(), password) == 0)
    return refuse("Incorrect password, please try again");
  LogIn(found.get(), true, false);
  db->UserLoggedIn(found.get());
  Audit("logged in", found.get());
  return nullptr;
}

Page* KavriAdminCommon::HandleEvent(const char* program) {
  if (program && strcasecmp(program, "app_common_prog_help_navbar") == 0)
    return GenHelpNavbarPage();
  return KavriBaseCommon::HandleEvent(program);
}

Page* KavriAdminCommon::GenHelpNavbarPage() {
  struct Button {
    const char* program;
    const char* image;
    const char* label;
  };
  static const Button kButtons[] = {
      {"app_common_prog_about_kavri", "faboutkavri",
       "Information about this product and Kavri, Inc."},
      {"app_common_prog_help_feedback", "fkavrifeedback",
       "Send feedback to Kavri"},
  };
  std::unique_ptr<KvPage> page(new KvPage(style->GetMainPageStyle()));
  for (const Button& button : kButtons) {
    Url* url = ProgramUrl();
    url->addAttribute("program", button.program);
    KvCommonImageButton* link =
        new KvCommonImageButton(url, button.image, button.label);
    link->SetTarget("about_main");
    page->AppendToBody(link);
  }
  return page.release();
}

Page* KavriAdminCommon::GenDBSetupErrorPage(const char* message,
                                            ValList* messages) {
  if (application->GetConfigDB()->DBFormat(KV_EMPDIR) == KV_LDAP)
    return GenLDAPSetupPage(message, messages);
  std::unique_ptr<KvPage> page(new KvPage(nullptr));
  page->AppendToBody(new KvImage("herror"));
  page->AppendToBody(new H2(
      "The following database error was reported. Please contact your "
      "database administrator for help."));
  page->AppendToBody(new Br());
  page->AppendToBody(new Br());
  if (messages) {
    for (ValListItem* item = messages->GetFirst(); item; item = item->next) {
      page->AppendToBody(item->value ? item->value : "");
      page->AppendToBody(new Br());
    }
  }
  return page.release();
}

Page* KavriAdminCommon::GenLDAPSetupPage(const char* message,
                                         ValList* messages) {
  KvConfigDB* config = application->GetConfigDB();
  std::unique_ptr<KvPage> page(new KvPage(nullptr));
  page->AddJSIsInteger();
  page->AddJSFunction("isEmpty");
  page->AddJSFunction("validateInput");

  KvTable* heading = new KvTable(2, 0, 0);
  heading->SetVerticalAlignment("center");
  heading->addObject(KvGetKavriLogo());
  heading->addObject(new H1("LDAP Configuration"));
  page->AppendToBody(heading);

  if (message) {
    page->AppendToBody(new B(message));
    page->AppendToBody(new Br());
  }
  if (messages) {
    for (ValListItem* item = messages->GetFirst(); item; item = item->next) {
      page->AppendToBody(new B(item->value));
      page->AppendToBody(new Br());
    }
  }
  page->AppendToBody(new Br());
  page->AppendToBody("Please enter the following information");

  KvForm* form = new KvForm("createform", "admin.cgi");
  form->addObject(new KvHiddenInput("program", "updateLDAPSetupInfo"));
  form->addObject(GetLDAPInfoTable(config->LDAPServerName(),
                                   config->LDAPServerPort(), config->LDAPRootDN(),
                                   false, config->LDAPSearchBase()));
  page->AppendToBody(form);
  page->AppendToBody(new Hr());
  page->AppendToBody(new KvImageButton("javascript:validateInput()", "bsave",
                                       "Click here to save the values"));
  KvImageButton* cancel = new KvImageButton(
      "../../..", "bcancel", "Click here to cancel this operation");
  cancel->SetTarget("_top");
  page->AppendToBody(cancel);
  return page.release();
}
