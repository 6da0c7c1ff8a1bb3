#pragma once

// The command line: `glimmet convert` turns images and C arrays into code,
// `glimmet export` turns one into a one-bit image. Both read and write files
// only: they never open a window nor connect to a display.

#include <iosfwd>
#include <optional>

// The exit statuses, as the help states them.
inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1; // an input or the output failed
inline constexpr int kExitUsage = 2;  // the command line is wrong

// Runs what the arguments ask for and gives the exit status; none when they
// ask for the window (no arguments, or one FILE or FILE:NAME to open in it). Text goes to `out`,
// messages to `err`.
std::optional<int> RunCommandLine(int argc, const char* const* argv, std::ostream& out,
                                  std::ostream& err);
// The same, with the text on standard output and the messages on standard
// error.
std::optional<int> RunCommandLine(int argc, const char* const* argv);
