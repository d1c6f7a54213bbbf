// Geodex's types live in their own files.
