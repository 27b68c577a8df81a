#include "settings/FramedPlacement.h"

#include "settings/SideBySide.h"

#include <algorithm>

namespace {

QSize extraOf(const QMargins &frame) {
    return {frame.left() + frame.right(), frame.top() + frame.bottom()};
}

} // namespace

QMargins FramePlacer::frameOf(const FramedWindow &window) const {
    if (const auto reported = window.reportedFrame()) {
        return *reported;
    }
    return m_lastReported.value_or(DefaultGuess);
}

void FramePlacer::lineUp(const QRect &area, const QList<FramedWindow *> &windows, int gap) {
    Group group{area, gap, {}};
    for (FramedWindow *window : windows) {
        forget(*window);
        group.members << Member{window, window->clientSize(), {}};
    }
    placeGroup(group);
    m_groups << group;
}

void FramePlacer::place(FramedWindow &window, std::function<QPoint(QSize frame)> rule) {
    forget(window);
    Single single{Member{&window, window.clientSize(), {}}, std::move(rule)};
    placeSingle(single);
    m_singles << single;
}

void FramePlacer::placeGroup(Group &group) {
    QList<StartWindow> start;
    for (Member &member : group.members) {
        member.used = frameOf(*member.window);
        const QSize extra = extraOf(member.used);
        const QSize least = member.window->minimumClientSize().boundedTo(member.client);
        start << StartWindow{member.client + extra, least + extra};
    }
    const QList<QRect> frames = LineUpInArea(group.area, start, group.gap);
    for (qsizetype i = 0; i < frames.size(); ++i) {
        const Member &member = group.members[i];
        const QSize extra = extraOf(member.used);
        member.window->setFrameGeometry(frames[i].topLeft(), frames[i].size() - extra, member.used);
        // A window that would not be made as small as it said it could: moved back into the area
        // as far as it fits, the top edge first.
        const QRect taken(frames[i].topLeft(), member.window->clientSize() + extra);
        if (taken.size() != frames[i].size()) {
            member.window->setFrameGeometry(MovedInto(group.area, taken).topLeft(), taken.size() - extra, member.used);
        }
    }
}

void FramePlacer::placeSingle(Single &single) {
    Member &member = single.member;
    member.used = frameOf(*member.window);
    member.client = member.window->clientSize();
    const QPoint corner = single.rule(member.client + extraOf(member.used));
    member.window->setFrameGeometry(corner, member.client, member.used);
}

void FramePlacer::frameReported(FramedWindow &window) {
    const auto reported = window.reportedFrame();
    if (!reported) {
        return;
    }
    m_lastReported = *reported;
    for (qsizetype i = 0; i < m_singles.size(); ++i) {
        if (m_singles[i].member.window == &window) {
            Single single = m_singles.takeAt(i);
            if (single.member.used != *reported) {
                placeSingle(single);
            }
            break;
        }
    }
    for (qsizetype i = 0; i < m_groups.size(); ++i) {
        Group &group = m_groups[i];
        const auto has = [&window](const Member &m) { return m.window == &window; };
        if (std::none_of(group.members.begin(), group.members.end(), has)) {
            continue;
        }
        // Once every shown member has told its frame; one not shown keeps the guess.
        const bool allKnown = std::all_of(group.members.begin(), group.members.end(), [](const Member &m) {
            return !m.window->isShown() || m.window->reportedFrame().has_value();
        });
        if (allKnown) {
            Group done = m_groups.takeAt(i);
            const bool guessedWrong = std::any_of(done.members.begin(), done.members.end(),
                                                  [this](const Member &m) { return m.used != frameOf(*m.window); });
            if (guessedWrong) {
                placeGroup(done);
            }
        }
        break;
    }
}

void FramePlacer::forget(FramedWindow &window) {
    m_singles.removeIf([&window](const Single &s) { return s.member.window == &window; });
    for (Group &group : m_groups) {
        group.members.removeIf([&window](const Member &m) { return m.window == &window; });
    }
    m_groups.removeIf([](const Group &g) { return g.members.isEmpty(); });
}
