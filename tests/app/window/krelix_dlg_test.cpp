#include "app/window/krelix_dlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <filesystem>
#include <memory>

#include "app/results/mfc_list_ctrl_ex.h"
#include "app/search/folder_list_box.h"
#include "app/search/search_criteria.h"
#include "app/state/krelix_dlg_model.h"
#include "support/fake_prompts.h"
#include "support/immutable_folder.h"
#include "support/temp_tree.h"

namespace krelix {
namespace {

class KrelixDlgTest : public ::testing::Test {
  protected:
    KrelixDlgTest() : model(tree.Path("settings.dat")), window(model, prompts, FakeDialogs()) {
        window.show();
        QApplication::processEvents();
    }

    CKrelixDlg::Dialogs FakeDialogs() {
        CKrelixDlg::Dialogs dialogs;
        dialogs.searchSettings = [this](QWidget*, SearchSettings settings,
                                        const std::function<void()>& clearHashCache) {
            settingsOpenedWith.push_back(settings.flags);
            clearOffered = static_cast<bool>(clearHashCache);
            return settingsAnswer ? std::optional(SearchSettings{*settingsAnswer, rememberAnswer})
                                  : std::nullopt;
        };
        dialogs.about = [this](QWidget*) { ++aboutShown; };
        return dialogs;
    }

    static QAction* MenuAction(QToolButton* button, const QString& text) {
        for (QAction* action : button->menu()->actions()) {
            if (action->text() == text) {
                return action;
            }
        }
        ADD_FAILURE() << "no menu entry " << text.toStdString();
        return nullptr;
    }

