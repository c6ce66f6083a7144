#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariantList>
#include <functional>

namespace krelix {

// One method call on the session bus.
struct DBusCall {
    QString service;
    QString path;
    QString interface;
    QString method;
    QVariantList arguments;
};

// Every effect the shell actions have outside the program goes through this interface, so
// that tests check exactly what would be opened, called or started
// (tests/support/fake_launcher.h). Used on the UI thread only.
class Launcher {
  public:
    virtual ~Launcher() = default;

    // Opens the URL with the desktop's handler for it; false when nothing could take it.
    virtual bool OpenUrl(const QUrl& url) = 0;
    // Calls a method without waiting for it. done(true) runs later on the UI thread when the
    // call was answered without error; done(false) when there is no bus, no such service,
    // an error reply or no answer in time (possibly before CallDBus returns).
    virtual void CallDBus(const DBusCall& call, std::function<void(bool ok)> done) = 0;
    // Starts a program with an argument list; no shell sees the arguments. False when it
    // could not be started.
    virtual bool StartDetached(const QString& program, const QStringList& arguments) = 0;
};

}  // namespace krelix
