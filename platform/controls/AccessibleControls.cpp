// Accessible interfaces of ImageControl, TileGrid, QuietLabel and SpokenNote.
#include "AccessibleControls.h"

#include "ImageControl.h"
#include "QuietLabel.h"
#include "SpokenNote.h"
#include "TileGrid.h"

#include <QAccessibleWidget>

#include <algorithm>

namespace {

QList<ImageControl*> cellsOf(const TileGrid* grid)
{
    QList<ImageControl*> cells;
    for (ImageControl* c : grid->findChildren<ImageControl*>(QString(), Qt::FindDirectChildrenOnly))
        if (c->isVisibleTo(grid) && c->gridRow() >= 0 && c->gridColumn() >= 0)
            cells.append(c);
    std::sort(cells.begin(), cells.end(), [](const ImageControl* a, const ImageControl* b) {
        return std::pair(a->gridRow(), a->gridColumn()) < std::pair(b->gridRow(), b->gridColumn());
    });
    return cells;
}

class AccessibleImage final : public QAccessibleWidget, public QAccessibleTableCellInterface {
public:
    explicit AccessibleImage(ImageControl* control)
        : QAccessibleWidget(control, control->isPressable() ? QAccessible::Button : QAccessible::Graphic)
    {
    }
    ImageControl* control() const { return static_cast<ImageControl*>(widget()); }
    TileGrid* grid() const { return qobject_cast<TileGrid*>(control()->parentWidget()); }

    QAccessible::Role role() const override
    {
        return control()->isPressable() ? QAccessible::Button : QAccessible::Graphic;
    }
    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (control()->isPressable())
            names.prepend(pressAction());
        return names;
    }
    void doAction(const QString& action) override
    {
        if (action == pressAction() && control()->isPressable())
            control()->press();
        else
            QAccessibleWidget::doAction(action);
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableCellInterface && grid() && control()->gridRow() >= 0)
            return static_cast<QAccessibleTableCellInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // ---- A cell of its grid ----
    bool isSelected() const override { return false; }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return control()->gridColumn(); }
    int rowIndex() const override { return control()->gridRow(); }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return QAccessible::queryAccessibleInterface(grid()); }
};

class AccessibleGrid final : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit AccessibleGrid(TileGrid* grid) : QAccessibleWidget(grid, QAccessible::Table) {}
    TileGrid* grid() const { return static_cast<TileGrid*>(widget()); }

    int childCount() const override { return int(cellsOf(grid()).size()); }
    QAccessibleInterface* child(int index) const override
    {
        const QList<ImageControl*> cells = cellsOf(grid());
        return index >= 0 && index < cells.size() ? QAccessible::queryAccessibleInterface(cells[index]) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child ? int(cellsOf(grid()).indexOf(qobject_cast<ImageControl*>(child->object()))) : -1;
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // ---- The table ----
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override
    {
        for (ImageControl* c : cellsOf(grid()))
            if (c->gridRow() == row && c->gridColumn() == column)
                return QAccessible::queryAccessibleInterface(c);
        return nullptr;
    }
    int columnCount() const override { return grid()->columns(); }
    int rowCount() const override { return grid()->rows(); }
    int selectedCellCount() const override { return 0; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    QString columnDescription(int) const override { return {}; }
    QString rowDescription(int) const override { return {}; }
    QList<QAccessibleInterface*> selectedCells() const override { return {}; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}
};

// Its text is offered through the text interface, which readers ask afresh each time (names and
// descriptions they keep until told of a change, and this label tells of none).
class AccessibleQuietLabel final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit AccessibleQuietLabel(QuietLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}
    QString current() const { return static_cast<QuietLabel*>(widget())->text(); }

    QString text(QAccessible::Text type) const override
    {
        if (type == QAccessible::Value)
            return current();
        return QAccessibleWidget::text(type);
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // ---- The text, read-only and without a cursor ----
    QString text(int startOffset, int endOffset) const override { return current().mid(startOffset, endOffset - startOffset); }
    int characterCount() const override { return int(current().size()); }
    void selection(int, int* startOffset, int* endOffset) const override { *startOffset = *endOffset = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* startOffset, int* endOffset) const override
    {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }
};

// Read as a notification named by the sentence it holds.
class AccessibleNote final : public QAccessibleWidget {
public:
    explicit AccessibleNote(SpokenLine* line) : QAccessibleWidget(line, QAccessible::Notification) {}
    QString text(QAccessible::Text type) const override
    {
        return type == QAccessible::Name ? static_cast<SpokenLine*>(widget())->sentence() : QString();
    }
};

QAccessibleInterface* factory(const QString& className, QObject* object)
{
    if (className == QLatin1String("SpokenLine"))
        return new AccessibleNote(static_cast<SpokenLine*>(object));
    if (className == QLatin1String("QuietLabel"))
        return new AccessibleQuietLabel(static_cast<QuietLabel*>(object));
    if (className == QLatin1String("ImageControl"))
        return new AccessibleImage(static_cast<ImageControl*>(object));
    if (className == QLatin1String("TileGrid"))
        return new AccessibleGrid(static_cast<TileGrid*>(object));
    // A plain frame holds a group of controls. Qt reads it as a frame, the role of a top-level
    // window, and Orca then speaks nothing of the controls inside, as of a window not active.
    if (className == QLatin1String("QFrame") && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Grouping);
    return nullptr;
}

}  // namespace

namespace controls {

void InstallAccessibleControls()
{
    static const bool installed = (QAccessible::installFactory(factory), true);
    (void)installed;
}

}  // namespace controls
