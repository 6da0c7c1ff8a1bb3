#pragma once

// What the program keeps between runs besides its settings: small text files
// in the user's state folder, read and written whole. Nothing here asks the
// user anything: a file that cannot be read is as good as missing, and one
// that cannot be written is left as it was.

#include "Afx.h"

#include <cstddef>
#include <string>
#include <string_view>

// The folder where the application `appName` keeps its state: `appName` in
// $XDG_STATE_HOME when that is an absolute path, else in ~/.local/state.
CString AfxGetStateFolder(std::string_view appName);

// The whole text of the application's state file `fileName`; false, with
// `text` empty, when the file is missing, cannot be read, or holds more than
// `nMaxBytes`.
bool AfxReadStateFile(std::string_view appName, std::string_view fileName, std::size_t nMaxBytes,
                      std::string& text);

// Makes `text` the contents of the application's state file `fileName`,
// making the state folder first if it is missing. The text goes into a new
// file renamed over the old one, so two runs ending one after the other
// leave the last one's text whole. False when it cannot be written.
bool AfxWriteStateFile(std::string_view appName, std::string_view fileName, std::string_view text);
