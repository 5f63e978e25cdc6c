// The group directory interface: the destructor, and a group list for back
// ends that cannot list their groups.
#include "GroupDB.h"

GroupDB::~GroupDB() = default;

ValNameList* GroupDB::GetGroups() { return new ValNameList(); }
