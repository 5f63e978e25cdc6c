// KvDBLoader (in progress).
