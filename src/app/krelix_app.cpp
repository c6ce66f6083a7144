#include "app/krelix_app.h"

#include <QApplication>
#include <QLabel>

namespace krelix {

int RunKrelix(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Krelix"));
    // Placeholder until the main window lands.
    QLabel window(QStringLiteral("Krelix"));
    window.setMinimumSize(730, 500);
    window.show();
    return app.exec();
}

}  // namespace krelix
