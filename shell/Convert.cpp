#include "Convert.h"

#include "CommandLine.h"

#include "ArrayReader.h"
#include "ArrayReaderRanking.h"
#include "Image.h"
#include "ImageImport.h"
#include "ImageSprite.h"
#include "SourceEmitter.h"
#include "SourceFile.h"
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

std::string HexByte(unsigned char byte) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    return std::string("0x") + kDigits[byte >> 4] + kDigits[byte & 15];
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

// Where an array stands in its file: a frame at its own values, so that the
// message leads to the frame; an array at its name, the last place the name
// stands as a whole word before the values.
std::size_t ArrayOffset(std::string_view text, const SourceArray& array) {
    const std::size_t values = std::min(array.values.offset, text.size());
    if (array.nFrame >= 0 || array.declaredName.empty())
        return values;
    const std::string_view name = array.declaredName;
    for (std::size_t at = text.rfind(name, values); at != std::string_view::npos;
         at = at == 0 ? std::string_view::npos : text.rfind(name, at - 1)) {
        const std::size_t end = at + name.size();
        if ((at == 0 || !IsWordByte(text[at - 1])) &&
            (end == text.size() || !IsWordByte(text[end])))
            return at;
    }
    return values;
}

// The readings of an array that the file leaves open, in the order that
// their looks give, as the chooser offers a pasted list: a reading that
// looks like a drawing before one that looks like noise.
std::vector<SpriteReading> Ranked(const std::vector<SpriteReading>& readings) {
    std::vector<RankedReading> ranked;
    ranked.reserve(readings.size());
    for (const SpriteReading& reading : readings)
        ranked.push_back({{reading, nullptr}, 0});
    RankReadings(ranked);
    std::vector<SpriteReading> ordered;
    ordered.reserve(ranked.size());
    for (RankedReading& reading : ranked)
        ordered.push_back(std::move(reading.reading.reading));
    return ordered;
}

// The readings that a layout key of --read names: those of its byte layout;
// none for no key.
std::optional<CodeStyle> LayoutOfReadKey(std::string_view key) {
    if (const std::optional<CodeStyle> style = CodeStyleFromKey(key))
        return LayoutOf(*style).byteStyle;
    return std::nullopt;
}

