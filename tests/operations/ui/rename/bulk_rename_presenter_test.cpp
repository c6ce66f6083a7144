#include "operations/ui/rename/bulk_rename_presenter.h"

#include <gtest/gtest.h>

#include "operations/ui/qstring_printer.h"

#include <QFile>

namespace krelix {
namespace {

BulkRenamer::Sources Fixed() {
    return {[] { return std::optional<std::uint32_t>(5); }, [] { return std::int64_t{0}; }};
}

TEST(BulkRenamePresenter, EachChangeEnablesItsEditAndRefreshesThePreview) {
    BulkRenamePresenter presenter(Fixed());
    presenter.SetFileNameIncluded(true);
    EXPECT_EQ("sample.txt", presenter.preview());
    presenter.SetPrefixIncluded(true);
    EXPECT_TRUE(presenter.prefixEditEnabled());
    presenter.SetPrefix("x_");
    EXPECT_EQ("x_sample.txt", presenter.preview());
    presenter.SetParameterIncluded(true);
    EXPECT_TRUE(presenter.parameterListEnabled());
    EXPECT_EQ("x_sample1.txt", presenter.preview());
    presenter.SetParameterSelection(1);
    EXPECT_EQ("x_sample68286.txt", presenter.preview());
    presenter.SetParameterSelection(7);  // no such entry: kept as it was
    EXPECT_EQ(1, presenter.parameterSelection());
    presenter.SetSuffixIncluded(true);
    presenter.SetSuffix(QString::fromUtf8("_ü"));
    EXPECT_TRUE(presenter.suffixEditEnabled());
    EXPECT_EQ(QString::fromUtf8("x_sample68286_ü.txt"), presenter.preview());
    presenter.SetExtensionChoice(ExtensionChoice::Custom);
    EXPECT_TRUE(presenter.customExtensionEditEnabled());
    EXPECT_EQ(QString::fromUtf8("x_sample68286_ü."), presenter.preview());
    presenter.SetCustomExtension("*.bak");
    EXPECT_EQ(QString::fromUtf8("x_sample68286_ü.bak"), presenter.preview());
    presenter.SetPrefixIncluded(false);
    EXPECT_FALSE(presenter.prefixEditEnabled());
    EXPECT_EQ(QString::fromUtf8("sample68286_ü.bak"), presenter.preview());
    presenter.SetExtensionChoice(ExtensionChoice::Unchanged);
    EXPECT_FALSE(presenter.customExtensionEditEnabled());
    EXPECT_EQ(QString::fromUtf8("sample68286_ü.txt"), presenter.preview());
}

TEST(BulkRenamePresenter, AcceptKeepsTheSelectionAndTheTypedTexts) {
    BulkRenamePresenter presenter(Fixed());
    presenter.SetPrefix("p");  // kept even while its box is clear
    presenter.SetParameterIncluded(true);
    presenter.SetParameterSelection(3);
    presenter.SetExtensionChoice(ExtensionChoice::Custom);
    presenter.SetCustomExtension(QString::fromUtf8("*.ä"));
    BulkRenameFields expected;
    expected.prefix = "p";
    expected.parameterIncluded = true;
    expected.parameterKind = ParameterKind::Date;
    expected.extensionChoice = ExtensionChoice::Custom;
    expected.customExtension = QFile::encodeName(QString::fromUtf8("*.ä")).toStdString();
    EXPECT_EQ(expected, presenter.Accept());
}

}  // namespace
}  // namespace krelix
