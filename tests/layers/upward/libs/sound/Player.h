// The player media reaches for.
