// VoidList: implementation to follow.
#include "VoidList.h"
