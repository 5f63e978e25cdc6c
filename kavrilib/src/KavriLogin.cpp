// Login, session cookies and time-outs of the request handler base.
#include <strings.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include "JavaScriptUrl.h"
#include "KavriBaseCommon.h"
#include "KvForm.h"
#include "KvImageButton.h"
#include "KvInput.h"
#include "KvPage.h"
#include "KvRequestOrigin.h"
#include "KvSession.h"
#include "KvSharedImages.h"
#include "KvTable.h"

const char kKavriUidCookie[] = "KavriUidCookie";
const char kKavriLoginTimeCookie[] = "KavriUserLoginTime";
const char kKavriWebmasterCookie[] = "KavriIsWebmaster";
const char kKavriDrovakCookie[] = "KavriDrovakLogin";

namespace {

// A session cookie: the simple cookie text followed by attributes (the
// signature cookie's, and " Secure;" over HTTPS). Without attributes it is
// written exactly as a simple cookie.
class SessionCookie : public SetCookie {
 public:
  SessionCookie(const char* name, const char* value, std::string attributes)
      : SetCookie(name, value, 0), attributes_(std::move(attributes)) {}

  void emit(RequestInfo* req, int indent, int lineBreaks,
            const char* styleName) override {
    std::unique_ptr<char, decltype(&free)> text(
        CommonOutput(name, value, seconds, "/"), &free);
    if (text) {
      std::string header = std::string(text.get()) + attributes_;
      req->WriteHeader("Set-Cookie", header.c_str());
    }
    if (nextObject) nextObject->emit(req, indent, lineBreaks, styleName);
  }

 private:
  std::string attributes_;
};

// Browsers send cookies marked Secure only over HTTPS.
std::string SecureAttribute() {
  return KvRequestOrigin::FromEnvironment().IsHttps() ? " Secure;" : "";
}

SetCookie* NewSessionCookie(const char* name, const char* value) {
  return new SessionCookie(name, value, SecureAttribute());
}

SetCookie* NewSigCookie(const char* value) {
  return new SessionCookie(kKvSessionSigCookie, value,
                           kKvSessionSigAttributes + SecureAttribute());
}

// The decimal value at the start of text as atoi reads it, without atoi's
// overflow: out-of-range values saturate.
long long CookieNumber(const char* text) {
  return text ? strtoll(text, nullptr, 10) : 0;
}

bool IsWebmasterValue(const char* value) {
  return value && strcmp(value, "TRUE") == 0;
}

bool IsTrueNoCase(const char* value) {
  return value && strcasecmp(value, "TRUE") == 0;
}

ValNameList* CookieList(RequestInfo* req) {
  if (!req->cookies) req->cookies = new ValNameList;
  return req->cookies;
}

// The expiry time of a session renewed now, as cookie text.
std::string NewExpiry(int timeout) {
  return std::to_string(static_cast<long long>(KavriBaseCommon::Now()) +
                        timeout);
}

}  // namespace

KvSessionLimits KavriBaseCommon::SessionLimits() {
  KvConfigDB* config = application->GetConfigDB();
  KvSessionLimits limits{Now(), config->UserSessionTimeOut(),
                         kKvDefaultSessionLifetime};
  const char* lifetime = config->ReadValue("maxSessionLifetime");
  char* end = nullptr;
  long value = lifetime ? strtol(lifetime, &end, 10) : 0;
  if (lifetime && end != lifetime && *end == '\0') limits.lifetime = value;
  return limits;
}

KvBoolean KavriBaseCommon::LoggedInNow() const { return loggedInNow_; }

KvBoolean KavriBaseCommon::CheckIfLoggedOut() {
  const char* time = request->FindCookie(kKavriLoginTimeCookie);
  return !time || CookieNumber(time) == 0;
}

KvBoolean KavriBaseCommon::CheckIfTimedOut(int timeout) {
  const char* time = request->FindCookie(kKavriLoginTimeCookie);
  if (!time) return true;
  long long expiry = CookieNumber(time);
  long long now = Now();
  return !(now <= expiry && expiry <= now + static_cast<long long>(timeout));
}

