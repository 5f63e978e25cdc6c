// VersitFileWithIndex: implementation in progress.
#include "versitlib.h"
