// ValList: implementation to follow.
#include "ValList.h"
