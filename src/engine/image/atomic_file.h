// Replacing a file so that a failed save never destroys what was there: the content goes into a
// new temporary file in the target's folder, which is renamed over the target only when every
// byte was written. Every writer of the program saves through here.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>

namespace tarkemo {

// Writes the parts (at most 8) one after the other as the file `path`, in one gathered write
// call for the usual case. False when the folder is missing or not writable, the disk is full,
// or the target cannot be replaced (for example a directory of that name); then the old file is
// untouched and no temporary file remains.
bool WriteFileAtomically(const std::string& path, std::initializer_list<std::span<const uint8_t>> parts);

}  // namespace tarkemo
