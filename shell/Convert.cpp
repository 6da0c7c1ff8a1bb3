#include "Convert.h"

#include "CommandLine.h"

#include "ArrayReader.h"
#include "Image.h"
#include "ImageImport.h"
#include "ImageSprite.h"
#include "SourceEmitter.h"
#include "SpriteRaster.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string_view>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A place in a C input: 1-based line, and column counted in characters.
struct Place {
    int line = 1;
    int column = 1;
};

// One message in the form compilers give, so that editors and build logs
// lead to the place: "FILE:LINE:COLUMN: KIND: MESSAGE", or "FILE: KIND:
// MESSAGE" where there is no place to name.
void Say(std::ostream& err, std::string_view file, const std::optional<Place>& place,
         std::string_view kind, std::string_view message) {
    err << file;
    if (place)
        err << ':' << place->line << ':' << place->column;
    err << ": " << kind << ": " << message << '\n';
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string ErrnoText(int error) {
    return std::strerror(error);
}

// The file's bytes, at most `limit` + 1 of them so that the caller can tell
// a file over the limit; false with the system's reason when it cannot be
// read.
bool ReadBytes(const std::string& path, std::size_t limit, std::string& bytes, std::string& why) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        why = ErrnoText(errno);
        return false;
    }
    bytes.assign(limit + 1, '\0');
    const std::size_t count = std::fread(bytes.data(), 1, bytes.size(), file);
    const bool failed = std::ferror(file) != 0;
    const int error = errno;
    std::fclose(file);
    if (failed) {
        why = ErrnoText(error);
        return false;
    }
    bytes.resize(count);
    return true;
}

// The files a build keeps C source in are read as C; any other file is
// read as an image, or as C when it is text that no image format reads.
bool HasCExtension(const fs::path& path) {
    const std::string extension = Lower(path.extension().string());
    for (const char* known :
         {".c", ".h", ".cc", ".cpp", ".cxx", ".hh", ".hpp", ".hxx", ".ino", ".inc"})
        if (extension == known)
            return true;
    return false;
}

bool IsWordByte(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$';
}

