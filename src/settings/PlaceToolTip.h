#pragma once

#include <QEvent>
#include <QHelpEvent>
#include <QString>
#include <QToolTip>
#include <QWidget>

// Answers a widget's tooltip event with the tip of the place under the pointer (tipAt, given
// the place in the widget's coordinates): shown, or hidden where the place has none. False, and
// nothing done, for any other event.
template <typename TipAt>
bool AnswerToolTip(QWidget &widget, QEvent *event, TipAt tipAt) {
    if (event->type() != QEvent::ToolTip) {
        return false;
    }
    auto *help = static_cast<QHelpEvent *>(event);
    const QString tip = tipAt(help->pos());
    if (tip.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
    } else {
        QToolTip::showText(help->globalPos(), tip, &widget);
    }
    return true;
}
