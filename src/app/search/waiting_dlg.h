#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QProgressBar;
class QPushButton;

namespace krelix {

struct ProgressNotice;

// The progress window of a search: "Searching : " or "Comparing : " with the path, a bar (busy
// while walking, the share of candidate bytes hashed while comparing), the count of files found,
// and Cancel. Cancel, Escape and the close box only report cancelRequested; whoever runs the
// search asks and decides. Hidden, not destroyed, between searches.
class CWaitingDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CWaitingDlg(QWidget* parent = nullptr);

    // Empty text, busy bar, no count: the look at the start of a run.
    void Clear();
    // Shows one notice; ComparisonEnded fills the bar and keeps the last text.
    void ShowNotice(const ProgressNotice& notice);

    // The whole status text (the label may show it shortened in the middle).
    const QString& statusText() const { return status_; }
    QLabel* countLabel() const { return countLabel_; }
    QProgressBar* progressBar() const { return bar_; }
    QPushButton* cancelButton() const { return cancel_; }

    void reject() override;

  Q_SIGNALS:
    void cancelRequested();

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void SetStatus(const QString& text);
    void ElideStatus();

    QString status_;
    QLabel* statusLabel_;
    QLabel* countLabel_;
    QProgressBar* bar_;
    QPushButton* cancel_;
};

}  // namespace krelix
