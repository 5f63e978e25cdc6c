// Placeholder; filled in shortly.
