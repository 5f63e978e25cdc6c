// VCard: implementation in progress.
#include "versitlib.h"
