// The results take media's pictures, not only its Qt Core part.
#include "media/Picture.h"
