#pragma once

#include <QTableView>
#include <map>

#include "app/base/command_id.h"
#include "app/results/results_column_widths.h"

class QMenu;

namespace krelix {

class ResultsModel;
struct CFileItem;

// The results list: rows of a ResultsModel with grid lines, check boxes, full-row selection of
// several rows, header sorting and the "_ListPop" context menu. Reports what the user does as
// signals; acting on it is the main window's business.
class CMFCListCtrlEx : public QTableView {
    Q_OBJECT
  public:
    explicit CMFCListCtrlEx(QWidget* parent = nullptr);

    // Shows the model's rows with the list's columns and widths. The model is not owned.
    void SetResultsModel(ResultsModel* model);

    // The first selected row (the lowest selected index), or -1.
    int FirstSelectedRow() const;
    // The record of the first selected row (the selected file), or null.
    CFileItem* SelectedRecord() const;
    // The rows' marks, forwarded to the model.
    void SetRowShaded(int row, bool redraw);
    void SetRowStruck(int row);
    void ClearRowMarks();
    // Every selected row (the focused one when none is) takes the opposite of the focused row's
    // check mark, as in file managers: a mixed selection turns uniform and the next press brings
    // it back. Space does this from any column.
    void ToggleSelectedChecks();
    // The width each column needs for its header and the rows' texts measured so far.
    const ColumnWidths& wantedWidths() const { return wanted_; }

    QMenu* popupMenu() const { return popup_; }
    QAction* popupAction(CommandId id) const;

  Q_SIGNALS:
    void rowClicked(int row);
    void rowDoubleClicked(int row);
    // A row's selection, check mark or content changed.
    void itemChanged();
    // An entry of the context menu was chosen.
    void commandChosen(CommandId id);

  protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void ResetWantedWidths();
    void MeasureRows(int first, int last);
    void FitColumns();

    ResultsModel* model_ = nullptr;
    ColumnWidths wanted_{};
    // What a cell adds to its text's width (margins; the check box and icon of the first column),
    // taken from the delegate on the first row measured after a reset; -1 until then.
    ColumnWidths cellExtra_{};
    QMenu* popup_;
    std::map<CommandId, QAction*> popupActions_;
};

}  // namespace krelix
