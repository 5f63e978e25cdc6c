// The name tables of the vCard text form and the identifiers that index them:
// property names, parameter keywords, and the TYPE, VALUE and ENCODING value
// names. Each table is an array of rows (name and its length) ended by a row
// with a null name and length 0; the row index is the identifier.
#pragma once

struct PropNameAndSize {
  const char* name;
  int size;
};

// Property identifiers (VCardEntry::id). 0 to 27 index kVCardPropNames.
constexpr int kVCardUnknown = -1;  // never stays in a card
constexpr int kVCardIgnored = -2;  // an "X-" property that is read and dropped
constexpr int kVCardBegin = 0;
constexpr int kVCardEnd = 1;
constexpr int kVCardAdr = 2;
constexpr int kVCardOrg = 3;
constexpr int kVCardN = 4;
constexpr int kVCardAgent = 5;
constexpr int kVCardLogo = 6;
constexpr int kVCardPhoto = 7;
constexpr int kVCardLabel = 8;
constexpr int kVCardFN = 9;
constexpr int kVCardTitle = 10;
constexpr int kVCardSound = 11;
constexpr int kVCardVersion = 12;
constexpr int kVCardTel = 13;
constexpr int kVCardEmail = 14;
constexpr int kVCardTZ = 15;
constexpr int kVCardGeo = 16;
constexpr int kVCardNote = 17;
constexpr int kVCardURL = 18;
constexpr int kVCardBDay = 19;
constexpr int kVCardRole = 20;
constexpr int kVCardRev = 21;
constexpr int kVCardUID = 22;
constexpr int kVCardKey = 23;
constexpr int kVCardMailer = 24;
constexpr int kVCardMgrUID = 25;
constexpr int kVCardDirectReportUID = 26;
constexpr int kVCardKavriUID = 27;
// Identifier kVCardFirstLabel + n is the property "X-KAVRI-LABEL-<n>".
constexpr int kVCardFirstLabel = 28;
constexpr const char* kVCardLabelPrefix = "X-KAVRI-LABEL-";

// Parameter kinds (VCardSubType::kind), indexes of kVCardSubPropNames.
constexpr int kSubTypeIgnored = -2;  // an "X-" TYPE value, read and dropped
constexpr int kSubTypeType = 0;
constexpr int kSubTypeValue = 1;
constexpr int kSubTypeEncoding = 2;
constexpr int kSubTypeCharset = 3;   // recognised only to be refused
constexpr int kSubTypeLanguage = 4;  // recognised only to be refused

// Some TYPE values (indexes of kVCardTypeNames).
constexpr int kTypeDom = 0;
constexpr int kTypeIntl = 1;
constexpr int kTypePostal = 2;
constexpr int kTypeParcel = 3;
constexpr int kTypeHome = 4;
constexpr int kTypeWork = 5;
constexpr int kTypePref = 6;
constexpr int kTypeVoice = 7;
constexpr int kTypeFax = 8;
constexpr int kTypeMsg = 9;
constexpr int kTypeCell = 10;
constexpr int kTypePager = 11;
constexpr int kTypeInternet = 22;
constexpr int kTypeIndirectMgr = 50;
constexpr int kTypeIndirectReport = 51;
constexpr int kTypeSecretary = 52;
// TYPE value kTypeFirstKavri + n is the parameter "X-KAVRI-TYPE-<n>".
constexpr int kTypeFirstKavri = 53;
constexpr const char* kVCardTypePrefix = "X-KAVRI-TYPE-";

// VALUE values.
constexpr int kValueInline = 0;
constexpr int kValueURL = 1;
constexpr int kValueContentId = 2;
constexpr int kValueCID = 3;

// ENCODING values.
constexpr int kEncoding7Bit = 0;
constexpr int kEncoding8Bit = 1;
constexpr int kEncodingQuotedPrintable = 2;
constexpr int kEncodingBase64 = 3;

// The tables, each ended by an empty row. Constant data, no start-up work.
extern const PropNameAndSize kVCardPropNames[];      // ids 0 to 27
extern const PropNameAndSize kVCardSubPropNames[];   // kinds 0 to 4
extern const PropNameAndSize kVCardTypeNames[];      // TYPE values 0 to 52
extern const PropNameAndSize kVCardValueNames[];     // VALUE values 0 to 3
extern const PropNameAndSize kVCardEncodingNames[];  // ENCODING values 0 to 3
