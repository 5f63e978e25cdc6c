// The group directory interface has no operation with a body but its
// destructor.
#include "GroupDB.h"

GroupDB::~GroupDB() = default;
