#include "app/window/info_options.h"

#include "common/version.h"

namespace krelix {

std::optional<std::string> InfoOptionText(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg == "--") {
            break;
        }
        if (arg == "--version") {
            return std::string("krelix ") + kVersion + '\n';
        }
        if (arg == "-h" || arg == "--help") {
            return std::string(
                "Usage: krelix [Qt options]\n"
                "Opens the Krelix window: find files of equal content and clean up the copies.\n"
                "\n"
                "  --version     show the version\n"
                "  -h, --help    show this text\n"
                "\n"
                "Qt's own options, such as -platform NAME or -style NAME, are passed on to Qt.\n"
                "krelix-scan searches from the command line.\n");
        }
    }
    return std::nullopt;
}

}  // namespace krelix
