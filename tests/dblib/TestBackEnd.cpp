// A directory back-end library for the loader's tests, built as a loadable
// module with the four entry points a back end exports.
#include "TestDirectories.h"

extern "C" {

UserDB* KvCreateImpUserDB() { return new TestUserDB; }
void KvDestroyImpUserDB(UserDB* db) { delete db; }
GroupDB* KvCreateImpGroupDB() { return new TestGroupDB; }
void KvDestroyImpGroupDB(GroupDB* db) { delete db; }

}
