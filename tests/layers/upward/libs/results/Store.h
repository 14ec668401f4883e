// The results take media's pictures.
#include "media/Picture.h"
