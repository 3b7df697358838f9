// What a file below the music folder is, judged by its extension.
#pragma once

#include <cstdint>

enum class MediaKind : int32_t {
    None = 0,  // no extension, or one this program does not know
    Mp3 = 1,
    WindowsMedia = 2,  // ".WMA" or ".ASF"
    Wav = 3,
    Aac = 4,
    Ogg = 5,
    M3u = 100,  // a playlist, recognised and left alone
};
