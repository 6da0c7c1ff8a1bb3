#include "CommandLine.h"

#include "Convert.h"
#include "OutputForm.h"
#include "ResourceTypes.h"

#include <algorithm>
#include <cstdio>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kUsage = "usage: glimmet convert [OPTION]... [-o OUTPUT] INPUT...\n"
                                    "       glimmet export [OPTION]... -o FILE INPUT\n"
                                    "       glimmet [FILE[:NAME]]\n"
                                    "       glimmet --help | --version\n";

// The values an option takes; empty for any value.
using Values = std::vector<std::string_view>;

// The keys of an output-form table, in its order, so that a new row is an
// option value with no edit here.
template <auto Table>
Values KeysOf() {
    Values keys;
    for (const auto& row : Table())
        keys.push_back(row.key);
    return keys;
}

Values Widths() {
    return {"8", "16", "32"};
}

// An option of the two commands: its spelling, the values it takes (none
// for a flag or for any value), and whether export takes it.
struct Option {
    std::string_view name;
    bool bValue;
    Values (*values)();
    bool bExport;
};

constexpr Option kOptions[] = {
    {"--layout", true, KeysOf<Layouts>, false},
    {"--language", true, KeysOf<Languages>, false},
    {"--size", true, KeysOf<Sizes>, false},
    {"--name", true, nullptr, false},
    {"--fit", false, nullptr, true},
    {"--header", false, nullptr, false},
    {"--read", true, KeysOf<Layouts>, true},
    {"--width", true, Widths, true},
    {"-o", true, nullptr, true},
};

struct UsageError {
    std::string message;
};

std::string ValueList(const Values& values) {
    std::string list;
    const std::size_t count = values.size();
    for (std::size_t n = 0; n < count; ++n)
        list += std::string(n == 0 ? "" : n + 1 == count ? " or " : ", ") + std::string(values[n]);
    return list;
}

void Apply(const Option& option, const std::string& value, ConvertRequest& request) {
    const std::string_view name = option.name;
    if (name == "--layout")
        request.choices.layout = value;
    else if (name == "--language")
        request.choices.language = value;
    else if (name == "--size")
        request.choices.size = value;
    else if (name == "--name")
        request.name = value;
    else if (name == "--fit")
        request.bFit = true;
    else if (name == "--header")
        request.bHeader = true;
    else if (name == "--read")
        request.read = value;
    else if (name == "--width")
        request.nReadWidth = std::stoi(value);
    else if (name == "-o")
        request.output = value;
}

// The request that the arguments after the command make; throws UsageError.
ConvertRequest Parse(bool bExport, int argc, const char* const* argv) {
    const std::string_view command = bExport ? "export" : "convert";
    ConvertRequest request;
    bool bOptionsEnd = false;
    for (int at = 2; at < argc; ++at) {
        const std::string argument = argv[at];
        if (bOptionsEnd || argument.size() < 2 || argument.front() != '-') {
            request.inputs.push_back(argument);
            continue;
        }
        if (argument == "--") {
            bOptionsEnd = true;
            continue;
        }
        // "--name=value" and "-ovalue" carry their value; otherwise it is
        // the next argument.
        std::string spelling = argument;
        std::optional<std::string> value;
        if (const std::size_t equals = argument.find('=');
            argument.starts_with("--") && equals != std::string::npos) {
            spelling = argument.substr(0, equals);
            value = argument.substr(equals + 1);
        } else if (argument.starts_with("-o") && argument.size() > 2) {
            spelling = "-o";
            value = argument.substr(2);
        }
        const Option* option = std::find_if(std::begin(kOptions), std::end(kOptions),
                                            [&](const Option& o) { return o.name == spelling; });
        if (option == std::end(kOptions))
            throw UsageError{"unknown option " + spelling};
        if (bExport && !option->bExport)
            throw UsageError{"export takes no " + spelling};
        if (!option->bValue && value)
            throw UsageError{spelling + " takes no value"};
        if (option->bValue && !value) {
            if (at + 1 == argc)
                throw UsageError{spelling + " needs a value"};
            value = argv[++at];
        }
        if (const Values values = option->values ? option->values() : Values{};
            !values.empty() && std::find(values.begin(), values.end(), *value) == values.end())
            throw UsageError{spelling + " takes " + ValueList(values) + ", not \"" + *value + "\""};
        if (option->bValue && value->empty() && spelling != "--name")
            throw UsageError{spelling + " needs a value"};
        Apply(*option, value.value_or(""), request);
    }

    if (request.inputs.empty())
        throw UsageError{std::string(command) + " needs an INPUT"};
    if (bExport) {
        if (request.inputs.size() > 1)
            throw UsageError{"export takes one INPUT, not " +
                             std::to_string(request.inputs.size())};
        if (request.output.empty())
            throw UsageError{"export needs -o FILE"};
        if (!ExportFormat(request.output))
            throw UsageError{"export writes a FILE ending in .png, .pbm, .xbm or .bmp, not \"" +
                             request.output + "\""};
        return request;
    }
    if (request.name) {
        if (request.inputs.size() > 1)
            throw UsageError{"--name names a single input, not " +
                             std::to_string(request.inputs.size())};
        // A name is one line of code, as in the window's name field.
        if (request.name->empty() ||
            std::any_of(request.name->begin(), request.name->end(),
                        [](unsigned char c) { return c < 0x20 || c == 0x7F; }))
            throw UsageError{"--name needs a name, on one line"};
    }
    if (request.bHeader && request.output.empty())
        throw UsageError{"--header needs -o OUTPUT, whose name makes the include guard"};
    if (const std::string why = UnavailableChoice(request.choices); !why.empty())
        throw UsageError{why};
    return request;
}

