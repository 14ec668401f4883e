#pragma once
#include "shell/Window.h"
