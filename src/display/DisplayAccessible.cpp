#include "display/DisplayAccessible.h"

#include "display/DisplayControl.h"
#include "display/ScreenReading.h"
#include "settings/AccessiblePart.h"

#include <QAccessibleWidget>
#include <QWidget>

namespace {

QAccessible::Role roleOf(ScreenObject::Role role) {
    switch (role) {
    case ScreenObject::Notice:
    case ScreenObject::Text:
        return QAccessible::StaticText;
    case ScreenObject::Picture:
        return QAccessible::Graphic;
    case ScreenObject::Button:
        return QAccessible::Button;
    case ScreenObject::ListRow:
        return QAccessible::ListItem;
    }
    return QAccessible::StaticText;
}

// The n-th object of the screen as it is now: the screen changes under a screen reader, which
// asks again after the change is announced.
class ScreenObjectAccessible final : public AccessiblePart {
public:
    ScreenObjectAccessible(QWidget &screen, DisplayControl &control, int n)
        : AccessiblePart(screen)
        , m_control(control)
        , m_n(n) {}

    bool isValid() const override { return owner() != nullptr && current().has_value(); }
    QAccessible::Role role() const override {
        const auto o = current();
        return o ? roleOf(o->role) : QAccessible::StaticText;
    }
    QAccessible::State state() const override {
        QAccessible::State state = AccessiblePart::state();
        const auto o = current();
        state.invisible = state.invisible || !o;
        if (o && (o->role == ScreenObject::ListRow || (o->role == ScreenObject::Button && o->selected))) {
            state.selectable = true;
            state.selected = o->selected;
        }
        state.readOnly = o && o->role != ScreenObject::Button && o->role != ScreenObject::ListRow;
        return state;
    }
    QRect rect() const override {
        const auto o = current();
        if (!o || owner() == nullptr) {
            return {};
        }
        return QRect(owner()->mapToGlobal(o->rect.topLeft()), o->rect.size());
    }
    QString text(QAccessible::Text t) const override {
        const auto o = current();
        if (!o) {
            return {};
        }
        return t == QAccessible::Name ? o->name : t == QAccessible::Description ? o->description : QString();
    }

    QStringList actionNames() const override {
        const auto o = current();
        return o && o->pressAt ? QStringList{pressAction()} : QStringList{};
    }
    void doAction(const QString &name) override {
        const auto o = current();
        if (name == pressAction() && o && o->pressAt) {
            m_control.Click(*o->pressAt);
        }
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    std::optional<ScreenObject> current() const {
        const QList<ScreenObject> objects = ReadScreen(m_control.screen);
        return m_n >= 0 && m_n < objects.size() ? std::optional<ScreenObject>(objects[m_n]) : std::nullopt;
    }

    DisplayControl &m_control;
    int m_n;
};

class DisplayScreenAccessible final : public QAccessibleWidget {
public:
    DisplayScreenAccessible(QWidget &screen, DisplayControl &control)
        : QAccessibleWidget(&screen, QAccessible::Pane)
        , m_control(control) {}

    ~DisplayScreenAccessible() override {
        for (const QAccessible::Id id : std::as_const(m_children)) {
            QAccessible::deleteAccessibleInterface(id);
        }
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) {
            return QStringLiteral("Radio display: ") + m_control.screenTitle();
        }
        if (t == QAccessible::Description) {
            return m_control.screen.notLiveText();
        }
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return int(ReadScreen(m_control.screen).size()); }
    QAccessibleInterface *child(int i) const override {
        if (i < 0 || i >= childCount()) {
            return nullptr;
        }
        while (m_children.size() <= i) {
            auto *object = new ScreenObjectAccessible(*widget(), m_control, int(m_children.size()));
            m_children << QAccessible::registerAccessibleInterface(object);
        }
        return QAccessible::accessibleInterface(m_children[i]);
    }
    int indexOfChild(const QAccessibleInterface *child) const override {
        for (int i = 0; i < m_children.size() && i < childCount(); ++i) {
            if (QAccessible::accessibleInterface(m_children[i]) == child) {
                return i;
            }
        }
        return -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override {
        // The topmost first: the hit test's order is the reverse of the reading order.
        for (int i = childCount(); i-- > 0;) {
            QAccessibleInterface *object = child(i);
            if (object != nullptr && object->role() != QAccessible::StaticText && object->rect().contains(x, y)) {
                return object;
            }
        }
        for (int i = childCount(); i-- > 0;) {
            QAccessibleInterface *object = child(i);
            if (object != nullptr && object->rect().contains(x, y)) {
                return object;
            }
        }
        return nullptr;
    }

private:
    DisplayControl &m_control;
    mutable QList<QAccessible::Id> m_children; // the n-th object's interface
};

} // namespace

QAccessibleInterface *NewDisplayScreenAccessible(QWidget &screen, DisplayControl &control) {
    return new DisplayScreenAccessible(screen, control);
}

DisplayAnnouncer::DisplayAnnouncer(std::function<void(QAccessibleEvent &)> tell)
    : m_tell(tell ? std::move(tell) : [](QAccessibleEvent &event) { QAccessible::updateAccessibility(&event); }) {}

void DisplayAnnouncer::announce(QWidget &screen, DisplayControl &control) {
    const QString title = control.screenTitle();
    if (title != m_title) {
        m_title = title;
        QAccessibleEvent named(&screen, QAccessible::NameChanged);
        m_tell(named);
    }
    const QList<ScreenObject> objects = ReadScreen(control.screen);
    for (int i = 0; i < objects.size(); ++i) {
        if (objects[i].selected) {
            if (objects[i].name != m_selected) {
                m_selected = objects[i].name;
                QAccessibleInterface *pane = QAccessible::queryAccessibleInterface(&screen);
                if (QAccessibleInterface *row = pane != nullptr ? pane->child(i) : nullptr) {
                    QAccessibleEvent focus(row, QAccessible::Focus);
                    m_tell(focus);
                }
            }
            return;
        }
    }
    m_selected.clear();
}
