// VersitFile: implementation in progress.
#include "versitlib.h"
