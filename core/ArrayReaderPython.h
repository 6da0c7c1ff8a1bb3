#pragma once

// The array reader's part for MicroPython text: a name assigned a
// bytearray, bytes or a bytes literal, and the framebuf.FrameBuffer line that
// states the sprite's size and bit order. Used by ArrayReader.cpp only.

#include "ArrayReader.h"
#include "OutputForm.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct PythonBytes {
    std::string name;
    std::size_t offset = 0; // where the name stands in the text, in bytes
    ArrayReadError at;      // where the values start, for a message about them
    std::vector<std::uint32_t> values;
    std::optional<ArrayReadError> error; // set instead of the values
    int arrays = 1;                      // the bytes values assigned in the text
    // The FrameBuffer made over the array, if one is: its width, height and
    // the layout its format names (none for a format of no layout).
    int frameWidth = 0;
    int frameHeight = 0;
    const LayoutForm* frameLayout = nullptr;
};

// Reads the first name assigned bytes in `text`: `name = bytearray(b'...')`,
// `bytes(...)` of a bytes literal or of a list of integers, or a bare bytes
// literal. Adjacent literals join, and every escape of Python's bytes
// literals is read. None when the text assigns no such value, so that it is
// read as C.
std::optional<PythonBytes> ReadPythonBytes(std::string_view text);
