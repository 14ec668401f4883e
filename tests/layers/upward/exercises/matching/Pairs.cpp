// One family borrowing from another: the check must refuse it.
#include "exercises/listening/Listening.h"
