#pragma once

#include <QObject>

#include "operations/ui/desktop/launcher.h"

namespace krelix {

// The real launcher: QDesktopServices, the session bus and QProcess. Replies still pending
// when it is destroyed are dropped without calling their callbacks.
class DesktopLauncher final : public QObject, public Launcher {
    Q_OBJECT

  public:
    explicit DesktopLauncher(QObject* parent = nullptr);

    bool OpenUrl(const QUrl& url) override;
    void CallDBus(const DBusCall& call, std::function<void(bool ok)> done) override;
    bool StartDetached(const QString& program, const QStringList& arguments) override;
};

}  // namespace krelix
