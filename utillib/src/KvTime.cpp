// KvTime: implementation to follow.
#include "KvTime.h"
