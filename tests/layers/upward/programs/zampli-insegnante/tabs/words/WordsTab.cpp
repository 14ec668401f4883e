// One tab reaching into another.
#include "tabs/results/ResultsTab.h"
