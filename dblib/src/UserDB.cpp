// UserDB (in progress).
