// The generic vertical list menu: rows of text centred on the tiled background, the
// selected row in its "*%s*" form. Up and down move (wrapping, repeating while held), Space
// or Return confirm, "q", Escape or closing the window cancel; a key held when the list
// opens waits for its release. Each showing renders its rows afresh and frees
// them when it returns.
#pragma once

struct img_mgr;
struct font;

// Shows rows (32-byte texts) until one is chosen; returns its index, or count + 1 when
// cancelled. list is an OpenGL display-list name called every frame (0: none).
int list_menu(const char (*rows)[32], int count, unsigned list, img_mgr* background,
              font* f, int rate);
