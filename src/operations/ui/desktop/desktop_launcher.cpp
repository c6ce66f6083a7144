#include "operations/ui/desktop/desktop_launcher.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QProcess>

namespace krelix {
namespace {

// A file manager started by the bus for the call may take a moment to come up.
constexpr int kCallTimeoutMs = 5000;

}  // namespace

DesktopLauncher::DesktopLauncher(QObject* parent) : QObject(parent) {}

bool DesktopLauncher::OpenUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

void DesktopLauncher::CallDBus(const DBusCall& call, std::function<void(bool ok)> done) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        done(false);
        return;
    }
    QDBusMessage message =
        QDBusMessage::createMethodCall(call.service, call.path, call.interface, call.method);
    message.setArguments(call.arguments);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(message, kCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [done = std::move(done)](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                done(!finished->isError());
            });
}

bool DesktopLauncher::StartDetached(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

}  // namespace krelix