    test::TempTree tree;
    test::FakePrompts prompts;
    KrelixDlgModel model;
    std::vector<std::uint32_t> settingsOpenedWith;
    std::optional<std::uint32_t> settingsAnswer;
    bool rememberAnswer = true;
    bool clearOffered = false;
    int aboutShown = 0;
    CKrelixDlg window;
};

TEST_F(KrelixDlgTest, EnterAndEscapeCloseNothingWhateverHasTheFocus) {
    QSignalSpy commands(&window, &CKrelixDlg::commandTriggered);
    QWidget* targets[] = {&window,
                          window.resultsList(),
                          window.searchCriteria()->typeText(),
                          window.searchCriteria()->minSizeCheck(),
                          window.settingButton(),
                          window.searchButton(),
                          window.autoSelectButton(),
                          window.searchCriteria()->includeList()->listWidget()};
    for (QWidget* target : targets) {
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            target->setFocus();
            QTest::keyClick(target, key);
            EXPECT_TRUE(window.isVisible()) << target->objectName().toStdString() << " " << key;
        }
    }
    EXPECT_EQ(commands.count(), 0);
    EXPECT_TRUE(settingsOpenedWith.empty());
}

TEST_F(KrelixDlgTest, CannotBeMadeSmallerThan730By500) {
    EXPECT_EQ(window.minimumSize(), QSize(730, 500));
    window.resize(400, 300);
    QApplication::processEvents();
    EXPECT_EQ(window.size(), QSize(730, 500));
    EXPECT_GE(window.width(), window.minimumSizeHint().width()) << "nothing is squeezed";
    EXPECT_GE(window.height(), window.minimumSizeHint().height());
}

// Growing the window: folder lists and status line widen, type and size frames follow the
// right edge, the list grows both ways, the bottom buttons stay left and follow the bottom.
TEST_F(KrelixDlgTest, ControlsFollowTheEdgesTheirRulesName) {
    window.resize(776, 532);
    QApplication::processEvents();
    const auto geometryOf = [this](const char* name) {
        const auto* widget = window.findChild<QWidget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget ? QRect(widget->mapTo(&window, QPoint(0, 0)), widget->size()) : QRect();
    };
    const char* names[] = {"searchPath", "includeList", "excludeList", "fileType",      "typeText",
                           "fileSize",   "maxUnit",     "results",     "statusLine",    "aboutHelp",
                           "setting",    "export",      "autoSelect",  "deleteChecked", "search"};
    std::map<std::string, QRect> before;
    for (const char* name : names) {
        before[name] = geometryOf(name);
    }
    window.resize(1400, 900);
    QApplication::processEvents();
    const int dw = 1400 - 776;
    const int dh = 900 - 532;

    for (const char* name : {"searchPath", "includeList", "excludeList"}) {
        EXPECT_EQ(geometryOf(name), before[name].adjusted(0, 0, dw, 0)) << name;
    }
    for (const char* name : {"fileType", "typeText", "fileSize", "maxUnit"}) {
        EXPECT_EQ(geometryOf(name), before[name].translated(dw, 0)) << name;
    }
    EXPECT_EQ(geometryOf("results"), before["results"].adjusted(0, 0, dw, dh));
    EXPECT_EQ(geometryOf("statusLine"), before["statusLine"].adjusted(0, dh, dw, dh));
    for (const char* name :
         {"aboutHelp", "setting", "export", "autoSelect", "deleteChecked", "search"}) {
        EXPECT_EQ(geometryOf(name), before[name].translated(0, dh)) << name;
    }
}

TEST_F(KrelixDlgTest, HeaderClicksSortAndNewResultsComeUnsorted) {
    std::vector<CFileItem*> rows;
    for (const char* name : {"b", "c", "a"}) {
        CFileItem item;
        item.path = std::string("/") + name;
        rows.push_back(model.results().Add(item));
    }
    model.rows().AppendRecords(rows);
    QHeaderView* header = window.resultsList()->horizontalHeader();
    const int x = header->sectionViewportPosition(ResultsModel::NameColumn) + 10;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    EXPECT_EQ(model.rows().RecordAt(0)->name(), "a") << "the first click sorts ascending";
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    EXPECT_EQ(model.rows().RecordAt(0)->name(), "c");
    EXPECT_EQ(model.rows().RecordAt(0)->rowIndex, 0);

    model.rows().Clear();
    model.rows().AppendRecords(rows);
    EXPECT_EQ(header->sortIndicatorSection(), -1);
    EXPECT_EQ(model.rows().RecordAt(0)->name(), "b");
}

TEST_F(KrelixDlgTest, StartsWithDefaultCriteriaAndSettings) {
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Tessmark Duplicate Finder"));
    EXPECT_EQ(model.searchFlags(), DEFAULT_SEARCH_FLAGS);
    EXPECT_EQ(window.searchCriteria()->includeList()->Caption(),
              QStringLiteral("Include to Search"));
    EXPECT_EQ(window.searchCriteria()->excludeList()->Caption(),
              QStringLiteral("Exclude from Search"));
    EXPECT_TRUE(window.statusLine()->text().isEmpty());
    EXPECT_EQ(window.resultsList()->model()->rowCount(), 0);
    // A limit's number and unit follow its box and keep their values while greyed out.
    for (auto [check, edit, unit] : {std::tuple{window.searchCriteria()->minSizeCheck(),
                                                window.searchCriteria()->minSizeEdit(),
                                                window.searchCriteria()->minUnitCombo()},
                                     std::tuple{window.searchCriteria()->maxSizeCheck(),
                                                window.searchCriteria()->maxSizeEdit(),
                                                window.searchCriteria()->maxUnitCombo()}}) {
        EXPECT_FALSE(check->isChecked());
        EXPECT_FALSE(edit->isEnabled());
        EXPECT_FALSE(unit->isEnabled());
        EXPECT_EQ(unit->currentText(), QStringLiteral("B"));
        QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(5, check->height() / 2));
        EXPECT_TRUE(edit->isEnabled() && unit->isEnabled());
        edit->setText(QStringLiteral("12"));
        QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(5, check->height() / 2));
        EXPECT_FALSE(edit->isEnabled() || unit->isEnabled());
        EXPECT_EQ(edit->text(), QStringLiteral("12"));
    }
}

TEST_F(KrelixDlgTest, SettingButtonAndHelpMenuEntryReplaceTheWordOnlyOnOk) {
    settingsAnswer = std::nullopt;
    QTest::mouseClick(window.settingButton(), Qt::LeftButton);
    EXPECT_EQ(model.searchFlags(), DEFAULT_SEARCH_FLAGS) << "Cancel keeps the word";

    settingsAnswer = 0x20;
    QTest::mouseClick(window.settingButton(), Qt::LeftButton);
    EXPECT_EQ(model.searchFlags(), 0x20u);

    settingsAnswer = 0;
    MenuAction(window.aboutHelpButton(), QStringLiteral("Setting"))->trigger();
    EXPECT_EQ(model.searchFlags(), 0u);

    EXPECT_EQ(settingsOpenedWith,
              (std::vector<std::uint32_t>{DEFAULT_SEARCH_FLAGS, DEFAULT_SEARCH_FLAGS, 0x20}));
    EXPECT_FALSE(clearOffered) << "no cache, nothing to clear";
}

