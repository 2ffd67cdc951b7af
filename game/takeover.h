// takeover: a recording being watched becomes a training match (training.h) at the frame it
// stands on. The player takes the left or the right fighter with player 1's keys; the other
// goes on as recorded - the decisions it made from there in the recording, played ahead
// quietly at the takeover up to the end of that round or of the recording - and then follows
// the dummy's behaviour. F5 goes back to the takeover frame: the match exactly as it was
// then, its clock and random generator too, while the recording goes on; the help, overlays,
// dummy behaviour and F3 recording stay as the player set them.
//
// The taken-over match is recorded like any other, and its recording is whole by itself: the
// recording watched up to the takeover frame (set-up, keys and check lines), then
// "takeover=N", "taken=0|1" (left, right) and the other fighter's script, and the keys played
// from then on (replay_file.h). Played back, the match turns into the same training match at
// the end of frame N, here, through the match's rules-end hook, which replay_run installs for
// every playback.
//
// Ownership: the state saved at the takeover is owned here, for the match it was saved in.
#pragma once

// From the viewer (replay_viewer.h), on a playback whose match is running and is not training
// already: the takeover of fighter `side` (0 left, 1 right) after the frame just shown; the
// replay session records from the next frame on. False when it cannot be taken over.
bool takeover_start(int side);
// The match's rules-end hook (match.h) while a recording plays.
void takeover_rules_end();
