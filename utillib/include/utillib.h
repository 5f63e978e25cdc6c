// Foundation utilities: text class and C-string helpers, pointer and value
// lists with their file formats, the error type, file locks, time stamps,
// file and shared-library helpers, password scrambling.
#pragma once

#include "KvBoolean.h"
#include "String.h"
#include "VoidList.h"
#include "ValList.h"
#include "ValNameList.h"
#include "KvError.h"
#include "KvLock.h"
#include "KvTime.h"
#include "KvFileUtil.h"
#include "KvShLib.h"
#include "KvCrypt.h"
