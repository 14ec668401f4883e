// The rules reach up into the shared state.
#include "state/Shared.h"
