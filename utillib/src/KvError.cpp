// KvError: implementation to follow.
#include "KvError.h"