TEST_F(KrelixDlgTest, RememberingHashesIsKeptBesideTheSettings) {
    EXPECT_TRUE(model.rememberHashes());
    model.setHashCachePath(tree.Path("cache/hashes.sqlite"));
    EXPECT_EQ(tree.Path("cache/hashes.sqlite"), model.searchCachePath());
    settingsAnswer = DEFAULT_SEARCH_FLAGS;
    rememberAnswer = false;
    QTest::mouseClick(window.settingButton(), Qt::LeftButton);
    EXPECT_TRUE(clearOffered);
    EXPECT_FALSE(model.rememberHashes());
    EXPECT_EQ("", model.searchCachePath());

    KrelixDlgModel next(tree.Path("settings.dat"));
    next.LoadSettings();
    EXPECT_FALSE(next.rememberHashes());
}

TEST_F(KrelixDlgTest, MenuButtonFacesAndEntriesRunTheirCommands) {
    QSignalSpy commands(&window, &CKrelixDlg::commandTriggered);
    const auto lastCommand = [&] { return commands.takeLast().at(0).value<CommandId>(); };
    struct Face {
        QToolButton* button;
        CommandId expected;
    };
    for (const Face& face : {Face{window.autoSelectButton(), CommandId::SelectOldest},
                             Face{window.deleteCheckedButton(), CommandId::RecycleChecked},
                             Face{window.aboutHelpButton(), CommandId::Help}}) {
        QTest::mouseClick(face.button, Qt::LeftButton, {}, QPoint(8, face.button->height() / 2));
        ASSERT_EQ(commands.count(), 1) << face.button->objectName().toStdString();
        EXPECT_EQ(lastCommand(), face.expected);
    }

    MenuAction(window.autoSelectButton(), QStringLiteral("Select Newest in each group"))->trigger();
    EXPECT_EQ(lastCommand(), CommandId::SelectNewest);
    MenuAction(window.deleteCheckedButton(), QStringLiteral("Remove Checked Files from Results"))
        ->trigger();
    EXPECT_EQ(lastCommand(), CommandId::RemoveCheckedFiles);
    window.resultsList()->popupAction(CommandId::RemoveCheckedFiles)->trigger();
    EXPECT_EQ(lastCommand(), CommandId::RemoveCheckedFiles);
    EXPECT_EQ(window.resultsList()->popupAction(CommandId::RemoveCheckedFiles)->text(),
              QStringLiteral("Remove Selected Files from Results"));

    // A handler plugged in later runs for every way to the command.
    int inverted = 0;
    model.SetCommandHandler(CommandId::InvertSelection, [&] { ++inverted; });
    MenuAction(window.autoSelectButton(), QStringLiteral("Invert Selection"))->trigger();
    window.resultsList()->popupAction(CommandId::InvertSelection)->trigger();
    EXPECT_EQ(inverted, 2);

    MenuAction(window.aboutHelpButton(), QStringLiteral("About"))->trigger();
    EXPECT_EQ(aboutShown, 1);

    CFileItem item;
    item.path = "/a.txt";
    model.rows().AppendRecord(model.results().Add(item));
    QApplication::processEvents();
    QWidget* rows = window.resultsList()->viewport();
    const QRect cell = window.resultsList()->visualRect(model.rows().index(0, 2));
    commands.clear();
    QTest::mouseClick(rows, Qt::LeftButton, {}, cell.center());  // a double click's first half
    QTest::mouseDClick(rows, Qt::LeftButton, {}, cell.center());
    ASSERT_GE(commands.count(), 1);
    EXPECT_EQ(lastCommand(), CommandId::OpenContainingFolder);
}

}  // namespace
}  // namespace krelix

namespace krelix {
namespace {

// settings.dat as the window meets it: read while it is built, written when it closes.
class KrelixDlgSettingsFile : public ::testing::Test {
  protected:
    struct Run {
        explicit Run(const std::string& path) : model(path), window(model, prompts, NoDialogs()) {
            window.show();
        }
        static CKrelixDlg::Dialogs NoDialogs() { return {}; }
        test::FakePrompts prompts;
        KrelixDlgModel model;
        CKrelixDlg window;
    };

