#include "settings/ui/settings_dlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "engine/search_flags.h"
#include "settings/ui/search_option.h"

namespace krelix {
namespace {

constexpr std::uint32_t kAllOptions = 0x7FE0;

std::uint32_t Shown(const CSettingsDlg& dialog) {
    std::uint32_t shown = 0;
    for (const SearchOption& option : SearchOptions()) {
        if (dialog.box(option.flag)->isChecked()) {
            shown |= option.flag;
        }
    }
    return shown;
}

void CheckOnly(CSettingsDlg& dialog, std::uint32_t flags) {
    for (const SearchOption& option : SearchOptions()) {
        dialog.box(option.flag)->setChecked((flags & option.flag) != 0);
    }
}

TEST(SettingsDlg, OpensWithABoxCheckedExactlyForEachSetBit) {
    const std::uint32_t words[] = {DEFAULT_SEARCH_FLAGS,
                                   0,
                                   SEARCH_SUBDIRS,
                                   SKIP_ZERO_SIZE_FILES,
                                   kAllOptions,
                                   0xFFFFFFFFu,
                                   FILTER_SIZE_RANGE | SKIP_RECYCLE_BIN};
    for (const std::uint32_t word : words) {
        CSettingsDlg dialog(word);
        EXPECT_EQ(Shown(dialog), word & kAllOptions) << std::hex << word;
    }
    CSettingsDlg fresh(DEFAULT_SEARCH_FLAGS);
    EXPECT_FALSE(fresh.box(SKIP_ZERO_SIZE_FILES)->isChecked());
    EXPECT_EQ(__builtin_popcount(Shown(fresh)), 9);
}

// OK builds the word from the boxes alone: bits the caller had outside the table are gone.
TEST(SettingsDlg, OkRebuildsTheWordFromTheBoxes) {
    struct Case {
        std::uint32_t opened;
        std::uint32_t checked;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {DEFAULT_SEARCH_FLAGS, 0, 0},
        {DEFAULT_SEARCH_FLAGS, SEARCH_SUBDIRS, 0x20},
        {0, kAllOptions, kAllOptions},
        {0xFFFFFFFFu, kAllOptions, kAllOptions},
        {0xFFFF0001u, SKIP_HIDDEN_FILES | SKIP_ZERO_SIZE_FILES, 0x2800},
    };
    for (const Case& c : cases) {
        CSettingsDlg dialog(c.opened);
        dialog.show();
        CheckOnly(dialog, c.checked);
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.flags(), c.expected) << std::hex << c.opened << " " << c.checked;
    }
}

TEST(SettingsDlg, RestoreDefaultsChecksAllButZeroSizeAndTakesEffectOnlyOnOk) {
    for (const std::uint32_t opened :
         {0u, kAllOptions, 0xFFFFFFFFu, std::uint32_t{SKIP_ZERO_SIZE_FILES}}) {
        CSettingsDlg dialog(opened);
        dialog.show();
        QTest::mouseClick(dialog.restoreDefaultsButton(), Qt::LeftButton);
        EXPECT_TRUE(dialog.isVisible()) << "Restore Defaults does not close the dialog";
        EXPECT_EQ(Shown(dialog), DEFAULT_SEARCH_FLAGS);
        EXPECT_EQ(dialog.flags(), opened) << "nothing is given back before OK";
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        EXPECT_EQ(dialog.flags(), DEFAULT_SEARCH_FLAGS);
    }
}

// Run is what the main window calls: OK gives the settings, every other way out gives nothing.
TEST(SettingsDlg, RunGivesTheSettingsOnlyOnOk) {
    const auto runAnswering = [](std::function<void(CSettingsDlg&)> answer) {
        QTimer::singleShot(0, [answer] {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (auto* dialog = qobject_cast<CSettingsDlg*>(window);
                    dialog && dialog->isVisible()) {
                    answer(*dialog);
                    return;
                }
            }
            ADD_FAILURE() << "the dialog did not open";
        });
        const auto settings = CSettingsDlg::Run(nullptr, SearchSettings{0x0800, true}, nullptr);
        return settings ? std::optional(std::pair(settings->flags, settings->rememberHashes))
                        : std::nullopt;
    };
    EXPECT_EQ(runAnswering([](CSettingsDlg& d) {
                  QTest::mouseClick(d.restoreDefaultsButton(), Qt::LeftButton);
                  QTest::mouseClick(d.cancelButton(), Qt::LeftButton);
              }),
              std::nullopt);
    EXPECT_EQ(runAnswering([](CSettingsDlg& d) {
                  d.box(SKIP_ZERO_SIZE_FILES)->setChecked(false);
                  QTest::keyClick(&d, Qt::Key_Escape);
              }),
              std::nullopt);
    EXPECT_EQ(runAnswering([](CSettingsDlg& d) { d.close(); }), std::nullopt);
    EXPECT_EQ(runAnswering([](CSettingsDlg& d) {
                  d.box(SEARCH_SUBDIRS)->setChecked(true);
                  QTest::mouseClick(d.okButton(), Qt::LeftButton);
              }),
              std::optional(std::pair(0x0820u, true)));
    EXPECT_EQ(runAnswering([](CSettingsDlg& d) {
                  d.rememberHashesBox()->setChecked(false);
                  QTest::mouseClick(d.okButton(), Qt::LeftButton);
              }),
              std::optional(std::pair(0x0800u, false)));
}

