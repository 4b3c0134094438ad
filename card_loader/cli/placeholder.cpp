// Placeholder until the commands land.
