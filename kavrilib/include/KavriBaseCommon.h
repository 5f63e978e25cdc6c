// The request handler base: one object per request, created by the module's
// GetRequestObject and deleted by ModuleMain. It holds the request, the
// application object, the page style and the log writer; it checks the
// login against the session cookies, dispatches the common program names,
// and builds the login, logout, help, about and feedback pages.
//
// Session cookies (each without expiry date, path "/"):
//   "KavriUidCookie"      the uid
//   "KavriUserLoginTime"  seconds since the epoch at which the session ends;
//                         "0" after logout
//   "KavriIsWebmaster"    "TRUE" for an administrator's session
//   "KavriDrovakLogin"    "TRUE" when the web server authenticated the user
//   "KavriSessionSig"     the session id and this installation's signature
//                         over it and the four values (KvSession.h); without
//                         a matching one, and a live record of the session
//                         id on the server, nobody is logged in
#pragma once

#include <ctime>
#include <string>

#include "KavriBaseApp.h"
#include "KvSession.h"
#include "commonlib.h"
#include "htmllib.h"

class KvStyle;

extern const char kKavriUidCookie[];        // "KavriUidCookie"
extern const char kKavriLoginTimeCookie[];  // "KavriUserLoginTime"
extern const char kKavriWebmasterCookie[];  // "KavriIsWebmaster"
extern const char kKavriDrovakCookie[];     // "KavriDrovakLogin"

class KavriBaseCommon {
 public:
  // req and app stay the caller's and must outlive the handler. Creates the
  // built-in style and the log writer (buffered when logFlag is true) and
  // sets up the per-thread directory data. Throws KvError*.
  KavriBaseCommon(RequestInfo* req, KavriBaseApp* app, KvBoolean logFlag);

  // Null when the user is (now) logged in, else the login page to send.
  virtual Page* UserAuthenticateAndLogin();
  virtual ~KavriBaseCommon();
  KavriBaseCommon(const KavriBaseCommon&) = delete;
  KavriBaseCommon& operator=(const KavriBaseCommon&) = delete;

  virtual void Initialize();
  // A uid with a valid, signed and unexpired session.
  virtual KvBoolean IsLoggedIn();
  // Writes the session into the request's cookie list, so that the rest of
  // this request sees the user as logged in and LogPersonIn sends it.
  virtual void LogIn(const char* uid, KvBoolean isWebmaster,
                     KvBoolean isDrovakLogin);
  // "KavriDrovakLogin" is "TRUE" (any case).
  virtual KvBoolean IsDrovakLogin();
  // Adds the renewed session cookies to page (which keeps them).
  virtual void LogPersonIn(Page* page);
  // Adds the cookies that end the session to page.
  virtual void LogPersonOut(Page* page);
  // Null when program needs no login or the user is logged in; else the
  // login page.
  virtual Page* CheckLogin(const char* program);
  virtual Page* GenHelpTopPage();
  virtual Page* GenFeedbackPage();
  virtual Page* GenKavriAboutPage();
  virtual Page* LoginPage();
  virtual Page* LogoutPage();
  // The page for program (null: none). The caller deletes the page.
  virtual Page* HandleEvent(const char* program);
  // True for the programs that need no login.
  virtual KvBoolean BypassLoginCheck(const char* program);
  // True when this request asks for a program that changes stored state.
  // Such a request runs only when it came from the program's own pages and
  // not right after a login made by the request itself. Base: none does.
  virtual KvBoolean ChangesState();
  // The page a login made by this request gets instead of a change; base:
  // the page of no program.
  virtual Page* GenFrontPage();
  // Null when the form of a change stays within what may be stored; else
  // the reason it does not (a heap string the caller frees). Base: null.
  virtual char* CheckChangeLimits();
  // The page that answers a refused change; reason (may be null) follows the
  // words "The change was not made: ".
  Page* GenRefusedChangePage(const char* reason);
  // Writes one KV_AUDIT record, whatever the log's level: who (the logged-in
  // uid when null), the program (and sub-program) of the request, and what.
  void Audit(const char* what, const char* who = nullptr);

  // The session's uid (owned by the request's cookie list), or null when
  // nobody is logged in: logged out, timed out, the signature does not
  // match, or the server holds no live record of the session.
  const char* FindUid();
  // True when LogIn ran in this request (a form or web-server login).
  KvBoolean LoggedInNow() const;
  // The idle and absolute time-outs of sessions, at Now(): the settings
  // "userSessionTimeOut" and "maxSessionLifetime" (seconds, 12 hours when
  // absent; 0 or less switches it off).
  KvSessionLimits SessionLimits();
  // The cached uid (owned by this handler; null when nobody is logged in).
  // Throws KvError* ("NULL requestInfo") without a request.
  const char* GetMyUid();
  // "KavriUserLoginTime" is absent or 0.
  KvBoolean CheckIfLoggedOut();
  // False exactly when now <= login time <= now + timeout.
  KvBoolean CheckIfTimedOut(int timeout);

  // The login page posting to action (which the page takes), with message
  // (may be null) as a second heading. The caller deletes the page.
  Page* GenLoginPage(Url* action, const char* message);

  // Takes style and deletes the old one.
  void SetStyle(KvStyle* style);
  // A new style of that name with the built-in settings.
  void SetStyle(const char* name);
  // The user's chosen style (or the default one), read from the
  // configuration. Throws KvError*.
  void SetCurrentStyle(KavriBaseApp* app, const char* uid);

  KvStyle* GetStyle() const { return style; }
  // The name emitted pages pass down to their images; null for the built-in
  // style.
  const char* GetStyleName() const;
  RequestInfo* GetRequest() const { return request; }
  KvLog* GetLog() const { return log; }
  KavriBaseApp* GetApp() const { return application; }

  // The clock every session time is read from; null restores time(). Tests
  // install a fixed clock.
  typedef time_t (*Clock)();
  static void SetClock(Clock clock);
  static time_t Now();

 protected:
  // The URL of the application's program file, with no parameters.
  Url* ProgramUrl() const;
  // The login form's action: this request again, with its parameters but
  // the login name and password. The caller owns the URL.
  Url* RepeatRequestUrl() const;

  char* uid;
  KvStyle* style;
  RequestInfo* request;
  KvLog* log;
  KavriBaseApp* application;

 private:
  static Clock clock_;
  // The signature cookie FindUid last judged, and its verdict.
  std::string checkedSession_;
  bool sessionAlive_ = false;
  bool loggedInNow_ = false;
};
