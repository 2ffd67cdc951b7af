// scenery: every picture that is not a fighter: the two stages (road, harbour) and their
// background sets, the loading and explosion animations, the front end's logos, tile,
// group picture and action shots, and the heads-up display's bar pictures. Each writer also writes the
// definition files its pictures belong to.
#pragma once
#include <string>

#include "media_out.h"

void write_stage(media_out& out);
// The review picture of both stages' layers and every fighter's small portrait, saved as
// <dir>/scenery_sheet.png.
void write_scenery_sheet(const std::string& dir);
void write_effects(media_out& out);
void write_front_end(media_out& out);
void write_display(media_out& out);
void write_notes(media_out& out); // data/PICTURES.txt: how every picture was made
