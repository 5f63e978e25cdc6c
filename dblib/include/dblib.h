// Stores: the configuration database with its companion list files, the log
// file writer, and the user and group directory interfaces with their loader.
#pragma once

#include "KvConfigDB.h"
#include "KvLog.h"
#include "UserDB.h"
#include "GroupDB.h"
#include "KvDBLoader.h"
#include "KvChangeLock.h"
