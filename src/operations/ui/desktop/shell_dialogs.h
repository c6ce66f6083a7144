#pragma once

#include <QString>

#include "operations/files/file_properties.h"

namespace krelix {

// The program's own windows for when the desktop offers no program chooser or properties
// window; tests replace them (tests/support/fake_launcher.h).
class ShellDialogs {
  public:
    virtual ~ShellDialogs() = default;

    // The command line chosen or typed to open the file, or an empty text when cancelled.
    virtual QString ChooseProgram(const QString& fileName, const QString& mimeType) = 0;
    virtual void ShowProperties(const FileProperties& properties) = 0;
};

}  // namespace krelix
