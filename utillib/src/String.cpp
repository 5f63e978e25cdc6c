// String: implementation to follow.
#include "String.h"
