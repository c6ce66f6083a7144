#pragma once

#include <QDialog>

namespace krelix {

// "About Tessmark Duplicate Finder": the icon, the name and version, the build's version
// ("Krelix 1.2.3", as krelix --version gives it), the year notice, OK.
class CAboutDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace krelix
