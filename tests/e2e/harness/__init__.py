"""End-to-end harness: drives the real program under a private X server and reads
what a user would see through the accessibility bus."""
