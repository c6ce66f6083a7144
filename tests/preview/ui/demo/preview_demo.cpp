// krelix_preview_demo OUTPUT_FOLDER: shows the picture preview beside a stand-in list of
// results, selects a picture (saved with a misleading extension) and then a text file, and
// saves a screenshot of the whole screen after each. Run it under Xvfb, with a window
// manager for the title bars.
#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QListWidget>
#include <QPainter>
#include <QRadialGradient>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "preview/ui/preview_dlg.h"

namespace {

QImage MakePicture() {
    QImage image(1600, 1000, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, 1000);
    sky.setColorAt(0, QColor(70, 140, 220));
    sky.setColorAt(0.65, QColor(250, 200, 140));
    sky.setColorAt(0.66, QColor(30, 90, 150));
    sky.setColorAt(1, QColor(10, 40, 80));
    painter.fillRect(image.rect(), sky);
    QRadialGradient sun(QPointF(1100, 560), 160);
    sun.setColorAt(0, QColor(255, 240, 180));
    sun.setColorAt(1, QColor(255, 140, 60, 0));
    painter.setBrush(sun);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(1100, 560), 160, 160);
    painter.setBrush(QColor(20, 30, 40));
    painter.drawPolygon(QPolygon({{0, 660}, {300, 380}, {520, 560}, {760, 300}, {1000, 660}}));
    return image;
}

void Shoot(const QString& path) {
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0);
    std::printf("%s %s (%dx%d)\n", shot.save(path) ? "saved" : "FAILED", qPrintable(path),
                shot.width(), shot.height());
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: krelix_preview_demo OUTPUT_FOLDER\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir temp;
    const QString folder = temp.path() + "/Pictures/2024 Summer holiday, Lake Geneva/best";
    QDir().mkpath(folder);
    const QString picture = folder + "/sunset over the lake (copy).dat";
    const QString text = folder + "/notes.txt";
    MakePicture().save(picture, "PNG");
    QFile notes(text);
    notes.open(QIODevice::WriteOnly);
    notes.write("not a picture\n");
    notes.close();

    QListWidget list;
    list.setWindowTitle("Results (stand-in)");
    list.addItems({picture, text});
    list.setGeometry(20, 40, 420, 300);
    list.show();

    krelix::CPreviewDlg preview(&list);
    preview.move(470, 40);

    int step = 0;
    QObject::connect(&preview, &krelix::CPreviewDlg::FileShown, &app, [&](bool isPicture) {
        std::printf("shown %s, picture %d, title: %s\n", qPrintable(list.currentItem()->text()),
                    int(isPicture), qPrintable(preview.windowTitle()));
        // Let the window manager and the painting settle before the shot.
        QTimer::singleShot(700, &app, [&] {
            if (step == 0) {
                Shoot(out + "/preview-picture.png");
                step = 1;
                list.setCurrentRow(1);
            } else {
                Shoot(out + "/preview-not-a-picture.png");
                app.quit();
            }
        });
    });
    QObject::connect(&list, &QListWidget::currentTextChanged, &app,
                     [&](const QString& path) { preview.ShowFile(path.toStdString()); });
    QTimer::singleShot(500, &app, [&] { list.setCurrentRow(0); });
    return app.exec();
}
