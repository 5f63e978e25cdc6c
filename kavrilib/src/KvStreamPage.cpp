// The streamed page: every piece goes to the browser as soon as it is added,
// wrapped in a scroll script and followed by cache-buster filler.
#include "KvStreamPage.h"

#include <cstdlib>
#include <memory>
#include <string>

#include "ToolkitText.h"
#include "commonlib.h"

using kavri_toolkit::DupOrNull;

KvStreamPage::KvStreamPage(RequestInfo* request, const char* helpContext,
                           const char* style)
    : PageNoData(),
      req(request),
      cacheBuster(new CacheBuster()),
      styleName(DupOrNull(style)) {
  req->WriteHeader("Content-type", kHtmlContentType);
  req->SetStatus(200, "OK");
  req->WriteHeader("", "");
  req->Write("<html>");
  if (helpContext) {
    req->Write("<body bgcolor=\"#ffffff\" onload=\"top.CurrentProg='");
    req->Write(helpContext);
    req->Write("'\">");
  } else {
    req->Write("<body bgcolor=\"#ffffff\">");
  }
  req->Flush();
}

KvStreamPage::~KvStreamPage() {
  delete cacheBuster;
  free(styleName);
  req->Write("</body>");
  req->Write("</html>");
  req->Flush();
}

HTMLObject* KvStreamPage::addObject(HTMLObject* object) {
  // An object that already belongs elsewhere is refused, as by any parent.
  if (object && object->IsAttached()) return nullptr;
  std::unique_ptr<HTMLObject> owned(object);
  {
    Script scroll;
    scroll.addAttribute(kAttrLanguage, "JavaScript");
    scroll.HTMLObject::addObject("parent.scroll(1, 10000);\n", 0);
    scroll.emit(req, 0, 0, styleName);
  }
  if (object) object->emit(req, 0, 0, styleName);
  cacheBuster->emit(req, 0, 0, styleName);
  req->Flush();
  return nullptr;
}

HTMLObject* KvStreamPage::addObject(const char* text, KvBoolean activateURLs) {
  HTMLObject* piece = new HTMLObject();
  piece->addObject(text, activateURLs);
  return addObject(piece);
}

HTMLObject* KvStreamPage::addObject(int number) {
  return addObject(std::to_string(number).c_str(), 0);
}
