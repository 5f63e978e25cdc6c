// The module entry: one request from handler creation through the login
// check and dispatch to the emitted page, and the top-level handling of
// KvError pointers that escape on the way.
#include <cstdlib>
#include <memory>
#include <string>

#include "CGIMain.h"
#include "KavriModule.h"
#include "KvErrorPages.h"
#include "KvRequestOrigin.h"

namespace {

const char kErrorStyle[] = "style0";

void EmitAndDelete(Page* page, RequestInfo* req, const char* styleName) {
  std::unique_ptr<Page> owned(page);
  owned->emit(req, 0, 1, styleName);
}

void LogLines(KvLog* log, KvError* error) {
  for (ValListItem* item = error->GetLines()->GetFirst(); item;
       item = item->next)
    log->AddMsg(KV_ERROR, item->value ? item->value : "");
}

}  // namespace

void KvExceptHandleFunc(KvError* error, RequestInfo* req, KvLog* log,
                        const char* bugReportAddress) {
  if (log) LogLines(log, error);
  EmitAndDelete(KvCreateErrorPage(error->GetLines(), bugReportAddress, req),
                req, kErrorStyle);
}

void ModuleMainExceptionHandler(KavriBaseCommon* handler, RequestInfo* req,
                                KvError* error) {
  try {
    if (handler) {
      KvExceptHandleFunc(error, req, handler->GetLog(),
                         handler->GetApp()->GetConfigDB()->BugReportAddr());
    } else {
      std::unique_ptr<KvConfigDB> config(new KvConfigDB(nullptr));
      std::unique_ptr<KvLog> log(
          new KvLog("Unknown", config->LogLevel(), config->LogFile(), false));
      KvExceptHandleFunc(error, req, log.get(), config->BugReportAddr());
    }
  } catch (KvError* e) {
    std::unique_ptr<KvError> fallback(e);
    KV_ADD_LINE(fallback.get(), "No logging done!");
    KvExceptHandleFunc(fallback.get(), req, nullptr,
                       kKvDefaultBugReportAddr);
  }
}

int ModuleMain(RequestInfo* req) {
  std::unique_ptr<KavriBaseCommon> handler;
  std::unique_ptr<Page> page;
  try {
    handler.reset(GetRequestObject(req));
    handler->Initialize();
    // A copy: handlers may replace request variables while they work.
    std::unique_ptr<char, decltype(&free)> programCopy(req->FindVarCopy("program"),
                                                       &free);
    const char* program = programCopy.get();

    page.reset(handler->CheckLogin(program));
    if (page) {
      page->emit(req, 0, 1, handler->GetStyleName());
      return 0;
    }

    // A change runs only when asked for from the program's own pages, and
    // never on the strength of a login this very request made: a form or
    // link elsewhere could otherwise have the administrator make it.
    if (handler->ChangesState() == 1) {
      KvRequestOrigin origin = KvRequestOrigin::FromEnvironment();
      if (handler->LoggedInNow() == 1) {
        page.reset(handler->GenFrontPage());
      } else if (origin.IsOwnPage() != 1) {
        handler->Audit(("refused: the request did not come from the console's own pages (" +
                        origin.Describe() + ")")
                           .c_str());
        page.reset(handler->GenRefusedChangePage(
            "the request did not come from the console's own pages."));
      } else {
        std::unique_ptr<char, decltype(&free)> tooLarge(handler->CheckChangeLimits(), &free);
        if (tooLarge) {
          handler->Audit((std::string("refused: ") + tooLarge.get()).c_str());
          page.reset(handler->GenRefusedChangePage(tooLarge.get()));
        }
      }
    }
    if (!page) page.reset(handler->HandleEvent(program));
    if (!page) return 1;
    if (handler->BypassLoginCheck(program) != 1) handler->LogPersonIn(page.get());
    page->emit(req, 0, 1, handler->GetStyleName());
    return 0;
  } catch (KvError* e) {
    std::unique_ptr<KvError> error(e);
    page.reset();
    if (error->GetKind() == kKvErrorFault) {
      ModuleMainExceptionHandler(handler.get(), req, error.get());
    } else {
      if (handler && handler->GetLog()) {
        try {
          LogLines(handler->GetLog(), error.get());
        } catch (KvError* logError) {
          delete logError;
        }
      }
      EmitAndDelete(EmitNicePage(error->GetUserLines()), req, kErrorStyle);
    }
    return 0;
  }
}
