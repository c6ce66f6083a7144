#include "common/ui/prompts.h"

#include <QFileDialog>
#include <QMessageBox>

namespace krelix {

void MessageBoxPrompts::Inform(const QString& caption, const QString& text, PromptIcon icon) {
    switch (icon) {
        case PromptIcon::Information:
            QMessageBox::information(parent_, caption, text);
            break;
        case PromptIcon::Warning:
            QMessageBox::warning(parent_, caption, text);
            break;
        case PromptIcon::Error:
            QMessageBox::critical(parent_, caption, text);
            break;
        case PromptIcon::Question:
            QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Ok, parent_);
            box.exec();
            break;
    }
}

bool MessageBoxPrompts::AskOkCancel(const QString& caption, const QString& text) {
    return QMessageBox::question(parent_, caption, text, QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Cancel) == QMessageBox::Ok;
}

bool MessageBoxPrompts::AskYesNo(const QString& caption, const QString& text) {
    return QMessageBox::question(parent_, caption, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

QString MessageBoxPrompts::ChooseFolder(const QString& title, const QString& startFolder) {
    return QFileDialog::getExistingDirectory(parent_, title, startFolder);
}

QString MessageBoxPrompts::ChooseSaveFile(const QString& title, const QString& startPath,
                                          const QString& filter) {
    return QFileDialog::getSaveFileName(parent_, title, startPath, filter);
}

}  // namespace krelix
