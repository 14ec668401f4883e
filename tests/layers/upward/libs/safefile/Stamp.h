// The safe files, under every library, reach up to the media.
#include "media/Picture.h"
