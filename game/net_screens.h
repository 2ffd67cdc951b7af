// net_screens: what a player sees while a network match is being made and after it ends. A
// page is a few centred lines of text on the menus' tiled background: the host's wait (its
// port and this machine's addresses), a guest connecting, the host's match shown to the guest,
// and why a match ended. The join screen is a page with an address the player types.
//
// Ownership: nothing is kept between calls; the fonts and pictures are the preload's.
#pragma once
#include <string>

struct game_resources;

enum { NET_PAGE_LINES = 12, NET_ADDRESS_TEXT = 63 };

struct net_page {
    std::string lines[NET_PAGE_LINES]; // the first in the large font, the rest in the small one
    int count = 0;
    void add(const std::string& line) {
        if (count < NET_PAGE_LINES) lines[count++] = line;
    }
};

enum net_page_key { NET_PAGE_NOTHING, NET_PAGE_CONFIRM, NET_PAGE_CANCEL };

// A showing of pages, frame by frame, paced at the front-end rate; its keys wait for the
// release of what is held when it opens.
struct net_page_screen;
net_page_screen* net_page_open(game_resources& r);
// One frame of page p: drawn and presented; Return or Space confirm, Escape or a closed
// window cancel.
net_page_key net_page_frame(net_page_screen* s, const net_page& p);
void net_page_close(net_page_screen* s);

// One frame of p over a cleared screen: the background drifted by the tile counter, the
// lines centred from a quarter of the height down.
void draw_net_page(game_resources& r, const net_page& p, int tile);

// Shows p until a key, a closed window or ms milliseconds.
void net_page_show(game_resources& r, const net_page& p, unsigned ms);

// The typed address after one key: letters, digits, "." "-" and ":" (";" counts as ":", as the
// keyboard gives it unshifted) are added up to NET_ADDRESS_TEXT characters, Backspace takes
// the last away; any other key changes nothing.
void net_address_key(std::string& text, int key);

// The join screen: the player types the host's address (HOST or HOST:PORT), starting from
// `text`; Return gives true with the address in text, Escape or a closed window false.
bool net_join_screen(game_resources& r, std::string& text);

