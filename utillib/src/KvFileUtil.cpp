// KvFileUtil: implementation to follow.
#include "KvFileUtil.h"
