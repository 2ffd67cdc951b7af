// sound_check: a look at a sound or music file's header before the mixer decodes it. The
// mixer converts every sound to the output rate through a fixed-size chain of rate-doubling
// steps; a WAV or Ogg Vorbis file claiming a rate of a few hertz needs more steps than the
// chain holds and corrupts memory (the program crashes on loading, or when the music starts).
// Such files are refused here. Other formats, and files too short to tell, pass unchecked:
// the decoders refuse those quickly on their own.
#pragma once

// Sample rates a sound may have; far below or above them no sound is meant.
enum : long { SOUND_MIN_RATE = 4000, SOUND_MAX_RATE = 192000 };

// True when the regular file at path may be handed to the mixer. False, with the reason as
// the SDL error (which is also the mixer's error), when its header shows it cannot be played.
bool sound_may_be_played(const char* path);
