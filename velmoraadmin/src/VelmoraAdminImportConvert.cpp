// The conversion engine of the import dialogue: a delimited text file, one
// person a line, becomes a versit file of cards or an LDIF-style LDAP data
// file (RFC 2849 record layout) named "tempdata.vcf" in the temporary
// directory. Progress and errors go to a streamed page while it runs.
#include <fcntl.h>
#include <locale.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <climits>
#include <clocale>
#include <cwchar>
#include <cwctype>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "DelimitedReader.h"

#include "VelmoraAdminImportData.h"

namespace {

const char kOutputFile[] = "tempdata.vcf";
const char kLabelTag[] = "X-KAVRI-LABEL";
const int kReportEvery = 350;
const int kMaxColumns = kMaxDelimitedColumns;
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

std::string LowerAscii(std::string text) {
  for (char& c : text) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return text;
}

// Lower case of UTF-8 text, character by character; bytes that are not
// UTF-8 are kept as they are.
std::string Lower(const std::string& text) {
  static locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
  if (utf8 == static_cast<locale_t>(nullptr)) return LowerAscii(text);
  std::string out;
  mbstate_t state{};
  locale_t old = uselocale(utf8);
  for (size_t i = 0; i < text.size();) {
    wchar_t wc = 0;
    size_t n = mbrtowc(&wc, text.data() + i, text.size() - i, &state);
    if (n == static_cast<size_t>(-1) || n == static_cast<size_t>(-2) || n == 0) {
      out += static_cast<char>(tolower(static_cast<unsigned char>(text[i])));
      state = mbstate_t{};
      ++i;
      continue;
    }
    char buf[MB_LEN_MAX];
    mbstate_t outState{};
    size_t m = wcrtomb(buf, static_cast<wchar_t>(towlower(static_cast<wint_t>(wc))), &outState);
    if (m == static_cast<size_t>(-1)) {
      out.append(text, i, n);
    } else {
      out.append(buf, m);
    }
    i += n;
  }
  uselocale(old);
  return out;
}

// A field's text as one line of a versit card: line breaks inside a quoted
// field become ", ".
std::string OneLine(const char* text) {
  if (text == nullptr) return std::string();
  if (strpbrk(text, "\r\n") == nullptr) return std::string(text);
  std::string out;
  for (const char* p = text; *p; ++p) {
    if (*p == '\r' || *p == '\n') {
      if (*p == '\r' && p[1] == '\n') ++p;
      out += ", ";
    } else {
      out += *p;
    }
  }
  return out;
}

// RFC 2849 SAFE-STRING: ASCII without NUL, CR and LF, not starting with a
// blank, ":" or "<", and (RFC 2849 note 8) not ending with a blank.
bool IsSafeString(const std::string& value) {
  if (value.empty()) return true;
  unsigned char first = static_cast<unsigned char>(value[0]);
  if (first == ' ' || first == ':' || first == '<') return false;
  if (value.back() == ' ') return false;
  for (char ch : value) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c == 0 || c == '\n' || c == '\r' || c > 127) return false;
  }
  return true;
}

