// VersitParser: implementation in progress.
#include "versitlib.h"
