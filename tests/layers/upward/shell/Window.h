#pragma once
// A shell file that reaches up into the application: the check must refuse it.
#include "app/Programma.h"
