#include "foundation/settings.h"

int fps = 60;
int debug = 0;
