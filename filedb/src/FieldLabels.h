// The names under which the fields of a person's card are shown in lists of
// fields ("Work Fax" for TEL;WORK;FAX). A field is recognised by its property
// and the set of its TYPE parameters, in any order; PREF is ignored, as are
// VOICE on telephones and INTERNET on e-mail addresses. A repeated field
// marked X-KAVRI-TYPE-<n> gets the number n + 2 after its name ("Work Phone
// 2"). Additional information fields (X-KAVRI-LABEL-<t>) are named by the
// heading of the field "Desc_<t>" of the fields list.
#pragma once

#include <string>

#include "utillib.h"
#include "versitlib.h"

namespace filedb {

// The field's name, or "" when the field is not known (callers then show its
// GetDisplayRep). fields may be null.
std::string FieldLabel(const VCardEntry* entry, const ValNameList* fields);

}  // namespace filedb
