// The shared state.
