// The console's maintenance pages: loading the employee data file into the
// directory, bringing in the photographs and choosing their display size,
// choosing the directory administrators, and generating login accounts.
// The directory back end does the work; these pages collect the input, call
// it and report, the long operations on a streamed page.
#include <strings.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <memory>
#include <string>

#include "VelmoraAdminCommon.h"

namespace {

const char kSummaryPage[] = "../help/diradmin_sum.htm";
const char kCorruptInstall[] =
    "Unable to locate the top kavri directory - corrupt install!";
const char kDataFileName[] = "data/common/data.vcf";
const char kSelectorProgram[] = "../../selector/bin/selector.cgi";
const char kSelfLink[] = "../../admin/bin/velmoraadmin.cgi";
const char kPersonCookie[] = "PersonSelectorCookie";
const char kGroupCookie[] = "GroupSelectorCookie";
const char kAdminVar[] = "dirAdminUidVal";
// Marks a form that lists the administrators it started from, under kAdminShownVar.
const char kAdminBaseVar[] = "dirAdminsListed";
const char kAdminShownVar[] = "dirAdminListedUid";
const char kSizeNotChanged[] = "\tPHOTO SIZE NOT CHANGED.";

struct FreeDeleter {
  void operator()(char* p) const { free(p); }
};
using HeapText = std::unique_ptr<char, FreeDeleter>;

// Removes an upload's temporary file when the request is done with it.
class UploadRemover {
 public:
  explicit UploadRemover(const char* path) : path_(path ? path : "") {}
  ~UploadRemover() {
    if (!path_.empty()) unlink(path_.c_str());
  }
  UploadRemover(const UploadRemover&) = delete;
  UploadRemover& operator=(const UploadRemover&) = delete;

