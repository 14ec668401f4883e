#pragma once

// The results stand alone: they link no media.
#include "media/Picture.h"