const char* KavriBaseCommon::FindUid() {
  if (CheckIfLoggedOut()) return nullptr;
  int timeout = application->GetConfigDB()->UserSessionTimeOut();
  if (timeout > 0 && CheckIfTimedOut(timeout)) return nullptr;
  const char* found = request->FindCookie(kKavriUidCookie);
  if (!found) return nullptr;
  // Only a session this installation signed counts, and only while its
  // record lasts. One look at the records per request and cookie value.
  const char* signature = request->FindCookie(kKvSessionSigCookie);
  if (!signature) return nullptr;
  std::string state = std::string(signature) + "\n" + found + "\n";
  for (const char* name : {kKavriLoginTimeCookie, kKavriWebmasterCookie, kKavriDrovakCookie}) {
    const char* value = request->FindCookie(name);
    state += value ? value : "\x01";
    state += '\n';
  }
  if (checkedSession_ != state) {
    bool alive =
        KvSessionVerify(signature, found, request->FindCookie(kKavriLoginTimeCookie),
                        IsWebmasterValue(request->FindCookie(kKavriWebmasterCookie)),
                        IsDrovakLogin()) == 1 &&
        KvSessionAlive(KvSessionIdOf(signature).c_str(), found, SessionLimits()) == 1;
    checkedSession_ = state;
    sessionAlive_ = alive;
  }
  return sessionAlive_ ? found : nullptr;
}

const char* KavriBaseCommon::GetMyUid() {
  if (!request) KV_THROW("NULL requestInfo");
  if (!uid) {
    const char* found = FindUid();
    if (found) uid = strdup(found);
  }
  return uid;
}

KvBoolean KavriBaseCommon::IsLoggedIn() { return FindUid() != nullptr; }

KvBoolean KavriBaseCommon::IsDrovakLogin() {
  return IsTrueNoCase(request->FindCookie(kKavriDrovakCookie));
}

void KavriBaseCommon::LogIn(const char* newUid, KvBoolean isWebmaster,
                            KvBoolean isDrovakLogin) {
  ValNameList* cookies = CookieList(request);
  std::string expiry =
      NewExpiry(application->GetConfigDB()->UserSessionTimeOut());
  std::string id = KvSessionStart(newUid, SessionLimits());
  cookies->Replace(kKavriUidCookie, newUid);
  cookies->Replace(kKavriLoginTimeCookie, expiry.c_str());
  if (isWebmaster == 1) cookies->Replace(kKavriWebmasterCookie, "TRUE");
  cookies->Replace(kKavriDrovakCookie, isDrovakLogin == 1 ? "TRUE" : "FALSE");
  std::string signature = KvSessionSign(
      id.c_str(), newUid, expiry.c_str(),
      IsWebmasterValue(request->FindCookie(kKavriWebmasterCookie)),
      IsDrovakLogin());
  cookies->Replace(kKvSessionSigCookie, signature.c_str());
  free(uid);
  uid = nullptr;
  loggedInNow_ = true;
}

void KavriBaseCommon::LogPersonIn(Page* page) {
  const char* current = FindUid();
  std::string sessionUid = current ? current : "";
  if (current) page->AddToList(NewSessionCookie(kKavriUidCookie, current));
  const char* webmaster = request->FindCookie(kKavriWebmasterCookie);
  if (webmaster)
    page->AddToList(NewSessionCookie(kKavriWebmasterCookie, webmaster));
  const char* drovak = request->FindCookie(kKavriDrovakCookie);
  if (drovak) page->AddToList(NewSessionCookie(kKavriDrovakCookie, drovak));
  std::string expiry =
      NewExpiry(application->GetConfigDB()->UserSessionTimeOut());
  page->AddToList(NewSessionCookie(kKavriLoginTimeCookie, expiry.c_str()));
  if (current) {
    std::string id = KvSessionIdOf(request->FindCookie(kKvSessionSigCookie));
    std::string signature =
        KvSessionSign(id.c_str(), sessionUid.c_str(), expiry.c_str(),
                      IsWebmasterValue(webmaster), IsTrueNoCase(drovak));
    page->AddToList(NewSigCookie(signature.c_str()));
  }
}

void KavriBaseCommon::LogPersonOut(Page* page) {
  page->AddToList(NewSessionCookie(kKavriLoginTimeCookie, "0"));
  page->AddToList(NewSessionCookie(kKavriWebmasterCookie, "FALSE"));
  page->AddToList(NewSessionCookie(kKavriDrovakCookie, "FALSE"));
  page->AddToList(NewSigCookie(""));
}

