#pragma once

#include <QWidget>

class QGroupBox;
class QToolButton;

// A group of controls that folds away under its caption: a flat button with an arrow and the
// group's title stays in view, the group itself is hidden. The main window folds the groups a
// developer needs now and then, so that it fits a small screen.
class FoldingGroup : public QWidget {
    Q_OBJECT
public:
    // Takes the group in. Its title moves onto the fold button, so it is not shown twice; the
    // button is named after the group ("<group's name>Fold").
    explicit FoldingGroup(QGroupBox *group, QWidget *parent = nullptr);
    ~FoldingGroup() override;

    bool isOpen() const;
    // Opens or folds the group as the user's click does, but without openedByUser.
    void setOpen(bool open);
    QToolButton *foldButton() const { return m_button; }

Q_SIGNALS:
    // The user opened (true) or folded (false) the group.
    void openedByUser(bool open);

private:
    QToolButton *m_button = nullptr;
    QGroupBox *m_group = nullptr;
};
