#include "operations/ui/rename/bulk_rename_presenter.h"

#include <QFile>

namespace krelix {
namespace {

QByteArray Utf8(const QString& text) {
    return text.toUtf8();
}

QByteArray FileNameBytes(const QString& text) {
    return QFile::encodeName(text);
}

std::string ToStd(const QByteArray& bytes) {
    return std::string(bytes.constData(), bytes.size());
}

}  // namespace

BulkRenamePresenter::BulkRenamePresenter(BulkRenamer::Sources sources)
    : renamer_(std::move(sources)) {}

QStringList BulkRenamePresenter::ParameterEntries() {
    return {QStringLiteral("Increament Number"), QStringLiteral("Random Number"),
            QStringLiteral("Date Time"), QStringLiteral("Date"), QStringLiteral("Time")};
}

void BulkRenamePresenter::SetPrefixIncluded(bool included) {
    prefixIncluded_ = included;
    Refresh();
}

void BulkRenamePresenter::SetPrefix(const QString& prefix) {
    prefix_ = prefix;
    Refresh();
}

void BulkRenamePresenter::SetFileNameIncluded(bool included) {
    fileNameIncluded_ = included;
    Refresh();
}

void BulkRenamePresenter::SetParameterIncluded(bool included) {
    parameterIncluded_ = included;
    Refresh();
}

void BulkRenamePresenter::SetParameterSelection(int index) {
    if (index >= 0 && index < ParameterEntries().size()) {
        selection_ = index;
    }
    Refresh();
}

void BulkRenamePresenter::SetSuffixIncluded(bool included) {
    suffixIncluded_ = included;
    Refresh();
}

void BulkRenamePresenter::SetSuffix(const QString& suffix) {
    suffix_ = suffix;
    Refresh();
}

void BulkRenamePresenter::SetExtensionChoice(ExtensionChoice choice) {
    extensionChoice_ = choice;
    Refresh();
}

void BulkRenamePresenter::SetCustomExtension(const QString& extension) {
    customExtension_ = extension;
    Refresh();
}

BulkRenameFields BulkRenamePresenter::Fields(QByteArray (*encode)(const QString&)) const {
    BulkRenameFields fields;
    fields.prefixIncluded = prefixIncluded_;
    fields.prefix = ToStd(encode(prefix_));
    fields.fileNameIncluded = fileNameIncluded_;
    fields.parameterIncluded = parameterIncluded_;
    fields.parameterKind = static_cast<ParameterKind>(selection_);
    fields.suffixIncluded = suffixIncluded_;
    fields.suffix = ToStd(encode(suffix_));
    fields.extensionChoice = extensionChoice_;
    fields.customExtension = ToStd(encode(customExtension_));
    return fields;
}

BulkRenameFields BulkRenamePresenter::Accept() const {
    return Fields(&FileNameBytes);
}

void BulkRenamePresenter::Refresh() {
    const std::string name =
        renamer_.BuildPreview(Fields(&Utf8), static_cast<ParameterKind>(selection_));
    preview_ = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace krelix
