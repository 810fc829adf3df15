#include "Accessible.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QStyle>
#include <QTreeView>
#include <QWidget>

namespace {

constexpr char kRoleProperty[] = "accessibleWindowRole";
constexpr char kTwinProperty[] = "accessibleTwin";
constexpr char kPressableHeadersProperty[] = "accessiblePressableHeaders";

// A window whose accessible children are the controls that can be seen in
// it.
class SeenWindow : public QAccessibleWidget
{
public:
    SeenWindow(QWidget *window, QAccessible::Role role)
        : QAccessibleWidget(window, role)
    {
    }

    int childCount() const override { return int(seenChildren().size()); }

    QAccessibleInterface *child(int index) const override
    {
        const QList<QWidget *> children = seenChildren();
        if (index < 0 || index >= children.size())
            return nullptr;
        return QAccessible::queryAccessibleInterface(children.at(index));
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (!child || !child->object() || !child->object()->isWidgetType())
            return -1;
        return int(seenChildren().indexOf(static_cast<QWidget *>(child->object())));
    }

private:
    QList<QWidget *> seenChildren() const
    {
        QList<QWidget *> seen;
        const QWidget *window = widget();
        for (QObject *object : window->children()) {
            auto *control = qobject_cast<QWidget *>(object);
            if (!control || control->isWindow() || control->isHidden()
                || control->property(kTwinProperty).toBool()
                || !control->geometry().intersects(window->rect()))
                continue;
            seen.append(control);
        }
        return seen;
    }
};

QAccessibleInterface *windowFactory(const QString &, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    const QVariant role = object->property(kRoleProperty);
    auto *window = static_cast<QWidget *>(object);
    if (!role.isValid() || !window->isWindow())
        return nullptr;
    return new SeenWindow(window, QAccessible::Role(role.toInt()));
}

// An interface that reads as one of Qt's own, which it keeps (under its id in
// Qt's store) and asks for what it does not answer itself.
class ReadsAsQt : public QAccessibleInterface
{
public:
    explicit ReadsAsQt(QAccessible::Id plainId)
        : m_plainId(plainId)
    {
    }
    ~ReadsAsQt() override { QAccessible::deleteAccessibleInterface(m_plainId); }

    QWindow *window() const override { return plain() ? plain()->window() : nullptr; }
    QList<QPair<QAccessibleInterface *, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override
    {
        return plain() ? plain()->relations(match)
                       : QList<QPair<QAccessibleInterface *, QAccessible::Relation>>();
    }
    QString text(QAccessible::Text t) const override
    {
        return plain() ? plain()->text(t) : QString();
    }
    void setText(QAccessible::Text t, const QString &text) override
    {
        if (QAccessibleInterface *face = plain())
            face->setText(t, text);
    }
    QRect rect() const override { return plain() ? plain()->rect() : QRect(); }
    QAccessible::State state() const override
    {
        return plain() ? plain()->state() : QAccessible::State();
    }
    QColor foregroundColor() const override
    {
        return plain() ? plain()->foregroundColor() : QColor();
    }
    QColor backgroundColor() const override
    {
        return plain() ? plain()->backgroundColor() : QColor();
    }

protected:
    QAccessibleInterface *plain() const { return QAccessible::accessibleInterface(m_plainId); }

private:
    QAccessible::Id m_plainId;
};

// A column header of a list that can be pressed like a button.
class PressableHeader : public ReadsAsQt, public QAccessibleActionInterface
{
public:
    PressableHeader(QTreeView *list, int column, QAccessible::Id plainId)
        : ReadsAsQt(plainId)
        , m_list(list)
        , m_column(column)
    {
    }

    const QTreeView *list() const { return m_list; }
    int column() const { return m_column; }

