// A few generated, tagged songs for trying the media scan at once.
#pragma once

#include <filesystem>

namespace yolt::tools {

/// Writes a small music collection into `music` (several albums, artists and genres, one
/// untagged song, a subfolder per album) and returns the number of files written.
int WriteSampleMusic(const std::filesystem::path& music);

}  // namespace yolt::tools
