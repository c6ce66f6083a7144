#include "app/window/about_dlg.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QStringList>

#include "common/version.h"

namespace krelix {
namespace {

TEST(AboutDlg, KeepsItsTextsAndShowsTheBuildsVersion) {
    CAboutDlg about;
    QStringList texts;
    for (const QLabel* label : about.findChildren<QLabel*>()) {
        if (!label->text().isEmpty()) {
            texts << label->text();
        }
    }
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Tessmark Duplicate Finder"));
    EXPECT_EQ(texts, (QStringList{QStringLiteral("Tessmark Duplicate Finder, Version 1.0"),
                                  QStringLiteral("Krelix ") + QLatin1String(kVersion),
                                  QStringLiteral("Copyright (C) 2026")}));
}

}  // namespace
}  // namespace krelix
