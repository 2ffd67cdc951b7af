// The generic vertical list menu: rows of text centred on the tiled background, the
// selected row in its "*%s*" form. Up and down move (wrapping, repeating while held), Space
// or Return confirm, "q", Escape or closing the window cancel; a key held when the list
// opens waits for its release. Each showing renders its rows afresh and frees
// them when it returns.
#pragma once

// Room for a row's text: the longest is a refused remap naming the key's holder, such as
// "special2 right shift (right shift is P2 special2)".
enum { LIST_ROW_TEXT = 64 };

struct img_mgr;
struct font;

// Shows rows (LIST_ROW_TEXT-byte texts) until one is chosen; returns its index, or count + 1 when
// cancelled. list is an OpenGL display-list name called every frame (0: none).
int list_menu(const char (*rows)[LIST_ROW_TEXT], int count, unsigned list, img_mgr* background,
              font* f, int rate);
