// Filled in by the toolkit work.