TEST(SettingsDlg, TheHashCacheBoxAndButton) {
    int cleared = 0;
    CSettingsDlg dialog(SearchSettings{DEFAULT_SEARCH_FLAGS, false}, [&cleared] { ++cleared; });
    dialog.show();
    EXPECT_EQ(dialog.rememberHashesBox()->text(),
              QStringLiteral("Remember file hashes between searches"));
    EXPECT_FALSE(dialog.rememberHashesBox()->isChecked());
    EXPECT_EQ(dialog.clearHashCacheButton()->text(), QStringLiteral("Clear Hash Cache"));
    QTest::mouseClick(dialog.clearHashCacheButton(), Qt::LeftButton);
    EXPECT_EQ(1, cleared);
    EXPECT_TRUE(dialog.isVisible()) << "clearing does not end the dialog";
    QTest::mouseClick(dialog.restoreDefaultsButton(), Qt::LeftButton);
    EXPECT_TRUE(dialog.rememberHashesBox()->isChecked());

    CSettingsDlg withoutCache(DEFAULT_SEARCH_FLAGS);
    EXPECT_FALSE(withoutCache.clearHashCacheButton()->isEnabled());
}

TEST(SettingsDlg, TwoColumnsInTheirOrderEachWithALinuxTooltip) {
    CSettingsDlg dialog(DEFAULT_SEARCH_FLAGS);
    dialog.show();
    const std::uint32_t left[] = {SKIP_TEMP_FILES, SKIP_WINDOWS_FOLDER, SKIP_APP_FOLDERS,
                                  SKIP_ZERO_SIZE_FILES, SKIP_RECYCLE_BIN};
    const std::uint32_t right[] = {SEARCH_SUBDIRS, SKIP_HIDDEN_FILES, SKIP_HIDDEN_FOLDERS,
                                   SKIP_SYSTEM_FILES, SKIP_COMPRESSED_FILES};
    for (int i = 0; i < 5; ++i) {
        const QCheckBox* l = dialog.box(left[i]);
        const QCheckBox* r = dialog.box(right[i]);
        EXPECT_LT(l->geometry().right(), r->geometry().left()) << i;
        EXPECT_EQ(l->y(), r->y()) << i;
        if (i > 0) {
            EXPECT_GT(l->y(), dialog.box(left[i - 1])->y()) << i;
        }
        EXPECT_FALSE(l->toolTip().isEmpty());
        EXPECT_FALSE(r->toolTip().isEmpty());
    }
    EXPECT_TRUE(dialog.box(SKIP_WINDOWS_FOLDER)->toolTip().contains(QStringLiteral("/usr/")));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Search Settings"));
}

}  // namespace
}  // namespace krelix