 private:
  std::string path_;
};

// The installation's top directory, or null when it cannot be found.
const char* TopDirOrNull(KvConfigDB* config) {
  try {
    const char* top = config->GetTopKavriDir();
    return StringIsEmpty(top) ? nullptr : top;
  } catch (KvError* e) {
    delete e;
    return nullptr;
  }
}

const char* RequireTopDir(KvConfigDB* config) {
  const char* top = TopDirOrNull(config);
  if (!top) KV_THROW(kCorruptInstall);
  return top;
}

// Blanks around a size field are dropped; what is left must be digits.
std::string Trimmed(const char* text) {
  std::string s = text ? text : "";
  size_t first = s.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return "";
  size_t last = s.find_last_not_of(" \t\r\n");
  return s.substr(first, last - first + 1);
}

bool IsWholeNumber(const std::string& s) {
  if (s.size() > 6) return false;
  for (char c : s)
    if (!isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

HTMLObject* Bold(const std::string& text) { return new B(text.c_str()); }

// The texts a failed directory call leaves for the administrator: its user
// lines, or one pointer to the log when it has none.
void AddErrorTexts(KvError* error, ValList* texts) {
  ValList* lines = error->GetUserLines();
  if (lines && lines->GetCount() > 0) {
    for (ValListItem* item = lines->GetFirst(); item; item = item->next)
      if (item->value) texts->Append(item->value);
  } else {
    texts->Append("The directory reported an error; the log holds the details");
  }
}

void LogTrace(KvLog* log, KvError* error) {
  if (!log) return;
  for (ValListItem* item = error->GetLines()->GetFirst(); item;
       item = item->next)
    log->AddMsg(KV_ERROR, item->value ? item->value : "");
}

// Once a streamed page has begun, the framework can no longer answer with an
// error page: the error is logged and shown on the stream, which completes.
void ReportOnStream(KvStreamPage* page, KvError* error, KvLog* log) {
  std::unique_ptr<KvError> owned(error);
  LogTrace(log, owned.get());
  ValList texts;
  AddErrorTexts(owned.get(), &texts);
  for (ValListItem* item = texts.GetFirst(); item; item = item->next) {
    page->addObject(new B(item->value));
    page->addObject(new Br());
  }
}

// A set-up page under its help context and heading image.
KvPage* HeadedPage(KvPageStyle* pageStyle, const char* helpContext,
                   const char* heading) {
  KvPage* page = new KvPage(pageStyle);
  page->SetHelpContext(helpContext);
  page->AppendToBody(new KvImage(heading));
  page->AppendToBody(new Br());
  return page;
}

void AddReturnButton(KvPage* page) {
  page->AppendToBody(new Hr());
  page->AppendToBody(new KvImageButton(kSummaryPage, "bdone",
                                       "Return to Directory Admin front page"));
}

// A directory that cannot be reached gets the set-up error page; any other
// failure goes on with line added.
Page* SetupFailurePage(KavriAdminCommon* handler, KvError* error, const char* line) {
  if (error->GetKind() != kKvErrorUnreachable) {
    KV_ADD_LINE(error, line);
    throw error;
  }
  std::unique_ptr<KvError> owned(error);
  return handler->GenDBSetupErrorPage("Could not connect to database.",
                                      owned->GetUserLines());
}

}  // namespace

// ---------------------------------------------------------------------------
// Employee data.

Page* VelmoraAdminCommon::GenSetupDataPage(ValList* messages,
                                           const char* defaultPath,
                                           const char* cancelTarget) {
  try {
    const char* top = RequireTopDir(application->GetConfigDB());
    std::unique_ptr<KvPage> page(new KvPage(style->GetMainPageStyle()));
    page->AddJSSubmitFormAfterConfirm();
    page->SetHelpContext("Configure Data");
    page->AppendToBody(new KvImage("hconfemployeedata"));
    if (messages) {
      for (ValListItem* item = messages->GetFirst(); item; item = item->next)
        page->AppendToBody(new H2(item->value));
    }

    bool capable = request->capableBrowser == 1;
    Url* action = new Url(application->GetProgramFile());
    action->addAttribute("program", "processData");
    KvForm* form = capable ? new KvMultiPartForm("createform", action)
                           : new KvForm("createform", action);
    page->AppendToBody(form);
    page->AddFormFocusTo("createform", "dataFile");

    form->addObject(new B(application->GetMessage("ConfDataHdg")));
    form->addObject(new Br());
    form->addObject(new Br());
    std::string info = application->GetMessage("ConfDataInfo1");
    info += top;
    info += "/";
    info += kDataFileName;
    info += " and indexed.";
    form->addObject(info.c_str(), 0);
    form->addObject(new Br());
    form->addObject(application->GetMessage("ConfDataInfo2"), 0);
    form->addObject(new Br());
    form->addObject("Please refer to the online Help for a complete description of the ", 0);
    form->addObject(new B("Versit"));
    form->addObject(" format.", 0);
    form->addObject(new Br());
    form->addObject(new Br());

    KvTable* table = new KvTable(2, 0, 0);
    form->addObject(table);
    table->addObject(new B("Path to the Employee Data File"));
    KvInput* field;
    if (capable)
      field = new KvFileInput("dataFile", 50);
    else
      field = new KvTextInput("dataFile", defaultPath ? defaultPath : "", 50);
    field->addAttribute(kAttrOnChange, "document.forms[0].dataFile.focus();");
    table->addObject(field);

    form->addObject(new Br());
    form->addObject(new Hr());
    form->addObject(new KvImageButton(
        new SubmitFormAfterConfirmUrl(
            "Indexing will overwrite the existing data.\nDo you want to continue?"),
        "bindex", "Index the data file"));
    form->addObject(new KvImageButton(cancelTarget ? cancelTarget : kSummaryPage,
                                      "bcancel", "Cancel"));
    return page.release();
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Error setting up the employee data configuration page");
    throw;
  }
}

Page* VelmoraAdminCommon::GenProcessDataPage() {
  try {
    const char* value = request->FindVar("dataFile");
    std::string submitted = value ? value : "";
    // An upload is the request's temporary file; this page removes it once
    // indexing is over, whatever happened. A browser that can upload but
    // sent no file part gives a path on the server, as a plain form does,
    // and that file is never removed.
    // A file part with an empty name but a body is an upload too.
    const char* upload = nullptr;
    const char* sent = request->FindVar2("dataFile");
    if (request->capableBrowser == 1 &&
        (!submitted.empty() || (sent && *sent && KvGetFileSize(sent) > 0)))
      upload = request->AdoptUpload("dataFile");
    UploadRemover remover(upload);
    std::string path = upload ? upload : submitted;

    std::string problem;
    if (!path.empty()) {
      if (!KvCheckIfFile(path.c_str()))
        problem = "Error: Unable to access the data file " + path +
                  " on the server machine";
      else if (KvGetFileSize(path.c_str()) < 1)
        problem = "Error: Supplied data file\t" + submitted + " is of zero size";
    }
    if (!problem.empty()) {
      log->AddMsg(KV_WARNING, problem.c_str());
      ValList lines;
      lines.Append(problem.c_str());
      return GenSetupDataPage(&lines, upload ? nullptr : path.c_str(),
                              kSummaryPage);
    }

    // Asked before the stream starts, so that a directory that cannot be
    // reached still gets its own page.
    application->GetUserDB();
    std::unique_ptr<KvStreamPage> page(
        new KvStreamPage(request, "Configure Data", GetStyleName()));
    try {
      IndexDataFile(page.get(), path.empty() ? nullptr : path.c_str());
    } catch (KvError* e) {
      ReportOnStream(page.get(), e, log);
    }
    return page.release();
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Error processing the configuration of employee data page");
    throw;
  }
}

void VelmoraAdminCommon::IndexDataFile(KvStreamPage* page, const char* path) {
  try {
    CallbackContext context(this, page, "records processed", log);
    std::unique_ptr<ValList> errors;
    try {
      errors.reset(application->GetUserDB()->IndexDataFile(
          path, GetMyUid(), &context, StdCallbackFunction));
    } catch (KvError* e) {
      // The response has begun: the directory's failure is reported on the
      // stream like the errors it lists, and the page completes.
      std::unique_ptr<KvError> owned(e);
      LogTrace(log, owned.get());
      errors.reset(new ValList);
      AddErrorTexts(owned.get(), errors.get());
    }
    std::string what = std::string("data file indexed: ") + (path ? path : "(the directory's own)");
    if (!errors || errors->GetCount() == 0) {
      Audit(what.c_str());
      return;
    }
    Audit((what + ", " + std::to_string(errors->GetCount()) + " errors").c_str());
    for (ValListItem* item = errors->GetFirst(); item; item = item->next) {
      page->addObject(Bold(std::string("Error in indexing : ") +
                           (item->value ? item->value : "")));
      page->addObject(new Br());
    }
    log->AddMsg(KV_WARNING, "Indexing the versit file failed");
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Failed in VelmoraAdminCommon::IndexDataFile()");
    throw;
  }
}

// ---------------------------------------------------------------------------
// Photographs.

Page* VelmoraAdminCommon::GenSetupPhotosPage(const char* message,
                                             const char* defaultDir) {
  std::unique_ptr<KvPage> page;
  try {
    KvConfigDB* config = application->GetConfigDB();
    RequireTopDir(config);
    page.reset(new KvPage(style->GetMainPageStyle()));
    page->AddJSSubmitForm();
    page->AddJSIsNonNullInteger();
    page->AddJSFunction("velmoraadmin.js", "validateCustomizePhotoSubmit");
    page->SetHelpContext("Customize Photos");
    page->AppendToBody(new KvImage("hcustphotos"));
    if (message) page->AppendToBody(new H2(message));

    Url* action = new Url(application->GetProgramFile());
    action->addAttribute("program", "processPhotos");
    KvForm* form = new KvForm("createform", action);
    page->AppendToBody(form);
    page->AddFormFocusTo("createform", "photosDir");
    form->addObject(new B(application->GetMessage("CustPhotosHdg")));
    form->addObject(new Br());
    form->addObject(new Br());
    form->addObject(application->GetMessage("CustPhotosInfo1"), 0);
    form->addObject(new Br());

    KvTable* dirTable = new KvTable(2, 0, 0);
    form->addObject(dirTable);
    dirTable->addObject(new B("Path to the photo directory"));
    dirTable->addObject(
        new KvTextInput("photosDir", defaultDir ? defaultDir : "", 75));
    form->addObject(new Br());
    form->addObject(application->GetMessage("CustPhotosInfo2"), 0);
    form->addObject(new Br());

    bool fixed = config->PhotoStyle() == KV_FIXED;
    Table* sizes = new Table();
    form->addObject(sizes);
    TableRow* first = new TableRow();
    sizes->addObject(first);
    TableData* variableCell = new TableData();
    variableCell->addAttribute(kAttrRowspan, "2");
    variableCell->addAttribute(kAttrValign, "top");
    KvRadioButton* variable =
        new KvRadioButton("photoSize", "variableSize", "Variable Size(True Size)");
    if (!fixed) variable->MarkChecked();
    variableCell->addObject(new B(variable));
    first->addObject(variableCell);
    KvRadioButton* fixedButton =
        new KvRadioButton("photoSize", "fixedSize", "Fixed Size");
    if (fixed) fixedButton->MarkChecked();
    first->addObject(new TableData(new B(fixedButton)));

    TableRow* second = new TableRow();
    sizes->addObject(second);
    TableData* sizeCell = new TableData();
    second->addObject(sizeCell);
    const char* height = config->PhotoHeight();
    const char* width = config->PhotoWidth();
    sizeCell->addObject(new B("Height"));
    sizeCell->addObject(new KvTextInput("photoHeight", height ? height : "", 3));
    sizeCell->addObject(new B("Width"));
    sizeCell->addObject(new KvTextInput("photoWidth", width ? width : "", 3));

    form->addObject(new Hr());
    Url* save = new Url();
    save->addObject("javascript:validateCustomizePhotoSubmit()", 0);
    form->addObject(new KvImageButton(save, "bsave", "Save"));
    form->addObject(new KvImageButton(kSummaryPage, "bcancel", "Cancel"));
    return page.release();
  } catch (KvError* e) {
    page.reset();
    return SetupFailurePage(this, e, "Error setting up the customize photos page");
  }
}

Page* VelmoraAdminCommon::GenProcessPhotosPage() {
  try {
    KvConfigDB* config = application->GetConfigDB();
    const char* value = request->FindVar("photosDir");
    std::string photosDir = value ? value : "";
    bool copying = !photosDir.empty() && KvCheckIfDirectory(photosDir.c_str());
    // Before the stream starts, so that a directory that cannot be reached
    // still gets its own page.
    UserDB* users = copying ? application->GetUserDB() : nullptr;

    std::unique_ptr<KvStreamPage> page(
        new KvStreamPage(request, "Customize Photos", GetStyleName()));
    try {
      const char* top = TopDirOrNull(config);
      if (!top) {
        log->AddMsg(KV_WARNING, kCorruptInstall);
        page->addObject(new B(kCorruptInstall));
        page->addObject(new Br());
        return page.release();
      }
      page->addObject(new KvImage("hcustphotos"));
      page->addObject(new Br());
      page->addObject(new Br());
      CallbackContext context(this, page.get(), "photos copied", log);

      if (photosDir.empty()) {
        const char kNone[] = "No photographs were brought over!";
        log->AddMsg(KV_INFO, kNone);
        page->addObject(new B(kNone));
        page->addObject(new Br());
      } else if (!copying) {
        std::string text = photosDir + " is not a directory on the server machine!";
        log->AddMsg(KV_WARNING, text.c_str());
        page->addObject(Bold(text));
        page->addObject(new Br());
        return page.release();
      } else {
        HeapText failure(users->CopyPhotos(top, photosDir.c_str(), config,
                                           StdCallbackFunction, &context));
        if (failure) {
          log->AddMsg(KV_WARNING, failure.get());
          page->addObject(new B(failure.get()));
          page->addObject(new Br());
          return page.release();
        }
        const char kDone[] = "Photographs were brought over!";
        log->AddMsg(KV_INFO, kDone);
        Audit(("photographs copied from " + photosDir).c_str());
        page->addObject(new Br());
        page->addObject(new B(kDone));
        page->addObject(new Br());
      }

      // The display size.
      const char* size = request->FindVar("photoSize");
      bool fixed = !size || strcasecmp(size, "variableSize") != 0;
      std::string height = Trimmed(request->FindVar("photoHeight"));
      std::string width = Trimmed(request->FindVar("photoWidth"));
      if (fixed && height.empty() && width.empty()) {
        page->addObject(new Br());
        page->addObject(new B(
            "Neither height nor width were specified.\tPHOTO SIZE NOT CHANGED."));
        page->addObject(new Br());
        return page.release();
      }
      if (fixed && (!IsWholeNumber(height) || !IsWholeNumber(width))) {
        // The viewer writes these into its pages: only numbers are stored.
        page->addObject(new Br());
        page->addObject(Bold(std::string("The height and the width must be whole numbers.") +
                             kSizeNotChanged));
        page->addObject(new Br());
        return page.release();
      }
      std::string shown;
      if (fixed) {
        page->addObject(new Br());
        page->addObject(new B("The current display style for the employee photographs is "));
        config->PhotoStyle(KV_FIXED, 1, height.c_str(), width.c_str());
        if (!height.empty() && !width.empty())
          shown = "Fixed Size(" + width + "W x " + height + "H).";
        else if (!height.empty())
          shown = "Fixed Height (" + height + ").";
        else
          shown = "Fixed Width (" + width + ").";
      } else {
        config->PhotoStyle(KV_VARIABLE, 1, nullptr, nullptr);
        shown = "Variable Size(True Size).";
      }
      config->WriteToFile();
      Audit(("photo size set: " + shown).c_str());
      page->addObject(Bold(shown));
      page->addObject(new Br());
    } catch (KvError* e) {
      ReportOnStream(page.get(), e, log);
    }
    return page.release();
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Error processing the customize photos page");
    throw;
  }
}

// ---------------------------------------------------------------------------
// Directory administrators.

Page* VelmoraAdminCommon::GenConfDirAdminsPage() {
  std::unique_ptr<KvPage> page;
  try {
    page.reset(new KvPage(style->GetMainPageStyle()));
    page->AddJSCloseChild();
    page->AddJSSubmitForm();
    page->AddJSFunction("admin.js", "dirAdminsSelector");
    page->SetHelpContext("Configure Directory Admins");
    page->AppendToBody(new KvImage("hconfdirectoryadmins"));
    page->AppendToBody(new Br());

    Url* action = new Url(application->GetProgramFile());
    action->addAttribute("program", "procconfDirAdmins");
    KvForm* form = new KvForm("createform", action);
    page->AppendToBody(form);
    form->addObject(application->GetMessage("ConfDirAdminsMsg"), 0);
    form->addObject(new Br());
    form->addObject(new Br());
    form->addObject(new B(application->GetMessage("ConfDirAdminsHdg")));
    form->addObject(new Br());
    form->addObject(new Br());
    KvPersonGroupTable* table = new KvPersonGroupTable();
    form->addObject(table);
    GetDirAdmins(page.get(), table);
    // The administrators stored when the form was made: the save applies
    // only what was changed on it, so changes made meanwhile are kept.
    std::unique_ptr<ValList> stored(application->GetUserDB()->GetDirAdmins());
    form->addObject(new KvHiddenInput(kAdminBaseVar, "1"));
    for (ValListItem* item = stored ? stored->GetFirst() : nullptr; item; item = item->next)
      if (!StringIsEmpty(item->value)) form->addObject(new KvHiddenInput(kAdminShownVar, item->value));
    form->addObject(new Hr());

    String back = String(kSelfLink) + "?" + "program" + "=" + "genDirAdminsConfPage";
    back.PrepForURL();
    back.PrepForJS();
    std::string select = std::string("javascript:dirAdminsSelector('") +
                         kSelectorProgram + "','" + back.CStr() + "')";
    Url* selectUrl = new Url();
    selectUrl->addObject(select.c_str(), 0);
    form->addObject(new KvImageButton(selectUrl, "bselectpeople",
                                      "Select people to be webmasters"));
    form->addObject(new KvImageButton(new SubmitFormUrl(), "bsave",
                                      "Save this set of webmasters"));
    form->addObject(new KvImageButton(
        kSummaryPage, "bcancel", "Discard all changes to the list of webmasters"));
    return page.release();
  } catch (KvError* e) {
    page.reset();
    return SetupFailurePage(this, e, "Error displaying up the configure webmaster's\tpage");
  }
}

void VelmoraAdminCommon::GetDirAdmins(Page* page, KvPersonGroupTable* table) {
  try {
    std::unique_ptr<ValList> people;
    if (request->FindVar("selector")) {
      people.reset(request->FindFormattedCookie(kPersonCookie));
      page->AddToList(new FormattedCookie(kPersonCookie, people.get(), 0));
      std::unique_ptr<ValList> groups(request->FindFormattedCookie(kGroupCookie));
      TransferMembersFromGroups(people.get(), groups.get());
    } else {
      people.reset(application->GetUserDB()->GetDirAdmins());
      if (!people) people.reset(new ValList);
      page->AddToList(new FormattedCookie(kPersonCookie, people.get(), 0));
      ValList none;
      page->AddToList(new FormattedCookie(kGroupCookie, &none, 0));
    }
    table->AddCheckedPeople(kAdminVar, people.get(), static_cast<const char*>(nullptr),
                            application->GetUserDB());
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Exception rethrown in VelmoraAdminCommon::GetDirAdmins");
    throw;
  }
}

void VelmoraAdminCommon::TransferMembersFromGroups(ValList* people,
                                                   ValList* groups) {
  try {
    if (!people || !groups || groups->GetCount() == 0) return;
    GroupDB* groupDB = application->GetGroupDB();
    for (ValListItem* group = groups->GetFirst(); group; group = group->next) {
      if (StringIsEmpty(group->value)) continue;
      std::unique_ptr<ValList> members(groupDB->GetMembers(group->value));
      if (!members) continue;
      for (ValListItem* m = members->GetFirst(); m; m = m->next)
        if (!StringIsEmpty(m->value)) people->AppendWithDupCheck(m->value);
    }
  } catch (KvError* e) {
    KV_ADD_LINE(e, "failed in DirAdmin::TransferMembersFromGroups");
    throw;
  }
}

namespace {

// The uids of list for which pick is true, separated by ", ".
template <class Pick>
std::string AdminListText(ValList* list, Pick pick) {
  std::string text;
  for (ValListItem* item = list ? list->GetFirst() : nullptr; item; item = item->next) {
    if (StringIsEmpty(item->value) || !pick(item->value)) continue;
    if (!text.empty()) text += ", ";
    text += item->value;
  }
  return text;
}

}  // namespace

Page* VelmoraAdminCommon::ProcessConfDirAdmins() {
  try {
    std::unique_ptr<ValList> chosen(request->GetValList(kAdminVar));
    ValList admins;
    if (chosen) {
      for (ValListItem* item = chosen->GetFirst(); item; item = item->next)
        if (!StringIsEmpty(item->value)) admins.AppendWithDupCheck(item->value);
    }
    KvChangeLock change;
    if (request->FindVar(kAdminBaseVar)) {
      // The form's changes (who was added, who was taken off) applied to the
      // list as it is stored now.
      std::unique_ptr<ValList> shown(request->GetValList(kAdminShownVar));
      std::unique_ptr<ValList> now(application->GetUserDB()->GetDirAdmins());
      ValList result;
      for (ValListItem* item = now ? now->GetFirst() : nullptr; item; item = item->next) {
        if (StringIsEmpty(item->value)) continue;
        bool removed = shown && shown->Lookup(item->value) && !admins.Lookup(item->value);
        if (!removed) result.AppendWithDupCheck(item->value);
      }
      for (ValListItem* item = admins.GetFirst(); item; item = item->next)
        if (!shown || !shown->Lookup(item->value)) result.AppendWithDupCheck(item->value);
      admins.RemoveAll();
      admins.Add(&result);
    }
    // Without an administrator nobody could log in to this console again.
    if (admins.GetCount() == 0)
      return GenDirAdminsListPage(
          "A directory needs at least one administrator: the list was not changed.");
    UserDB* users = application->GetUserDB();
    std::string unknown = AdminListText(&admins, [&](const char* uid) {
      return users->IsValidUser(uid) != 1;
    });
    if (!unknown.empty())
      return GenDirAdminsListPage(("Not people of the directory: " + unknown +
                                   ". The list was not changed.")
                                      .c_str());
    std::unique_ptr<ValList> before(users->GetDirAdmins());
    if (users->SetDirAdmins(&admins) != 1)
      return GenDirAdminsListPage(
          "The directory did not store the new list of administrators.");
    // A removed administrator's sessions end with the removal.
    std::string removed = AdminListText(before.get(), [&](const char* uid) {
      return admins.Lookup(uid) == nullptr;
    });
    for (ValListItem* item = before ? before->GetFirst() : nullptr; item; item = item->next)
      if (!StringIsEmpty(item->value) && !admins.Lookup(item->value))
        KvSessionEndUser(item->value);
    Audit(("administrators set to " + AdminListText(&admins, [](const char*) { return true; }) +
           (removed.empty() ? "" : "; removed " + removed))
              .c_str());
    return GenDirAdminsListPage(nullptr);
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Exception rethrown in VelmoraAdminCommon::ProcessConfDirAdmins");
    throw;
  }
}

Page* VelmoraAdminCommon::GenDirAdminsListPage(const char* message) {
  try {
    UserDB* users = application->GetUserDB();
    std::unique_ptr<ValList> admins(users->GetDirAdmins());
    std::unique_ptr<KvPage> page(HeadedPage(style->GetMainPageStyle(),
                                            "Configure Directory Admins",
                                            "hconfdirectoryadmins"));
    if (message) page->AppendToBody(new H2(message));
    page->AppendToBody(new H3("Current Directory Administrators"));
    KvTable* table = new KvTable(3, 0, 0);
    page->AppendToBody(table);
    if (admins) {
      for (ValListItem* item = admins->GetFirst(); item; item = item->next) {
        if (StringIsEmpty(item->value)) continue;
        HeapText name(users->GetDisplayName(item->value));
        table->addObject(new KvPersonLink(name ? name.get() : item->value, item->value));
      }
    }
    AddReturnButton(page.get());
    return page.release();
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Exception rethrown in VelmoraAdminCommon::GenDirAdminsListPage");
    throw;
  }
}

// ---------------------------------------------------------------------------
// Accounts.

Page* VelmoraAdminCommon::GenerateAccounts(const char* message) {
  try {
    std::unique_ptr<KvPage> page(HeadedPage(style->GetMainPageStyle(),
                                            "Generate Accounts", "hgenerateaccounts"));
    if (message) {
      page->AppendToBody(new H2(message));
      page->AppendToBody(new Br());
    }
    page->AppendToBody(application->GetMessage("GenerateAccountsHdg"));
    page->AppendToBody(new Br());
    page->AppendToBody(new Br());
    page->AppendToBody(new B(application->GetMessage("GenerateAccountsWarning")));
    page->AppendToBody(new Hr());
    Url* generate = new Url(application->GetProgramFile());
    generate->addAttribute("program", "progProcessGenerateAccounts");
    page->AppendToBody(new KvImageButton(generate, "bsave",
                                         "Generate accounts for all users"));
    page->AppendToBody(new KvImageButton(kSummaryPage, "bcancel", "Cancel"));
    return page.release();
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Exception rethrown in VelmoraAdminCommon::GenerateAccounts");
    throw;
  }
}

Page* VelmoraAdminCommon::ProcessGenerateAccounts() {
  try {
    UserDB* users = application->GetUserDB();
    if (users->GenerateAccounts() != 1)
      return GenerateAccounts("The accounts could not be generated.");
    int count = users->GetNumAccounts();
    Audit(("accounts generated: " + std::to_string(count) + " accounts").c_str());
    std::unique_ptr<KvPage> page(HeadedPage(style->GetMainPageStyle(),
                                            "Generate Accounts", "hgenerateaccounts"));
    page->AppendToBody(new H2("All accounts were successfully generated. !!"));
    page->AppendToBody(new Br());
    page->AppendToBody(new B(application->GetMessage("GenerateAccountsWarning")));
    page->AppendToBody(new Br());
    page->AppendToBody(new Br());
    KvTable* table = new KvTable(2, 0, 0);
    page->AppendToBody(table);
    table->addObject(new B("Current number of User Accounts"));
    table->addObject(count);
    AddReturnButton(page.get());
    return page.release();
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Exception rethrown in VelmoraAdminCommon::ProcessGenerateAccounts");
    throw;
  }
}
