#include "scan_options.h"

#include "common/text_case.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <utility>

namespace krelix {

const char* const kScanUsage =
    "Usage: krelix-scan [options] FOLDER...\n"
    "       krelix-scan --undo\n"
    "Finds files of equal content below the folders (size and CRC-32).\n"
    "\n"
    "  --exclude FOLDER         leave this folder out (repeatable)\n"
    "  --include-pattern P      only files whose name matches P, e.g. *.jpg (repeatable)\n"
    "  --exclude-pattern P      leave out files matching P; ignored with include patterns\n"
    "  --min-size BYTES         only files of at least BYTES\n"
    "  --max-size BYTES         only files of at most BYTES\n"
    "  --flags WORD             search settings word, hex (0x...) or decimal; default 0x77E0\n"
    "  --csv                    one CSV line per file: group key, name, path, size, modified\n"
    "  -0, --null               end each path with NUL and each group with one more NUL\n"
    "  --json                   one JSON document: the groups with size, key and files\n"
    "  --progress               show progress on standard error when it is a terminal\n"
    "  --verbose                list the files and folders that could not be read\n"
    "  --no-cache               read every file; neither use nor fill the hash cache\n"
    "  --cache FILE             keep file hashes in FILE instead of\n"
    "                           $XDG_CACHE_HOME/krelix/hashes.sqlite\n"
    "  --hardlink               replace each group's duplicates by hard links to its first file\n"
    "  --reflink                replace them by clones of it (file systems with reflink)\n"
    "  --dry-run                with --hardlink or --reflink: check, say what would be done\n"
    "  --protect FOLDER         files below FOLDER are kept, never replaced (repeatable)\n"
    "  --no-undo                with --hardlink or --reflink: replace even when the command\n"
    "                           journal cannot be written, so that --undo cannot reverse it\n"
    "  --undo                   undo the newest command that changed files (in Krelix or\n"
    "                           with --hardlink or --reflink); scans nothing\n"
    "  -h, --help               show this text\n"
    "  --version                show the version\n"
    "\n"
    "Without --csv or --json each group is printed as its files' paths, one per line,\n"
    "followed by an empty line. The summary goes to standard error: the counts, the start\n"
    "folders a setting kept out, and how many files and folders could not be read.\n"
    "With --hardlink or --reflink each replacement or failure follows on standard error as a\n"
    "line, then the files replaced, bytes reclaimed and failures; any failure gives status 1.\n"
    "Replacements are kept in $XDG_STATE_HOME/krelix/journal.sqlite for --undo, which names\n"
    "each file it leaves (its path taken, or changed since) and then gives status 1.\n";

namespace {

template <typename Number>
std::optional<Number> ParseNumber(const std::string& text, int base) {
    Number value{};
    const char* end = text.data() + text.size();
    const auto [stop, ec] = std::from_chars(text.data(), end, value, base);
    if (text.empty() || ec != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::uint32_t> ParseFlags(const std::string& text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        return ParseNumber<std::uint32_t>(text.substr(2), 16);
    }
    return ParseNumber<std::uint32_t>(text, 10);
}

bool SetSwitch(ScanOptions& options, const std::string& arg) {
    static const std::pair<const char*, bool ScanOptions::*> kSwitches[] = {
        {"-h", &ScanOptions::help},
        {"--help", &ScanOptions::help},
        {"--json", &ScanOptions::json},
        {"--version", &ScanOptions::version},
        {"--csv", &ScanOptions::csv},
        {"-0", &ScanOptions::null},
        {"--null", &ScanOptions::null},
        {"--progress", &ScanOptions::progress},
        {"--verbose", &ScanOptions::verbose},
        {"--no-cache", &ScanOptions::noCache},
        {"--hardlink", &ScanOptions::hardlink},
        {"--reflink", &ScanOptions::reflink},
        {"--dry-run", &ScanOptions::dryRun},
        {"--undo", &ScanOptions::undo},
        {"--no-undo", &ScanOptions::noUndo}};
    const auto known = std::find_if(std::begin(kSwitches), std::end(kSwitches),
                                    [&](const auto& entry) { return arg == entry.first; });
    if (known == std::end(kSwitches)) {
        return false;
    }
    options.*(known->second) = true;
    return true;
}

bool TakesValue(const std::string& name) {
    static const char* const kWithValue[] = {"--exclude",  "--include-pattern", "--exclude-pattern",
                                             "--min-size", "--max-size",        "--flags",
                                             "--cache",    "--protect"};
    return std::find_if(std::begin(kWithValue), std::end(kWithValue),
                        [&](const char* known) { return name == known; }) != std::end(kWithValue);
}

// Sets the option that takes a value: an error text, or empty.
std::string SetValue(ScanOptions& options, const std::string& name, const std::string& value) {
    if (name == "--exclude") {
        options.excludeFolders.push_back(value);
    } else if (name == "--protect") {
        options.protectFolders.push_back(value);
    } else if (name == "--cache") {
        if (value.empty()) {
            return "--cache needs a file name";
        }
        options.cacheFile = value;
    } else if (name == "--include-pattern" || name == "--exclude-pattern") {
        if (value.empty()) {
            return name + " needs a non-empty pattern";
        }
        (name == "--include-pattern" ? options.includePatterns : options.excludePatterns)
            .push_back(LowerCaseUtf8(value));
    } else if (name == "--flags") {
        const auto flags = ParseFlags(value);
        if (!flags) {
            return "bad --flags value " + value;
        }
        options.flags = *flags;
    } else {
        const auto size = ParseNumber<std::uint64_t>(value, 10);
        if (!size) {
            return "bad " + name + " value " + value;
        }
        (name == "--min-size" ? options.minSize : options.maxSize) = *size;
    }
    return {};
}

// The options that do not go together: an error text, or empty.
std::string CheckTogether(const ScanOptions& options) {
    if (options.undo) {
        if (!options.folders.empty()) {
            return "--undo takes no folder";
        }
        if (options.hardlink || options.reflink || options.noUndo) {
            return "--undo goes with neither --hardlink nor --reflink";
        }
        return {};
    }
    if (options.folders.empty() && !options.help && !options.version) {
        return "no folder given";
    }
    if (options.minSize && options.maxSize && *options.minSize > *options.maxSize) {
        return "The minimum file size is larger than the maximum file size.";
    }
    if (options.noCache && options.cacheFile) {
        return "--cache and --no-cache do not go together";
    }
    if (options.csv && options.null) {
        return "--csv and --null do not go together";
    }
    if (options.json && (options.csv || options.null)) {
        return "--json goes with neither --csv nor --null";
    }
    if (options.hardlink && options.reflink) {
        return "--hardlink and --reflink do not go together";
    }
    if (options.dryRun && !options.hardlink && !options.reflink) {
        return "--dry-run needs --hardlink or --reflink";
    }
    if (options.noUndo && !options.hardlink && !options.reflink) {
        return "--no-undo needs --hardlink or --reflink";
    }
    return {};
}

}  // namespace

ParsedArguments ParseScanArguments(const std::vector<std::string>& args) {
    ScanOptions options;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            options.folders.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (SetSwitch(options, arg)) {
            continue;
        }
        const std::size_t eq = arg.find('=');
        const std::string name = arg.substr(0, eq);
        if (!TakesValue(name)) {
            return {std::nullopt, "unknown option " + arg};
        }
        if (eq == std::string::npos && i + 1 >= args.size()) {
            return {std::nullopt, name + " needs a value"};
        }
        const std::string value = eq != std::string::npos ? arg.substr(eq + 1) : args[++i];
        if (std::string error = SetValue(options, name, value); !error.empty()) {
            return {std::nullopt, std::move(error)};
        }
    }
    if (std::string error = CheckTogether(options); !error.empty()) {
        return {std::nullopt, std::move(error)};
    }
    return {options, {}};
}

std::optional<std::string> NormaliseFolder(const std::string& text, std::string& error) {
    struct stat info {};
    if (::stat(text.c_str(), &info) != 0) {
        error = text + ": " + std::strerror(errno);
        return std::nullopt;
    }
    if (!S_ISDIR(info.st_mode)) {
        error = text + ": not a folder";
        return std::nullopt;
    }
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(text, ec);
    if (ec) {
        error = text + ": " + ec.message();
        return std::nullopt;
    }
    std::string folder = absolute.lexically_normal().string();
    if (folder.empty() || folder.back() != '/') {
        folder.push_back('/');
    }
    return folder;
}

bool FillRequest(const ScanOptions& options, SearchRequest& request, std::string& error) {
    request.ResetRequest();
    request.optionFlags = options.flags;
    request.listUnreadable = options.verbose;
    for (const std::string& text : options.folders) {
        const auto folder = NormaliseFolder(text, error);
        if (!folder) {
            return false;
        }
        request.includeFolders.insert(*folder);
    }
    for (const std::string& text : options.excludeFolders) {
        const auto folder = NormaliseFolder(text, error);
        if (!folder) {
            return false;
        }
        request.excludeFolders.insert(*folder);
    }
    request.includePatterns.insert(options.includePatterns.begin(), options.includePatterns.end());
    request.excludePatterns.insert(options.excludePatterns.begin(), options.excludePatterns.end());
    if (options.minSize || options.maxSize) {
        request.optionFlags |= FILTER_SIZE_RANGE;
        request.minSize = options.minSize.value_or(request.minSize);
        request.maxSize = options.maxSize.value_or(request.maxSize);
    }
    return true;
}

}  // namespace krelix
