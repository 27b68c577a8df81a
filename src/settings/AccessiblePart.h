#pragma once

#include <QAccessible>
#include <QPointer>
#include <QWidget>
#include <QWindow>

// A part of a widget that a screen reader finds as an object of its own (a key drawn on a
// picture, an icon on an emulated screen) without being a widget: it has no children, lies in
// its widget's window and may be pressed. What it is, where and what pressing does is the
// subclass's.
class AccessiblePart : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    explicit AccessiblePart(QWidget &owner)
        : m_owner(&owner) {}

    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_owner != nullptr ? m_owner->window()->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override {
        return m_owner != nullptr ? QAccessible::queryAccessibleInterface(m_owner) : nullptr;
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    // Out of sight with its widget; subclasses add what else they know.
    QAccessible::State state() const override {
        QAccessible::State state;
        state.invisible = m_owner == nullptr || !m_owner->isVisible();
        return state;
    }
    void setText(QAccessible::Text, const QString &) override {}
    void *interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this) : nullptr;
    }

protected:
    // The widget the part is drawn in; null once it is gone.
    QWidget *owner() const { return m_owner; }

private:
    QPointer<QWidget> m_owner;
};
