// The fonts the programs open from the game folder: each is a real TrueType face that
// SDL_ttf opens at the sizes the game uses and that has every printable ASCII glyph the
// menus, names, counters and overlays can show.
#include <gtest/gtest.h>

#include <SDL_ttf.h>
#include <unistd.h>

#include <string>

#include "test_support.h"

namespace {
struct face_use {
    const char* path;
    int size;
};
// Smallest and largest sizes the game asks of each face (the menu sizes follow the screen).
const face_use FACES[] = {
    {"rsrc/Veranda.ttf", 12},     {"rsrc/Veranda.ttf", 18},     {"rsrc/oldengl.ttf", 30},
    {"rsrc/oldengl.ttf", 1024},   {"tahoma.ttf", 12},           {"rsrc/Medici_Text.ttf", 45},
    {"rsrc/Medici_Text.ttf", 102},
};
} // namespace

TEST(GameFonts, OpenAtTheGamesSizesAndCoverPrintableText) {
    ASSERT_EQ(chdir(FIGHT_DATA_DIR), 0);
    ASSERT_EQ(TTF_Init(), 0) << TTF_GetError();
    for (const face_use& f : FACES) {
        TTF_Font* font = TTF_OpenFont(f.path, f.size);
        ASSERT_NE(font, nullptr) << f.path << ": " << TTF_GetError();
        for (Uint16 ch = 32; ch < 127; ch++)
            EXPECT_TRUE(TTF_GlyphIsProvided(font, ch)) << f.path << " lacks '" << (char)ch << "'";
        SDL_Color white = {255, 255, 255, 0};
        SDL_Surface* s = TTF_RenderText_Solid(font, "*MarrowlarK* 0123456789", white);
        ASSERT_NE(s, nullptr) << f.path;
        EXPECT_GT(s->w, f.size) << f.path;
        EXPECT_GE(s->h, f.size / 2) << f.path;
        SDL_FreeSurface(s);
        TTF_CloseFont(font);
    }
    TTF_Quit();
}

TEST(GameFonts, CarryTheirOriginAndLicence) {
    std::string note = read_text(std::string(FIGHT_DATA_DIR) + "/FONTS.txt");
    for (const char* word : {"rsrc/Veranda.ttf", "tahoma.ttf", "rsrc/oldengl.ttf", "rsrc/Medici_Text.ttf",
                             "SIL Open Font License", "Bitstream Vera"})
        EXPECT_NE(note.find(word), std::string::npos) << word;
}
