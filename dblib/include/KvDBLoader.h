// Creation and destruction of the user and group directories through the
// back-end library that the configuration names (KvConfigDB::GetDLLPath for
// the employee directory's format under the installation's top directory).
// A back-end library exports four C functions, looked up by name:
//   UserDB*  KvCreateImpUserDB();            void KvDestroyImpUserDB(UserDB*);
//   GroupDB* KvCreateImpGroupDB();           void KvDestroyImpGroupDB(GroupDB*);
// A directory must be destroyed through the library that created it.
#pragma once

#include "GroupDB.h"
#include "KvConfigDB.h"
#include "UserDB.h"

// The entry points' types and names.
typedef UserDB* (*KvCreateImpUserDBFn)();
typedef void (*KvDestroyImpUserDBFn)(UserDB*);
typedef GroupDB* (*KvCreateImpGroupDBFn)();
typedef void (*KvDestroyImpGroupDBFn)(GroupDB*);
extern const char kKvCreateImpUserDB[];    // "KvCreateImpUserDB"
extern const char kKvDestroyImpUserDB[];   // "KvDestroyImpUserDB"
extern const char kKvCreateImpGroupDB[];   // "KvCreateImpGroupDB"
extern const char kKvDestroyImpGroupDB[];  // "KvDestroyImpGroupDB"

// A new directory object (destroy it with the matching function below). The
// library stays loaded for the life of the process. For the SQL format the
// configured database environment ("DBENV") is put into the process
// environment first. Throws KvError*.
UserDB* KvCreateUserDB(KvConfigDB* config);
void KvDestroyUserDB(UserDB* db, KvConfigDB* config);
GroupDB* KvCreateGroupDB(KvConfigDB* config);
void KvDestroyGroupDB(GroupDB* db, KvConfigDB* config);
