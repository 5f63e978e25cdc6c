// KvConfigLists (in progress).
