// The answer to the LDAP set-up page: the connection values it posts
// ("updateLDAPSetupInfo", sent to admin.cgi, a link to this program) are
// checked, stored in the configuration and tried at once.
#include <strings.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "VelmoraAdminCommon.h"

namespace {

const char kNotSaved[] = "The LDAP settings were not saved.";
const char kSavedUnreachable[] =
    "The LDAP settings were saved, but the directory cannot be reached with them.";

// The form value without surrounding blanks ("" when absent).
std::string Field(RequestInfo* request, const char* name) {
  const char* value = request->FindVar(name);
  std::string v = value ? value : "";
  std::string::size_type b = v.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  return v.substr(b, v.find_last_not_of(" \t") - b + 1);
}

// The configuration file holds one setting a line: no control characters.
bool IsOneLine(const std::string& value) {
  for (unsigned char c : value) {
    if (c < 0x20 || c == 0x7f) return false;
  }
  return true;
}

}  // namespace

Page* VelmoraAdminCommon::ProcessLDAPSetupInfo() {
  std::string machine = Field(request, "machineNo");
  std::string port = Field(request, "portNo");
  std::string rootDN = Field(request, "rootDN");
  std::string searchBase = Field(request, "searchBase");
  const char* posted = request->FindVar("rootPasswd");
  std::string password = posted ? posted : "";

  ValList problems;
  if (machine.empty()) problems.Append("Please enter the name of the directory server machine.");
  long portNumber = 0;
  if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos ||
      (portNumber = strtol(port.c_str(), nullptr, 10)) < 1 || portNumber > 65535) {
    problems.Append("Please enter the port number as a whole number from 1 to 65535.");
  }
  if (rootDN.empty()) problems.Append("Please enter the root DN.");
  if (searchBase.empty()) problems.Append("Please enter the search base.");
  for (const std::string* value : {&machine, &rootDN, &searchBase, &password}) {
    if (!IsOneLine(*value)) {
      problems.Append("The values may not hold line breaks or other control characters.");
      break;
    }
  }
  if (problems.GetCount() > 0) return GenLDAPSetupPage(kNotSaved, &problems);

  KvConfigDB* config = application->GetConfigDB();
  // The password field is always shown empty: left empty, the stored
  // password stays.
  if (password.empty() && config->LDAPRootPasswd()) password = config->LDAPRootPasswd();
  LDAPInfoRec info;
  info.serverPort = static_cast<int>(portNumber);
  info.serverName = &machine[0];
  info.rootDN = &rootDN[0];
  info.rootPasswd = &password[0];
  info.searchBase = &searchBase[0];
  config->DBFormat(KV_LDAP, true, &info, KV_EMPDIR);
  config->WriteToFile();
  log->AddMsg(KV_AUDIT, (std::string("The LDAP settings were changed by ") +
                         (GetMyUid() ? GetMyUid() : "") + ": server " + machine + ":" + port +
                         ", root DN " + rootDN + ", search base " + searchBase)
                            .c_str());

  try {
    application->GetUserDB();
  } catch (KvError* e) {
    std::unique_ptr<KvError> owned(e);
    if (owned->GetKind() != kKvErrorUnreachable) throw owned.release();
    return GenLDAPSetupPage(kSavedUnreachable, owned->GetUserLines());
  }
  std::unique_ptr<KvPage> page(new KvPage(style->GetMainPageStyle()));
  page->AppendToBody(new H2("The LDAP settings were saved and the directory answers."));
  page->AppendToBody(new Br());
  KvImageButton* done =
      new KvImageButton(application->GetProgramFile(), "bdone", "Return to the console");
  done->SetTarget("_top");
  page->AppendToBody(done);
  return page.release();
}
