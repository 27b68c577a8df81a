#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QString>

// Controls made with the object name tests and settings find them by, and their tooltip.
inline QCheckBox *checkBox(const QString &name, const QString &caption, const QString &tip, bool checked) {
    auto *box = new QCheckBox(caption);
    box->setObjectName(name);
    box->setToolTip(tip);
    box->setChecked(checked);
    return box;
}

inline QPushButton *button(const QString &name, const QString &caption, const QString &tip = QString()) {
    auto *b = new QPushButton(caption);
    b->setObjectName(name);
    b->setToolTip(tip);
    return b;
}

inline QLineEdit *lineEdit(const QString &name, const QString &text, const QString &tip = QString()) {
    auto *edit = new QLineEdit(text);
    edit->setObjectName(name);
    edit->setToolTip(tip);
    return edit;
}
