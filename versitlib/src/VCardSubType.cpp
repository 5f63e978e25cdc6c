// VCardSubType: implementation in progress.
#include "versitlib.h"
