// The teacher's program reaching into the child's.
#include "shell/Window.h"
