// One family reaching into another.
#include "exercises/listening/Listening.h"
