// The window joining the tabs: including them is its place.
#include "tabs/words/WordsTab.h"