// The texts below are appended piece by piece: a temporary string built up
// from a literal makes GCC 12 warn, falsely, of an overlapping copy at -O3.
std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    return quoted.append(text).append("\"");
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
        std::string pattern = "*";
        pattern = Lower(pattern.append(fs::path(m_file).extension().string()).append(";"));
        std::string patterns = Lower(CImage::GetImporterFilterString("").str());
        std::replace(patterns.begin(), patterns.end(), '|', ';');
        if (pattern.size() > 2 && patterns.find(";" + pattern) != std::string::npos)
            return Fail(std::nullopt, "not an image in a format that can be read");
        std::string bytes;
        std::string why;
        if (!ReadBytes(m_file, kMaxSourceFileBytes, bytes, why))
            return Fail(std::nullopt, "cannot be read: " + why);
        if (bytes.find('\0') != std::string::npos)
            return Fail(std::nullopt, "not an image in a format that can be read, nor C text");
        return ReadSource(bytes, std::nullopt);
    }

    std::optional<CodeSprite> ReadText(const std::optional<std::string>& arrayName) {
        std::string bytes;
        std::string why;
        if (!ReadBytes(m_file, kMaxSourceFileBytes, bytes, why))
            return Fail(std::nullopt, "cannot be opened: " + why);
        return ReadSource(bytes, arrayName);
    }

    // The sprite of a C file, read as a document: the array or frame named,
    // else the file's first. Text with no array declared in it (a bare list,
    // MicroPython bytes) is read as the window reads a paste.
    std::optional<CodeSprite> ReadSource(std::string_view text,
                                         const std::optional<std::string>& arrayName) {
        const SourceFileReading file = ReadSourceFile(text);
        if (file.error == SourceFileError::TooLarge)
            return Fail(std::nullopt, "the file is larger than " +
                                          std::to_string(kMaxSourceFileBytes >> 20) +
                                          " MiB, more than can be read");
        if (file.error == SourceFileError::NotText) {
            const auto control = std::find_if(text.begin(), text.end(), [](char c) {
                return !IsSourceText(std::string_view(&c, 1));
            });
            const std::size_t at = static_cast<std::size_t>(control - text.begin());
            return Fail(PlaceOf(text, at), "not C text: it holds the control character " +
                                               HexByte(static_cast<unsigned char>(text[at])));
        }
        if (file.error)
            return ReadPasted(text, arrayName);
        const SourceArray* array = Choose(text, file.arrays, arrayName);
        if (array == nullptr)
            return std::nullopt;
        const std::optional<Place> place = PlaceOf(text, ArrayOffset(text, *array));
        if (array->readings.size() != 1)
            if (std::optional<SpriteReading> own = OwnForm(text, file.arrays, *array))
                return Take({std::move(*own)}, place, array->name);
        if (!array->IsOpenable()) {
            const auto [where, why] = Problem(text, *array);
            return Fail(where, why);
        }
        std::string name = array->nFrame >= 0
                               ? array->declaredName + "_" + std::to_string(array->nFrame)
                               : array->name;
        return Take(array->readings.size() > 1 ? Ranked(array->readings) : array->readings, place,
                    std::move(name));
    }

    // The sprite of an array that one of Glimmet's own forms wrote for it
    // alone, as the window's paste reads it back: an Arduino row type, a
    // size companion the file leaves open (pages under #defines). Read from
    // just past the array before it, so that the array's own companions
    // count and no other array does; none when no form settles it.
    static std::optional<SpriteReading> OwnForm(std::string_view text,
                                                const std::vector<SourceArray>& arrays,
                                                const SourceArray& array) {
        if (array.nFrame >= 0)
            return std::nullopt;
        std::size_t from = 0;
        for (const SourceArray& before : arrays) {
            if (&before == &array)
                break;
            if (const std::size_t end = text.find(';', before.values.End());
                end != std::string_view::npos && end < array.values.offset)
                from = end + 1;
        }
        const std::size_t end = text.find(';', array.values.End());
        if (end == std::string_view::npos)
            return std::nullopt;
        ArrayReadResult own = ReadSpriteArray(text.substr(from, end + 1 - from));
        if (own.error || !own.bExact || own.name != array.declaredName || own.readings.empty())
            return std::nullopt;
        return std::move(own.readings.front());
    }

    // The array that `arrayName` names, or the file's first with a warning
    // when there are others; none after saying why.
    const SourceArray* Choose(std::string_view text, const std::vector<SourceArray>& arrays,
                              const std::optional<std::string>& arrayName) {
        const auto warn = [&](const SourceArray& array, const std::string& message) {
            Say(m_err, m_file, PlaceOf(text, ArrayOffset(text, array)), "warning",
                message + " Name one as FILE:NAME.");
        };
        if (arrayName) {
            for (const SourceArray& array : arrays)
                if (array.name == *arrayName)
                    return &array;
            // A two-dimensional array's own name stands for its first frame.
            const auto frame = std::find_if(arrays.begin(), arrays.end(), [&](const auto& array) {
                return array.nFrame == 0 && array.declaredName == *arrayName;
            });
            if (frame != arrays.end()) {
                warn(*frame,
                     *arrayName + " holds frames; the first, " + frame->name + ", was read.");
                return &*frame;
            }
            Fail(std::nullopt, "no array is named " + Quoted(*arrayName));
            return nullptr;
        }
        const SourceArray& first = arrays.front();
        const auto declared =
            std::count_if(arrays.begin(), arrays.end(),
                          [](const SourceArray& array) { return array.nFrame <= 0; });
        if (declared > 1)
            warn(first, "The text holds " + std::to_string(declared) + " arrays; the first, " +
                            first.name + ", was read.");
        else if (arrays.size() > 1)
            warn(first, "The text holds " + std::to_string(arrays.size()) + " frames of " +
                            first.declaredName + "; the first, " + first.name + ", was read.");
        return &first;
    }

    // Why an array cannot be read, and where: a value too big for the
    // elements where it stands, a size beyond the largest sprite given
    // whole, any other reason of the document's at the array.
    std::pair<std::optional<Place>, std::string> Problem(std::string_view text,
                                                         const SourceArray& array) const {
        const std::uint64_t max = (std::uint64_t{1} << array.elementBits) - 1;
        for (std::size_t k = 0; k < array.valueSpans.size() && k < array.elements.size(); ++k) {
            const TextSpan span = array.valueSpans[k];
            if (array.elements[k] > max && span.End() <= text.size())
                return {PlaceOf(text, span.offset),
                        "The value " + std::string(text.substr(span.offset, span.length)) +
                            " is too big for " + (array.elementBits == 8 ? "an " : "a ") +
                            std::to_string(array.elementBits) + "-bit element."};
        }
        const Place place = PlaceOf(text, ArrayOffset(text, array));
        if (array.width > 0 && array.height > 0 &&
            (array.width > kMaxSpriteColumns || array.height > kMaxSpriteRows))
            return {place,
                    array.name + " is " + std::to_string(array.width) + " x " +
                        std::to_string(array.height) + " pixels, larger than the largest sprite, " +
                        std::to_string(kMaxSpriteColumns) + " x " + std::to_string(kMaxSpriteRows)};
        return {place, array.name + " cannot be read: " + array.problem};
    }

    // Text that declares no array, read as a paste: a bare list, or a
    // MicroPython bytes value.
    std::optional<CodeSprite> ReadPasted(std::string_view text,
                                         const std::optional<std::string>& arrayName) {
        const ArrayReadResult result = ReadSpriteArray(text);
        if (result.error)
            return Fail(Place{result.error->line, result.error->column}, result.error->message);
        if (arrayName && result.name != *arrayName)
            return Fail(std::nullopt, "no array is named " + Quoted(*arrayName));
        if (!result.notice.empty())
            Say(m_err, m_file, std::nullopt, "warning", result.notice + " Name one as FILE:NAME.");
        return Take(result.readings, std::nullopt, result.name);
    }

    // The sprite of the first of `readings`, most likely first, that --read
    // and --width allow, named after `name` unless --name renames it.
    std::optional<CodeSprite> Take(const std::vector<SpriteReading>& readings,
                                   const std::optional<Place>& place, std::string name) {
        std::vector<const SpriteReading*> fitting;
        const std::optional<CodeStyle> layout = LayoutOfReadKey(m_request.read);
        for (const SpriteReading& reading : readings)
            if ((!layout || reading.layout == *layout) &&
                (m_request.nReadWidth == 0 || reading.width == m_request.nReadWidth))
                fitting.push_back(&reading);
        if (fitting.empty()) {
            std::string described;
            for (const SpriteReading& reading : readings)
                described += (described.empty() ? "" : "; ") + DescribeReading(reading);
            return Fail(place, "the values cannot be read as asked by --read and --width; they "
                               "read as " +
                                   described);
        }
        const SpriteReading& reading = *fitting.front();
        if (fitting.size() > 1)
            Say(m_err, m_file, place, "note",
                "read as " + DescribeReading(reading) + ", the likeliest of " +
                    std::to_string(readings.size()) +
                    " readings; --read and --width choose another");
        if (name.empty())
            name = DefaultName();
        return CodeSprite{reading.width, reading.height, m_request.name.value_or(std::move(name)),
                          reading.pixels};
    }

    const ConvertRequest& m_request;
    std::ostream& m_err;
    std::string m_file;
};

// A temporary file beside `output`, in the same folder so that renaming it
// over `output` is one step, hidden and tagged with the process so that
// builds running side by side never share one.
fs::path TemporaryBeside(const fs::path& output) {
    std::string name = ".";
    name.append(output.filename().string())
        .append(".glimmet-")
        .append(std::to_string(::getpid()))
        .append(".tmp");
    return output.parent_path() / name;
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
