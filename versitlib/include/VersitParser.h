// The line parser of the vCard text form (versit vCard 2.1, one property per
// physical line, no folding, no comma lists, values not decoded). Every
// refusal throws a KvError* of kind kKvErrorParse whose user lines carry the
// message; VCardEntry::ParsePropertyName is the entry point for the property
// part of a line.
#pragma once

#include "PropNameAndSize.h"
#include "VCardSubType.h"

// Splits "name:value". Stores in *name a heap copy of the text before the
// first colon (possibly empty) and in *value a heap copy of the text after
// it, leading blanks and tabs skipped, cut at the first LF and trailing CRs
// taken off (a CR inside the value is kept); a blank
// value gives null. Returns *name. The caller frees both with free(). Throws
// (both set to null) when no colon comes before the end of the line.
char* BreakLine(const char* line, char** name, char** value);

// Matches the beginning of *text against the rows of table without regard to
// case; a row matches when the character after it is ';', '=', a blank, a
// tab or the end. Returns the first matching row's index and advances *text
// past the name, or returns -1 and leaves *text unchanged.
int MatchWordFromArray(char** text, const PropNameAndSize* table);

// Parses one parameter starting at *text (just after its ';'), either
// "KEYWORD=VALUE" or a bare TYPE value. Returns a new parameter (caller
// deletes; kind kSubTypeIgnored for a dropped "X-" TYPE value) and advances
// *text past it. Throws with *text unchanged.
VCardSubType* ParseSubProperty(char** text);
