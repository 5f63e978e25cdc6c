// ValNameList: implementation to follow.
#include "ValNameList.h"
