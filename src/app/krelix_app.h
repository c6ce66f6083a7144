#pragma once

namespace krelix {

// Application start-up: builds the main window and runs it until it closes.
int RunKrelix(int argc, char** argv);

}  // namespace krelix
