// Placeholder until the data module lands.
