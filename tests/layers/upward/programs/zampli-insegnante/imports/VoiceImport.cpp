// Its own header by a bare name, not from the program's folder.
#include "VoiceImport.h"