    bool isValid() const override
    {
        const QAccessibleInterface *face = plain();
        return m_list && face && face->isValid();
    }
    QObject *object() const override { return nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override
    {
        return m_list ? QAccessible::queryAccessibleInterface(m_list) : nullptr;
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessible::Role role() const override { return QAccessible::ColumnHeader; }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface *>(this);
        return plain() ? plain()->interface_cast(type) : nullptr;
    }

    QStringList actionNames() const override
    {
        return pressable() ? QStringList {pressAction()} : QStringList();
    }
    void doAction(const QString &name) override
    {
        if (name == pressAction() && pressable())
            emit m_list->header()->sectionClicked(m_column);
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    // A mouse click reaches the header only where it can be clicked.
    bool pressable() const
    {
        const QHeaderView *header = m_list ? m_list->header() : nullptr;
        return header && header->isEnabled() && header->sectionsClickable()
            && m_column < header->count() && !header->isSectionHidden(m_column);
    }

    QPointer<QTreeView> m_list;
    int m_column;
};

// A list whose column headers can be pressed. Qt's own interface for the
// list, which it keeps, answers everything but the header cells.
class ListWithPressableHeaders : public ReadsAsQt, public QAccessibleTableInterface
{
public:
    ListWithPressableHeaders(QTreeView *list, QAccessibleInterface *plain)
        : ReadsAsQt(QAccessible::uniqueId(plain))
        , m_list(list)
    {
    }

    ~ListWithPressableHeaders() override
    {
        for (QAccessible::Id id : std::as_const(m_headers))
            QAccessible::deleteAccessibleInterface(id);
    }

    bool isValid() const override { return plain() && plain()->isValid(); }
    QObject *object() const override { return m_list; }
    QAccessibleInterface *focusChild() const override
    {
        return plain() ? plain()->focusChild() : nullptr;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        return plain() ? plain()->childAt(x, y) : nullptr;
    }
    QAccessibleInterface *parent() const override { return plain() ? plain()->parent() : nullptr; }
    QAccessibleInterface *child(int index) const override
    {
        QAccessibleInterface *face = plain();
        if (!face)
            return nullptr;
        if (!isHeader(index))
            return face->child(index);
        if (const auto found = m_headers.constFind(index); found != m_headers.constEnd())
            return QAccessible::accessibleInterface(found.value());
        QAccessibleInterface *cell = face->child(index);
        if (!cell || cell->role() != QAccessible::ColumnHeader)
            return cell;
        auto *header = new PressableHeader(m_list, index, QAccessible::uniqueId(cell));
        m_headers.insert(index, QAccessible::registerAccessibleInterface(header));
        return header;
    }
    int childCount() const override { return plain() ? plain()->childCount() : 0; }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (!child)
            return -1;
        // Qt's list takes every column header for one of its own.
        if (const auto *header = dynamic_cast<const PressableHeader *>(child))
            return header->list() == m_list && isHeader(header->column()) ? header->column() : -1;
        return plain() ? plain()->indexOfChild(child) : -1;
    }
    QAccessible::Role role() const override
    {
        return plain() ? plain()->role() : QAccessible::NoRole;
    }
    void virtual_hook(int id, void *data) override
    {
        if (QAccessibleInterface *face = plain())
            face->virtual_hook(id, data);
    }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableInterface)
            return plainTable() ? static_cast<QAccessibleTableInterface *>(this) : nullptr;
        return plain() ? plain()->interface_cast(type) : nullptr;
    }

    // The table as Qt reads it.
    QAccessibleInterface *caption() const override { return table(&T::caption); }
    QAccessibleInterface *summary() const override { return table(&T::summary); }
    QAccessibleInterface *cellAt(int row, int column) const override
    {
        return table(&T::cellAt, row, column);
    }
    int selectedCellCount() const override { return table(&T::selectedCellCount); }
    QList<QAccessibleInterface *> selectedCells() const override
    {
        return table(&T::selectedCells);
    }
    QString columnDescription(int column) const override
    {
        return table(&T::columnDescription, column);
    }
    QString rowDescription(int row) const override { return table(&T::rowDescription, row); }
    int selectedColumnCount() const override { return table(&T::selectedColumnCount); }
    int selectedRowCount() const override { return table(&T::selectedRowCount); }
    int columnCount() const override { return table(&T::columnCount); }
    int rowCount() const override { return table(&T::rowCount); }
    QList<int> selectedColumns() const override { return table(&T::selectedColumns); }
    QList<int> selectedRows() const override { return table(&T::selectedRows); }
    bool isColumnSelected(int column) const override { return table(&T::isColumnSelected, column); }
    bool isRowSelected(int row) const override { return table(&T::isRowSelected, row); }
    bool selectRow(int row) override { return table(&T::selectRow, row); }
    bool selectColumn(int column) override { return table(&T::selectColumn, column); }
    bool unselectRow(int row) override { return table(&T::unselectRow, row); }
    bool unselectColumn(int column) override { return table(&T::unselectColumn, column); }
    void modelChange(QAccessibleTableModelChangeEvent *event) override
    {
        if (QAccessibleTableInterface *plainOne = plainTable())
            plainOne->modelChange(event);
        // Headers of columns that are gone go with them.
        for (auto it = m_headers.begin(); it != m_headers.end();) {
            if (isHeader(it.key())) {
                ++it;
            } else {
                QAccessible::deleteAccessibleInterface(it.value());
                it = m_headers.erase(it);
            }
        }
    }

private:
    using T = QAccessibleTableInterface;

    QAccessibleTableInterface *plainTable() const
    {
        QAccessibleInterface *face = plain();
        return face ? face->tableInterface() : nullptr;
    }

    template<typename Result, typename... Args, typename... Given>
    Result table(Result (T::*ask)(Args...) const, Given... given) const
    {
        QAccessibleTableInterface *plainOne = plainTable();
        return plainOne ? (plainOne->*ask)(given...) : Result();
    }
    template<typename Result, typename... Args, typename... Given>
    Result table(Result (T::*ask)(Args...), Given... given) const
    {
        QAccessibleTableInterface *plainOne = plainTable();
        return plainOne ? (plainOne->*ask)(given...) : Result();
    }

