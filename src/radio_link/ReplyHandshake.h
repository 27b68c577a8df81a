#pragma once

#include "radio_link/AutomaticPoll.h"

#include <QFlags>

struct RadioState;

// How a running macro waits for the radio. Its test steps compare values the decoder stored, and
// a value only proves something when a reply brought it after the macro asked: the macro forgets
// what it has of a kind (the fresh flag drops), has the automatic poll ask for it, and raises the
// await of the reply; the reply gate of the runner's tick waits while any await is up. The
// decoder's side is arrived() and acknowledged(): a reply raises its fresh flag and lowers its
// awaits. Reading a macro's wait for a screen: MacroRunner::testStep -> ReplyHandshake::refetch
// -> AutomaticPoll::askFor -> the poll's tick queues MINFO -> ReplyDecoder -> arrived(Menu).
//
// The handshake keeps no state of its own: the flags live in RadioState's awaits and fresh
// groups, where the decoder's tests and the debug view read them.
class ReplyHandshake {
public:
    using Data = AutomaticPoll::Query;
    using DataSet = AutomaticPoll::Queries;
    // The replies a macro can wait for: the acknowledgement of a command, any list, or one kind.
    enum class Reply : unsigned {
        Ok = 1 << 0,
        AnyList = 1 << 1,
        List = 1 << 2,
        Menu = 1 << 3,
        Meta = 1 << 4,
    };
    Q_DECLARE_FLAGS(Replies, Reply)

    ReplyHandshake(RadioState &state, AutomaticPoll &poll);

    // --- The macro's side --------------------------------------------------------------------

    // Forgets what is known of data, has the poll ask for it and waits for its reply (a list,
    // menu or meta reply).
    void awaitFresh(Data data);
    // Forgets what is known of data and has the poll ask for it; the step looks again on a later
    // tick, without holding the reply gate for it.
    void refetch(Data data);
    // Has the poll ask for data (menu, list or meta) and waits for the reply, keeping what is
    // known meanwhile: a look ahead that did not pass yet.
    void askAndAwait(Data data);
    // Waits for replies the macro's own actions bring (a command's OK, whatever list follows).
    void expect(Replies replies);
    // The values in hand are known to pass: the step needs no new reply.
    void markFresh(Data data);
    // Forgets several kinds at once (values a following test must not take as new).
    void forget(DataSet data);
    bool isFresh(Data data) const;
    bool awaiting() const;
    // The one place a macro drops every await: at a tick past the reply gate, at a stop, at the
    // run's end.
    void dropAwaits();
    // The one place a macro forgets everything: a restart starts without proof of anything.
    void forgetAll();

    // --- The decoder's side ------------------------------------------------------------------

    // A reply of the kind was decoded: it is fresh, and a wait for it (or for any list, when it
    // is one) is over.
    static void arrived(RadioState &state, Data data);
    // The radio acknowledged a command.
    static void acknowledged(RadioState &state);

private:
    bool &freshFlag(Data data) const;

    RadioState &m_state;
    AutomaticPoll &m_poll;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(ReplyHandshake::Replies)
