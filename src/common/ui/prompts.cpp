#include "common/ui/prompts.h"

#include <QFileDialog>
#include <QMessageBox>

namespace krelix {
namespace {

// A box owned by a disabled window would be disabled with it, and could never be answered (a
// search disables the main window while its progress window asks whether to cancel). Such a
// box goes to the window's own dialog that is shown and enabled, or stands alone.
QWidget* Owner(QWidget* parent) {
    if (parent == nullptr || parent->isEnabled()) {
        return parent;
    }
    for (QObject* child : parent->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget != nullptr && widget->isWindow() && widget->isVisible() && widget->isEnabled()) {
            return widget;
        }
    }
    return nullptr;
}

}  // namespace

QMessageBox::StandardButton ShowMessageBox(QWidget* parent, QMessageBox::Icon icon,
                                           const QString& caption, const QString& text,
                                           QMessageBox::StandardButtons buttons,
                                           QMessageBox::StandardButton defaultButton) {
    QMessageBox box(icon, caption, text, buttons, parent);
    // Texts carry file names; a name like "<b>x" must show as typed, not as markup.
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void MessageBoxPrompts::Inform(const QString& caption, const QString& text, PromptIcon icon) {
    QMessageBox::Icon shown = QMessageBox::Question;
    switch (icon) {
        case PromptIcon::Information:
            shown = QMessageBox::Information;
            break;
        case PromptIcon::Warning:
            shown = QMessageBox::Warning;
            break;
        case PromptIcon::Error:
            shown = QMessageBox::Critical;
            break;
        case PromptIcon::Question:
            break;
    }
    ShowMessageBox(Owner(parent_), shown, caption, text, QMessageBox::Ok, QMessageBox::Ok);
}

bool MessageBoxPrompts::AskOkCancel(const QString& caption, const QString& text) {
    return ShowMessageBox(Owner(parent_), QMessageBox::Question, caption, text,
                          QMessageBox::Ok | QMessageBox::Cancel,
                          QMessageBox::Cancel) == QMessageBox::Ok;
}

bool MessageBoxPrompts::AskYesNo(const QString& caption, const QString& text) {
    return ShowMessageBox(Owner(parent_), QMessageBox::Question, caption, text,
                          QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

QString MessageBoxPrompts::ChooseFolder(const QString& title, const QString& startFolder) {
    return QFileDialog::getExistingDirectory(Owner(parent_), title, startFolder);
}

QString MessageBoxPrompts::ChooseSaveFile(const QString& title, const QString& startPath,
                                          const QString& filter) {
    // The caller asks about an existing file once it knows the final name.
    return QFileDialog::getSaveFileName(Owner(parent_), title, startPath, filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

}  // namespace krelix
