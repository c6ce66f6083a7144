#pragma once

#include <QString>
#include <QStringList>

#include "operations/rename/bulk_rename_fields.h"
#include "operations/rename/bulk_renamer.h"

namespace krelix {

// The logic of CBulkRenameDlg without widgets: the state of its controls, which edits are
// enabled, and the preview of the new name for "sample.txt". The dialog forwards every change
// here and renders the result.
class BulkRenamePresenter {
  public:
    explicit BulkRenamePresenter(BulkRenamer::Sources sources = BulkRenamer::SystemSources());

    static QStringList ParameterEntries();
    static QString SampleName() { return QStringLiteral("sample.txt"); }

    // Each change refreshes the preview.
    void SetPrefixIncluded(bool included);
    void SetPrefix(const QString& prefix);
    void SetFileNameIncluded(bool included);
    void SetParameterIncluded(bool included);
    void SetParameterSelection(int index);
    void SetSuffixIncluded(bool included);
    void SetSuffix(const QString& suffix);
    void SetExtensionChoice(ExtensionChoice choice);
    void SetCustomExtension(const QString& extension);

    bool prefixIncluded() const { return prefixIncluded_; }
    bool fileNameIncluded() const { return fileNameIncluded_; }
    bool parameterIncluded() const { return parameterIncluded_; }
    int parameterSelection() const { return selection_; }
    bool suffixIncluded() const { return suffixIncluded_; }
    ExtensionChoice extensionChoice() const { return extensionChoice_; }
    QString prefix() const { return prefix_; }
    QString suffix() const { return suffix_; }
    QString customExtension() const { return customExtension_; }

    // Each edit (and the list) is enabled by its own check box or radio button.
    bool prefixEditEnabled() const { return prefixIncluded_; }
    bool parameterListEnabled() const { return parameterIncluded_; }
    bool suffixEditEnabled() const { return suffixIncluded_; }
    bool customExtensionEditEnabled() const { return extensionChoice_ == ExtensionChoice::Custom; }

    // Empty until the first change.
    QString preview() const { return preview_; }

    // The fields handed back on OK, with the list's selection kept as the parameter kind and
    // the texts encoded as file name bytes.
    BulkRenameFields Accept() const;

  private:
    BulkRenameFields Fields(QByteArray (*encode)(const QString&)) const;
    void Refresh();

    BulkRenamer renamer_;
    bool prefixIncluded_ = false;
    QString prefix_;
    bool fileNameIncluded_ = false;
    bool parameterIncluded_ = false;
    int selection_ = 0;
    bool suffixIncluded_ = false;
    QString suffix_;
    ExtensionChoice extensionChoice_ = ExtensionChoice::Unchanged;
    QString customExtension_;
    QString preview_;
};

}  // namespace krelix
