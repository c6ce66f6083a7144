#include "app/window/krelix_app.h"

#include <QIcon>

#include "app/base/program_icon.h"
#include "app/window/krelix_dlg.h"
#include "common/version.h"

namespace krelix {

CKrelixApp::CKrelixApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Krelix"));
    setApplicationVersion(QLatin1String(kVersion));
    // Names the desktop entry, so that a Wayland session shows its icon and name for the window.
    setDesktopFileName(QStringLiteral("org.krelix.krelix"));
    setWindowIcon(ProgramIcon());
    // Outside a desktop session no icon theme is named; file-type icons then come from the
    // common freedesktop theme where it is installed.
    if (QIcon::fallbackThemeName().isEmpty() || QIcon::fallbackThemeName() == u"hicolor") {
        QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
    }
}

int CKrelixApp::Run(CKrelixDlg& mainWindow) {
    setQuitOnLastWindowClosed(true);
    mainWindow.show();
    return exec();
}

}  // namespace krelix