// Hands every character straight to a C stream, as the standard streams do
// while they keep in step with C's: what the commands write lands in the
// same buffer, in the same order, as anything printf writes there.
class StdioBuffer : public std::streambuf {
public:
    explicit StdioBuffer(std::FILE* file) : m_file(file) {}

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof()))
            return traits_type::not_eof(c);
        return std::fputc(c, m_file) == EOF ? traits_type::eof() : c;
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        return static_cast<std::streamsize>(std::fwrite(s, 1, static_cast<std::size_t>(n), m_file));
    }
    int sync() override { return std::fflush(m_file) == 0 ? 0 : -1; }

private:
    std::FILE* m_file;
};

} // namespace

std::optional<int> RunCommandLine(int argc, const char* const* argv) {
    // Not std::cout and std::cerr: the program that includes their header
    // sets up all eight standard streams and their locale before main(), at
    // every start of the window too, where nothing reads or writes them.
    if (argc < 2)
        return std::nullopt;
    StdioBuffer outBuffer(stdout);
    StdioBuffer errBuffer(stderr);
    std::ostream out(&outBuffer);
    std::ostream err(&errBuffer);
    // As the standard error stream: each message goes out whole and at once,
    // after what is already written to the output.
    err.setf(std::ios_base::unitbuf);
    err.tie(&out);
    return RunCommandLine(argc, argv, out, err);
}

std::optional<int> RunCommandLine(int argc, const char* const* argv, std::ostream& out,
                                  std::ostream& err) {
    if (argc < 2)
        return std::nullopt;
    const std::string_view first = argv[1];
    const auto wantsHelp = [&] {
        for (int at = 1; at < argc && std::string_view(argv[at]) != "--"; ++at)
            if (std::string_view(argv[at]) == "--help" || std::string_view(argv[at]) == "-h")
                return true;
        return false;
    };
    if (first == "--version" && argc == 2) {
        out << Version().originalFilename << ' ' << Version().productVersionText << '\n';
        return kExitDone;
    }
    // A file alone, "FILE" or "FILE:NAME", opens in the window.
    if (argc == 2 && first != "convert" && first != "export" && !first.starts_with('-'))
        return std::nullopt;
    try {
        if (first != "convert" && first != "export" && !first.starts_with('-'))
            throw UsageError{"unknown command \"" + std::string(first) + "\""};
        if (wantsHelp()) {
            out << CommandLineHelp();
            return kExitDone;
        }
        if (first.starts_with('-'))
            throw UsageError{"unknown option " + std::string(first)};
        const bool bExport = first == "export";
        const ConvertRequest request = Parse(bExport, argc, argv);
        return bExport ? RunExport(request, err) : RunConvert(request, out, err);
    } catch (const UsageError& error) {
        err << "glimmet: " << error.message << '\n'
            << kUsage << "Run 'glimmet --help' for the options.\n";
        return kExitUsage;
    }
}
