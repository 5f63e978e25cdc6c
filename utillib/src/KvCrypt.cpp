// KvCrypt: implementation to follow.
#include "KvCrypt.h"