    std::string Names(const FileTypeCatalogue& catalogue) {
        std::string names;
        for (const CFileCategory& category : catalogue.Categories()) {
            names += category.NameUtf8() + "[";
            for (const CFileType& type : category.Types()) {
                names += type.PatternUtf8() + " ";
            }
            names += "]";
        }
        return names;
    }

    test::TempTree tree;
    const std::string path = tree.Path("settings.dat");
};

TEST_F(KrelixDlgSettingsFile, FirstStartHasAnEmptyCatalogueAndClosingWritesIt) {
    {
        Run run(path);
        EXPECT_TRUE(run.model.catalogue().IsEmpty());
        EXPECT_FALSE(tree.Exists("settings.dat")) << "nothing is written before closing";
        run.window.close();
    }
    EXPECT_EQ(tree.Read("settings.dat"), std::string("\x90", 1));
}

TEST_F(KrelixDlgSettingsFile, TheCatalogueComesBackAtTheNextStartButTheSearchFlagsDoNot) {
    {
        Run run(path);
        CFileCategory& photos = run.model.catalogue().AddCategory(u"Photo Images");
        photos.AddType(u"*.jpg", u"JPEG").SetChecked(true);
        photos.AddType(u"*.png", u"PNG");
        run.model.catalogue().AddCategory(u"Empty");
        run.model.setSearchFlags(0x20);
        run.window.close();
    }
    Run next(path);
    EXPECT_EQ(Names(next.model.catalogue()), "Photo Images[*.jpg *.png ]Empty[]");
    EXPECT_EQ(next.model.catalogue().PatternText(), u"") << "check marks are not kept";
    EXPECT_EQ(next.model.searchFlags(), DEFAULT_SEARCH_FLAGS);
}

TEST_F(KrelixDlgSettingsFile, ABrokenFileIsKeptAsideWithItsBytesAndReportedOnce) {
    const std::string broken(
        "\x91\x92\xA9"
        "Any",
        6);  // ends inside a string
    tree.AddFile("settings.dat", broken);
    {
        Run run(path);
        EXPECT_TRUE(run.model.catalogue().IsEmpty());
        const auto kept = std::filesystem::directory_iterator(tree.root())->path();
        EXPECT_TRUE(kept.filename().string().starts_with("settings.dat.unreadable-")) << kept;
        EXPECT_EQ(broken, tree.Read(kept.filename().string()));
        ASSERT_EQ(1u, run.prompts.shown.size());
        EXPECT_TRUE(run.prompts.shown[0].text.contains(QString::fromStdString(path)));
        EXPECT_TRUE(run.prompts.shown[0].text.contains(QString::fromStdString(kept.string())));

        run.window.setEnabled(false);  // a search is running: the window stays open
        EXPECT_FALSE(run.window.close());
        EXPECT_FALSE(tree.Exists("settings.dat"));
        run.window.setEnabled(true);
        EXPECT_TRUE(run.window.close());
        EXPECT_EQ(tree.Read("settings.dat"), std::string("\x90", 1));
        EXPECT_EQ(broken, tree.Read(kept.filename().string()));
    }
    Run next(path);
    EXPECT_TRUE(next.prompts.shown.empty());
}

TEST_F(KrelixDlgSettingsFile, AFileThatCannotBeSetAsideIsNeverSavedOver) {
    const std::string broken = "\x91\xC1";
    const std::string locked = tree.AddFile("locked/settings.dat", broken);
    {
        // Immutable stops root too; chmod does for anyone else.
        auto frozen = std::make_unique<test::ImmutableFolder>(tree.Path("locked"));
        if (!frozen->ok()) {
            frozen.reset();
            if (test::RunningAsRoot()) {
                GTEST_SKIP() << "root renames in read-only folders";
            }
            tree.SetMode("locked", 0555);
        }
        Run run(locked);
        ASSERT_EQ(1u, run.prompts.shown.size());
        EXPECT_TRUE(run.prompts.shown[0].text.contains(QStringLiteral("will not save")));
        frozen.reset();  // now a save could replace it
        tree.SetMode("locked", 0755);
        EXPECT_TRUE(run.window.close());
    }
    EXPECT_EQ(broken, tree.Read("locked/settings.dat"));
}

}  // namespace
}  // namespace krelix
