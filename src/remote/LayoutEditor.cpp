#include "remote/LayoutEditor.h"

#include "platform/NumericText.h"
#include "remote/RemoteLayout.h"

#include <cmath>

namespace {

// Whether text starts (after blanks) with a number, so that "Set" can tell an empty or wordy box
// from a box holding 0.
bool holdsNumber(const QString &text) {
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) {
        ++i;
    }
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        ++i;
    }
    if (i < text.size() && text[i] == u'.') {
        ++i;
    }
    return i < text.size() && text[i].isDigit() && text[i].unicode() < 128;
}

bool isBox(int box) {
    return box >= 0 && box < LayoutEditor::Boxes;
}

} // namespace

void LayoutEditor::SetBoxColors(int index) {
    GreenBox = index == -2 ? EditIndex : index;
    touch();
}

void LayoutEditor::setBox(int box, const QString &text) {
    if (isBox(box) && ButtonLocations[size_t(box)] != text) {
        ButtonLocations[size_t(box)] = text;
        touch();
    }
}

void LayoutEditor::FocusBox(int box) {
    if (isBox(box)) {
        EditIndex = qint16(box);
        SetBoxColors(-2);
    }
}

void LayoutEditor::ArrowKey(int box, bool up) {
    if (!isBox(box)) {
        return;
    }
    const double value = std::fabs(NumericText::Val(ButtonLocations[size_t(box)]) + (up ? -1.0 : 1.0));
    // A number too long to step stays as typed rather than turning into a rounded mess.
    if (value < 1e9) {
        ButtonLocations[size_t(box)] = NumericText::SingleText(float(value));
        touch();
    }
}

void LayoutEditor::CaptureStep(bool rightButton, qint16 yp, qint16 xp) {
    switch (EditIndex) {
    case -1:
        ButtonLocations[SummaryBox].clear();
        SetBoxColors(0);
        break;
    case 0:
    case 1:
        ButtonLocations[size_t(EditIndex)] = QString::number(yp);
        break;
    case 2:
    case 3:
        ButtonLocations[size_t(EditIndex)] = QString::number(xp);
        break;
    case 4:
        ButtonLocations[SummaryBox] = QString::number(xp);
        break;
    default:
        break;
    }
    if (rightButton) {
        // Backwards from "none" chooses the last box, as it does from box 0.
        EditIndex = EditIndex <= 0 ? qint16(4) : qint16(EditIndex - 1);
    } else {
        EditIndex = EditIndex >= 4 ? qint16(-1) : qint16(EditIndex + 1);
    }
    SetBoxColors(-2);
}

void LayoutEditor::ClearChoice() {
    SetBoxColors(SummaryBox);
    EditIndex = -1;
}

std::array<qint16, 4> LayoutEditor::edges() const {
    std::array<qint16, 4> result{};
    for (size_t i = 0; i < result.size(); ++i) {
        result[i] = NumericText::Int16Of(ButtonLocations[i], 0);
    }
    return result;
}

void LayoutEditor::writeSummary() {
    QString summary;
    for (size_t i = 0; i < 4; ++i) {
        summary += ButtonLocations[i] + QStringLiteral(", ");
    }
    ButtonLocations[SummaryBox] = summary;
    touch();
}

bool LayoutEditor::ShowCommand(const RemoteLayout &layout, const QString &command) {
    const int found = FindButton(layout.RemoteButtons, command);
    if (found < 0) {
        return false;
    }
    const RemoteButton &button = layout.RemoteButtons[size_t(found)];
    const std::array<qint16, 4> values{button.Top, button.Bottom, button.Left, button.Right};
    for (size_t i = 0; i < values.size(); ++i) {
        ButtonLocations[i] = QString::number(values[i]);
    }
    touch();
    return true;
}

bool LayoutEditor::SetButton_Click(RemoteLayout &layout, const QString &command) {
    const QString problem = LayoutCommandProblem(command);
    if (!problem.isEmpty()) {
        StatusText = problem;
        touch();
        return false;
    }
    int found = FindButton(layout.RemoteButtons, command);
    if (found < 0) {
        layout.RemoteButtons.push_back(RemoteButton{0, 0, 0, 0, command});
        found = int(layout.RemoteButtons.size()) - 1;
    }
    RemoteButton &button = layout.RemoteButtons[size_t(found)];
    qint16 *const fields[4] = {&button.Top, &button.Bottom, &button.Left, &button.Right};
    for (size_t i = 0; i < 4; ++i) {
        if (holdsNumber(ButtonLocations[i])) {
            NumericText::ValToInt16(ButtonLocations[i], *fields[i]);
        }
    }
    StatusText = QStringLiteral("Set %1: %2, %3, %4, %5")
                     .arg(command, LayoutNumber(button.Top), LayoutNumber(button.Bottom), LayoutNumber(button.Left),
                          LayoutNumber(button.Right));
    touch();
    return true;
}

bool LayoutEditor::UpdateButtons_Click(RemoteLayout &layout, INIFILES &settings, PlacedWindow *remoteWindow) {
    if (layout.CurrentRemote.isEmpty()) {
        return false;
    }
    const QString name = layout.CurrentRemote;
    const bool written = SaveLayout(layout, name, settings, remoteWindow);
    StatusText = written ? QStringLiteral("Saved %1").arg(name) : QStringLiteral("Could not save %1").arg(name);
    touch();
    return written;
}
