// A picture that plays: media includes sound, a library it does not link.
#include "sound/Player.h"
