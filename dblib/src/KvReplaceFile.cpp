// KvReplaceFile (in progress).
