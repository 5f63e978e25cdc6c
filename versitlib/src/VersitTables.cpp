// VersitTables: implementation in progress.
#include "versitlib.h"