Place PlaceOf(std::string_view text, std::size_t offset) {
    Place place;
    std::size_t lineStart = 0;
    for (std::size_t at = 0; at < offset && at < text.size(); ++at)
        if (text[at] == '\n') {
            ++place.line;
            lineStart = at + 1;
        }
    for (std::size_t at = lineStart; at < offset && at < text.size(); ++at)
        place.column += (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80;
    return place;
}

// Where `name` stands as a whole word followed by '[' (blanks between
// allowed), from `from` on; npos when nowhere.
std::size_t FindArrayName(std::string_view text, std::string_view name, std::size_t from = 0) {
    if (name.empty())
        return std::string_view::npos;
    for (std::size_t at = text.find(name, from); at != std::string_view::npos;
         at = text.find(name, at + 1)) {
        const std::size_t end = at + name.size();
        if (at > 0 && IsWordByte(text[at - 1]))
            continue;
        std::size_t next = end;
        while (next < text.size() && std::isspace(static_cast<unsigned char>(text[next])))
            ++next;
        if (next < text.size() && text[next] == '[')
            return at;
    }
    return std::string_view::npos;
}

// An array read from part of a file, and where that part starts.
struct NamedRead {
    ArrayReadResult result;
    std::size_t offset = 0;
};

// The array called `name`: each place the name stands before a '[' is read
// from the start of its line, so that the type words before it count, until
// one reads as that array. Glimmet's own line, alone on its line, reads back
// exactly as it does on its own.
std::optional<NamedRead> ReadNamedArray(std::string_view text, std::string_view name) {
    for (std::size_t at = FindArrayName(text, name); at != std::string_view::npos;
         at = FindArrayName(text, name, at + 1)) {
        const std::size_t lineStart =
            text.rfind('\n', at) == std::string_view::npos ? 0 : text.rfind('\n', at) + 1;
        const std::string_view tail = text.substr(lineStart);
        if (const std::size_t end = tail.find("};"); end != std::string_view::npos) {
            ArrayReadResult own = ReadSpriteArray(tail.substr(0, end + 2));
            if (own.bExact && own.name == name)
                return NamedRead{std::move(own), lineStart};
        }
        ArrayReadResult result = ReadSpriteArray(tail);
        if (result.error || result.name == name) {
            result.notice.clear();
            return NamedRead{std::move(result), lineStart};
        }
    }
    return std::nullopt;
}

std::optional<PixelLayout> LayoutOfReadKey(std::string_view key) {
    if (key == "rows" || key == "rowbytes")
        return PixelLayout::RowsMsbFirst;
    if (key == "xbm")
        return PixelLayout::RowsLsbFirst;
    if (key == "pages")
        return PixelLayout::VerticalPages;
    return std::nullopt;
}

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

// What one input names: a file, and perhaps one array in it. A path that
// exists is a file, even with a ':' in it; otherwise "FILE:NAME" names the
// array NAME of FILE.
struct InputName {
    std::string path;
    std::optional<std::string> arrayName;
};

InputName SplitInput(const std::string& input) {
    std::error_code error;
    const std::size_t colon = input.rfind(':');
    if (fs::exists(input, error) || colon == std::string::npos || colon == 0 ||
        colon + 1 == input.size())
        return {input, std::nullopt};
    const std::string path = input.substr(0, colon);
    if (!fs::exists(path, error))
        return {input, std::nullopt};
    return {path, input.substr(colon + 1)};
}

class CInputReader {
public:
    CInputReader(const ConvertRequest& request, std::ostream& err)
        : m_request(request), m_err(err) {}

    // The sprite of one input, named; none after saying why not.
    std::optional<CodeSprite> Read(const std::string& input) {
        const InputName name = SplitInput(input);
        m_file = name.path;
        if (name.arrayName || HasCExtension(name.path))
            return ReadText(name.arrayName);
        return ReadImage();
    }

private:
    std::optional<CodeSprite> Fail(const std::optional<Place>& place, std::string_view message) {
        Say(m_err, m_file, place, "error", message);
        return std::nullopt;
    }

    std::string DefaultName() const { return MakeIdentifier(fs::path(m_file).stem().string()); }

    std::optional<CodeSprite> ReadImage() {
        // The system's reason when the file cannot be read at all; the
        // image reader only knows that it could not.
        if (std::FILE* file = std::fopen(m_file.c_str(), "rb"))
            std::fclose(file);
        else
            return Fail(std::nullopt, "cannot be opened: " + ErrnoText(errno));

        CImage image;
        ImageSprite sprite;
        if (const ImageLoadStatus status = LoadImageSprite(m_file, image, sprite);
            status == ImageLoadStatus::UnknownFormat)
            return ReadUnknown();
        else if (status != ImageLoadStatus::Loaded)
            return Fail(std::nullopt, "the image " + ImageProblem(status, image));
        if (!m_request.bFit && !(sprite.fitted == sprite.image))
            return Fail(std::nullopt, "the image is " + std::to_string(sprite.image.width) + " x " +
                                          std::to_string(sprite.image.height) +
                                          " pixels, larger than the largest sprite, " +
                                          std::to_string(kMaxSpriteColumns) + " x " +
                                          std::to_string(kMaxSpriteRows) +
                                          "; --fit scales it down");
        // The window's own steps, so that the two make the same sprite.
        return CodeSprite{sprite.spriteWidth, sprite.fitted.height,
                          m_request.name.value_or(DefaultName()), std::move(sprite.pixels)};
    }

    // A file that no image format reads is C when it is text, unless its
    // name says it is an image: then it is a damaged one.
    std::optional<CodeSprite> ReadUnknown() {
        const std::string pattern = Lower("*" + fs::path(m_file).extension().string() + ";");
        std::string patterns = Lower(CImage::GetImporterFilterString("").str());
        std::replace(patterns.begin(), patterns.end(), '|', ';');
        if (pattern.size() > 2 && patterns.find(";" + pattern) != std::string::npos)
            return Fail(std::nullopt, "not an image in a format that can be read");
        std::string bytes;
        std::string why;
        if (!ReadBytes(m_file, kMaxArrayTextBytes, bytes, why))
            return Fail(std::nullopt, "cannot be read: " + why);
        if (bytes.find('\0') != std::string::npos)
            return Fail(std::nullopt, "not an image in a format that can be read, nor C text");
        return ReadArray(bytes, std::nullopt);
    }

    std::optional<CodeSprite> ReadText(const std::optional<std::string>& arrayName) {
        std::string bytes;
        std::string why;
        if (!ReadBytes(m_file, kMaxArrayTextBytes, bytes, why))
            return Fail(std::nullopt, "cannot be opened: " + why);
        return ReadArray(bytes, arrayName);
    }

    std::optional<CodeSprite> ReadArray(std::string_view text,
                                        const std::optional<std::string>& arrayName) {
        if (text.size() > kMaxArrayTextBytes)
            return Fail(std::nullopt, "the file is larger than 1 MiB, more than can be read");
        NamedRead read;
        if (arrayName) {
            std::optional<NamedRead> named = ReadNamedArray(text, *arrayName);
            if (!named)
                return Fail(std::nullopt, "no array is named " + Quoted(*arrayName));
            read = std::move(*named);
        } else {
            read.result = ReadSpriteArray(text);
            // Glimmet's own line among other text reads back exactly, as it
            // does alone.
            if (!read.result.error && !read.result.bExact && !read.result.name.empty()) {
                std::optional<NamedRead> own = ReadNamedArray(text, read.result.name);
                if (own && own->result.bExact) {
                    own->result.notice = std::move(read.result.notice);
                    read = std::move(*own);
                }
            }
        }
        const ArrayReadResult& result = read.result;
        if (result.error) {
            const Place inPart{result.error->line, result.error->column};
            const Place before = PlaceOf(text, read.offset);
            return Fail(Place{inPart.line + before.line - 1,
                              inPart.line == 1 ? inPart.column + before.column - 1 : inPart.column},
                        result.error->message);
        }

        std::optional<Place> place;
        if (const std::size_t at = FindArrayName(text, result.name, read.offset);
            at != std::string_view::npos)
            place = PlaceOf(text, at);
        if (!result.notice.empty())
            Say(m_err, m_file, place, "warning", result.notice + " Name one as FILE:NAME.");

        std::vector<const SpriteReading*> fitting;
        const std::optional<PixelLayout> layout = LayoutOfReadKey(m_request.read);
        for (const SpriteReading& reading : result.readings)
            if ((!layout || reading.layout == *layout) &&
                (m_request.nReadWidth == 0 || reading.width == m_request.nReadWidth))
                fitting.push_back(&reading);
        if (fitting.empty()) {
            std::string readings;
            for (const SpriteReading& reading : result.readings)
                readings += (readings.empty() ? "" : "; ") + DescribeReading(reading);
            return Fail(place, "the values cannot be read as asked by --read and --width; they "
                               "read as " +
                                   readings);
        }
        const SpriteReading& reading = *fitting.front();
        if (fitting.size() > 1)
            Say(m_err, m_file, place, "note",
                "read as " + DescribeReading(reading) + ", the likeliest of " +
                    std::to_string(result.readings.size()) +
                    " readings; --read and --width choose another");

        std::string name = m_request.name.value_or(result.name);
        if (name.empty())
            name = DefaultName();
        return CodeSprite{reading.width, reading.height, std::move(name), reading.pixels};
    }

    const ConvertRequest& m_request;
    std::ostream& m_err;
    std::string m_file;
};

// A temporary file beside `output`, in the same folder so that renaming it
// over `output` is one step, hidden and tagged with the process so that
// builds running side by side never share one.
fs::path TemporaryBeside(const fs::path& output) {
    return output.parent_path() /
           ("." + output.filename().string() + ".glimmet-" + std::to_string(::getpid()) + ".tmp");
}

// Writes `output` through `write`, which fills the file at the path it is
// given; the result replaces `output` by a rename only once it is whole, so
// that on any failure `output` is as it was.
bool WriteBeside(const std::string& output,
                 const std::function<bool(const std::string& path, std::string& why)>& write,
                 std::ostream& err) {
    const fs::path temporary = TemporaryBeside(output);
    std::string why;
    std::error_code error;
    if (std::FILE* file = std::fopen(temporary.c_str(), "wbx")) {
        std::fclose(file);
        if (write(temporary.string(), why)) {
            fs::rename(temporary, output, error);
            if (!error)
                return true;
            why = error.message();
        }
        fs::remove(temporary, error);
    } else {
        why = ErrnoText(errno);
    }
    Say(err, output, std::nullopt, "error", "cannot be written: " + why);
    return false;
}

bool WriteText(const std::string& path, const std::string& text, std::string& why) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        why = ErrnoText(errno);
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    const int writeError = errno;
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        why = ErrnoText(written ? errno : writeError);
        return false;
    }
    return true;
}

