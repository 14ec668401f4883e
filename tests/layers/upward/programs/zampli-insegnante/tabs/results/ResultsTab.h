// A tab reaching up into the window that joins the tabs.
#include "window/MainWindow.h"
