// The generic vertical list menu: rows of text centred on the tiled background, the
// selected row in its "*%s*" form. Up and down move (wrapping, repeating while held), Space
// or Return confirm, "q", Escape or closing the window cancel; a key held when the list
// opens waits for its release. Each showing renders its rows afresh and frees
// them when it returns.
#pragma once
#include <vector>

// Room for a row's text: the longest is a refused remap naming the key's holder, such as
// "special2 right shift (right shift is P2 special2)".
enum { LIST_ROW_TEXT = 64 };

struct img_mgr;
struct font;

// The rows of one showing, rendered plain and in their "*%s*" form (owned here).
struct list_rows {
    std::vector<img_mgr*> plain, lit;
};
void render_list_rows(list_rows& out, const char (*rows)[LIST_ROW_TEXT], int count, font* f);
void free_list_rows(list_rows& rows);
// One frame over a cleared screen: the background drifted by the tile counter, the display
// list, and the rows centred from y = 200, the selected one starred.
void draw_list_menu(const list_rows& rows, int selection, unsigned list, img_mgr* background, int tile);

// Shows rows (LIST_ROW_TEXT-byte texts) until one is chosen; returns its index, or count + 1 when
// cancelled. list is an OpenGL display-list name called every frame (0: none). The list opens
// on row first (a screen shown again after a change keeps its place).
int list_menu(const char (*rows)[LIST_ROW_TEXT], int count, unsigned list, img_mgr* background,
              font* f, int rate, int first = 0);
