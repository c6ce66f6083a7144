#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;

namespace krelix {

// "Rename": shows the current name and takes the new one, as typed. Validates nothing; the
// rename itself reports what the file system refuses.
class CRenameFileDlg : public QDialog {
    Q_OBJECT

  public:
    explicit CRenameFileDlg(const QString& currentName, QWidget* parent = nullptr);

    QString newName() const;

  private:
    QLineEdit* currentName_;
    QLineEdit* newName_;
};

}  // namespace krelix
