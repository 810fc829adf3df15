#include "Accessible.h"

#include <QAccessibleWidget>
#include <QWidget>

namespace {

constexpr char kRoleProperty[] = "accessibleWindowRole";
constexpr char kTwinProperty[] = "accessibleTwin";

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

} // namespace Accessible
