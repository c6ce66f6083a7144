#pragma once

#include <QString>

// Screen shots of a search on a generated tree: the main window with the progress window while
// walking and while comparing, the summary box, and the results. Returns the failures.
int ShootSearch(const QString& out);

// The file-type chooser with some types checked, and its file-type editor.
int ShootChooser(const QString& out);
