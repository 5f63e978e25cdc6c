// The file back end's attribute descriptions and access-control lists. An
// attribute id is the text of a card field ("TITLE", "TEL;WORK;VOICE").
// Each access list is a ValList file of its own under data/common/access/,
// named after the list and the (encoded) attribute or operation id, read and
// replaced whole.
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "KvFileUserDB.h"
#include "ListFile.h"

namespace {

const char kAttributesFile[] = "attributes.lst";
const char kDefaultAttr[] = "defaultAttr";
const char kTextType[] = "kavriText";

// The attributes of a new installation: the fields people may keep up
// themselves, all plain text.
const char* const kDefaultAttributes[] = {
    "FN",       "TITLE",        "ORG",      "ADR;WORK",       "TEL;WORK;VOICE",
    "TEL;WORK;FAX", "TEL;CELL", "TEL;PAGER", "TEL;HOME;VOICE", "EMAIL;INTERNET",
    "URL",      "NOTE",         nullptr,
};

// What a list holds before it was ever written.
const char* const kNobody[] = {nullptr};
const char* const kDirAdmin[] = {"dirAdmin", nullptr};
const char* const kFollowDefault[] = {"default", nullptr};

// File-name form of an id: letters, digits, '-' and '_' stay, every other
// byte becomes '%' and two hexadecimal digits.
std::string EncodeId(const char* id) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(id); *p; ++p) {
    if (isalnum(*p) || *p == '-' || *p == '_') {
      out += static_cast<char>(*p);
    } else {
      out += '%';
      out += kHex[*p >> 4];
      out += kHex[*p & 15];
    }
  }
  return out;
}

void RequireId(const char* id) {
  if (id == nullptr || *id == '\0') KV_THROW("No attribute or operation named");
}

// "add" selects the add lists, anything else the delete lists.
const char* OperationKey(const char* operId) {
  return (operId != nullptr && strcasecmp(operId, "add") == 0) ? "add" : "delete";
}

}  // namespace

ValList* KvFileUserDB::GetAttributeList() {
  std::unique_ptr<ValNameList> types(GetAttributeTypes());
  std::unique_ptr<ValList> ids(new ValList());
  for (ValNameListItem* item = types->GetFirst(); item; item = item->next) {
    if (item->name != nullptr) ids->AppendWithDupCheck(item->name);
  }
  return ids.release();
}

ValNameList* KvFileUserDB::GetAttributeTypes() {
  std::string path = CommonPath(kAttributesFile);
  std::unique_ptr<ValNameList> out(new ValNameList());
  if (!KvCheckIfFile(path.c_str())) {
    for (const char* const* id = kDefaultAttributes; *id; ++id) out->Append(*id, kTextType);
    return out.release();
  }
  // Stored as id:type or id:type:source.
  std::unique_ptr<ValNameList> stored = filedb::ReadValNameListFile(path);
  for (ValNameListItem* item = stored->GetFirst(); item; item = item->next) {
    if (item->name == nullptr) continue;
    std::string value = item->value ? item->value : kTextType;
    std::string::size_type colon = value.find(':');
    if (colon == std::string::npos) {
      out->Append(item->name, value.c_str());
    } else {
      out->Append(item->name, value.substr(0, colon).c_str(),
                  value.substr(colon + 1).c_str());
    }
  }
  return out.release();
}

ValNameList* KvFileUserDB::GetAttributeOptions(const char* attribId) {
  std::unique_ptr<ValNameList> out(new ValNameList());
  if (attribId == nullptr) return out.release();
  std::unique_ptr<ValNameList> types(GetAttributeTypes());
  ValNameListItem* item = types->Lookup(attribId);
  if (item == nullptr || item->extra1 == nullptr || *item->extra1 == '\0') {
    return out.release();
  }
  std::string path = CommonPath("options/" + EncodeId(item->extra1) + ".lst");
  return filedb::ReadValNameListFile(path).release();
}

std::string KvFileUserDB::AccessListPath(const char* list, const char* id) const {
  return top_ + "/data/common/access/" + list + "-" + EncodeId(id) + ".lst";
}

// The pages compare attribute ids without regard to case; so does the store:
// an id is spelled as the default rule or the attribute list spells it.
std::string KvFileUserDB::CanonicalAttribId(const char* id) {
  if (id == nullptr) return "";
  if (strcasecmp(id, kDefaultAttr) == 0) return kDefaultAttr;
  RequireOpen();
  std::unique_ptr<ValNameList> types(GetAttributeTypes());
  ValNameListItem* item = types->Lookup(id);
  return item != nullptr && item->name != nullptr ? item->name : id;
}

ValList* KvFileUserDB::ReadAccessList(const char* list, const char* id,
                                      const char* const* defaults) {
  RequireOpen();
  RequireId(id);
  std::string path = AccessListPath(list, id);
  if (!KvCheckIfFile(path.c_str())) {
    std::unique_ptr<ValList> out(new ValList());
    for (const char* const* d = defaults; *d; ++d) out->Append(*d);
    return out.release();
  }
  return filedb::ReadValListFile(path).release();
}

KvBoolean KvFileUserDB::WriteAccessList(const char* list, const char* id,
                                        ValList* values) {
  RequireOpen();
  RequireId(id);
  ValList clean;
  if (values != nullptr) {
    for (ValListItem* item = values->GetFirst(); item; item = item->next) {
      if (item->value == nullptr || *item->value == '\0') continue;
      if (!filedb::IsOneLine(item->value)) {
        KV_THROW("An access list entry may not hold a line break");
      }
      clean.AppendWithDupCheck(item->value);
    }
  }
  std::string dir = top_ + "/data/common/access";
  if (mkdir(dir.c_str(), 0755) != 0 && errno != EEXIST) {
    filedb::ThrowSystemError(__LINE__, "Unable to create", dir, errno);
  }
  filedb::WriteValListFile(AccessListPath(list, id), &clean);
  return 1;
}

ValList* KvFileUserDB::GetAttribModifiers(KvConfigDB*, const char* attribId) {
  RequireId(attribId);
  std::string id = CanonicalAttribId(attribId);
  bool isDefault = id == kDefaultAttr;
  return ReadAccessList("attrmod", id.c_str(), isDefault ? kDirAdmin : kFollowDefault);
}

KvBoolean KvFileUserDB::SetAttribModifiers(KvConfigDB*, const char* attribId,
                                           ValList* list) {
  RequireId(attribId);
  return WriteAccessList("attrmod", CanonicalAttribId(attribId).c_str(), list);
}

ValList* KvFileUserDB::GetAttribApprovers(KvConfigDB*, const char* attribId) {
  RequireId(attribId);
  return ReadAccessList("attrappr", CanonicalAttribId(attribId).c_str(), kNobody);
}

KvBoolean KvFileUserDB::SetAttribApprovers(KvConfigDB*, const char* attribId,
                                           ValList* list) {
  RequireId(attribId);
  return WriteAccessList("attrappr", CanonicalAttribId(attribId).c_str(), list);
}

ValList* KvFileUserDB::GetOperModifiers(const char* operId) {
  return ReadAccessList("opermod", OperationKey(operId), kDirAdmin);
}

KvBoolean KvFileUserDB::SetOperModifiers(const char* operId, ValList* list) {
  return WriteAccessList("opermod", OperationKey(operId), list);
}

ValList* KvFileUserDB::GetOperNotifyList(const char* operId) {
  return ReadAccessList("opernotify", OperationKey(operId), kNobody);
}

KvBoolean KvFileUserDB::SetOperNotifyList(const char* operId, ValList* list) {
  return WriteAccessList("opernotify", OperationKey(operId), list);
}
