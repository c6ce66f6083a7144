#pragma once

#include <QApplication>
#include <string>

namespace krelix {

class CKrelixDlg;

// The application object: prepares Qt for the program and runs the main window until it
// closes, which ends the program.
class CKrelixApp : public QApplication {
    Q_OBJECT
  public:
    CKrelixApp(int& argc, char** argv);

    // Shows the main window and returns the program's exit code once it has closed.
    int Run(CKrelixDlg& mainWindow);
};

}  // namespace krelix
