#include "common/ui/prompts.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWidget>

namespace krelix {
namespace {

TEST(MessageBoxPrompts, AFileNameThatLooksLikeMarkupShowsAsTyped) {
    QWidget window;
    window.show();
    MessageBoxPrompts prompts(&window);
    const QString text = QStringLiteral("Failed to delete the file /photos/<font size=1>a.jpg");
    Qt::TextFormat format = Qt::AutoText;
    QString shown;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &timer, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            format = box->textFormat();
            shown = box->text();
            box->button(QMessageBox::Yes)->click();
        }
    });
    timer.start(10);
    EXPECT_TRUE(prompts.AskYesNo(QStringLiteral("Krelix"), text));
    EXPECT_EQ(Qt::PlainText, format);
    EXPECT_EQ(text, shown);
}

}  // namespace
}  // namespace krelix
