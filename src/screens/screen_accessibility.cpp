// SPDX-License-Identifier: GPL-3.0-or-later
#include "screens/screen_accessibility.h"

#include "screens/picture_box.h"

#include <QAccessibleWidget>
#include <QWidget>

namespace {

const char* const RoleProperty = "tevrinAccessibleRole";
const char* const DecorationProperty = "tevrinDecoration";

// A control of ours with the children a reader should meet: no decoration, nothing hidden.
class ScreenPartAccessible : public QAccessibleWidget
{
public:
    using QAccessibleWidget::QAccessibleWidget;

    int childCount() const override { return static_cast<int>(shownChildren().size()); }

    QAccessibleInterface* child(int index) const override
    {
        const QWidgetList children = shownChildren();
        return index >= 0 && index < children.size() ? QAccessible::queryAccessibleInterface(children.at(index))
                                                     : nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child ? static_cast<int>(shownChildren().indexOf(qobject_cast<QWidget*>(child->object()))) : -1;
    }

private:
    QWidgetList shownChildren() const
    {
        QWidgetList shown;
        for (QObject* object : widget()->children()) {
            auto* child = qobject_cast<QWidget*>(object);
            if (child && !child->isWindow() && !child->isHidden() && !child->property(DecorationProperty).toBool())
                shown << child;
        }
        return shown;
    }
};

// A picture box that acts as a button: named by its caption, pressed by its press action.
class PictureButtonAccessible final : public ScreenPartAccessible
{
public:
    explicit PictureButtonAccessible(PictureBox* box) : ScreenPartAccessible(box, QAccessible::Button) {}

    QStringList actionNames() const override { return QStringList(pressAction()) + QAccessibleWidget::actionNames(); }

    void doAction(const QString& actionName) override
    {
        if (actionName == pressAction())
            Q_EMIT static_cast<PictureBox*>(widget())->clicked();
        else
            QAccessibleWidget::doAction(actionName);
    }
};

// A group of controls. AT-SPI knows groups only as panels, and a reader would say "panel" after
// the group's name, at every new question; it leaves that out for the selected one, which the
// group on view is.
class GroupAccessible final : public ScreenPartAccessible
{
public:
    explicit GroupAccessible(QWidget* widget) : ScreenPartAccessible(widget, QAccessible::Grouping) {}

    QAccessible::State state() const override
    {
        QAccessible::State state = ScreenPartAccessible::state();
#ifdef Q_OS_LINUX
        state.selected = true;
#endif
        return state;
    }
};

QAccessibleInterface* screenPartAccessible(const QString& className, QObject* object)
{
    // Asked once for each class the object derives from, most derived first: answer only then.
    if (!object || !object->isWidgetType() || className != QLatin1String(object->metaObject()->className()))
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (auto* box = qobject_cast<PictureBox*>(object)) {
        if (box->isPressable())
            return new PictureButtonAccessible(box);
        return new ScreenPartAccessible(box, QAccessible::Graphic);
    }
    const QVariant role = widget->property(RoleProperty);
    if (role == static_cast<int>(QAccessible::Grouping))
        return new GroupAccessible(widget);
    return role.isValid() ? new ScreenPartAccessible(widget, static_cast<QAccessible::Role>(role.toInt())) : nullptr;
}

void installFactory()
{
    static const bool installed = (QAccessible::installFactory(screenPartAccessible), true);
    Q_UNUSED(installed);
}

void mark(QWidget* widget, QAccessible::Role role)
{
    installFactory();
    widget->setProperty(RoleProperty, static_cast<int>(role));
}

} // namespace

namespace ScreenAccessibility {

void MarkScreen(QWidget* screen)
{
    mark(screen, QAccessible::Window);
}

void MarkGroup(QWidget* container)
{
    mark(container, QAccessible::Grouping);
}

void MarkNotification(QWidget* label)
{
    mark(label, QAccessible::Notification);
}

void MarkDecoration(QWidget* control)
{
    control->setProperty(DecorationProperty, true);
}

} // namespace ScreenAccessibility
