// The person selector's application object and the one instance of the
// process.
#include "KavriSelectorApp.h"

namespace {
KavriSelectorApp* gApp = nullptr;
}  // namespace

KavriSelectorApp::KavriSelectorApp()
    : KavriAdminApp("KavriSelector", "selector.cgi", nullptr) {}

KavriSelectorApp::~KavriSelectorApp() = default;

KavriSelectorApp* KavriSelectorGetApp() {
  if (!gApp) gApp = new KavriSelectorApp();
  return gApp;
}
