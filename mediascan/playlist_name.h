// Names of group playlists: a tag value turned into a file name stem that the player's file
// system accepts.
#pragma once

#include <string>

#include "platform/base/types.h"

/// Longest value that gets a group playlist; longer values are filed under no group.
inline constexpr size_t kPlaylistNameLimit = 260;

/// The file name stem for a group playlist of `value` (expected shorter than 260 units): every
/// character a file name cannot hold becomes a space, at most 260 units are kept, leading and
/// trailing blanks are removed, and "Unknown" stands for an empty result. Case, dots and other
/// characters stay as they are.
std::u16string MakePlaylistName(std::u16string_view value);

/// False for the characters a file name cannot hold: \ / : * ? " < > | and the control
/// characters below 0x20; true for every other unit.
bool IsNameCharAllowed(WCHAR unit);

/// Removes leading and trailing blanks (tab, carriage return, line feed, space) in place; a text
/// of blanks only becomes empty.
void TrimBlanks(std::u16string& text);
