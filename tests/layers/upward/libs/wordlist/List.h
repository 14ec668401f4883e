// A shared library that reaches into the child's program.
#include "shell/Window.h"
