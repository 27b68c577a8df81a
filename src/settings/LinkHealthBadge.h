#pragma once

#include "session/LinkHealthLook.h"

#include <QFrame>

class QLabel;

// Whether the radio answers, drawn for a status bar: a small filled circle in the look's colour
// and its words, the whole story in the tool tip. The main window, the remote and the
// information panel each show one, all drawn from the same LinkHealthLook. Words that do not fit
// end in "…"; the colours follow the window's palette (light or dark).
class LinkHealthBadge : public QFrame {
    Q_OBJECT
public:
    explicit LinkHealthBadge(QWidget *parent = nullptr);

    void showLook(const LinkHealthLook &look);
    const LinkHealthLook &look() const { return m_look; }
    // The colours drawn now, for tests.
    QColor markColour() const;
    QColor wordsColour() const;

protected:
    void changeEvent(QEvent *event) override;

private:
    class Mark;
    class Words;
    void recolour();

    LinkHealthLook m_look;
    Mark *m_mark = nullptr;
    Words *m_words = nullptr;
    bool m_recolouring = false;
};
