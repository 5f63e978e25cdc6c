// KvShLib: implementation to follow.
#include "KvShLib.h"
