#pragma once
// Catalogue data through the sound library, for the reader and the writer.

#include <sndfile.h>

#include "soundfile/sound_metadata.h"

namespace sonorel {

// The text fields and the 'bext' chunk of an open file, as stored.
SoundMetadata ReadLibraryMetadata(SNDFILE* file);

// Hands `metadata` to a file opened for writing, before its first sample,
// keeping what its header type can store; returns what was kept.
StoredMetadata WriteLibraryMetadata(SNDFILE* file, int formatCode, const SoundMetadata& metadata);

}  // namespace sonorel
