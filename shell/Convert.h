#pragma once

// The two commands behind the command line, on arguments already checked.

#include "MakeCode.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

struct ConvertRequest {
    CodeChoices choices;
    // Renames the one input.
    std::optional<std::string> name;
    // Scales images larger than the largest sprite down to fit it.
    bool bFit = false;
    // Wraps the code in an include guard made from the output's name.
    bool bHeader = false;
    // How to read an array that can stand for several sprites: a layout key
    // ("rows", "rowbytes", "xbm", "pages") and a width of 8, 16 or 32; empty
    // and 0 take the likeliest reading.
    std::string read;
    int nReadWidth = 0;
    // Empty: standard output. Export always names one.
    std::string output;
    std::vector<std::string> inputs;
};

// Writes one declaration per input, in order, to `out` or the output file.
// Messages go to `err` the way compilers give them; on any error nothing is
// written and the status is 1.
int RunConvert(const ConvertRequest& request, std::ostream& out, std::ostream& err);

// Writes the one input as a one-bit image in the format that the output's
// extension names.
int RunExport(const ConvertRequest& request, std::ostream& err);

// The image formats that export writes, by the output's extension: "png",
// "pbm", "xbm" or "bmp"; none for any other.
std::optional<std::string> ExportFormat(const std::string& output);