std::string Base64(const std::string& in) {
  static const char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  size_t i = 0;
  for (; i + 2 < in.size(); i += 3) {
    unsigned v = (static_cast<unsigned char>(in[i]) << 16) |
                 (static_cast<unsigned char>(in[i + 1]) << 8) | static_cast<unsigned char>(in[i + 2]);
    out += kDigits[(v >> 18) & 63];
    out += kDigits[(v >> 12) & 63];
    out += kDigits[(v >> 6) & 63];
    out += kDigits[v & 63];
  }
  if (i < in.size()) {
    unsigned v = static_cast<unsigned char>(in[i]) << 16;
    if (i + 1 < in.size()) v |= static_cast<unsigned char>(in[i + 1]) << 8;
    out += kDigits[(v >> 18) & 63];
    out += kDigits[(v >> 12) & 63];
    out += i + 1 < in.size() ? kDigits[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

// One LDIF attribute line (RFC 2849): "name: value", or "name:: base64"
// when the value is not a safe string.
void WriteLdifLine(FILE* out, const std::string& name, const std::string& value) {
  if (IsSafeString(value)) {
    fprintf(out, "%s: %s\n", name.c_str(), value.c_str());
  } else {
    fprintf(out, "%s:: %s\n", name.c_str(), Base64(value).c_str());
  }
}

// An attribute value inside a dn, escaped as RFC 4514 section 2.4 says.
std::string DnValue(const std::string& value) {
  std::string out;
  for (size_t i = 0; i < value.size(); ++i) {
    char c = value[i];
    bool escape = c == ',' || c == '+' || c == '"' || c == '\\' || c == '<' || c == '>' ||
                  c == ';' || (i == 0 && (c == ' ' || c == '#')) ||
                  (i + 1 == value.size() && c == ' ');
    if (c == '\0') {
      out += "\\00";
      continue;
    }
    if (escape) out += '\\';
    out += c;
  }
  return out;
}

bool IsEmpty(const char* text) { return !text || !*text; }

// The first character of UTF-8 text, with all its bytes.
std::string FirstCharacter(const std::string& text) {
  size_t n = text.empty() ? 0 : 1;
  while (n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) ++n;
  return text.substr(0, n);
}

// Reads the source (RFC 4180 records): the expected field count is that of
// the first record; the first record is data only when keepFirst is set.
// handle(lineNumber, values) gets each data record with the expected count;
// wrong counts go to confusion(line, count, expected) and records that
// cannot be read to unusable(line, reason). *skipped counts both.
template <class Handle, class Confusion, class Unusable>
void ReadSource(FILE* src, char delimiter, bool keepFirst, int* lineNumber, int* skipped,
                Handle handle, Confusion confusion, Unusable unusable) {
  int expected = -1;
  DelimitedReader reader(src, delimiter);
  std::vector<std::string> fields;
  std::string problem;
  *lineNumber = 0;
  *skipped = 0;
  while (reader.Next(&fields, lineNumber, &problem)) {
    bool data = true;
    int count = static_cast<int>(fields.size());
    if (expected < 0) {
      expected = count;
      data = keepFirst;
    }
    if (!data) continue;
    if (!problem.empty()) {
      ++*skipped;
      unusable(*lineNumber, problem);
    } else if (count != expected) {
      ++*skipped;
      confusion(*lineNumber, count, expected);
    } else {
      ValList values;
      for (const std::string& field : fields) values.Append(field.c_str());
      handle(*lineNumber, &values);
    }
  }
}

std::string UnusableText(int line, const std::string& reason) {
  return "Line no. " + std::to_string(line) + " skipped: " + reason;
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
  } else if (percentage == 100 && cookie->rowsSkipped > 0) {
    std::string heading = std::to_string(cookie->rowsConverted) + " rows converted, " +
                          std::to_string(cookie->rowsSkipped) + " rows skipped";
    page->addObject(new H2(heading.c_str()));
    if (cookie->log) cookie->log->AddMsg(KV_WARNING, heading.c_str());
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

ValList* VelmoraAdminImportData::GetFirstFields(const char* path, char delimiter) {
  if (!path || !*path) return nullptr;
  FilePtr fp(fopen(path, "r"));
  if (!fp) return nullptr;
  auto* list = new ValList;
  DelimitedReader reader(fp.get(), delimiter);
  std::vector<std::string> fields;
  std::string problem;
  int line = 0;
  if (reader.Next(&fields, &line, &problem)) {
    for (size_t i = 0; i < fields.size() && i < static_cast<size_t>(kMaxColumns); ++i) {
      list->Append(fields[i].c_str());
    }
  }
  return list;
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

namespace {

// What a conversion to vCards does with each column, worked out once from
// the tags rather than for every row.
struct VersitLayout {
  std::vector<const char*> tags;  // per column: the tag written, or null
  bool hasFN = false;
  int nameParts[5];  // columns of Prefix, GivenName, MiddleInitial, FamilyName, Suffix
};

const char* const kNameOrder[] = {"Prefix", "GivenName", "MiddleInitial", "FamilyName",
                                  "Suffix"};
constexpr int kMiddleInitial = 2;

VersitLayout LayoutOf(ValList* tags) {
  VersitLayout layout;
  for (ValListItem* tag = tags->GetFirst(); tag; tag = tag->next) {
    const char* written = tag->value;
    if (IsEmpty(written)) {
      written = nullptr;
    } else {
      if (strcmp(written, "FN") == 0) layout.hasFN = true;
      for (const char* name : kNamePseudoTags) {
        if (strcasecmp(written, name) == 0) {
          written = nullptr;
          break;
        }
      }
    }
    layout.tags.push_back(written);
  }
  for (int part = 0; part < 5; ++part) layout.nameParts[part] = tags->GetIndexOf(kNameOrder[part]);
  return layout;
}

// The name made of the name-part columns, "Prefix Given M Family Suffix",
// the middle name cut to its first character.
std::string FormattedName(const VersitLayout& layout, ValList* values) {
  std::string name;
  for (int part = 0; part < 5; ++part) {
    const char* value = ValueAt(values, layout.nameParts[part]);
    if (IsEmpty(value)) continue;
    std::string text = OneLine(value);
    if (part == kMiddleInitial) text = FirstCharacter(text);
    if (!name.empty()) name += " ";
    name += text;
  }
  return name;
}

void WriteCard(FILE* out, const VersitLayout& layout, ValList* values) {
  fputs("BEGIN:vCard\n", out);
  ValListItem* value = values->GetFirst();
  for (const char* tag : layout.tags) {
    if (tag != nullptr) {
      fputs(tag, out);
      putc(':', out);
      fputs(OneLine(value ? value->value : nullptr).c_str(), out);
      putc('\n', out);
    }
    value = value ? value->next : nullptr;
  }
  if (!layout.hasFN) {
    fputs("FN:", out);
    fputs(FormattedName(layout, values).c_str(), out);
    putc('\n', out);
  }
  fputs("END:vCard\n", out);
}

}  // namespace

void VelmoraAdminImportData::WriteFN(FILE* out, ValList* tags,
                                     ValList* values) {
  fprintf(out, "%s:%s\n", "FN", FormattedName(LayoutOf(tags), values).c_str());
}

void VelmoraAdminImportData::WriteVersitCard(FILE* out, ValList* tags,
                                             ValList* values) {
  WriteCard(out, LayoutOf(tags), values);
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
    const VersitLayout layout = LayoutOf(tags);
    ReadSource(
        src.get(), delimiter, keepFirst, &lineNumber, &cookie->rowsSkipped,
        [&](int line, ValList* values) {
          WriteCard(out.get(), layout, values);
          ++cookie->rowsConverted;
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
        },
        [&](int line, const std::string& reason) {
          callback(cookie, UnusableText(line, reason).c_str(), 20, nullptr);
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
  WriteLdifLine(out, "dn", "o=" + DnValue(company) + ", c=" + DnValue(country));
  fputs("objectclass: top\n", out);
  fputs("objectclass: organization\n", out);
  WriteLdifLine(out, "o", company);
  fputs("\n", out);
}

void VelmoraAdminImportData::PrintOuHeader(FILE* out, const char* ou,
                                           const char* company,
                                           const char* country) {
  fputs("\n", out);
  WriteLdifLine(out, "dn", "ou=" + DnValue(ou) + ", o=" + DnValue(company) + ", c=" +
                               DnValue(country));
  fputs("objectclass: top\n", out);
  fputs("objectclass: organizationalunit\n", out);
  WriteLdifLine(out, "ou", ou);
  fputs("\n", out);
}

void VelmoraAdminImportData::PrintIt(const char* tag, ValList* tags,
                                     ValList* values, FILE* out) {
  const char* value = ValueAt(values, tags->GetIndexOf(tag));
  WriteLdifLine(out, tag, value ? value : "");
}

ValNameList* VelmoraAdminImportData::CreateMgrList(
    const char* path, char delimiter, ValList* /*tags*/,
    ImportDataCallbackCookie* cookie, ImportDataCallback callback) {
  std::unique_ptr<ValNameList> managers(new ValNameList);
  FilePtr src(path && *path ? fopen(path, "r") : nullptr);
  if (!src) return managers.release();
  callback(cookie, "Generating Manager's list", 20, nullptr);
  int lineNumber = 0;
  int skipped = 0;
  ReadSource(
      src.get(), delimiter, request->FindVar("firstLine") != nullptr,
      &lineNumber, &skipped,
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
      },
      [&](int line, const std::string& reason) {
        callback(cookie, UnusableText(line, reason).c_str(), 20, nullptr);
      });
  return managers.release();
}

void VelmoraAdminImportData::WriteLDAPCard(FILE* out, ValList* tags,
                                           ValList* values,
                                           ValNameList* managers) {
  std::string ou, given, family;
  NameParts(values, &ou, &given, &family);
  std::string cn = given + " " + family;
  std::string dn = "cn=" + DnValue(cn) + ", ou=" + DnValue(ou) + ", o=" + DnValue(companyName) +
                   ", c=" + DnValue(country);
  // Duplicate people are dropped; dns compare without regard to case.
  if (!dnSeen.insert(LowerAscii(dn)).second) return;
  dnList->Append(dn.c_str());
  std::string generated = Lower(given) + "_" + Lower(family);

  // The values of this line by column, and the first column of each tag.
  std::vector<const char*> byColumn;
  for (ValListItem* v = values->GetFirst(); v; v = v->next) byColumn.push_back(v->value ? v->value : "");
  std::unordered_map<std::string, size_t> firstColumn;
  size_t column = 0;
  for (ValListItem* tag = tags->GetFirst(); tag; tag = tag->next, ++column) {
    if (!IsEmpty(tag->value)) firstColumn.emplace(LowerAscii(tag->value), column);
  }
  auto valueOf = [&](const char* tag) -> std::string {
    auto found = firstColumn.find(LowerAscii(tag));
    if (found == firstColumn.end() || found->second >= byColumn.size()) return "";
    return byColumn[found->second];
  };

  // A directory refuses an entry that repeats one value of an attribute, so
  // each attribute line goes out once.
  std::set<std::string> written;
  auto line = [&](const std::string& name, const std::string& value) {
    std::string key = LowerAscii(name) + ": " + Lower(value);
    if (!written.insert(key).second) return;
    WriteLdifLine(out, name, value);
  };

  WriteLdifLine(out, "dn", dn);
  line("cn", cn);
  if (snIndex < 0) line("sn", family);
  if (givenNameIndex < 0) line("givenname", given);
  for (const char* objectClass : kObjectClasses) line("objectclass", objectClass);
  bool passwordColumn = false;
  for (ValListItem* tag = tags->GetFirst(); tag; tag = tag->next) {
    if (IsEmpty(tag->value)) continue;
    if (strcasecmp(tag->value, "manager") == 0) continue;
    if (strcasecmp(tag->value, "uid") == 0 && generateUid) continue;
    if (strcasecmp(tag->value, "userpassword") == 0) passwordColumn = true;
    line(tag->value, valueOf(tag->value));
  }
  if (managerIndex >= 0 && uidIndex >= 0) {
    if (indexedManagers != managers) {
      managerByUid.clear();
      for (ValNameListItem* item = managers ? managers->GetFirst() : nullptr; item;
           item = item->next) {
        managerByUid.emplace(LowerAscii(item->name ? item->name : ""), item);
      }
      indexedManagers = managers;
    }
    const char* managerUid = ValueAt(values, managerIndex);
    auto found = IsEmpty(managerUid) ? managerByUid.end()
                                     : managerByUid.find(LowerAscii(managerUid));
    if (found != managerByUid.end()) {
      const ValNameListItem* manager = found->second;
      line("manager", "cn=" + DnValue(manager->value ? manager->value : "") + ", ou=" +
                          DnValue(manager->extra1 ? manager->extra1 : "") + ", o=" +
                          DnValue(companyName) + ", c=" + DnValue(country));
    } else {
      fprintf(out, "%s: \n", "manager");
    }
  }
  // A password column of the file wins over the generated one.
  if (!passwordColumn) line("userpassword", generated);
  if (generateUid) line("uid", generated);
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
    dnSeen.clear();
    indexedManagers = nullptr;

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
    std::unordered_set<std::string> ous;  // lower-cased, as ValList compares
    int lineNumber = 0;
    ReadSource(
        src.get(), delimiter, request->FindVar("firstLine") != nullptr,
        &lineNumber, &cookie->rowsSkipped,
        [&](int line, ValList* values) {
          const char* ou = ValueAt(values, ouIndex);
          if (ous.insert(LowerAscii(ou ? ou : "")).second) {
            PrintOuHeader(out.get(), ou ? ou : "", companyName.c_str(),
                          country.c_str());
          }
          WriteLDAPCard(out.get(), tags, values, managers.get());
          ++cookie->rowsConverted;
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
        },
        [&](int line, const std::string& reason) {
          callback(cookie, UnusableText(line, reason).c_str(), 20, nullptr);
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
      save->addAttribute("toFormat", versit ? "toVersit" : "toLDAP");
      page->addObject(new KvImageButton(save, "bsave", "Save"));
      // Cancel leaves the import's frames for the whole console.
      KvImageButton* cancel = new KvImageButton(new Url("../../.."), "bcancel", "Cancel");
      cancel->SetTarget("_top");
      page->addObject(cancel);
    }
    return page.release();
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Exception rethrown in VelmoraAdminImportData::GenVersitFile");
    throw;
  }
}
