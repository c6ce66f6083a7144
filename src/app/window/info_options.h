#pragma once

#include <optional>
#include <string>
#include <vector>

namespace krelix {

// What krelix prints for --version ("krelix 1.2.3") or -h/--help, given the arguments without
// the program name; empty when they ask for neither and the window should start. Answered
// before the application object exists, so that neither needs a display.
std::optional<std::string> InfoOptionText(const std::vector<std::string>& args);

}  // namespace krelix
