#include "editor.h"
