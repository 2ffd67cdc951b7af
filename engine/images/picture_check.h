// picture_check: a look at a picture file's structure before it is decoded. Decoders trust
// what a file says about itself: a PNG chunk length that runs past the end of the file makes
// the PNG reader inflate hundreds of megabytes of stale buffer for half a minute, a header
// claiming 60000 x 60000 pixels asks for gigabytes, and some readers crash on such headers.
// A file whose structure shows it cannot be whole is refused here, so any file, however
// damaged, is either refused or loaded at once.
//
// Known formats (by their first bytes, the way the loader picks its decoder): PNG is walked
// chunk by chunk; BMP, GIF, JPEG and XPM, and TGA (named by its extension), have their
// dimensions and the room their pixel data needs checked. Other formats pass unchecked.
#pragma once

// Largest side and pixel count a picture may have: beyond them no screen of the game needs
// it, and decoding alone would stall loading.
enum : long { PICTURE_MAX_SIDE = 16384, PICTURE_MAX_PIXELS = 4096L * 4096L };

// True when the regular file at path may be handed to the decoder. False when it cannot be a
// whole picture; the reason is then the SDL error (SDL_GetError), for the caller's message.
bool picture_may_be_whole(const char* path);
