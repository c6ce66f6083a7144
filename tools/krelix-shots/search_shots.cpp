#include "search_shots.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>

#include "app/search/folder_list_box.h"
#include "app/search/search_controller.h"
#include "app/search/search_criteria.h"
#include "app/search/waiting_dlg.h"
#include "app/state/krelix_dlg_model.h"
#include "app/window/krelix_dlg.h"
#include "catalogue/ui/add_file_type.h"
#include "catalogue/ui/file_type_dlg.h"
#include "catalogue/ui/muti_tree_ctrl.h"
#include "common/ui/prompts.h"
#include "engine/vornex.h"

namespace {

// Holds the engine at one notice until the shot is taken.
class Hold {
  public:
    Hold(krelix::ProgressNotice::Kind kind, int count) : kind_(kind), count_(count) {}
    void OnNotice(const krelix::ProgressNotice& notice) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (notice.kind != kind_ || --count_ != 0) {
            return;
        }
        reached_ = true;
        open_.wait_for(lock, std::chrono::seconds(30), [this] { return released_; });
    }
    bool Reached() {
        std::lock_guard<std::mutex> lock(mutex_);
        return reached_;
    }
    void Release() {
        std::lock_guard<std::mutex> lock(mutex_);
        released_ = true;
        open_.notify_all();
    }

  private:
    krelix::ProgressNotice::Kind kind_;
    int count_;
    std::mutex mutex_;
    std::condition_variable open_;
    bool reached_ = false;
    bool released_ = false;
};

void Pause(int ms) {
    QEventLoop pause;
    QTimer::singleShot(ms, &pause, &QEventLoop::quit);
    pause.exec();
}

bool SaveScreen(const QString& path) {
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0);
    const bool ok = shot.save(path);
    std::printf("%s %s (%dx%d)\n", ok ? "saved" : "FAILED", qPrintable(path), shot.width(),
                shot.height());
    return ok;
}

void Write(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(content);
    }
}

// Photos and documents with copies in a backup folder, and files of their own.
void PlantTree(const QString& root) {
    const char* names[] = {"IMG_20230812_181502.jpg",
                           "IMG_20230812_181544.jpg",
                           "Quarterly report 2023-Q3.pdf",
                           "holiday-video.mp4",
                           "invoice_0042.pdf",
                           "song - live version.mp3",
                           "notes.txt",
                           "Präsentation Übersicht.odp",
                           "budget.ods",
                           "scan0001.png"};
    int n = 0;
    for (const char* name : names) {
        const QByteArray content = QByteArray(2000 + 977 * n, char('a' + n));
        Write(root + QStringLiteral("/Pictures/2023/") + QString::fromUtf8(name), content);
        Write(root + QStringLiteral("/Backup/2023/") + QString::fromUtf8(name), content);
        if (n % 3 == 0) {
            Write(root + QStringLiteral("/Backup/old copies/") + QString::fromUtf8(name), content);
        }
        Write(root + QStringLiteral("/Documents/own-%1.txt").arg(n), QByteArray(300 + n, 'o'));
        ++n;
    }
    // Large enough that the comparison reads them in its second stage.
    const QByteArray video(8 << 20, 'v');
    Write(root + QStringLiteral("/Videos/holiday 2023 (full length).mkv"), video);
    Write(root + QStringLiteral("/Backup/Videos/holiday 2023 (full length).mkv"), video);
}

// The summary box, when it comes: shot, then answered.
void WatchForSummary(QTimer& boxWatch, const QString& out, int& failures) {
    QObject::connect(&boxWatch, &QTimer::timeout, &boxWatch, [&boxWatch, out, &failures] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        boxWatch.stop();
        Pause(700);
        failures += !SaveScreen(out + QStringLiteral("/search-summary.png"));
        box->accept();
    });
}

// The screen once the search holds at the notice, then the search goes on.
void ShootAt(Hold& hold, const QString& path, int& failures) {
    for (int i = 0; i < 300 && !hold.Reached(); ++i) {
        Pause(20);
    }
    if (!hold.Reached()) {
        ++failures;
        return;
    }
    Pause(700);  // the progress window repaints every 100 ms; the screen in its own time
    failures += !SaveScreen(path);
    hold.Release();
}

