#include "world/level.h"

level* current_level = nullptr;

level::level()
    : floor(-1), width(0), max_height(0), total_height(0), image_count(0), length(0),
      onscreen_size(0), scroll(0), x_offset(0), max_width(0), y_offset(0), zoom(1.0),
      scale(1.0), loading(0), reset(0), loop(-1), shake(0), flash(0), flash_step(0) {}

level::~level() { clear(); }

void level::load(const char*) {}

void level::clear() {}

void level::draw() {}
