// GroupDB (in progress).
