#include "widgets/TextFit.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QTableView>

namespace TextFit {

int lineEditWidthFor(const QLineEdit *edit, const QString &text)
{
    // The toolkit keeps two pixels of margin on each side of the text and one for the
    // cursor, inside the style's frame.
    constexpr int HorizontalMargin = 2;
    QStyleOptionFrame opt;
    opt.initFrom(edit);
    opt.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, edit);
    const QMargins m = edit->textMargins();
    const int inner = edit->fontMetrics().horizontalAdvance(text) + 2 * HorizontalMargin + 1
        + m.left() + m.right();
    return edit->style()
        ->sizeFromContents(QStyle::CT_LineEdit, &opt, QSize(inner, edit->height()), edit)
        .width();
}

namespace {

// A combo box's size hint is kept from before its texts or font may have changed, so
// its widest item is measured here.
int widgetWidthFor(const QWidget *w)
{
    const auto *combo = qobject_cast<const QComboBox *>(w);
    if (!combo)
        return w->sizeHint().width();
    int widest = 0;
    for (int i = 0; i < combo->count(); ++i)
        widest = qMax(widest, combo->fontMetrics().horizontalAdvance(combo->itemText(i)));
    QStyleOptionComboBox opt;
    opt.initFrom(combo);
    return combo->style()
        ->sizeFromContents(QStyle::CT_ComboBox, &opt, QSize(widest, combo->height()), combo)
        .width();
}

} // namespace

void growColumnToContents(QTableView *table, int column)
{
    // Public on the base class only.
    const QAbstractItemView *view = table;
    int needed = qMax(view->sizeHintForColumn(column),
                      table->horizontalHeader()->sectionSizeHint(column));
    // Widgets placed in cells are not part of the view's own measure.
    for (int row = 0; row < table->model()->rowCount(); ++row) {
        if (const QWidget *w = table->indexWidget(table->model()->index(row, column)))
            needed = qMax(needed, widgetWidthFor(w));
    }
    if (needed > table->columnWidth(column))
        table->setColumnWidth(column, needed);
}

} // namespace TextFit
