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

void MessageBoxPrompts::Inform(const QString& caption, const QString& text, PromptIcon icon) {
    switch (icon) {
        case PromptIcon::Information:
            QMessageBox::information(Owner(parent_), caption, text);
            break;
        case PromptIcon::Warning:
            QMessageBox::warning(Owner(parent_), caption, text);
            break;
        case PromptIcon::Error:
            QMessageBox::critical(Owner(parent_), caption, text);
            break;
        case PromptIcon::Question:
            QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Ok, Owner(parent_));
            box.exec();
            break;
    }
}

bool MessageBoxPrompts::AskOkCancel(const QString& caption, const QString& text) {
    return QMessageBox::question(Owner(parent_), caption, text,
                                 QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Cancel) == QMessageBox::Ok;
}

bool MessageBoxPrompts::AskYesNo(const QString& caption, const QString& text) {
    return QMessageBox::question(Owner(parent_), caption, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

QString MessageBoxPrompts::ChooseFolder(const QString& title, const QString& startFolder) {
    return QFileDialog::getExistingDirectory(Owner(parent_), title, startFolder);
}

QString MessageBoxPrompts::ChooseSaveFile(const QString& title, const QString& startPath,
                                          const QString& filter) {
    return QFileDialog::getSaveFileName(Owner(parent_), title, startPath, filter);
}

}  // namespace krelix
