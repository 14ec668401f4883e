// A family.
