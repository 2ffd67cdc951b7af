#include "sizes.h"

#include "foundation/log.h"

// One line per engine class, in a fixed order; each class adds its line when it exists.
void print_class_sizes() {
}
