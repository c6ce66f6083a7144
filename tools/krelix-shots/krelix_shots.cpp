// krelix-shots OUTPUT_FOLDER: saves PNGs of the main window (default size, 1400 by 900 and the
// minimum, with realistic results), its menus, the About box and the search settings dialog; then
// lists a few generated pictures, selects one and saves the whole screen with the picture preview
// beside the list (run under Xvfb, with a window manager for the title bars).
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QEventLoop>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QRadialGradient>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <cstdio>
#include <vector>

#include "app/results/mfc_list_ctrl_ex.h"
#include "app/results/selection_preview.h"
#include "app/state/krelix_dlg_model.h"
#include "app/window/about_dlg.h"
#include "app/window/krelix_app.h"
#include "app/window/krelix_dlg.h"
#include "common/ui/prompts.h"
#include "engine/file_crc.h"
#include "preview/ui/preview_dlg.h"
#include "search_shots.h"
#include "settings/ui/settings_dlg.h"

namespace {

// Groups as a search of a home folder lists them: keys of up to 18 characters, sizes up to
// gigabytes, paths of 50 to 80 characters, dates with long weekday and month names.
void FillSamples(krelix::KrelixDlgModel& model) {
    struct Sample {
        const char* folder;
        const char* copyFolder;
        const char* name;
        std::uint64_t size;
        const char* crc;
    };
    const Sample samples[] = {
        {"Pictures/2023 Summer/Camera/", "Backup/phone/DCIM/Camera/", "IMG_20230812_181502.jpg",
         4718592, "9F3A0C1B"},
        {"Documents/Work/Reports/", "Downloads/", "Quarterly report 2023-Q3 final.pdf", 1234567,
         "00C0FFEE"},
        {"Music/Live recordings/", "Backup/Music/Live recordings/", "song - live version.mp3",
         8812345, "7E5D3C2B"},
        {"Documents/Notes/", "Backup/Documents/Notes/", "notes.txt", 2048, "1A2B3C4D"},
        {"Downloads/", "Backup/Archives/2022/", "project-archive-2022-11-30.tar.gz", 734003200,
         "DEADBEEF"},
        {"Videos/Family/", "Backup/Videos/Family/", "2022-12-24 Christmas evening.mp4", 3145728000,
         "ABCDEF01"},
        {"Documents/Finance/", "Desktop/", "budget.ods", 48213, "5A5A0F0F"},
        {"Pictures/Scans/", "Backup/Pictures/Scans/", "scan0001.png", 902144, "C0DEC0DE"},
    };
    std::vector<krelix::CFileItem*> rows;
    std::int64_t time = 1695858000;
    int group = 0;
    for (const Sample& sample : samples) {
        for (int member = 0; member < 2 + group % 3; ++member) {
            krelix::CFileItem item;
            item.path = std::string("/home/alexandra/") +
                        (member % 2 ? sample.copyFolder : sample.folder) +
                        (member > 1 ? "old copies/" : "") + sample.name;
            item.size = sample.size;
            item.groupKey = krelix::MakeGroupKey(item.size, sample.crc);
            item.modified = time += 86400 * 3 + 3600;
            item.deleted = group == 2 && member == 1;
            rows.push_back(model.results().Add(item));
        }
        ++group;
    }
    model.rows().AppendRecords(rows);
    model.rows().RestripeGroups();
    model.rows().SetChecked(1, true);
    model.rows().SetChecked(3, true);
}

// A landscape of the given size and colours: sky, sun, hills.
QImage Landscape(int width, int height, QColor sky, QColor ground) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 0, height);
    gradient.setColorAt(0, sky);
    gradient.setColorAt(0.6, sky.lighter(160));
    gradient.setColorAt(0.61, ground);
    gradient.setColorAt(1, ground.darker(200));
    painter.fillRect(image.rect(), gradient);
    const QPointF centre(width * 0.7, height * 0.35);
    QRadialGradient sun(centre, height * 0.18);
    sun.setColorAt(0, QColor(255, 245, 190));
    sun.setColorAt(1, QColor(255, 160, 60, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(sun);
    painter.drawEllipse(centre, height * 0.18, height * 0.18);
    painter.setBrush(ground.darker(160));
    painter.drawPolygon(QPolygonF({{0, height * 0.62},
                                   {width * 0.25, height * 0.35},
                                   {width * 0.45, height * 0.55},
                                   {width * 0.62, height * 0.42},
                                   {width * 0.9, height * 0.62}}));
    return image;
}

// Real files for the preview: three pictures in two copies each, and a text file pair.
void FillPictures(krelix::KrelixDlgModel& model, const QString& root) {
    model.rows().Clear();
    model.results().Clear();
    struct Picture {
        const char* name;
        QImage image;
    };
    const Picture pictures[] = {
        {"sunset over the lake.jpg",
         Landscape(1600, 1000, QColor(60, 120, 210), QColor(40, 90, 60))},
        {"harbour at dusk.png", Landscape(1200, 900, QColor(120, 70, 160), QColor(30, 60, 110))},
        {"portrait crop.png", Landscape(600, 900, QColor(230, 150, 80), QColor(90, 70, 40))},
    };
    std::vector<krelix::CFileItem*> rows;
    std::int64_t time = 1718000000;
    const auto add = [&](const QString& folder, const QString& name, const QByteArray& bytes) {
        QDir().mkpath(root + folder);
        QFile file(root + folder + name);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        file.close();
        krelix::CFileItem item;
        item.path = QFile::encodeName(file.fileName()).toStdString();
        item.size = static_cast<std::uint64_t>(bytes.size());
        item.groupKey =
            krelix::MakeGroupKey(item.size, "5EED" + std::to_string(1000 + bytes.size() % 9000));
        item.modified = time += 5400;
        rows.push_back(model.results().Add(item));
    };
    for (const Picture& picture : pictures) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        const QString name = QString::fromUtf8(picture.name);
        picture.image.save(&buffer, name.endsWith(".jpg") ? "JPEG" : "PNG");
        add("/Pictures/2024 Summer/", name, bytes);
        add("/Backup/phone/DCIM/", name, bytes);
    }
    add("/Documents/", "packing list.txt", "passport, charger, sun cream\n");
    add("/Backup/Documents/", "packing list.txt", "passport, charger, sun cream\n");
    model.rows().AppendRecords(rows);
    model.rows().RestripeGroups();
}