// An include guard from the output's file name: "icons.h" gives ICONS_H.
std::string GuardName(const std::string& output) {
    std::string guard;
    for (const char c : fs::path(output).filename().string())
        guard += std::isalnum(static_cast<unsigned char>(c))
                     ? static_cast<char>(std::toupper(static_cast<unsigned char>(c)))
                     : '_';
    if (guard.empty() || std::isdigit(static_cast<unsigned char>(guard.front())))
        guard.insert(0, "FILE_");
    return guard;
}

// An XBM file is C text: the size as two defines, then the bytes of the
// rows, leftmost pixel in the low bit, which is the XBM layout of Make Code.
// Its names come from the file's, as image tools name them.
std::string XbmText(const CodeSprite& sprite, const std::string& output) {
    const std::string name = MakeIdentifier(fs::path(output).stem().string());
    return EmitCode({CodeStyle::Xbm, CodeLanguage::C, CodeSize::Defines}, name,
                    {sprite.width, sprite.nHeight, sprite.pixels}) +
           "\n";
}

} // namespace

int RunConvert(const ConvertRequest& request, std::ostream& out, std::ostream& err) {
    CInputReader reader(request, err);
    std::string code;
    std::vector<std::pair<std::string, std::string>> names; // sprite name, input
    bool failed = false;
    for (const std::string& input : request.inputs) {
        const std::optional<CodeSprite> sprite = reader.Read(input);
        if (!sprite) {
            failed = true;
            continue;
        }
        const auto taken = std::find_if(names.begin(), names.end(), [&](const auto& entry) {
            return entry.first == sprite->name;
        });
        if (taken != names.end()) {
            Say(err, input, std::nullopt, "error",
                "the name " + Quoted(sprite->name) + " is already taken by " + taken->second);
            failed = true;
            continue;
        }
        names.emplace_back(sprite->name, input);
        code += MakeCode(*sprite, request.choices) + "\n";
    }
    if (failed)
        return kExitFailed;

    if (request.bHeader) {
        const std::string guard = GuardName(request.output);
        code = "#ifndef " + guard + "\n#define " + guard + "\n\n" + code + "\n#endif /* " + guard +
               " */\n";
    }
    if (request.output.empty()) {
        out << code << std::flush;
        return out ? kExitDone : kExitFailed;
    }
    return WriteBeside(
               request.output,
               [&](const std::string& path, std::string& why) {
                   return WriteText(path, code, why);
               },
               err)
               ? kExitDone
               : kExitFailed;
}

std::optional<std::string> ExportFormat(const std::string& output) {
    const std::string extension = Lower(fs::path(output).extension().string());
    for (const char* format : {"png", "pbm", "xbm", "bmp"})
        if (extension == std::string(".") + format)
            return format;
    return std::nullopt;
}

int RunExport(const ConvertRequest& request, std::ostream& err) {
    CInputReader reader(request, err);
    const std::optional<CodeSprite> sprite = reader.Read(request.inputs.front());
    if (!sprite)
        return kExitFailed;
    const std::string format = ExportFormat(request.output).value_or("png");
    return WriteBeside(
               request.output,
               [&](const std::string& path, std::string& why) {
                   if (format == "xbm")
                       return WriteText(path, XbmText(*sprite, request.output), why);
                   return SaveMonoImage(path, format, sprite->width, sprite->nHeight,
                                        sprite->pixels, why);
               },
               err)
               ? kExitDone
               : kExitFailed;
}
