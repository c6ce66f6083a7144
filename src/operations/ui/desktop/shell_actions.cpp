#include "operations/ui/desktop/shell_actions.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDBusUnixFileDescriptor>
#include <QMimeDatabase>
#include <QPointer>
#include <cstring>

#include "common/ui/prompts.h"
#include "operations/ui/desktop/launcher.h"
#include "operations/ui/desktop/program_command.h"
#include "operations/ui/desktop/shell_dialogs.h"
#include "operations/ui/desktop/shell_paths.h"

namespace krelix {
namespace {

const QString kFileManagerService = QStringLiteral("org.freedesktop.FileManager1");
const QString kFileManagerPath = QStringLiteral("/org/freedesktop/FileManager1");

DBusCall FileManagerCall(const QString& method, const std::string& path) {
    return {kFileManagerService,
            kFileManagerPath,
            kFileManagerService,
            method,
            {QStringList{QString::fromUtf8(FileUrl(path).toEncoded())}, QString()}};
}

QString FileName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return DisplayPath(slash == std::string::npos ? path : path.substr(slash + 1));
}

}  // namespace

ShellActions::ShellActions(Launcher& launcher, ShellDialogs& dialogs, Prompts& prompts,
                           QObject* parent)
    : QObject(parent), launcher_(launcher), dialogs_(dialogs), prompts_(prompts) {}

void ShellActions::OpenFile(const std::string& path) {
    if (path.empty() || launcher_.OpenUrl(FileUrl(path))) {
        return;
    }
    // The desktop portal's chooser takes the file as a descriptor, which also works for
    // names that are not text. O_PATH opens nothing but the name, so a FIFO cannot block.
    const int fd = ::open(path.c_str(), O_PATH | O_CLOEXEC);
    if (fd < 0) {
        ChooseProgram(path);
        return;
    }
    const QDBusUnixFileDescriptor descriptor(fd);  // keeps its own duplicate
    ::close(fd);
    const DBusCall call{
        QStringLiteral("org.freedesktop.portal.Desktop"),
        QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.freedesktop.portal.OpenURI"),
        QStringLiteral("OpenFile"),
        {QString(), QVariant::fromValue(descriptor), QVariantMap{{QStringLiteral("ask"), true}}}};
    launcher_.CallDBus(call, [self = QPointer<ShellActions>(this), path](bool ok) {
        if (!ok && self) {
            self->ChooseProgram(path);
        }
    });
}

void ShellActions::ChooseProgram(const std::string& path) {
    const QMimeType mime =
        QMimeDatabase().mimeTypeForFile(DisplayPath(path), QMimeDatabase::MatchExtension);
    const QString commandLine = dialogs_.ChooseProgram(FileName(path), mime.name());
    if (commandLine.trimmed().isEmpty()) {
        return;
    }
    const std::optional<QString> argument = ArgumentPath(path);
    if (!argument) {
        prompts_.Inform(AppCaption(),
                        QStringLiteral("The name of %1 is not valid text, so it cannot be "
                                       "handed to another program.")
                            .arg(DisplayPath(path)),
                        PromptIcon::Error);
        return;
    }
    const auto command = BuildProgramCommand(commandLine, *argument, FileUrl(path));
    if (!command || !launcher_.StartDetached(command->program, command->arguments)) {
        prompts_.Inform(AppCaption(),
                        QStringLiteral("Could not start \"%1\".").arg(commandLine.trimmed()),
                        PromptIcon::Error);
    }
}

void ShellActions::ShowInFolder(const std::string& path) {
    if (path.empty()) {
        return;
    }
    launcher_.CallDBus(FileManagerCall(QStringLiteral("ShowItems"), path),
                       [self = QPointer<ShellActions>(this), path](bool ok) {
                           if (!ok && self) {
                               self->launcher_.OpenUrl(FolderUrl(path));
                           }
                       });
}

void ShellActions::ShowProperties(const std::string& path) {
    if (path.empty()) {
        return;
    }
    launcher_.CallDBus(FileManagerCall(QStringLiteral("ShowItemProperties"), path),
                       [self = QPointer<ShellActions>(this), path](bool ok) {
                           if (ok || !self) {
                               return;
                           }
                           int error = 0;
                           if (const auto properties = ReadFileProperties(path, error)) {
                               self->dialogs_.ShowProperties(*properties);
                           } else {
                               self->prompts_.Inform(
                                   AppCaption(),
                                   DisplayPath(path) + QStringLiteral("\n") +
                                       QString::fromLocal8Bit(std::strerror(error)),
                                   PromptIcon::Error);
                           }
                       });
}

}  // namespace krelix
