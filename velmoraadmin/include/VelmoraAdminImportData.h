// The handler of the data import pages; it dispatches on "sub_program"
// (or on "program" when that is absent). The pages lead the administrator
// from a delimited text file to a versit file of cards or an LDAP data
// file; the conversion itself writes to a streamed page while it runs.
#pragma once

#include <string>
#include <unordered_map>
#include <unordered_set>

#include "ImportDataCallbackCookie.h"
#include "VelmoraAdminCommon.h"

class VelmoraAdminImportData : public VelmoraAdminCommon {
 public:
  VelmoraAdminImportData(RequestInfo* req, VelmoraAdminApp* app);
  ~VelmoraAdminImportData() override;
  Page* HandleEvent(const char* program) override;

  // Each returns a new page the caller deletes. Throws KvError*.
  Page* DisplayFirstPage();
  Page* DisplayOptionsPage();
  Page* GenUpperFrame();
  Page* GenLowerFrame();
  Page* DisplayAddCategoriesPage();
  Page* DisplayAddSubCategoriesPage();
  Page* SaveCategoriesPage();
  Page* SaveSubCategoriesPage();
  // Sends the converted file as the whole response; the page writes nothing.
  Page* GenSaveAsDialogBox();
  // Streams the conversion's progress; the page writes nothing more.
  Page* GenVersitFile();

  // The category page for list (stays the caller's): rows named prefix + i,
  // their count in countName; categories true for the category lists.
  Page* GenCommonPage(ValNameList* list, const char* prefix,
                      const char* countName, KvBoolean categories);
  // Stores the rows of the request (count rows named prefix + i) as list
  // 0 sub-categories, 1 versit categories, 2 LDAP categories.
  void CommonSaveProcedure(int count, const char* prefix, int list);

  // The conversion engines: path is the source, delimiter the field
  // separator, tags the column tags (stay the caller's). Progress goes to
  // callback with cookie. Return 1 on success, 0 on failure.
  int GenDataFile(const char* path, char delimiter, ValList* tags,
                  ImportDataCallbackCookie* cookie,
                  ImportDataCallback callback);
  int GenLDAPDataFile(const char* path, char delimiter, ValList* tags,
                      ImportDataCallbackCookie* cookie,
                      ImportDataCallback callback);
  // One card, or one LDAP entry, from the values of one line.
  void WriteVersitCard(FILE* out, ValList* tags, ValList* values);
  void WriteFN(FILE* out, ValList* tags, ValList* values);
  // The manager lookup list: uid -> cn text, with the ou as first extra.
  // New list; the caller deletes it.
  ValNameList* CreateMgrList(const char* path, char delimiter, ValList* tags,
                             ImportDataCallbackCookie* cookie,
                             ImportDataCallback callback);
  void WriteLDAPCard(FILE* out, ValList* tags, ValList* values,
                     ValNameList* managers);
  void PrintOHeader(FILE* out, const char* company, const char* country);
  void PrintOuHeader(FILE* out, const char* ou, const char* company,
                     const char* country);
  void PrintIt(const char* tag, ValList* tags, ValList* values, FILE* out);
  // The first line of the file at path (caller frees with free()), or null
  // when it cannot be read.
  static char* GetFirstLine(const char* path);
  // The fields of the first record of the file at path (RFC 4180 quoting),
  // at most kMaxDelimitedColumns of them; a new list the caller deletes, or
  // null when the file cannot be read.
  static ValList* GetFirstFields(const char* path, char delimiter);

  // The source file the request names in "filePath", when it is a file of
  // the temporary directory; empty otherwise.
  std::string SourcePath() const;

 private:
  // The column positions of the LDAP writer, from tags.
  void InitVariables(ValList* tags);
  // The tags of the lower frame's "versittag_" fields, in column order.
  ValList* ReadColumnTags() const;
  // The ou, given name and family name of one line.
  void NameParts(ValList* values, std::string* ou, std::string* given,
                 std::string* family) const;

  ValList* dnList;  // owned: the dns written by this conversion
  // Lookups that keep a conversion linear: the dns written (lower case), and
  // the manager list by uid (lower case) for the list indexedManagers.
  std::unordered_set<std::string> dnSeen;
  std::unordered_map<std::string, const ValNameListItem*> managerByUid;
  const ValNameList* indexedManagers = nullptr;
  std::string companyName;
  std::string country;
  int ouIndex;
  int snIndex;
  int givenNameIndex;
  int cnIndex;
  int uidIndex;
  int managerIndex;
  KvBoolean generateUid;
};
