// KvLog (in progress).
