// The pages of the import dialogue: the upload form, the two-frame page on
// which the columns are tagged, the pages that extend the category lists,
// and the download of the converted file.
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "VelmoraAdminImportData.h"

namespace {

const char kTitle[] = "Import Data";
const char kScriptFile[] = "velmoraadmin.js";
const char kOutputFile[] = "tempdata.vcf";
const int kEmptyCategoryRows = 10;
// Category rows a save reads at most; the count is the client's word.
const int kMaxCategoryRows = 4096;

// Which stored list a category page shows or saves.
enum CategoryList { kSubcategories = 0, kVersitCategories = 1, kLDAPCategories = 2 };

struct FreeDeleter {
  void operator()(char* p) const { free(p); }
};
using CharPtr = std::unique_ptr<char, FreeDeleter>;

bool IsEmpty(const char* text) { return !text || !*text; }

std::string Canonical(const char* path) {
  if (IsEmpty(path)) return "";
  CharPtr real(realpath(path, nullptr));
  return real ? real.get() : "";
}

std::string CanonicalTmpDir() {
  CharPtr dir(KvGetTmpdir());
  return Canonical(dir ? dir.get() : "/tmp");
}

// path when it names a regular file directly inside the temporary
// directory, with one link and owned by the program's user (so neither
// another user's file nor a link to a file elsewhere); "" otherwise.
std::string InTmpDir(const char* path) {
  std::string tmp = CanonicalTmpDir();
  std::string real = Canonical(path);
  if (tmp.empty() || real.empty()) return "";
  std::string prefix = tmp == "/" ? "/" : tmp + "/";
  if (real.compare(0, prefix.size(), prefix) != 0) return "";
  if (real.find('/', prefix.size()) != std::string::npos) return "";
  struct stat st;
  if (stat(real.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1 ||
      st.st_uid != geteuid())
    return "";
  return real;
}

// Ends a category save that cannot be taken, with a message for the
// administrator; nothing has been written.
[[noreturn]] void RefuseSave(const char* why) {
  KvError* e = new KvError();
  e->AddLine(__LINE__, KvSourceName(__FILE__),
             String("The categories were not saved: ") + why, 1);
  e->SetKind(kKvErrorParse);
  throw e;
}

// Uploads and private copies that no conversion took (a process id, "up" for
// an upload, then six characters) once they are an hour old.
void RemoveOldUploads() {
  CharPtr dir(KvGetTmpdir());
  KvRemoveLeftovers(
      dir.get(),
      [](const char* name) {
        std::string n = name;
        if (n.size() < 7) return false;
        for (size_t i = n.size() - 6; i < n.size(); ++i)
          if (!isalnum(static_cast<unsigned char>(n[i]))) return false;
        std::string head = n.substr(0, n.size() - 6);
        if (head.size() > 2 && head.compare(head.size() - 2, 2, "up") == 0)
          head.resize(head.size() - 2);
        return !head.empty() && head.find_first_not_of("0123456789") == std::string::npos;
      },
      3600);
}

// The row count a category form sent, or -1 when it is missing or no number.
int RowCount(const char* text) {
  long n = -1;
  return KvParseInt(text, 0, kMaxCategoryRows, &n) ? static_cast<int>(n) : -1;
}

KvHiddenInput* Hidden(const char* name, const char* value) {
  return new KvHiddenInput(name, value ? value : "");
}

}  // namespace

std::string VelmoraAdminImportData::SourcePath() const {
  return InTmpDir(request->FindVar("filePath"));
}

Page* VelmoraAdminImportData::DisplayFirstPage() {
  try {
    std::unique_ptr<KvPage> page(new KvPage(style->GetMainPageStyle()));
    page->GetHead()->addObject(new Title(kTitle));
    page->AddJSFunction(kScriptFile, "validateFields");
    page->AddJSFunction(kScriptFile, "validateFieldsAndSubmit");
    page->AppendToBody(new KvImage("himportdata"));
    page->AppendToBody(new Br());
    page->AddFormFocusTo("createform", "fileUploadName");

    KvForm* form;
    if (request->capableBrowser) {
      form = new KvMultiPartForm("createform", application->GetProgramFile());
      form->addObject(new B("Select the data file to upload "));
      form->addObject(new KvFileInput("fileUploadName", 40));
    } else {
      form = new KvForm("createform", application->GetProgramFile());
      form->addObject(new B("Enter full pathname of the data file "));
      form->addObject(new KvTextInput("fileUploadName", "", 40));
    }
    page->AppendToBody(form);
    form->addAttribute(kAttrOnSubmit, "return validateFields()");
    form->addObject(Hidden("program", "importdata"));
    form->addObject(Hidden("sub_program", "displayOptions"));
    form->addObject(new Br());
    form->addObject(new B("Field delimiter is "));
    KvTextInput* delimiter = new KvTextInput("delimiter", ",", 1);
    delimiter->addAttribute(kAttrMaxlength, 1);
    form->addObject(delimiter);
    form->addObject(new Br());
    form->addObject(new B("Convert data to"));
    form->addObject(new Br());
    KvRadioButton* versit = new KvRadioButton("toFormat", "toVersit", " Versit format");
    versit->MarkChecked();
    form->addObject(versit);
    form->addObject(new Br());
    form->addObject(new KvRadioButton("toFormat", "toLDAP", " LDAP format"));
    form->addObject(new Hr());
    form->addObject(new KvImageButton(
        new Url("javascript:validateFieldsAndSubmit()"), "bsave",
        "Upload the file and process the data"));
    return page.release();
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Exception rethrown in VelmoraAdminImportData::DisplayFirstPage");
    throw;
  }
}

Page* VelmoraAdminImportData::DisplayOptionsPage() {
  try {
    const char* delimiterText = request->FindVar("delimiter");
    std::string delimiter = IsEmpty(delimiterText) ? "," : delimiterText;
    const char* format = request->FindVar("toFormat");
    std::string filePath = SourcePath();
    if (filePath.empty() && IsEmpty(request->FindVar("filePath"))) {
      RemoveOldUploads();
      if (request->capableBrowser) {
        // The upload outlives this request: the frames read it later.
        filePath = InTmpDir(request->AdoptUpload("fileUploadName"));
      } else {
        // A file the administrator names on the server is taken only from
        // the temporary directory, and converted from a private copy.
        std::string named = InTmpDir(request->FindVar("fileUploadName"));
        CharPtr copy(named.empty() ? nullptr : KvGetFilePath(named.c_str()));
        if (copy) filePath = InTmpDir(copy.get());
      }
    }

    std::unique_ptr<KvFrameSetPage> page(new KvFrameSetPage(kAttrRows, "50%, *"));
    page->GetHead()->addObject(new Title(kTitle));
    for (const char* step : {"genupperframe", "genlowerframe"}) {
      Url* url = new Url(application->GetProgramFile());
      url->addAttribute("program", "importdata");
      url->addAttribute("sub_program", step);
      url->addAttribute("toFormat", format ? format : "");
      url->addAttribute("delimiter", delimiter.c_str());
      url->addAttribute("filePath", filePath.c_str());
      page->AddNewFrame(url, strcmp(step, "genupperframe") == 0 ? "upper" : "lower",
                        true);
    }
    return page.release();
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Exception rethrown in VelmoraAdminImportData::DisplayOptionsPage");
    throw;
  }
}

Page* VelmoraAdminImportData::GenUpperFrame() {
  try {
    const char* format = request->FindVar("toFormat");
    bool versit = format && strcasecmp(format, "toVersit") == 0;
    const char* delimiterText = request->FindVar("delimiter");
    char delimiter = IsEmpty(delimiterText) ? ',' : delimiterText[0];
    std::string filePath = SourcePath();

    std::unique_ptr<ValNameList> categories;
    std::unique_ptr<ValNameList> subcategories;
    try {
      KvConfigDB* config = application->GetConfigDB();
      categories.reset(versit ? config->ReadVersitCategories()
                              : config->ReadLDAPCategories());
      subcategories.reset(versit ? config->ReadSubcategories() : new ValNameList);
    } catch (KvError* e) {
      KV_ADD_LINE(e, "Error while reading from file");
      throw;
    }
    if (!categories) categories.reset(new ValNameList);
    if (!subcategories) subcategories.reset(new ValNameList);

    std::unique_ptr<KvPage> page(new KvPage(style->GetMainPageStyle()));
    page->AddJSFile("upper.js");
    page->AddJSSubmitForm();
    page->AddJSDoNothing();
    page->AddJSFunction(kScriptFile, "saveCategories");
    page->AddJSFunction(kScriptFile, "saveSubCategories");

    KvForm* form = new KvForm("versitform", new DoNothingUrl());
    page->AppendToBody(form);
    KvTable* table = new KvTable(subcategories->GetCount() > 0 ? 3 : 2, false, 0);
    form->addObject(table);

    HTMLObject* fieldCell = new HTMLObject();
    fieldCell->addObject(new B("Choose the field"));
    fieldCell->addObject(new Br());
    KvSelect* fields = new KvSelect("field");
    fields->addAttribute(kAttrOnChange, "changeFieldInfo()");
    fields->AddOption("Select Field", "Select Field");
    std::unique_ptr<ValList> names(GetFirstFields(filePath.c_str(), delimiter));
    if (names) {
      int k = 0;
      for (ValListItem* item = names ? names->GetFirst() : nullptr; item;
           item = item->next) {
        std::string value = "Field " + std::to_string(++k);
        fields->AddOption(item->value ? item->value : "", value.c_str());
      }
    }
    fieldCell->addObject(fields);
    table->SetVerticalAlignment("top");
    table->addObject(fieldCell);

    HTMLObject* categoryCell = new HTMLObject();
    categoryCell->addObject(new B("Select Category"));
    categoryCell->addObject(new Br());
    KvRadioButton* clear = new KvRadioButton("category", "", "Clear Selection");
    clear->addAttribute(kAttrOnClick, "changeCategory()");
    categoryCell->addObject(clear);
    categoryCell->addObject(new Br());
    for (ValNameListItem* item = categories->GetFirst(); item; item = item->next) {
      KvRadioButton* radio = new KvRadioButton(
          "category", item->value ? item->value : "", item->name ? item->name : "");
      radio->addAttribute(kAttrOnClick, "changeCategory()");
      categoryCell->addObject(radio);
      categoryCell->addObject(new Br());
    }
    table->addObject(categoryCell);

    if (subcategories->GetCount() > 0) {
      HTMLObject* subCell = new HTMLObject();
      subCell->addObject(new B("Select Sub-Category"));
      subCell->addObject(new Br());
      for (ValNameListItem* item = subcategories->GetFirst(); item;
           item = item->next) {
        KvCheckBox* box = new KvCheckBox("subcategory",
                                         item->value ? item->value : "",
                                         item->name ? item->name : "");
        box->addAttribute(kAttrOnClick, "changeSubCategory()");
        subCell->addObject(box);
        subCell->addObject(new Br());
      }
      table->addObject(subCell);
    }
    form->addObject(new KvHiddenInput("categories", categories->GetCount()));
    form->addObject(new KvHiddenInput("subcategories", subcategories->GetCount()));
    page->AppendToBody(new Hr());

    struct SaveForm {
      const char* name;
      const char* step;
      const char* image;
      const char* label;
      const char* script;
    };
    const SaveForm saveForms[] = {
        {"savecategform", "addCategories", "baddcategory", "Add new categories",
         "javascript:saveCategories()"},
        {"savesubcategform", "addSubCategories", "baddsubcategory",
         "Add new subCategories", "javascript:saveSubCategories()"},
    };
    for (const SaveForm& save : saveForms) {
      if (!versit && strcmp(save.step, "addSubCategories") == 0) continue;
      KvForm* saveForm = new KvForm(save.name, application->GetProgramFile());
      saveForm->addAttribute(kAttrTarget, "_parent");
      page->AppendToBody(saveForm);
      saveForm->addObject(Hidden("sub_program", save.step));
      saveForm->addObject(Hidden("toFormat", format));
      saveForm->addObject(Hidden("delimiter", delimiterText));
      saveForm->addObject(Hidden("filePath", filePath.c_str()));
      saveForm->addObject(Hidden("program", "importdata"));
      saveForm->addObject(
          new KvImageButton(new Url(save.script), save.image, save.label));
    }
    return page.release();
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Exception rethrown in VelmoraAdminImportData::GenUpperFrame");
    throw;
  }
}

Page* VelmoraAdminImportData::GenLowerFrame() {
  try {
    const char* format = request->FindVar("toFormat");
    const char* delimiterText = request->FindVar("delimiter");
    char delimiter = IsEmpty(delimiterText) ? ',' : delimiterText[0];
    std::string filePath = SourcePath();
    std::unique_ptr<ValList> names(GetFirstFields(filePath.c_str(), delimiter));
    if (!names) {
      const char* named = request->FindVar("filePath");
      std::string message =
          std::string("Couln't read from the file ") + (named ? named : "");
      KV_THROW(message.c_str());
    }
    int count = names->GetCount();

    std::unique_ptr<KvPage> page(new KvPage(style->GetMainPageStyle()));
    page->AddJSFile("lower.js");
    KvForm* form = new KvForm("createform", application->GetProgramFile());
    form->addAttribute(kAttrTarget, "_parent");
    page->AppendToBody(form);
    KvTable* table = new KvTable(count > 0 ? count : 1, false, 0);
    table->SetVerticalAlignment("center");
    form->addObject(table);
    int i = 0;
    for (ValListItem* item = names ? names->GetFirst() : nullptr; item;
         item = item->next, ++i) {
      HTMLObject* cell = new HTMLObject();
      cell->addObject(item->value ? item->value : "", 0);
      cell->addObject(new Br());
      std::string name = "versittag_" + std::to_string(i);
      KvTextInput* input = new KvTextInput(name.c_str(), "", 30);
      std::string focus = "changeCurrField(" + std::to_string(i) + ")";
      input->addAttribute(kAttrOnFocus, focus.c_str());
      cell->addObject(input);
      table->addObject(cell);
    }
    form->addObject(new KvHiddenInput("versittags", count));
    form->addObject(new KvCheckBox("firstLine", "TRUE", " Parse First Line"));
    form->addObject(new Br());
    if (!(format && strcasecmp(format, "toVersit") == 0)) {
      form->addObject("Enter Company name", 0);
      form->addObject(new KvTextInput("companyName", "Kavri"));
      form->addObject(new Br());
      form->addObject("Enter Country", 0);
      form->addObject(new KvTextInput("country", "US"));
      form->addObject(new Br());
      form->addObject(new KvRadioButton("whichUid", "EXISTING",
                                        " Create UID from the field specified"));
      form->addObject(new Br());
      KvRadioButton* generate =
          new KvRadioButton("whichUid", "NEW", " Generate new UID");
      generate->MarkChecked();
      form->addObject(generate);
      form->addObject(new Br());
    }
    form->addObject(Hidden("toFormat", format));
    form->addObject(new Hr());
    form->addObject(new KvImageButton(new Url("javascript:submitAfterSanitizing()"),
                                      "bsave", "Create the datafile"));
    form->addObject(Hidden("program", "importdata"));
    form->addObject(Hidden("sub_program", "genVersitFile"));
    form->addObject(Hidden("filePath", filePath.c_str()));
    form->addObject(Hidden("delimiter", delimiterText));
    return page.release();
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Exception rethrown in VelmoraAdminImportData::GenLowerFrame");
    throw;
  }
}

Page* VelmoraAdminImportData::GenCommonPage(ValNameList* list,
                                            const char* prefix,
                                            const char* countName,
                                            KvBoolean categories) {
  std::unique_ptr<KvPage> page(new KvPage(style->GetMainPageStyle()));
  page->GetHead()->addObject(new Title(kTitle));
  page->AddJSSubmitForm();
  page->AddJSFunction(kScriptFile, "cancelForm");
  page->AppendToBody(new H2(categories ? "Add new categories"
                                       : "Add new sub categories"));
  HTMLObject* help = new HTMLObject();
  help->addObject(application->GetMessage("AddCategories"), 0);
  help->DontEscape(true);
  page->AppendToBody(help);
  page->AppendToBody(new Br());

  const char* format = request->FindVar("toFormat");
  const char* delimiter = request->FindVar("delimiter");
  std::string filePath = SourcePath();

  KvForm* form = new KvForm("createform", application->GetProgramFile());
  page->AppendToBody(form);
  KvTable* table = new KvTable(2, false, 0);
  form->addObject(table);
  table->addObject(new B("Name"));
  table->addObject(new B("Value"));
  int rows = 0;
  auto addRow = [&](const char* name, const char* value) {
    std::string label = prefix + std::to_string(rows);
    std::string tag = "val_" + std::to_string(rows);
    table->addObject(new KvTextInput(label.c_str(), name, 30));
    table->addObject(new KvTextInput(tag.c_str(), value, 30));
    ++rows;
  };
  for (ValNameListItem* item = list ? list->GetFirst() : nullptr; item;
       item = item->next)
    addRow(item->name ? item->name : "", item->value ? item->value : "");
  for (int i = 0; i < kEmptyCategoryRows; ++i) addRow("", "");
  form->addObject(new KvHiddenInput(countName, rows));
  form->addObject(new KvImageButton(new Url("javascript:submitForm();"), "bsave",
                                    "Save these categories"));
  form->addObject(new KvImageButton(new Url("javascript:cancelForm()"), "bcancel",
                                    "Cancel"));
  form->addObject(Hidden("program", "importdata"));
  form->addObject(
      Hidden("sub_program", categories ? "saveCategories" : "saveSubCategories"));
  form->addObject(Hidden("delimiter", delimiter));
  form->addObject(Hidden("filePath", filePath.c_str()));
  form->addObject(Hidden("toFormat", format));

  KvForm* cancel = new KvForm("cancelForm", application->GetProgramFile());
  page->AppendToBody(cancel);
  cancel->addObject(Hidden("program", "importdata"));
  cancel->addObject(Hidden("sub_program", "displayOptions"));
  cancel->addObject(Hidden("toFormat", format));
  cancel->addObject(Hidden("delimiter", delimiter));
  cancel->addObject(Hidden("filePath", filePath.c_str()));
  return page.release();
}

Page* VelmoraAdminImportData::DisplayAddCategoriesPage() {
  try {
    const char* format = request->FindVar("toFormat");
    KvConfigDB* config = application->GetConfigDB();
    std::unique_ptr<ValNameList> list(
        format && strcasecmp(format, "toVersit") == 0 ? config->ReadVersitCategories()
                                                     : config->ReadLDAPCategories());
    return GenCommonPage(list.get(), "categ_", "categories", true);
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Error in DisplayAddCategoriesPage");
    throw;
  }
}

Page* VelmoraAdminImportData::DisplayAddSubCategoriesPage() {
  try {
    std::unique_ptr<ValNameList> list(application->GetConfigDB()->ReadSubcategories());
    return GenCommonPage(list.get(), "subcateg_", "subcategories", false);
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Error in DisplayAddSubCategoriesPage");
    throw;
  }
}

void VelmoraAdminImportData::CommonSaveProcedure(int count, const char* prefix,
                                                 int list) {
  // A save without its rows is refused, never taken for an empty list: the
  // count must be a number the form could send, and every row it names must
  // have come with the form (a row left blank comes empty, not absent).
  if (count < 0 || count > kMaxCategoryRows) RefuseSave("The number of rows is missing or wrong.");
  ValNameList rows;
  for (int i = 0; i < count; ++i) {
    std::string labelName = prefix + std::to_string(i);
    const char* label = request->FindVar(labelName.c_str());
    if (label == nullptr) RefuseSave("Some rows of the form are missing.");
    if (IsEmpty(label)) continue;
    std::string tagName = "val_" + std::to_string(i);
    const char* tag = request->FindVar(tagName.c_str());
    rows.Append(label, IsEmpty(tag) ? label : tag);
  }
  std::unique_ptr<ValNameList> sorted(rows.SortListByName());
  try {
    KvChangeLock change;
    KvConfigDB* config = application->GetConfigDB();
    switch (list) {
      case kSubcategories: config->WriteSubcategories(sorted.get()); break;
      case kVersitCategories: config->WriteVersitCategories(sorted.get()); break;
      default: config->WriteLDAPCategories(sorted.get()); break;
    }
    const char* which = list == kSubcategories      ? "subcategories"
                        : list == kVersitCategories ? "versit categories"
                                                    : "LDAP categories";
    Audit((std::string(which) + " saved: " + std::to_string(sorted->GetCount()) + " entries")
              .c_str());
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Error while writing to the file.");
    throw;
  }
}

Page* VelmoraAdminImportData::SaveCategoriesPage() {
  try {
    const char* format = request->FindVar("toFormat");
    CommonSaveProcedure(RowCount(request->FindVar("categories")), "categ_",
                        format && strcasecmp(format, "toVersit") == 0
                            ? kVersitCategories
                            : kLDAPCategories);
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Error while calling common procedure.");
    throw;
  }
  return DisplayOptionsPage();
}

Page* VelmoraAdminImportData::SaveSubCategoriesPage() {
  try {
    CommonSaveProcedure(RowCount(request->FindVar("subcategories")), "subcateg_", kSubcategories);
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Error while calling common procedure.");
    throw;
  }
  return DisplayOptionsPage();
}

Page* VelmoraAdminImportData::GenSaveAsDialogBox() {
  try {
    // Only the converted file may be fetched, whatever the form names.
    CharPtr dir(KvGetTmpdir());
    std::string converted = std::string(dir ? dir.get() : "/tmp") + "/" + kOutputFile;
    std::string wanted = InTmpDir(request->FindVar("dataFile"));
    if (wanted.empty() || wanted != InTmpDir(converted.c_str())) {
      ValList messages;
      messages.Append("The converted data file is not available.");
      return EmitNicePage(&messages);
    }
    // The file keeps the name of the format it was converted to.
    const char* format = request->FindVar("toFormat");
    bool ldap = format && strcasecmp(format, "toLDAP") == 0;
    if (!KvStreamFile(request, ldap ? "data.ldif" : "data.vcf", wanted.c_str(),
                      application->GetConfigDB(),
                      ldap ? "text/plain; charset=utf-8" : "text/vcard; charset=utf-8")) {
      ValList messages;
      messages.Append("The converted data file is not available.");
      return EmitNicePage(&messages);
    }
    return new PageNoData();
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Exception rethrown in VelmoraAdminImportData::GenSaveAsDialogBox");
    throw;
  }
}
