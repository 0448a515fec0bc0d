// "demotune": the show's music, composed in code as an XM module to the
// cue sheet (cue_sheet.h): each order as many bars as its row of the
// timeline needs.
#pragma once

#include "cue_sheet.h"
#include "xm_writer.h"

XmModule buildTune();
