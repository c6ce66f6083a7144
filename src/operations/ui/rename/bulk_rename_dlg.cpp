#include "operations/ui/rename/bulk_rename_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace krelix {
namespace {

QCheckBox* IncludeBox(const QString& objectName) {
    // The box's text is the program's own spelling.
    auto* box = new QCheckBox(QStringLiteral("Incldue"));
    box->setObjectName(objectName);
    return box;
}

QLineEdit* Edit(const QString& objectName) {
    auto* edit = new QLineEdit;
    edit->setObjectName(objectName);
    return edit;
}

QGroupBox* Group(const QString& title, std::initializer_list<QWidget*> widgets) {
    auto* group = new QGroupBox(title);
    auto* layout = new QHBoxLayout(group);
    bool stretched = false;
    for (QWidget* widget : widgets) {
        // The edits take the width, so that a click beside a check box's text does nothing.
        const bool grows = qobject_cast<QLineEdit*>(widget) || qobject_cast<QComboBox*>(widget);
        layout->addWidget(widget, grows ? 1 : 0);
        stretched = stretched || grows;
    }
    if (!stretched) {
        layout->addStretch(1);
    }
    return group;
}

QLabel* PlainLabel(const QString& text, const QString& objectName) {
    auto* label = new QLabel(text);
    label->setObjectName(objectName);
    label->setTextFormat(Qt::PlainText);
    label->setMinimumWidth(240);
    return label;
}

}  // namespace

CBulkRenameDlg::CBulkRenameDlg(QWidget* parent, BulkRenamer::Sources sources)
    : QDialog(parent),
      presenter_(std::move(sources)),
      prefixIncluded_(IncludeBox(QStringLiteral("prefixIncluded"))),
      prefix_(Edit(QStringLiteral("prefix"))),
      fileNameIncluded_(IncludeBox(QStringLiteral("fileNameIncluded"))),
      parameterIncluded_(IncludeBox(QStringLiteral("parameterIncluded"))),
      parameterKind_(new QComboBox),
      suffixIncluded_(IncludeBox(QStringLiteral("suffixIncluded"))),
      suffix_(Edit(QStringLiteral("suffix"))),
      extensionUnchanged_(new QRadioButton(QStringLiteral("Unchanged"))),
      extensionCustom_(new QRadioButton(QStringLiteral("Custom"))),
      customExtension_(Edit(QStringLiteral("customExtension"))),
      preview_(PlainLabel(QString(), QStringLiteral("preview"))) {
    setWindowTitle(QStringLiteral("Rename"));
    parameterKind_->setObjectName(QStringLiteral("parameterKind"));
    parameterKind_->addItems(BulkRenamePresenter::ParameterEntries());
    extensionUnchanged_->setObjectName(QStringLiteral("extensionUnchanged"));
    extensionCustom_->setObjectName(QStringLiteral("extensionCustom"));
    extensionUnchanged_->setChecked(true);

    auto* names = new QFormLayout;
    names->addRow(QStringLiteral("File Name:"),
                  PlainLabel(BulkRenamePresenter::SampleName(), QStringLiteral("sampleName")));
    names->addRow(QStringLiteral("New File Name:"), preview_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Group(QStringLiteral("Prefix"), {prefixIncluded_, prefix_}));
    layout->addWidget(Group(QStringLiteral("FileName"), {fileNameIncluded_}));
    layout->addWidget(Group(QStringLiteral("Parameter"), {parameterIncluded_, parameterKind_}));
    layout->addWidget(Group(QStringLiteral("Suffix"), {suffixIncluded_, suffix_}));
    layout->addWidget(Group(QStringLiteral("Extension"),
                            {extensionUnchanged_, extensionCustom_, customExtension_}));
    layout->addLayout(names);
    layout->addWidget(buttons);

    auto forward = [this](auto&& change) {
        return [this, change](auto&&... value) {
            change(value...);
            Render();
        };
    };
    connect(prefixIncluded_, &QCheckBox::toggled, this,
            forward([this](bool on) { presenter_.SetPrefixIncluded(on); }));
    connect(prefix_, &QLineEdit::textChanged, this,
            forward([this](const QString& text) { presenter_.SetPrefix(text); }));
    connect(fileNameIncluded_, &QCheckBox::toggled, this,
            forward([this](bool on) { presenter_.SetFileNameIncluded(on); }));
    connect(parameterIncluded_, &QCheckBox::toggled, this,
            forward([this](bool on) { presenter_.SetParameterIncluded(on); }));
    connect(parameterKind_, &QComboBox::currentIndexChanged, this,
            forward([this](int index) { presenter_.SetParameterSelection(index); }));
    connect(suffixIncluded_, &QCheckBox::toggled, this,
            forward([this](bool on) { presenter_.SetSuffixIncluded(on); }));
    connect(suffix_, &QLineEdit::textChanged, this,
            forward([this](const QString& text) { presenter_.SetSuffix(text); }));
    connect(extensionCustom_, &QRadioButton::toggled, this, forward([this](bool custom) {
                presenter_.SetExtensionChoice(custom ? ExtensionChoice::Custom
                                                     : ExtensionChoice::Unchanged);
            }));
    connect(customExtension_, &QLineEdit::textChanged, this,
            forward([this](const QString& text) { presenter_.SetCustomExtension(text); }));
    connect(buttons, &QDialogButtonBox::accepted, this, &CBulkRenameDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    Render();
}

void CBulkRenameDlg::Render() {
    prefix_->setEnabled(presenter_.prefixEditEnabled());
    parameterKind_->setEnabled(presenter_.parameterListEnabled());
    suffix_->setEnabled(presenter_.suffixEditEnabled());
    customExtension_->setEnabled(presenter_.customExtensionEditEnabled());
    preview_->setText(presenter_.preview());
}

void CBulkRenameDlg::accept() {
    fields_ = presenter_.Accept();
    QDialog::accept();
}

}  // namespace krelix
