#pragma once

namespace krelix {

class Prompts;
class ResultSet;
class ResultsModel;

// Taking entries out of the results: each removal drops rows and destroys their records, then
// renumbers every rowIndex and lays the group shading and struck marks anew. UI thread only.

// "Remove Checked Files from Results": every checked row, deleted or not.
void RemoveCheckedFiles(ResultSet& results, ResultsModel& rows);
// "Remove The Selected File from Results": the given row; with no row (-1) only renumbers.
void RemoveSelectedFile(ResultSet& results, ResultsModel& rows, int selectedRow);
// "Remove Deleted Files from Results": every row whose file is gone.
void RemoveDeletedFiles(ResultSet& results, ResultsModel& rows);
// "Clear Results": after the user's OK, every row, record and group key; an empty list asks
// nothing.
void ClearResults(ResultSet& results, ResultsModel& rows, Prompts& prompts);

}  // namespace krelix
