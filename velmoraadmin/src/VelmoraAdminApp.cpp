// The console's application object and the one instance of the process.
#include "VelmoraAdminApp.h"

namespace {
VelmoraAdminApp* gApp = nullptr;
}  // namespace

VelmoraAdminApp::VelmoraAdminApp(const char* appMessageFile)
    : KavriAdminApp("VelmoraAdmin", "velmoraadmin.cgi", appMessageFile) {}

VelmoraAdminApp::~VelmoraAdminApp() = default;

VelmoraAdminApp* VelmoraAdminGetApp() {
  if (!gApp) gApp = new VelmoraAdminApp(nullptr);
  return gApp;
}
