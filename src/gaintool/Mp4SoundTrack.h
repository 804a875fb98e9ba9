#pragma once

#include "AudioFormat.h"

class ByteSource;

// What the sound of an MP4 file is, read from its box tree down to the sound
// track's sample description (and its decoder configuration), never from the
// audio. The file's first box is known to be ftyp.
AudioFormat classifyMp4(ByteSource& file);
