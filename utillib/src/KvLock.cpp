// KvLock: implementation to follow.
#include "KvLock.h"
