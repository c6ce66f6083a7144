#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <deque>
#include <functional>
#include <vector>

#include "operations/ui/desktop/launcher.h"
#include "operations/ui/desktop/shell_dialogs.h"

namespace krelix::test {

// Records what would have been opened, called on the bus and started, and answers from
// scripted values. D-Bus answers are given at once by default; with deferReplies set they
// wait in pendingReplies until the test calls ReplyNext.
class FakeLauncher final : public Launcher {
  public:
    struct Started {
        QString program;
        QStringList arguments;
    };

    bool openUrlResult = true;
    std::deque<bool> dbusAnswers;  // empty: every call fails (no such service)
    bool startResult = true;
    bool deferReplies = false;

    std::vector<QUrl> openedUrls;
    std::vector<DBusCall> calls;
    std::vector<Started> started;
    std::deque<std::function<void(bool)>> pendingReplies;

    bool OpenUrl(const QUrl& url) override {
        openedUrls.push_back(url);
        return openUrlResult;
    }
    void CallDBus(const DBusCall& call, std::function<void(bool ok)> done) override {
        calls.push_back(call);
        if (deferReplies) {
            pendingReplies.push_back(std::move(done));
            return;
        }
        done(NextAnswer());
    }
    bool StartDetached(const QString& program, const QStringList& arguments) override {
        started.push_back({program, arguments});
        return startResult;
    }

    void ReplyNext() {
        auto done = std::move(pendingReplies.front());
        pendingReplies.pop_front();
        done(NextAnswer());
    }

  private:
    bool NextAnswer() {
        if (dbusAnswers.empty()) {
            return false;
        }
        const bool answer = dbusAnswers.front();
        dbusAnswers.pop_front();
        return answer;
    }
};

// Answers the program chooser from a queue (empty: cancelled) and keeps the properties shown.
class FakeShellDialogs final : public ShellDialogs {
  public:
    std::deque<QString> commands;
    std::vector<QString> chooserFiles;
    std::vector<FileProperties> shownProperties;

    QString ChooseProgram(const QString& fileName, const QString&) override {
        chooserFiles.push_back(fileName);
        if (commands.empty()) {
            return {};
        }
        QString command = commands.front();
        commands.pop_front();
        return command;
    }
    void ShowProperties(const FileProperties& properties) override {
        shownProperties.push_back(properties);
    }
};

}  // namespace krelix::test
