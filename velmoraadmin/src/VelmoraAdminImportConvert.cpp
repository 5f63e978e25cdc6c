// The conversion engine of the import dialogue: a delimited text file, one
// person a line, becomes a versit file of cards or an LDIF-style LDAP data
// file (RFC 2849 record layout) named "tempdata.vcf" in the temporary
// directory. Progress and errors go to a streamed page while it runs.
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>

#include "VelmoraAdminImportData.h"

namespace {

const char kOutputFile[] = "tempdata.vcf";
const char kLabelTag[] = "X-KAVRI-LABEL";
const int kReportEvery = 350;
const int kMaxColumns = 4096;
// The name parts that only feed FN.
const char* const kNamePseudoTags[] = {"MiddleInitial", "Prefix", "Suffix",
                                       "GivenName", "FamilyName"};
const char* const kObjectClasses[] = {"top", "person", "organizationalPerson",
                                      "inetOrgPerson"};

struct FileCloser {
  void operator()(FILE* fp) const { fclose(fp); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;
struct FreeDeleter {
  void operator()(char* p) const { free(p); }
};
using CharPtr = std::unique_ptr<char, FreeDeleter>;

std::string TmpDir() {
  CharPtr dir(KvGetTmpdir());
  return dir ? dir.get() : "/tmp";
}

// The output is written to a new file of its own (created exclusively, mode
// 0600) beside its final name and renamed onto that name when complete, so
// that nothing another user placed under the name is ever written to. One
// conversion at a time: a file never completed is removed at the latest when
// the process ends.
struct PendingOutput {
  std::string tmp, path;
  ~PendingOutput() {
    if (!tmp.empty()) unlink(tmp.c_str());
  }
};
PendingOutput pending;

// Conversion files of dead processes ("<name>.XXXXXX") older than an hour.
void RemoveOldOutputs(const std::string& path) {
  std::string dir = path.substr(0, path.rfind('/'));
  std::string prefix = path.substr(path.rfind('/') + 1) + ".";
  KvLockGuard lock((path + ".lck").c_str(), kKvLockExclusive);
  KvRemoveLeftovers(
      dir.c_str(),
      [&](const char* name) {
        return strlen(name) == prefix.size() + 6 &&
               strncmp(name, prefix.c_str(), prefix.size()) == 0;
      },
      3600);
}

FILE* OpenOutput(const std::string& path) {
  RemoveOldOutputs(path);
  if (!pending.tmp.empty()) unlink(pending.tmp.c_str());  // an unfinished one
  pending.tmp.clear();
  std::string name = path + ".XXXXXX";
  int fd = mkstemp(&name[0]);
  if (fd < 0) return nullptr;
  FILE* fp = fdopen(fd, "w");
  if (!fp) {
    close(fd);
    unlink(name.c_str());
    return nullptr;
  }
  pending.tmp = name;
  pending.path = path;
  return fp;
}

// Closes the output and puts it in place; false when anything written was
// lost (the new file is removed then).
bool CloseOutput(FilePtr& out) {
  FILE* fp = out.release();
  bool ok = !ferror(fp);
  if (fclose(fp) != 0) ok = false;
  if (ok) ok = rename(pending.tmp.c_str(), pending.path.c_str()) == 0;
  if (!ok) unlink(pending.tmp.c_str());
  pending.tmp.clear();
  return ok;
}

const char* ValueAt(ValList* values, int index) {
  if (index < 0) return nullptr;
  ValListItem* item = values->GetNthItem(index);
  return item && item->value ? item->value : (item ? "" : nullptr);
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return text;
}

bool IsEmpty(const char* text) { return !text || !*text; }

// Reads the source: the expected field count is that of the first line; the
// first line is data only when keepFirst is set. handle(lineNumber, values)
// gets each data line with the expected count; wrong counts go to confusion.
template <class Handle, class Confusion>
void ReadSource(FILE* src, char delimiter, bool keepFirst, int* lineNumber,
                Handle handle, Confusion confusion) {
  int expected = -1;
  String line;
  *lineNumber = 0;
  while (line.GetField(src)) {
    ++*lineNumber;
    std::unique_ptr<ValList> values(StringTokenize(line.CStr(), delimiter));
    int count = values ? values->GetCount() : 0;
    bool data = true;
    if (expected < 0) {
      expected = count;
      data = keepFirst;
    }
    if (data) {
      if (count != expected)
        confusion(*lineNumber, count, expected);
      else
        handle(*lineNumber, values.get());
    }
    line.Cleanup();
  }
}

}  // namespace

ImportDataCallbackCookie::ImportDataCallbackCookie(KvLog* log,
                                                   KvStreamPage* page,
                                                   const char* fileName)
    : log(log),
      page(page),
      fileName(strdup(fileName ? fileName : "")),
      errors(new ValList) {}

ImportDataCallbackCookie::~ImportDataCallbackCookie() {
  free(fileName);
  delete errors;
}

void ConvertCallbackFunction(void* context, const char* message,
                             int percentage, ValList* errors) {
  auto* cookie = static_cast<ImportDataCallbackCookie*>(context);
  if (!cookie || !cookie->page) return;
  KvStreamPage* page = cookie->page;
  const char* text = message ? message : "";
  if (percentage == 0) {
    page->addObject(new KvImage("himportdata"));
    page->addObject(new Br());
    page->addObject("Please wait while the data is being converted.", 0);
    page->addObject(new Br());
  } else if (percentage == 100 && errors && errors->GetCount() > 0) {
    std::string heading =
        std::string("Errors encountered while Data convertion. The converted "
                    "data is in ") +
        cookie->fileName + " file in the temporary directory.";
    page->addObject(new H2(heading.c_str()));
    for (ValListItem* item = errors->GetFirst(); item; item = item->next) {
      std::string line =
          std::string("Error while converting : ") + (item->value ? item->value : "");
      page->addObject(new B(line.c_str()));
      page->addObject(new Br());
      if (cookie->log) cookie->log->AddMsg(KV_ERROR, line.c_str());
    }
  } else if (percentage == 100) {
    std::string heading = std::string("Data successfuly converted and put in ") +
                          cookie->fileName +
                          " file in the temporary directory.";
    page->addObject(new H2(heading.c_str()));
    if (cookie->log) cookie->log->AddMsg(KV_INFO, heading.c_str());
  } else {
    std::string line = std::string("Converting:") + text;
    page->addObject(new B(line.c_str()));
    page->addObject(new Br());
    if (cookie->log) cookie->log->AddMsg(KV_INFO, line.c_str());
  }
}

char* VelmoraAdminImportData::GetFirstLine(const char* path) {
  if (!path || !*path) return nullptr;
  FilePtr fp(fopen(path, "r"));
  if (!fp) return nullptr;
  String line;
  if (!line.GetField(fp.get())) return strdup("");
  return strdup(line.CStr());
}

ValList* VelmoraAdminImportData::ReadColumnTags() const {
  auto* tags = new ValList;
  const char* countText = request->FindVar("versittags");
  // The count is the client's word: no file has more columns than this.
  long count = 0;
  if (!KvParseInt(countText, 0, LONG_MAX, &count)) count = 0;
  if (count > kMaxColumns) count = kMaxColumns;
  int labels = 0;
  const size_t labelLength = strlen(kLabelTag);
  for (int i = 0; i < count; ++i) {
    std::string name = "versittag_" + std::to_string(i);
    const char* tag = request->FindVar(name.c_str());
    std::string text = tag ? tag : "";
    if (text.size() >= labelLength &&
        strncasecmp(text.c_str(), kLabelTag, labelLength) == 0) {
      text = std::string(kLabelTag) + "-" + std::to_string(++labels) +
             text.substr(labelLength);
    }
    tags->Append(text.c_str());
  }
  return tags;
}

void VelmoraAdminImportData::WriteFN(FILE* out, ValList* tags,
                                     ValList* values) {
  const char* const order[] = {"Prefix", "GivenName", "MiddleInitial",
                               "FamilyName", "Suffix"};
  std::string name;
  for (const char* part : order) {
    const char* value = ValueAt(values, tags->GetIndexOf(part));
    if (IsEmpty(value)) continue;
    std::string text = value;
    if (strcmp(part, "MiddleInitial") == 0) text = text.substr(0, 1);
    if (!name.empty()) name += " ";
    name += text;
  }
  fprintf(out, "%s:%s\n", "FN", name.c_str());
}

void VelmoraAdminImportData::WriteVersitCard(FILE* out, ValList* tags,
                                             ValList* values) {
  fputs("BEGIN:vCard\n", out);
  bool hasFN = false;
  ValListItem* value = values->GetFirst();
  for (ValListItem* tag = tags->GetFirst(); tag;
       tag = tag->next, value = value ? value->next : nullptr) {
    if (IsEmpty(tag->value)) continue;
    if (strcmp(tag->value, "FN") == 0) hasFN = true;
    bool pseudo = false;
    for (const char* name : kNamePseudoTags)
      if (strcasecmp(tag->value, name) == 0) pseudo = true;
    if (pseudo) continue;
    fprintf(out, "%s:%s\n", tag->value,
            value && value->value ? value->value : "");
  }
  if (!hasFN) WriteFN(out, tags, values);
  fputs("END:vCard\n", out);
}

int VelmoraAdminImportData::GenDataFile(const char* path, char delimiter,
                                        ValList* tags,
                                        ImportDataCallbackCookie* cookie,
                                        ImportDataCallback callback) {
  try {
    FilePtr src(path && *path ? fopen(path, "r") : nullptr);
    if (!src) {
      std::string error =
          std::string("Could not open the source file : ") + (path ? path : "");
      cookie->errors->Append(error.c_str());
      callback(cookie, error.c_str(), 100, cookie->errors);
      return 0;
    }
    callback(cookie, "Start Conversion", 0, nullptr);
    std::string outPath = TmpDir() + "/" + cookie->fileName;
    FilePtr out(OpenOutput(outPath));
    if (!out) {
      std::string error = "Could not open the destination file : " + outPath;
      cookie->errors->Append(error.c_str());
      callback(cookie, error.c_str(), 100, cookie->errors);
      return 0;
    }
    bool keepFirst = request->FindVar("firstLine") != nullptr;
    int lineNumber = 0;
    ReadSource(
        src.get(), delimiter, keepFirst, &lineNumber,
        [&](int line, ValList* values) {
          WriteVersitCard(out.get(), tags, values);
          if (line % kReportEvery == 0)
            callback(cookie, std::to_string(line).c_str(), 20, nullptr);
        },
        [&](int line, int count, int expected) {
          std::string text = "Confusion at line no. " + std::to_string(line) +
                             " Fields found : " + std::to_string(count) +
                             " expected : " + std::to_string(expected);
          callback(cookie, text.c_str(), 20, nullptr);
          if (line % kReportEvery == 0)
            callback(cookie, std::to_string(line).c_str(), 20, nullptr);
        });
    if (!CloseOutput(out)) {
      std::string error = "Could not write the destination file : " + outPath;
      cookie->errors->Append(error.c_str());
      callback(cookie, error.c_str(), 100, cookie->errors);
      return 0;
    }
    callback(cookie, std::to_string(lineNumber).c_str(), 20, nullptr);
    callback(cookie, "Finished conveting", 100, nullptr);
    return 1;
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Exception rethrown in VelmoraAdminImportData::GenDataFile");
    throw;
  }
}

void VelmoraAdminImportData::InitVariables(ValList* tags) {
  ouIndex = tags->GetIndexOf("ou");
  cnIndex = tags->GetIndexOf("cn");
  snIndex = tags->GetIndexOf("sn");
  givenNameIndex = tags->GetIndexOf("givenname");
  uidIndex = tags->GetIndexOf("uid");
  managerIndex = tags->GetIndexOf("manager");
}

void VelmoraAdminImportData::NameParts(ValList* values, std::string* ou,
                                       std::string* given,
                                       std::string* family) const {
  const char* ouValue = ValueAt(values, ouIndex);
  *ou = ouValue ? ouValue : "";
  given->clear();
  family->clear();
  if (snIndex >= 0 && givenNameIndex >= 0) {
    const char* g = ValueAt(values, givenNameIndex);
    const char* f = ValueAt(values, snIndex);
    *given = g ? g : "";
    *family = f ? f : "";
    return;
  }
  const char* cn = ValueAt(values, cnIndex);
  std::string words = cn ? cn : "";
  size_t start = words.find_first_not_of(" \t");
  if (start == std::string::npos) return;
  size_t end = words.find_first_of(" \t", start);
  *given = words.substr(start, end == std::string::npos ? end : end - start);
  if (end == std::string::npos) return;
  start = words.find_first_not_of(" \t", end);
  if (start == std::string::npos) return;
  end = words.find_first_of(" \t", start);
  *family = words.substr(start, end == std::string::npos ? end : end - start);
}

void VelmoraAdminImportData::PrintOHeader(FILE* out, const char* company,
                                          const char* country) {
  fputs("\n", out);
  fprintf(out, "dn: o=%s, c=%s\n", company, country);
  fputs("objectclass: top\n", out);
  fputs("objectclass: organization\n", out);
  fprintf(out, "o: %s\n", company);
  fputs("\n", out);
}

void VelmoraAdminImportData::PrintOuHeader(FILE* out, const char* ou,
                                           const char* company,
                                           const char* country) {
  fputs("\n", out);
  fprintf(out, "dn: ou=%s, o=%s, c=%s\n", ou, company, country);
  fputs("objectclass: top\n", out);
  fputs("objectclass: organizationalunit\n", out);
  fprintf(out, "ou: %s\n", ou);
  fputs("\n", out);
}

void VelmoraAdminImportData::PrintIt(const char* tag, ValList* tags,
                                     ValList* values, FILE* out) {
  const char* value = ValueAt(values, tags->GetIndexOf(tag));
  fprintf(out, "%s: %s\n", tag, value ? value : "");
}

ValNameList* VelmoraAdminImportData::CreateMgrList(
    const char* path, char delimiter, ValList* /*tags*/,
    ImportDataCallbackCookie* cookie, ImportDataCallback callback) {
  std::unique_ptr<ValNameList> managers(new ValNameList);
  FilePtr src(path && *path ? fopen(path, "r") : nullptr);
  if (!src) return managers.release();
  callback(cookie, "Generating Manager's list", 20, nullptr);
  int lineNumber = 0;
  ReadSource(
      src.get(), delimiter, request->FindVar("firstLine") != nullptr,
      &lineNumber,
      [&](int, ValList* values) {
        std::string ou, given, family;
        NameParts(values, &ou, &given, &family);
        std::string cn = given + " " + family;
        const char* uid = ValueAt(values, uidIndex);
        managers->Append(uid ? uid : "", cn.c_str(), ou.c_str());
      },
      [&](int line, int count, int expected) {
        std::string text = "Confusion at line no. " + std::to_string(line) +
                           " Found : " + std::to_string(count) +
                           " fields instead of " + std::to_string(expected);
        callback(cookie, text.c_str(), 20, nullptr);
      });
  return managers.release();
}

void VelmoraAdminImportData::WriteLDAPCard(FILE* out, ValList* tags,
                                           ValList* values,
                                           ValNameList* managers) {
  std::string ou, given, family;
  NameParts(values, &ou, &given, &family);
  std::string cn = given + " " + family;
  std::string dn = "dn: cn=" + cn + ", ou=" + ou + ", o=" + companyName +
                   ", c=" + country;
  if (dnList->Lookup(dn.c_str())) return;
  dnList->Append(dn.c_str());
  std::string generated = Lower(given) + "_" + Lower(family);

  // A directory refuses an entry that repeats one value of an attribute, so
  // each attribute line goes out once.
  std::set<std::string> written;
  auto line = [&](const std::string& name, const std::string& value) {
    std::string key = Lower(name) + ": " + Lower(value);
    if (!written.insert(key).second) return;
    fprintf(out, "%s: %s\n", name.c_str(), value.c_str());
  };

  fprintf(out, "%s\n", dn.c_str());
  line("cn", cn);
  if (snIndex < 0) line("sn", family);
  if (givenNameIndex < 0) line("givenname", given);
  for (const char* objectClass : kObjectClasses) line("objectclass", objectClass);
  for (ValListItem* tag = tags->GetFirst(); tag; tag = tag->next) {
    if (IsEmpty(tag->value)) continue;
    if (strcasecmp(tag->value, "manager") == 0) continue;
    if (strcasecmp(tag->value, "uid") == 0 && generateUid) continue;
    const char* value = ValueAt(values, tags->GetIndexOf(tag->value));
    line(tag->value, value ? value : "");
  }
  if (managerIndex >= 0 && uidIndex >= 0) {
    const char* managerUid = ValueAt(values, managerIndex);
    ValNameListItem* manager =
        IsEmpty(managerUid) ? nullptr : managers->Lookup(managerUid);
    if (manager)
      fprintf(out, "%s: %s=%s, %s=%s, o=%s, c=%s\n", "manager", "cn",
              manager->value ? manager->value : "", "ou",
              manager->extra1 ? manager->extra1 : "", companyName.c_str(),
              country.c_str());
    else
      fprintf(out, "%s: \n", "manager");
  }
  fprintf(out, "%s: %s\n", "userpassword", generated.c_str());
  if (generateUid) fprintf(out, "%s: %s\n", "uid", generated.c_str());
  fputs("\n", out);
}

int VelmoraAdminImportData::GenLDAPDataFile(const char* path, char delimiter,
                                            ValList* tags,
                                            ImportDataCallbackCookie* cookie,
                                            ImportDataCallback callback) {
  try {
    callback(cookie, "Start Conversion", 0, nullptr);
    InitVariables(tags);
    const char* company = request->FindVar("companyName");
    companyName = IsEmpty(company) ? "Kavri" : company;
    const char* countryText = request->FindVar("country");
    country = IsEmpty(countryText) ? "US" : countryText;
    const char* which = request->FindVar("whichUid");
    generateUid = which && strcasecmp(which, "NEW") == 0;
    dnList->RemoveAll();

    auto fail = [&](const std::string& error) {
      cookie->errors->Append(error.c_str());
      callback(cookie, error.c_str(), 100, cookie->errors);
      return 0;
    };
    if (ouIndex < 0) return fail("No ou field specified.");
    if (cnIndex < 0 && (snIndex < 0 || givenNameIndex < 0))
      return fail("cn as well as sn & givenname fields are missing");

    std::unique_ptr<ValNameList> managers;
    if (managerIndex >= 0 && uidIndex >= 0)
      managers.reset(CreateMgrList(path, delimiter, tags, cookie, callback));
    else
      managers.reset(new ValNameList);

    FilePtr src(path && *path ? fopen(path, "r") : nullptr);
    if (!src)
      return fail(std::string("Could not open the source file : ") +
                  (path ? path : ""));
    std::string outPath = TmpDir() + "/" + cookie->fileName;
    FilePtr out(OpenOutput(outPath));
    if (!out) return fail("Could not open the destination file : " + outPath);
    callback(cookie, "Start Conversion", 10, nullptr);

    PrintOHeader(out.get(), companyName.c_str(), country.c_str());
    ValList ous;
    int lineNumber = 0;
    ReadSource(
        src.get(), delimiter, request->FindVar("firstLine") != nullptr,
        &lineNumber,
        [&](int line, ValList* values) {
          const char* ou = ValueAt(values, ouIndex);
          if (!ous.Lookup(ou ? ou : "")) {
            ous.Append(ou ? ou : "");
            PrintOuHeader(out.get(), ou ? ou : "", companyName.c_str(),
                          country.c_str());
          }
          WriteLDAPCard(out.get(), tags, values, managers.get());
          if (line % kReportEvery == 0)
            callback(cookie, std::to_string(line).c_str(), 20, nullptr);
        },
        [&](int line, int count, int expected) {
          std::string text = "Confusion at line no. " + std::to_string(line) +
                             " Found : " + std::to_string(count) +
                             " fields instead of " + std::to_string(expected);
          callback(cookie, text.c_str(), 20, nullptr);
          if (line % kReportEvery == 0)
            callback(cookie, std::to_string(line).c_str(), 20, nullptr);
        });
    if (!CloseOutput(out))
      return fail("Could not write the destination file : " + outPath);
    callback(cookie, "Conversion done", 100, nullptr);
    return 1;
  } catch (KvError* e) {
    KV_ADD_LINE(e,
                "Exception rethrown in VelmoraAdminImportData::GenLDAPDataFile");
    throw;
  }
}

Page* VelmoraAdminImportData::GenVersitFile() {
  try {
    std::unique_ptr<ValList> tags(ReadColumnTags());
    const char* delimiterText = request->FindVar("delimiter");
    char delimiter = IsEmpty(delimiterText) ? ',' : delimiterText[0];
    std::string path = SourcePath();
    const char* format = request->FindVar("toFormat");
    bool versit = format && strcasecmp(format, "toVersit") == 0;

    std::unique_ptr<KvStreamPage> page(
        new KvStreamPage(request, "Convert Data", GetStyleName()));
    page->addObject(new Title("Import Data"));
    ImportDataCallbackCookie cookie(log, page.get(), kOutputFile);
    int done = versit ? GenDataFile(path.c_str(), delimiter, tags.get(),
                                    &cookie, ConvertCallbackFunction)
                      : GenLDAPDataFile(path.c_str(), delimiter, tags.get(),
                                        &cookie, ConvertCallbackFunction);
    Audit((std::string("data converted to ") + (versit ? "versit" : "LDAP") +
           (done == 1 ? "" : " (failed)"))
              .c_str());
    // The upload (or private copy) has served its purpose.
    if (!path.empty()) unlink(path.c_str());
    if (done == 1) {
      page->addObject(new Br());
      page->addObject(new H3("Click on Save to save the file"));
      Url* save = new Url(application->GetProgramFile());
      save->addAttribute("program", "importdata");
      save->addAttribute("sub_program", "saveAsFile");
      std::string dataFile = TmpDir() + "/" + kOutputFile;
      save->addAttribute("dataFile", dataFile.c_str());
      page->addObject(new KvImageButton(save, "bsave", "Save"));
      page->addObject(
          new KvImageButton(new Url("../../.."), "bcancel", "Cancel"));
    }
    return page.release();
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Exception rethrown in VelmoraAdminImportData::GenVersitFile");
    throw;
  }
}
