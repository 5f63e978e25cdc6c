// VCardEntry: implementation in progress.
#include "versitlib.h"