// Waits until the preview has tried the file it was given (or five seconds have passed).
void WaitForPreview(krelix::CPreviewDlg* preview) {
    QEventLoop loop;
    QObject::connect(preview, &krelix::CPreviewDlg::FileShown, &loop, &QEventLoop::quit);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
}

bool Save(const QPixmap& pixmap, const QString& path) {
    const bool ok = pixmap.save(path);
    std::printf("%s %s (%dx%d)\n", ok ? "saved" : "FAILED", qPrintable(path), pixmap.width(),
                pixmap.height());
    return ok;
}

void Settle() {
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents();
    }
}

// The main window at its first, a large and its smallest size.
int ShootMainWindow(krelix::CKrelixDlg& window, const QString& out) {
    int failures = 0;
    Settle();
    failures += !Save(window.grab(), out + QStringLiteral("/main-initial.png"));
    window.resize(1400, 900);
    Settle();
    failures += !Save(window.grab(), out + QStringLiteral("/main-1400x900.png"));
    window.resize(krelix::CKrelixDlg::kMinimumWidth, krelix::CKrelixDlg::kMinimumHeight);
    Settle();
    failures += !Save(window.grab(), out + QStringLiteral("/main-minimum.png"));
    return failures;
}

// The settings dialog, the About box, the list's popup menu and the buttons' menus.
int ShootDialogsAndMenus(krelix::CKrelixDlg& window, const QString& out) {
    int failures = 0;
    krelix::CSettingsDlg settings(krelix::DEFAULT_SEARCH_FLAGS, &window);
    settings.show();
    Settle();
    failures += !Save(settings.grab(), out + QStringLiteral("/settings-dialog.png"));
    settings.hide();

    krelix::CAboutDlg about(&window);
    about.show();
    Settle();
    failures += !Save(about.grab(), out + QStringLiteral("/about-box.png"));
    about.hide();

    QMenu* popup = window.resultsList()->popupMenu();
    popup->popup(window.mapToGlobal(QPoint(200, 200)));
    Settle();
    failures += !Save(popup->grab(), out + QStringLiteral("/list-popup.png"));
    popup->hide();
    for (QToolButton* button :
         {window.aboutHelpButton(), window.autoSelectButton(), window.deleteCheckedButton()}) {
        QMenu* menu = button->menu();
        menu->popup(window.mapToGlobal(QPoint(100, 100)));
        Settle();
        failures +=
            !Save(menu->grab(), out + QStringLiteral("/menu-%1.png").arg(button->objectName()));
        menu->hide();
    }
    return failures;
}

// The preview beside the list: what a user sees after clicking a picture row.
int ShootPreview(krelix::KrelixDlgModel& model, krelix::CKrelixDlg& window, const QString& out) {
    int failures = 0;
    QTemporaryDir files;
    FillPictures(model, files.path());
    krelix::SelectionPreview selectionPreview(window, model.rows(), *window.resultsList());
    window.statusLine()->setText(QStringLiteral("Files scanned: 8 , duplicates: 8 "));
    window.setGeometry(10, 30, 1000, 620);
    Settle();
    bool placed = false;
    const auto shoot = [&](int row, const QString& name) {
        window.resultsList()->selectRow(row);
        krelix::CPreviewDlg* preview = selectionPreview.preview();
        if (preview == nullptr) {
            ++failures;
            return;
        }
        if (!placed) {
            preview->setGeometry(1030, 30, 540, 400);
            placed = true;
        }
        WaitForPreview(preview);
        // The window manager maps and frames the window and the screen repaints in its own
        // time; a screen shot has nothing to wait on but the clock.
        QEventLoop pause;
        QTimer::singleShot(700, &pause, &QEventLoop::quit);
        pause.exec();
        failures += !Save(QGuiApplication::primaryScreen()->grabWindow(0), out + name);
    };
    shoot(2, QStringLiteral("/preview-beside-list.png"));
    shoot(4, QStringLiteral("/preview-portrait.png"));
    shoot(6, QStringLiteral("/preview-text-file.png"));
    return failures;
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

    int failures = ShootMainWindow(window, out);
    failures += ShootDialogsAndMenus(window, out);
    failures += ShootPreview(model, window, out);
    window.close();
    failures += ShootSearch(out);
    failures += ShootChooser(out);
    return failures == 0 ? 0 : 1;
}
