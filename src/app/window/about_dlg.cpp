#include "app/window/about_dlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "app/base/program_icon.h"
#include "common/version.h"

namespace krelix {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Tessmark Duplicate Finder"));
    setWindowIcon(ProgramIcon());

    auto* icon = new QLabel(this);
    icon->setPixmap(ProgramIcon().pixmap(32, 32));
    auto* name = new QLabel(QStringLiteral("Tessmark Duplicate Finder, Version 1.0"), this);
    auto* build = new QLabel(QStringLiteral("Krelix %1").arg(QLatin1String(kVersion)), this);
    build->setTextInteractionFlags(Qt::TextSelectableByMouse);  // for a bug report
    auto* notice = new QLabel(QStringLiteral("Copyright (C) 2026"), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);

    auto* layout = new QGridLayout(this);
    layout->setHorizontalSpacing(16);
    layout->addWidget(icon, 0, 0, 3, 1, Qt::AlignTop);
    layout->addWidget(name, 0, 1);
    layout->addWidget(build, 1, 1);
    layout->addWidget(notice, 2, 1);
    layout->addWidget(buttons, 3, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
}

}  // namespace krelix
