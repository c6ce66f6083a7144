#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

namespace krelix {

enum class PromptIcon { Information, Warning, Error, Question };

// Every message box and chooser a window opens goes through this interface, so that tests
// answer them without a mouse (tests/support/fake_prompts.h).
class Prompts {
  public:
    virtual ~Prompts() = default;

    // A box with one OK button.
    virtual void Inform(const QString& caption, const QString& text, PromptIcon icon) = 0;
    // True for OK.
    virtual bool AskOkCancel(const QString& caption, const QString& text) = 0;
    // True for Yes.
    virtual bool AskYesNo(const QString& caption, const QString& text) = 0;
    // The chosen folder, or an empty text when the user cancelled.
    virtual QString ChooseFolder(const QString& title, const QString& startFolder) = 0;
    // The chosen file to write, or an empty text when the user cancelled. Does not ask about
    // an existing file: the caller may still add an extension, and asks itself.
    virtual QString ChooseSaveFile(const QString& title, const QString& startPath,
                                   const QString& filter) = 0;
};

// Runs a modal message box whose text shows as plain text, never as markup (texts carry file
// names); returns the button pressed. Every message box of the program goes through here.
QMessageBox::StandardButton ShowMessageBox(QWidget* parent, QMessageBox::Icon icon,
                                           const QString& caption, const QString& text,
                                           QMessageBox::StandardButtons buttons,
                                           QMessageBox::StandardButton defaultButton);

// The real boxes and choosers, parented to a window (may be null).
class MessageBoxPrompts final : public Prompts {
  public:
    explicit MessageBoxPrompts(QWidget* parent) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    void Inform(const QString& caption, const QString& text, PromptIcon icon) override;
    bool AskOkCancel(const QString& caption, const QString& text) override;
    bool AskYesNo(const QString& caption, const QString& text) override;
    QString ChooseFolder(const QString& title, const QString& startFolder) override;
    QString ChooseSaveFile(const QString& title, const QString& startPath,
                           const QString& filter) override;

  private:
    QWidget* parent_;
};

// Captions of the program's message boxes.
inline QString AppCaption() {
    return QStringLiteral("Krelix");
}
inline QString TitleCaption() {
    return QStringLiteral("Tessmark Duplicate Finder");
}
inline QString ErrorCaption() {
    return QStringLiteral("Error");
}

}  // namespace krelix
