#include <gtest/gtest.h>

#include "operations/ui/qstring_printer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include "operations/ui/rename/bulk_rename_dlg.h"
#include "operations/ui/rename/rename_file_dlg.h"

namespace krelix {
namespace {

template <typename T>
T* Find(QWidget& dialog, const char* name) {
    T* widget = dialog.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(nullptr, widget) << name;
    return widget;
}

BulkRenamer::Sources Fixed() {
    return {[] { return std::optional<std::uint32_t>(5); }, [] { return std::int64_t{0}; }};
}

TEST(CRenameFileDlg, ShowsTheCurrentNameAndReturnsTheTypedOne) {
    CRenameFileDlg dialog(QString::fromUtf8("Grüße, \"x\".txt"));
    EXPECT_EQ("Rename", dialog.windowTitle());
    QLineEdit* current = Find<QLineEdit>(dialog, "currentName");
    QLineEdit* typed = Find<QLineEdit>(dialog, "newName");
    ASSERT_TRUE(current && typed);
    EXPECT_EQ(QString::fromUtf8("Grüße, \"x\".txt"), current->text());
    EXPECT_TRUE(current->isReadOnly());
    EXPECT_EQ(QString(), typed->text());
    QTest::keyClicks(typed, "new.txt");
    EXPECT_EQ("new.txt", dialog.newName());
}

TEST(CBulkRenameDlg, HasTheProgramsControlTexts) {
    CBulkRenameDlg dialog(nullptr, Fixed());
    EXPECT_EQ("Rename", dialog.windowTitle());
    QStringList groups;
    for (const QGroupBox* group : dialog.findChildren<QGroupBox*>()) {
        groups << group->title();
    }
    EXPECT_EQ((QStringList{"Prefix", "FileName", "Parameter", "Suffix", "Extension"}), groups);
    for (const char* box :
         {"prefixIncluded", "fileNameIncluded", "parameterIncluded", "suffixIncluded"}) {
        QCheckBox* check = Find<QCheckBox>(dialog, box);
        ASSERT_NE(nullptr, check);
        EXPECT_EQ("Incldue", check->text());
        EXPECT_FALSE(check->isChecked());
    }
    QComboBox* kinds = Find<QComboBox>(dialog, "parameterKind");
    ASSERT_NE(nullptr, kinds);
    QStringList entries;
    for (int i = 0; i < kinds->count(); ++i) {
        entries << kinds->itemText(i);
    }
    EXPECT_EQ((QStringList{"Increament Number", "Random Number", "Date Time", "Date", "Time"}),
              entries);
    EXPECT_EQ(0, kinds->currentIndex());
    EXPECT_FALSE(kinds->isEnabled());
    EXPECT_EQ("Unchanged", Find<QRadioButton>(dialog, "extensionUnchanged")->text());
    EXPECT_TRUE(Find<QRadioButton>(dialog, "extensionUnchanged")->isChecked());
    EXPECT_EQ("Custom", Find<QRadioButton>(dialog, "extensionCustom")->text());
    for (const char* edit : {"prefix", "suffix", "customExtension"}) {
        EXPECT_FALSE(Find<QLineEdit>(dialog, edit)->isEnabled()) << edit;
    }
    EXPECT_EQ("sample.txt", Find<QLabel>(dialog, "sampleName")->text());
    EXPECT_EQ("", Find<QLabel>(dialog, "preview")->text());
}

TEST(CBulkRenameDlg, ClicksAndTypingUpdateThePreviewAndOkHandsTheRuleBack) {
    CBulkRenameDlg dialog(nullptr, Fixed());
    dialog.show();
    QLabel* preview = Find<QLabel>(dialog, "preview");
    QCheckBox* prefixBox = Find<QCheckBox>(dialog, "prefixIncluded");
    QLineEdit* prefix = Find<QLineEdit>(dialog, "prefix");
    ASSERT_TRUE(preview && prefixBox && prefix);

    QTest::mouseClick(prefixBox, Qt::LeftButton);
    EXPECT_TRUE(prefix->isEnabled());
    EXPECT_EQ(".txt", preview->text());
    QTest::keyClicks(prefix, "<b>x</b>_");
    EXPECT_EQ("<b>x</b>_.txt", preview->text());
    EXPECT_EQ(Qt::PlainText, preview->textFormat());

    QTest::mouseClick(Find<QCheckBox>(dialog, "fileNameIncluded"), Qt::LeftButton);
    QTest::mouseClick(Find<QCheckBox>(dialog, "parameterIncluded"), Qt::LeftButton);
    QComboBox* kinds = Find<QComboBox>(dialog, "parameterKind");
    EXPECT_TRUE(kinds->isEnabled());
    kinds->setCurrentIndex(1);
    EXPECT_EQ("<b>x</b>_sample68286.txt", preview->text());

    QTest::mouseClick(Find<QRadioButton>(dialog, "extensionCustom"), Qt::LeftButton);
    QLineEdit* extension = Find<QLineEdit>(dialog, "customExtension");
    EXPECT_TRUE(extension->isEnabled());
    QTest::keyClicks(extension, "*.bak");
    EXPECT_EQ("<b>x</b>_sample68286.bak", preview->text());

    dialog.accept();
    EXPECT_EQ(QDialog::Accepted, dialog.result());
    const BulkRenameFields& fields = dialog.fields();
    EXPECT_TRUE(fields.prefixIncluded);
    EXPECT_EQ("<b>x</b>_", fields.prefix);
    EXPECT_TRUE(fields.fileNameIncluded);
    EXPECT_TRUE(fields.parameterIncluded);
    EXPECT_EQ(ParameterKind::RandomNumber, fields.parameterKind);
    EXPECT_FALSE(fields.suffixIncluded);
    EXPECT_EQ(ExtensionChoice::Custom, fields.extensionChoice);
    EXPECT_EQ("*.bak", fields.customExtension);
}

}  // namespace
}  // namespace krelix
