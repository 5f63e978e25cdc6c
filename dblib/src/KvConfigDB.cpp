// KvConfigDB (in progress).
