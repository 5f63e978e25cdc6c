// The two-valued type used across every interface of the system.
// False is 0 and true is 1; callers may pass the C++ literals true/false
// and compare results with true.
#pragma once

typedef int KvBoolean;
