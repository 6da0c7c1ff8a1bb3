#pragma once

// The text files the editor opens as documents: read whole with the limits
// a document has, written back safely, and stamped so that a change made on
// disk by someone else is noticed before it is overwritten.

#include "Afx.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Why a file could not be opened or saved. The first group comes from
// reading, the middle one from what the file holds (the caller finds those),
// the last from writing.
enum class FileError {
    None,
    NotFound,
    Unreadable,
    TooLarge, // over 16 MiB
    NotText,
    NoArray,
    ArrayTooLarge,
    Changed, // changed on disk since it was read
    PermissionDenied,
    DiskFull,
    FolderGone,
    WriteFailed, // any other failure to write; the detail says which
};

// What a file held when it was read or written.
struct CFileStamp {
    std::uint64_t size = 0;
    std::int64_t modified = 0; // milliseconds since the epoch
    std::uint64_t hash = 0;    // of the contents
    friend bool operator==(const CFileStamp&, const CFileStamp&) = default;
};

class CTextFile {
public:
    // Reads the whole file at `pathName` into `text`. A file larger than a
    // document may be is refused before it is read, and one holding bytes
    // that no C source holds is refused after. On failure `text` is empty.
    static FileError Read(std::string_view pathName, std::string& text, CFileStamp& stamp,
                          CString* pDetail = nullptr);

    // Whether the file on disk still holds what `stamp` recorded: the same
    // size and contents. A file touched but not changed is unchanged; a file
    // gone or unreadable is changed.
    static bool IsUnchanged(std::string_view pathName, const CFileStamp& stamp);

    // Writes `text` as the file's new contents: into a new file beside it,
    // renamed over it once complete, so that a failure at any point leaves
    // the file as it was. The file keeps its permissions; a symbolic link
    // stays a link and its target gets the text. `stamp` is what the file
    // holds afterwards.
    static FileError Write(std::string_view pathName, std::string_view text, CFileStamp& stamp,
                           CString* pDetail = nullptr);
};

// The message that tells the user what went wrong with the file at
// `pathName`; `detail` is the system's own words where the error has them.
CString FileErrorMessage(FileError error, std::string_view pathName, std::string_view detail = {});