// Cancel pressed while comparing: the question, answered "Cancel" so the search goes on.
void ShootCancelQuestion(krelix::SearchController& controller, Hold& comparing, const QString& out,
                         int& failures) {
    for (int i = 0; i < 300 && !comparing.Reached(); ++i) {
        Pause(20);
    }
    if (!comparing.Reached()) {
        return;
    }
    Pause(300);
    QTimer::singleShot(100, [out, &failures] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            ++failures;
            return;
        }
        Pause(700);
        failures += !SaveScreen(out + QStringLiteral("/search-cancel-question.png"));
        box->button(QMessageBox::Cancel)->click();
    });
    controller.waitingDlg()->cancelButton()->click();
}

}  // namespace

int ShootSearch(const QString& out) {
    int failures = 0;
    QTemporaryDir dir;
    const QString root = dir.path() + QStringLiteral("/home/user");
    PlantTree(root);

    krelix::EngineOptions options;
    options.readingNoticeInterval = std::chrono::nanoseconds(0);
    krelix::KrelixDlgModel model(
        QDir(out).filePath(QStringLiteral("settings.dat")).toStdString(),
        std::make_unique<krelix::CVornex>(krelix::SkipFolders{}, std::move(options)));
    krelix::MessageBoxPrompts prompts(nullptr);
    krelix::CKrelixDlg window(model, prompts);
    prompts.setParent(&window);
    window.searchCriteria()->includeList()->AddItem(root);
    window.searchCriteria()->excludeList()->AddItem(root + QStringLiteral("/Documents"));
    window.setGeometry(60, 40, 1100, 700);
    window.show();
    Pause(800);

    auto walking = std::make_shared<Hold>(krelix::ProgressNotice::Kind::Searching, 3);
    auto comparing = std::make_shared<Hold>(krelix::ProgressNotice::Kind::Comparing, 14);
    auto reading = std::make_shared<Hold>(krelix::ProgressNotice::Kind::Reading, 20);
    krelix::SearchController* controller = window.searchController();
    controller->SetNoticeHook([walking, comparing, reading](const krelix::ProgressNotice& notice) {
        walking->OnNotice(notice);
        comparing->OnNotice(notice);
        reading->OnNotice(notice);
    });
    bool finished = false;
    QObject::connect(controller, &krelix::SearchController::searchFinished, controller,
                     [&finished] { finished = true; });
    QTimer boxWatch;
    WatchForSummary(boxWatch, out, failures);

    QTimer::singleShot(0, controller, &krelix::SearchController::Search);
    ShootAt(*walking, out + QStringLiteral("/search-walking.png"), failures);
    ShootCancelQuestion(*controller, *comparing, out, failures);
    ShootAt(*comparing, out + QStringLiteral("/search-comparing.png"), failures);
    ShootAt(*reading, out + QStringLiteral("/search-reading-second-stage.png"), failures);
    boxWatch.start(50);
    for (int i = 0; i < 500 && !finished; ++i) {
        Pause(20);
    }
    failures += !finished;
    Pause(500);
    failures += !SaveScreen(out + QStringLiteral("/search-results.png"));
    window.close();
    return failures;
}

int ShootChooser(const QString& out) {
    int failures = 0;
    krelix::MessageBoxPrompts prompts(nullptr);
    krelix::CFileTypeDlg chooser(krelix::FileTypeCatalogue{}, prompts);
    chooser.setGeometry(100, 60, 640, 560);
    krelix::CMutiTreeCtrl* tree = chooser.tree();
    tree->ToggleMark(tree->topLevelItem(1));             // "Text Files", all of it
    tree->ToggleMark(tree->topLevelItem(5)->child(4));   // "*.JPG"
    tree->ToggleMark(tree->topLevelItem(5)->child(10));  // "*.PNG"
    tree->SelectItem(tree->topLevelItem(5)->child(4));
    chooser.show();
    Pause(800);
    failures += !SaveScreen(out + QStringLiteral("/chooser.png"));
    krelix::CAddFileType editor({u"heic", u"High Efficiency Image"}, prompts, &chooser);
    editor.show();
    editor.move(chooser.geometry().center() - editor.rect().center());
    Pause(700);
    failures += !SaveScreen(out + QStringLiteral("/chooser-add-file-type.png"));
    editor.hide();
    chooser.hide();
    return failures;
}
