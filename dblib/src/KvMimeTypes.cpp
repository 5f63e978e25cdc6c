// KvMimeTypes (in progress).
