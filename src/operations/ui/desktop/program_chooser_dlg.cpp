#include "operations/ui/desktop/program_chooser_dlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace krelix {

ProgramChooserDlg::ProgramChooserDlg(const QString& fileName, std::vector<DesktopProgram> programs,
                                     QWidget* parent)
    : QDialog(parent),
      programs_(std::move(programs)),
      list_(new QListWidget(this)),
      command_(new QLineEdit(this)) {
    setWindowTitle(QStringLiteral("Open With"));
    auto* text = new QLabel(
        QStringLiteral("Choose the program to open \"%1\" with, or type a command:").arg(fileName),
        this);
    text->setWordWrap(true);
    text->setTextFormat(Qt::PlainText);

    for (const DesktopProgram& program : programs_) {
        auto* item = new QListWidgetItem(QIcon::fromTheme(program.icon), program.name, list_);
        item->setToolTip(program.exec);
    }
    command_->setPlaceholderText(QStringLiteral("program --option"));
    command_->setToolTip(
        QStringLiteral("The file is added as the last argument, or where %f stands."));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setEnabled(false);

    auto* commandRow = new QFormLayout;
    commandRow->addRow(QStringLiteral("Command:"), command_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(list_, 1);
    layout->addLayout(commandRow);
    layout->addWidget(buttons);
    resize(420, 460);

    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row < static_cast<int>(programs_.size())) {
            command_->setText(programs_[static_cast<std::size_t>(row)].exec);
        }
    });
    connect(list_, &QListWidget::itemActivated, this, [this](QListWidgetItem*) {
        if (!command().isEmpty()) {
            accept();
        }
    });
    connect(command_, &QLineEdit::textChanged, this,
            [ok](const QString& typed) { ok->setEnabled(!typed.trimmed().isEmpty()); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QString ProgramChooserDlg::command() const {
    return command_->text().trimmed();
}

}  // namespace krelix
