// The small header objects ("Window-target", "Content-Base") and the cache
// buster filler element.
#include <string>

#include "CacheBuster.h"
#include "ContentBase.h"
#include "WindowTarget.h"
#include "commonlib.h"

namespace {

// Lines of filler a cache buster adds, and blanks in each.
constexpr int kFillerLines = 10;
constexpr int kFillerBlanks = 98;

void HeaderFlags(HTMLObject* o) {
  o->SetActivateURLs(0);
  o->DontEnhance(0);
  o->StartOnNewLine(0);
  o->EndOnNewLine(1);
}

}  // namespace

WindowTarget::WindowTarget(const char* text)
    : HTMLObject(kTagWindowTarget, text) {
  HeaderFlags(this);
}

WindowTarget::WindowTarget(HTMLObject* child)
    : HTMLObject(kTagWindowTarget) {
  HeaderFlags(this);
  addObject(child);
}

WindowTarget::~WindowTarget() {}

void WindowTarget::emit(RequestInfo* req, int indent, int lineBreaks,
                        const char* styleName) {
  req->WriteHeader("Window-target", text ? text : "navbar_frame");
  if (nextObject) nextObject->emit(req, indent, lineBreaks, styleName);
}

ContentBase::ContentBase(const char* text) : HTMLObject(kTagContentBase, text) {
  HeaderFlags(this);
}

ContentBase::ContentBase(HTMLObject* child) : HTMLObject(kTagContentBase) {
  HeaderFlags(this);
  addObject(child);
}

ContentBase::~ContentBase() {}

void ContentBase::emit(RequestInfo* req, int indent, int lineBreaks,
                       const char* styleName) {
  std::string quoted = "\"";
  if (text) quoted += text;
  quoted += "\"";
  req->WriteHeader("Content-Base", quoted.c_str());
  if (nextObject) nextObject->emit(req, indent, lineBreaks, styleName);
}

CacheBuster::CacheBuster(const char* text)
    : HTMLObject(kTagCacheBuster, text) {
  activateURLs = 0;
  enhance = 0;
  const std::string filler = std::string(kFillerBlanks, ' ') + "\n";
  for (int i = 0; i < kFillerLines; i++) addObject(filler.c_str(), 0);
}

CacheBuster::CacheBuster(HTMLObject* child) : HTMLObject(kTagCacheBuster) {
  activateURLs = 0;
  enhance = 0;
  addObject(child);
}

CacheBuster::~CacheBuster() {}
