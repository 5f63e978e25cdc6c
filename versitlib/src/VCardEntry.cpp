// vCard property lines: construction, copies, the text and display forms of
// the property name and parameters, and the readable forms of the structured
// N, ADR and ORG values.
#include "VCardEntry.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "VersitError.h"

namespace {

const char kBadType[] = "VersitDB - Bad Type!";
const char kBadProperty[] = "VersitDB - Bad Property!";

constexpr int kNumTypeNames = kTypeFirstKavri;  // TYPE table rows
constexpr int kNumValueNames = 4;
constexpr int kNumEncodingNames = 4;
constexpr int kNumAdrComponents = 7;

char* HeapCopy(const std::string& text) { return strdup(text.c_str()); }

// The property name of id as written in the text form.
std::string PropertyName(int id) {
  if (id >= 0 && id < kVCardFirstLabel) return kVCardPropNames[id].name;
  if (id >= kVCardFirstLabel) return kVCardLabelPrefix + std::to_string(id - kVCardFirstLabel);
  VERSIT_FAULT(kBadProperty);
}

// The name of a parameter's value: "WORK", "X-KAVRI-TYPE-1", "VALUE=URL"
// ("ENCODING=..."). Throws for kinds and values that cannot be written.
std::string SubTypeText(const VCardSubType* sub) {
  switch (sub->kind) {
    case kSubTypeType:
      if (sub->value >= 0 && sub->value < kNumTypeNames) return kVCardTypeNames[sub->value].name;
      if (sub->value >= kTypeFirstKavri) {
        return kVCardTypePrefix + std::to_string(sub->value - kTypeFirstKavri);
      }
      break;
    case kSubTypeValue:
      if (sub->value >= 0 && sub->value < kNumValueNames) {
        return std::string("VALUE=") + kVCardValueNames[sub->value].name;
      }
      break;
    case kSubTypeEncoding:
      if (sub->value >= 0 && sub->value < kNumEncodingNames) {
        return std::string("ENCODING=") + kVCardEncodingNames[sub->value].name;
      }
      break;
    default:
      break;
  }
  VERSIT_FAULT(kBadType);
}

// The components of a ";"-separated value as StringTokenize gives them:
// empty components kept, every component but the last trimmed.
std::vector<std::string> SplitComponents(const char* value) {
  std::unique_ptr<ValList> list(StringTokenize(value, ';'));
  std::vector<std::string> parts;
  for (ValListItem* item = list->GetFirst(); item != nullptr; item = item->next) {
    parts.emplace_back(item->value ? item->value : "");
  }
  return parts;
}

std::string Join(const std::vector<std::string>& parts, size_t count) {
  std::string out;
  for (size_t i = 0; i < count; ++i) {
    if (i > 0) out += ' ';
    if (i < parts.size()) out += parts[i];
  }
  return out;
}

}  // namespace

VCardEntry::VCardEntry() : id(kVCardUnknown), value(nullptr), firstSubType(nullptr), next(nullptr) {}

VCardEntry::VCardEntry(int id, const char* value)
    : id(id), value(value ? strdup(value) : nullptr), firstSubType(nullptr), next(nullptr) {}

VCardEntry::~VCardEntry() {
  free(value);
  while (firstSubType != nullptr) {
    VCardSubType* doomed = firstSubType;
    firstSubType = doomed->next;
    delete doomed;
  }
}

void VCardEntry::AddSubType(VCardSubType* subType) {
  if (subType == nullptr) return;
  subType->next = nullptr;
  VCardSubType** link = &firstSubType;
  while (*link != nullptr) link = &(*link)->next;
  *link = subType;
}

void VCardEntry::AddSubType(int kind, int value) { AddSubType(new VCardSubType(kind, value)); }

VCardEntry* VCardEntry::Copy() const {
  auto copy = std::make_unique<VCardEntry>(id, value);
  VCardSubType** link = &copy->firstSubType;
  for (const VCardSubType* sub = firstSubType; sub != nullptr; sub = sub->next) {
    *link = sub->Copy();
    link = &(*link)->next;
  }
  return copy.release();
}

char* VCardEntry::GetValue() const { return value ? strdup(value) : nullptr; }

void VCardEntry::SetPropValue(const char* newValue) {
  char* copy = newValue ? strdup(newValue) : nullptr;
  free(value);
  value = copy;
}

KvBoolean VCardEntry::IsPrintable() const {
  switch (id) {
    case kVCardN:
    case kVCardPhoto:
    case kVCardUID:
    case kVCardMgrUID:
    case kVCardDirectReportUID:
      return false;
    default:
      return true;
  }
}

KvBoolean VCardEntry::IsDisplayable() const {
  return IsPrintable() || (id == kVCardUID && firstSubType != nullptr);
}

char* VCardEntry::GetNameAndSubTypes() const {
  std::string text = PropertyName(id);
  for (const VCardSubType* sub = firstSubType; sub != nullptr; sub = sub->next) {
    text += ';';
    text += SubTypeText(sub);
  }
  return HeapCopy(text);
}

char* VCardEntry::GetDisplayRep() const {
  std::string text = PropertyName(id);
  for (const VCardSubType* sub = firstSubType; sub != nullptr; sub = sub->next) {
    text += '(';
    text += SubTypeText(sub);
    text += ')';
  }
  return HeapCopy(text);
}

void VCardEntry::Print(FILE* fp) const {
  std::unique_ptr<char, decltype(&free)> head(GetNameAndSubTypes(), &free);
  fprintf(fp, "%s:%s\n", head.get(), value ? value : "");
}

char** VCardEntry::FormatNArray() const {
  if (value == nullptr) return nullptr;
  std::vector<std::string> parts = SplitComponents(value);
  char** slots = static_cast<char**>(calloc(5, sizeof(char*)));
  for (size_t i = 0; i < 5 && i < parts.size(); ++i) slots[i] = HeapCopy(parts[i]);
  return slots;
}

char* VCardEntry::FormatN() const {
  if (value == nullptr) return nullptr;
  std::vector<std::string> parts = SplitComponents(value);
  // Slots: 0 family, 1 given, 2 additional, 3 prefix, 4 suffix.
  std::string out;
  for (size_t slot : {3, 1, 2, 0}) {
    if (slot < parts.size()) out += parts[slot] + " ";
  }
  if (parts.size() > 4) out += parts[4];
  return HeapCopy(out);
}

char* VCardEntry::FormatAdr() const {
  if (value == nullptr) return nullptr;
  return HeapCopy(Join(SplitComponents(value), kNumAdrComponents));
}

char* VCardEntry::FormatOrg() const {
  if (value == nullptr) return nullptr;
  std::vector<std::string> parts = SplitComponents(value);
  return HeapCopy(Join(parts, parts.size()));
}
