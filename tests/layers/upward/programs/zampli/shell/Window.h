// The shell reaches up into the application.
#include "app/Programma.h"
