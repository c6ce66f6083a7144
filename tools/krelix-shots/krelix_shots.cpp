// krelix-shots OUTPUT_FOLDER: saves PNGs of the main window (initial size and 1400 by 900, with
// sample results), its menus, the About box and the search settings dialog.
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <cstdio>
#include <vector>

#include "app/about_dlg.h"
#include "app/krelix_app.h"
#include "app/krelix_dlg.h"
#include "app/krelix_dlg_model.h"
#include "app/mfc_list_ctrl_ex.h"
#include "common/ui/prompts.h"
#include "settings/ui/settings_dlg.h"

namespace {

void FillSamples(krelix::KrelixDlgModel& model) {
    const char* names[] = {"holiday.jpg",    "report.pdf", "song.mp3",   "notes.txt",
                           "archive.tar.gz", "clip.mp4",   "budget.ods", "photo.png"};
    std::vector<krelix::CFileItem*> rows;
    std::int64_t time = 1700000000;
    for (int group = 0; group < 8; ++group) {
        for (int member = 0; member < 2 + group % 3; ++member) {
            krelix::CFileItem item;
            item.name = names[group];
            item.path = "/home/user/" + std::string(member % 2 ? "Backup/" : "Documents/") +
                        (member > 1 ? "old/" : "") + item.name;
            item.size = 1000u * static_cast<unsigned>(group + 1) * 1234u;
            item.crc = "0A1B2C3" + std::to_string(group);
            item.groupKey = std::to_string(item.size) + item.crc;
            item.modified = time += 86400 * 3 + 3600;
            item.deleted = group == 2 && member == 1;
            rows.push_back(model.results().Add(item));
        }
    }
    model.rows().AppendRecords(rows);
    model.rows().RestripeGroups();
    model.rows().SetChecked(1, true);
    model.rows().SetChecked(3, true);
}

bool Save(const QPixmap& pixmap, const QString& path) {
    const bool ok = pixmap.save(path);
    std::printf("%s %s (%dx%d)\n", ok ? "saved" : "FAILED", qPrintable(path), pixmap.width(),
                pixmap.height());
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    krelix::CKrelixApp app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: krelix-shots OUTPUT_FOLDER\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    krelix::KrelixDlgModel model(QDir(out).filePath(QStringLiteral("settings.dat")).toStdString());
    krelix::MessageBoxPrompts prompts(nullptr);
    krelix::CKrelixDlg window(model, prompts);
    FillSamples(model);
    window.statusLine()->setText(QStringLiteral("Files scanned: 1234 , duplicates: 24 "));
    window.show();

    int failures = 0;
    const auto settle = [] {
        for (int i = 0; i < 20; ++i) {
            QApplication::processEvents();
        }
    };
    settle();
    failures += !Save(window.grab(), out + QStringLiteral("/main-initial.png"));
    window.resize(1400, 900);
    settle();
    failures += !Save(window.grab(), out + QStringLiteral("/main-1400x900.png"));
    window.resize(krelix::CKrelixDlg::kMinimumWidth, krelix::CKrelixDlg::kMinimumHeight);
    settle();
    failures += !Save(window.grab(), out + QStringLiteral("/main-minimum.png"));

    krelix::CSettingsDlg settings(krelix::DEFAULT_SEARCH_FLAGS, &window);
    settings.show();
    settle();
    failures += !Save(settings.grab(), out + QStringLiteral("/settings-dialog.png"));
    settings.hide();

    krelix::CAboutDlg about(&window);
    about.show();
    settle();
    failures += !Save(about.grab(), out + QStringLiteral("/about-box.png"));
    about.hide();

    QMenu* popup = window.resultsList()->popupMenu();
    popup->popup(window.mapToGlobal(QPoint(200, 200)));
    settle();
    failures += !Save(popup->grab(), out + QStringLiteral("/list-popup.png"));
    popup->hide();
    for (QToolButton* button :
         {window.aboutHelpButton(), window.autoSelectButton(), window.deleteCheckedButton()}) {
        QMenu* menu = button->menu();
        menu->popup(window.mapToGlobal(QPoint(100, 100)));
        settle();
        failures +=
            !Save(menu->grab(), out + QStringLiteral("/menu-%1.png").arg(button->objectName()));
        menu->hide();
    }
    window.close();
    return failures == 0 ? 0 : 1;
}
