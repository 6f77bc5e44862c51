#pragma once

class QLineEdit;
class QString;
class QTableView;

// Sizes that let a control show its whole text, for controls that are given a width of
// their own instead of following their text.
namespace TextFit {

// Width a line edit needs to show all of text.
int lineEditWidthFor(const QLineEdit *edit, const QString &text);

// Widens column, never narrows it, until its header text and its cells' texts and
// widgets fit.
void growColumnToContents(QTableView *table, int column);

} // namespace TextFit