    // Whether Qt's list holds the header cell of a column at this index: it
    // puts one row of them before the rows of cells.
    bool isHeader(int index) const
    {
        const QAccessibleInterface *face = plain();
        const QAccessibleTableInterface *plainOne = plainTable();
        if (!face || !plainOne)
            return false;
        const int columns = plainOne->columnCount();
        return index >= 0 && index < columns && face->childCount() > plainOne->rowCount() * columns;
    }

    QPointer<QTreeView> m_list;
    // The pressable header made for each column, by column.
    mutable QHash<int, QAccessible::Id> m_headers;
};

// Set while the factory below asks Qt for its own interface of a list.
bool askingQt = false;

QAccessibleInterface *listFactory(const QString &, QObject *object)
{
    auto *list = qobject_cast<QTreeView *>(object);
    if (askingQt || !list || !list->property(kPressableHeadersProperty).toBool())
        return nullptr;
    // Qt's reading stays in Qt's store under its own id; the list itself is
    // known from now on by the one made here, which keeps that id.
    askingQt = true;
    QAccessibleInterface *plain = QAccessible::queryAccessibleInterface(list);
    askingQt = false;
    if (!plain)
        return nullptr;
    return new ListWithPressableHeaders(list, plain);
}

// The handler that had the news of changes before hideTypedSecrets() took
// it; none means Qt's own delivery to the platform.
QAccessible::UpdateHandler nextHandler = nullptr;

void hideSecretText(QAccessibleEvent *event);

void passOn(QAccessibleEvent *event)
{
    if (nextHandler) {
        nextHandler(event);
        return;
    }
    // Qt delivers to the platform only while no handler is installed. A
    // list's own bookkeeping of a model change, which Qt runs before any
    // handler, runs a second time here; as it works its children out from
    // the model again, the second run changes nothing.
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(hideSecretText);
}

// A text as a box that hides its text shows it: one echo character for
// each character, or nothing where the box shows nothing.
QString masked(const QLineEdit *box, qsizetype length)
{
    if (box->echoMode() == QLineEdit::NoEcho)
        return QString();
    const QChar echo(box->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, box));
    return QString(length, echo);
}

// Passes on the news of a change, with the text of a box that hides its
// text replaced by what the box shows.
void hideSecretText(QAccessibleEvent *event)
{
    auto *box = qobject_cast<QLineEdit *>(event->object());
    if (!box || box->echoMode() == QLineEdit::Normal) {
        passOn(event);
        return;
    }
    const auto passOnCopy = [event](QAccessibleEvent &copy) {
        copy.setChild(event->child());
        passOn(&copy);
    };
    switch (event->type()) {
    case QAccessible::TextInserted: {
        const auto *inserted = static_cast<QAccessibleTextInsertEvent *>(event);
        QAccessibleTextInsertEvent copy(box, inserted->changePosition(),
                                        masked(box, inserted->textInserted().size()));
        copy.setCursorPosition(inserted->cursorPosition());
        passOnCopy(copy);
        break;
    }
    case QAccessible::TextRemoved: {
        const auto *removed = static_cast<QAccessibleTextRemoveEvent *>(event);
        QAccessibleTextRemoveEvent copy(box, removed->changePosition(),
                                        masked(box, removed->textRemoved().size()));
        copy.setCursorPosition(removed->cursorPosition());
        passOnCopy(copy);
        break;
    }
    case QAccessible::TextUpdated: {
        const auto *updated = static_cast<QAccessibleTextUpdateEvent *>(event);
        QAccessibleTextUpdateEvent copy(box, updated->changePosition(),
                                        masked(box, updated->textRemoved().size()),
                                        masked(box, updated->textInserted().size()));
        copy.setCursorPosition(updated->cursorPosition());
        passOnCopy(copy);
        break;
    }
    case QAccessible::ValueChanged: {
        QAccessibleValueChangeEvent copy(box, masked(box, box->text().size()));
        passOnCopy(copy);
        break;
    }
    default:
        passOn(event);
    }
}

} // namespace

namespace Accessible {

void setWindowRole(QWidget *window, QAccessible::Role role)
{
    static const bool installed = [] {
        QAccessible::installFactory(windowFactory);
        return true;
    }();
    Q_UNUSED(installed);
    window->setProperty(kRoleProperty, int(role));
}

void markAsTwin(QWidget *control)
{
    control->setProperty(kTwinProperty, true);
}

void givePressableHeaders(QTreeView *list)
{
    static const bool installed = [] {
        QAccessible::installFactory(listFactory);
        return true;
    }();
    Q_UNUSED(installed);
    list->setProperty(kPressableHeadersProperty, true);
    // Qt may have read the list already, while it was being built; that
    // reading gives way to the one with pressable headers.
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(list);
    if (face && !dynamic_cast<ListWithPressableHeaders *>(face)) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(face));
        QAccessible::queryAccessibleInterface(list);
    }
}

void hideTypedSecrets()
{
    const QAccessible::UpdateHandler previous = QAccessible::installUpdateHandler(hideSecretText);
    if (previous != hideSecretText)
        nextHandler = previous;
}

} // namespace Accessible