Page* KavriBaseCommon::GenLoginPage(Url* action, const char* message) {
  std::unique_ptr<Url> ownedAction(action);
  std::unique_ptr<KvPage> page(new KvPage(nullptr));
  page->GetHead()->addObject(new Title(application->GetMessage("LoginPageTitle")));

  bool oldBrowser = request->browserType == RequestInfo::kBrowserMozilla &&
                    request->browserVersion < 4.0;
  if (oldBrowser) {
    page->AddJSVar("loginFocussed", "true");
    page->AddJSFunction("checkAndSubmitForm");
    page->AddJSFunction("loginOnFocus");
  }
  page->AddJSSubmitForm();

  Center* top = new Center();
  top->addObject(KvGetFrontPageLogo());
  top->addObject(new H2(application->GetMessage("LoginPageMsg")));
  if (message) top->addObject(new H2(message));
  page->AppendToBody(top);

  KvForm* form = new KvForm("loginform", ownedAction.release());
  page->AppendToBody(form);
  page->AddFormFocusTo("loginform", "login");

  KvTable* table = new KvTable(2, 0, 0);
  table->addObject(new B("Username"));
  KvTextInput* login = new KvTextInput("login", "", 20);
  if (oldBrowser) {
    login->addAttribute(kAttrOnFocus, "loginOnFocus();");
    login->addAttribute(kAttrOnChange, "checkAndSubmitForm('login');");
  }
  table->addObject(login);
  table->addObject(new B("Password"));
  KvPasswordInput* password = new KvPasswordInput("password", 20);
  if (oldBrowser)
    password->addAttribute(kAttrOnChange, "checkAndSubmitForm('passwd');");
  table->addObject(password);
  form->addObject(table);

  Center* bottom = new Center();
  bottom->addObject(new Br());
  bottom->addObject(new KvImageButton(new SubmitFormUrl(), "mlogin", "Login"));
  form->addObject(bottom);
  return page.release();
}

Page* KavriBaseCommon::LoginPage() { return GenLoginPage(ProgramUrl(), nullptr); }

Page* KavriBaseCommon::LogoutPage() {
  if (log && log->GetLevel() < 1) {
    const char* who = GetMyUid();
    log->AddMsg(KV_INFO, (std::string("Uid ") + (who ? who : "") + " logged out").c_str());
  }
  // The record goes, so that cookies kept from this session are void even
  // in a browser that ignores the ones that end it.
  KvSessionEnd(KvSessionIdOf(request->FindCookie(kKvSessionSigCookie)).c_str());
  std::unique_ptr<Page> page(GenLoginPage(ProgramUrl(), "You have been logged out"));
  LogPersonOut(page.get());
  return page.release();
}

Url* KavriBaseCommon::RepeatRequestUrl() const {
  Url* action = ProgramUrl();
  for (ValNameListItem* item = request->params->GetFirst(); item;
       item = item->next) {
    if (!item->name || strcasecmp(item->name, "login") == 0 ||
        strcasecmp(item->name, "password") == 0)
      continue;
    action->addAttribute(item->name, item->value ? item->value : "");
  }
  return action;
}

Page* KavriBaseCommon::UserAuthenticateAndLogin() {
  if (IsLoggedIn()) return nullptr;
  UserDB* db = application->GetUserDB();

  std::unique_ptr<Url> action(RepeatRequestUrl());
  if (!db->IsSetup())
    return GenLoginPage(action.release(),
                        "Cannot login as the application is not setup");

  if (request->remoteUser && *request->remoteUser) {
    std::unique_ptr<char, decltype(&free)> remote(
        db->GetUidFromRemoteUser(request->remoteUser), &free);
    if (remote && db->IsValidUser(remote.get()) == 1) {
      LogIn(remote.get(), db->IsDirAdmin(remote.get()) == 1, true);
      db->UserLoggedIn(remote.get());
      SetCurrentStyle(application, remote.get());
      return nullptr;
    }
  }

  const char* login = request->FindVar("login");
  const char* password = request->FindVar("password");
  if (!login || !password) return GenLoginPage(action.release(), nullptr);
  std::unique_ptr<char, decltype(&free)> found(db->GetUidFromLogin(login), &free);
  if (!found)
    return GenLoginPage(action.release(), "Incorrect username, please try again");
  if (db->CheckPassword(found.get(), password) == 0)
    return GenLoginPage(action.release(), "Incorrect password, please try again");
  LogIn(found.get(), db->IsDirAdmin(found.get()) == 1, false);
  db->UserLoggedIn(found.get());
  SetCurrentStyle(application, found.get());
  return nullptr;
}
