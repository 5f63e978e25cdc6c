// One property line of a vCard: the property identifier, an optional value
// and the ordered parameters, with the line's text forms (the versit 2.1
// line, the name-and-parameters part, the display form) and the readable
// forms of the structured N, ADR and ORG values.
#pragma once

#include <cstdio>

#include "PropNameAndSize.h"
#include "VCardSubType.h"
#include "utillib.h"

class VCardEntry {
 public:
  // Id kVCardUnknown (set later by the parser), no value, no parameters.
  VCardEntry();
  // The value is copied; it may be null.
  VCardEntry(int id, const char* value);
  // Frees the value and every parameter; not the next entry.
  ~VCardEntry();
  VCardEntry(const VCardEntry&) = delete;
  VCardEntry& operator=(const VCardEntry&) = delete;

  // Appends the parameter; the entry takes ownership.
  void AddSubType(VCardSubType* subType);
  void AddSubType(int kind, int value);

  // A new entry (caller deletes) with the same id, a copy of the value and
  // copies of all parameters in order; the next link is not copied.
  VCardEntry* Copy() const;

  // A heap copy of the value (caller frees with free()), or null.
  char* GetValue() const;
  // Replaces the value by a copy of value; null clears it.
  void SetPropValue(const char* value);

  // Every id but N, PHOTO, UID, X-KAVRI-MGR-UID, X-KAVRI-DIRECT-REPORT-UID.
  KvBoolean IsPrintable() const;
  // Printable, or a UID entry with at least one parameter.
  KvBoolean IsDisplayable() const;

  // "TEL;WORK;FAX": the property name and its parameters, without the value.
  // Caller frees with free(). Throws KvError* ("VersitDB - Bad Type!") for a
  // parameter that cannot be written (CHARSET, LANGUAGE, or a value outside
  // its table) and for an id that names no property.
  char* GetNameAndSubTypes() const;
  // "TEL(WORK)(FAX)": the field as shown in lists of fields. Caller frees
  // with free(). Throws as GetNameAndSubTypes.
  char* GetDisplayRep() const;
  // Writes "<name and parameters>:<value>\n"; nothing is escaped or folded.
  // Throws as GetNameAndSubTypes, before anything is written.
  void Print(FILE* fp) const;

  // Readable forms of a ";"-separated structured value. Each returns null
  // when the entry has no value; otherwise new heap strings the caller frees
  // with free().
  // Exactly 5 slots (family, given, additional, prefix, suffix); a slot the
  // value does not reach is null. The caller frees each slot and the array.
  char** FormatNArray() const;
  // "prefix given additional family suffix" as described by the N rules.
  char* FormatN() const;
  // The 7 address components joined with single blanks.
  char* FormatAdr() const;
  // All components joined with single blanks.
  char* FormatOrg() const;

  // Parses the property part of a line (the text before its first colon,
  // RFC 2425/vCard 2.1 style "NAME;PARAM;KEY=VALUE"). Returns a new entry
  // (caller deletes) with id and parameters set and no value. Throws KvError*
  // of kind kKvErrorParse with user-visible messages on bad input; the text
  // is not changed.
  static VCardEntry* ParsePropertyName(const char* text);

  int id;
  char* value;                 // owned, may be null
  VCardSubType* firstSubType;  // owned list, in order
  // The following entry of the same card; owned by the card.
  VCardEntry* next;
};
