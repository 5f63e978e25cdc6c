// Table of field names for the card fields the directory knows.
#include "FieldLabels.h"

#include <algorithm>
#include <vector>

namespace filedb {
namespace {

struct FieldRow {
  int id;
  std::vector<int> types;  // sorted
  const char* label;
};

// Kept in one place; rows with fewer types come first only for readability,
// matching compares whole type sets.
const std::vector<FieldRow>& FieldTable() {
  static const std::vector<FieldRow> table = {
      {kVCardFN, {}, "Name"},
      {kVCardN, {}, "Name Parts"},
      {kVCardTitle, {}, "Title"},
      {kVCardRole, {}, "Role"},
      {kVCardOrg, {}, "Organization"},
      {kVCardAdr, {}, "Address"},
      {kVCardAdr, {kTypeHome}, "Home Address"},
      {kVCardAdr, {kTypeWork}, "Work Address"},
      {kVCardAdr, {kTypePostal}, "Postal Address"},
      {kVCardAdr, {kTypeDom}, "Domestic Address"},
      {kVCardAdr, {kTypeIntl}, "International Address"},
      {kVCardLabel, {}, "Mailing Label"},
      {kVCardLabel, {kTypeHome}, "Home Mailing Label"},
      {kVCardLabel, {kTypeWork}, "Work Mailing Label"},
      {kVCardTel, {}, "Phone"},
      {kVCardTel, {kTypeWork}, "Work Phone"},
      {kVCardTel, {kTypeHome}, "Home Phone"},
      {kVCardTel, {kTypeFax}, "Fax"},
      {kVCardTel, {kTypeHome, kTypeFax}, "Home Fax"},
      {kVCardTel, {kTypeWork, kTypeFax}, "Work Fax"},
      {kVCardTel, {kTypeCell}, "Mobile Phone"},
      {kVCardTel, {kTypeHome, kTypeCell}, "Home Mobile Phone"},
      {kVCardTel, {kTypeWork, kTypeCell}, "Work Mobile Phone"},
      {kVCardTel, {kTypePager}, "Pager"},
      {kVCardTel, {kTypeWork, kTypePager}, "Work Pager"},
      {kVCardTel, {kTypeMsg}, "Voice Mail"},
      {kVCardTel, {kTypeWork, kTypeMsg}, "Work Voice Mail"},
      {kVCardTel, {14}, "Car Phone"},        // CAR
      {kVCardTel, {15}, "ISDN Line"},        // ISDN
      {kVCardTel, {16}, "Video Phone"},      // VIDEO
      {kVCardTel, {13}, "Modem"},            // MODEM
      {kVCardTel, {12}, "Bulletin Board"},   // BBS
      {kVCardEmail, {}, "E-mail"},
      {kVCardURL, {}, "Web Page"},
      {kVCardURL, {kTypeWork}, "Work Web Page"},
      {kVCardURL, {kTypeHome}, "Home Web Page"},
      {kVCardNote, {}, "Notes"},
      {kVCardBDay, {}, "Birthday"},
      {kVCardTZ, {}, "Time Zone"},
      {kVCardGeo, {}, "Geographic Position"},
      {kVCardPhoto, {}, "Photograph"},
      {kVCardLogo, {}, "Logo"},
      {kVCardSound, {}, "Pronunciation"},
      {kVCardAgent, {}, "Agent"},
      {kVCardKey, {}, "Public Key"},
      {kVCardMailer, {}, "Mail Program"},
      {kVCardRev, {}, "Last Revised"},
      {kVCardUID, {}, "Unique ID"},
      {kVCardUID, {kTypeIndirectMgr}, "Indirect Manager"},
      {kVCardUID, {kTypeIndirectReport}, "Indirect Report"},
      {kVCardUID, {kTypeSecretary}, "Secretary"},
      {kVCardMgrUID, {}, "Manager"},
      {kVCardDirectReportUID, {}, "Direct Report"},
      {kVCardKavriUID, {}, "User ID"},
      {kVCardKavriUID, {kTypeIndirectMgr}, "Indirect Manager"},
      {kVCardKavriUID, {kTypeIndirectReport}, "Indirect Report"},
      {kVCardKavriUID, {kTypeSecretary}, "Secretary"},
  };
  return table;
}

}  // namespace

std::string FieldLabel(const VCardEntry* entry, const ValNameList* fields) {
  if (entry == nullptr) return "";
  if (entry->id >= kVCardFirstLabel) {
    if (fields == nullptr) return "";
    std::string key = "Desc_" + std::to_string(entry->id - kVCardFirstLabel);
    ValNameListItem* item = fields->Lookup(key.c_str());
    if (item == nullptr || item->value == nullptr) return "";
    return item->value;
  }

  std::vector<int> types;
  int repeat = -1;
  for (const VCardSubType* sub = entry->firstSubType; sub; sub = sub->next) {
    if (sub->kind != kSubTypeType) continue;
    int v = sub->value;
    if (v >= kTypeFirstKavri) {
      repeat = v - kTypeFirstKavri;
      continue;
    }
    if (v == kTypePref) continue;
    if (entry->id == kVCardTel && v == kTypeVoice) continue;
    if (entry->id == kVCardEmail && v == kTypeInternet) continue;
    if (std::find(types.begin(), types.end(), v) == types.end()) types.push_back(v);
  }
  std::sort(types.begin(), types.end());

  for (const FieldRow& row : FieldTable()) {
    if (row.id != entry->id) continue;
    std::vector<int> want = row.types;
    std::sort(want.begin(), want.end());
    if (want != types) continue;
    std::string label = row.label;
    if (repeat >= 0) label += " " + std::to_string(repeat + 2);
    return label;
  }
  return "";
}

}  // namespace filedb
