// The start-up report of the engine classes' sizes.
#pragma once
void print_class_sizes();
