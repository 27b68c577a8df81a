#include "radio_link/ReplyHandshake.h"

#include "radio_link/RadioState.h"

namespace {

bool &freshFlagOf(RadioState &state, ReplyHandshake::Data data) {
    RadioState::FreshData &f = state.fresh;
    switch (data) {
    case ReplyHandshake::Data::Menu:
        return f.FreshMenu;
    case ReplyHandshake::Data::List:
        return f.FreshList;
    case ReplyHandshake::Data::Meta:
        return f.FreshMeta;
    case ReplyHandshake::Data::Volume:
        return f.FreshVolume;
    case ReplyHandshake::Data::Version:
        return f.FreshVersion;
    case ReplyHandshake::Data::State:
        break;
    }
    return f.FreshState;
}

// Only list-like replies can be awaited one by one; the others come with a full refresh.
ReplyHandshake::Reply replyOf(ReplyHandshake::Data data) {
    switch (data) {
    case ReplyHandshake::Data::Menu:
        return ReplyHandshake::Reply::Menu;
    case ReplyHandshake::Data::List:
        return ReplyHandshake::Reply::List;
    case ReplyHandshake::Data::Meta:
        return ReplyHandshake::Reply::Meta;
    default:
        break;
    }
    qFatal("ReplyHandshake: no reply of this kind can be awaited");
}

} // namespace

ReplyHandshake::ReplyHandshake(RadioState &state, AutomaticPoll &poll)
    : m_state(state)
    , m_poll(poll) {}

bool &ReplyHandshake::freshFlag(Data data) const {
    return freshFlagOf(m_state, data);
}

void ReplyHandshake::awaitFresh(Data data) {
    refetch(data);
    expect(replyOf(data));
}

void ReplyHandshake::refetch(Data data) {
    freshFlag(data) = false;
    m_poll.askFor(data);
}

void ReplyHandshake::askAndAwait(Data data) {
    m_poll.askFor(data);
    expect(replyOf(data));
}

void ReplyHandshake::expect(Replies replies) {
    RadioState::MacroAwaits &a = m_state.awaits;
    a.AwaitOk = a.AwaitOk || replies.testFlag(Reply::Ok);
    a.AwaitAnyList = a.AwaitAnyList || replies.testFlag(Reply::AnyList);
    a.AwaitList = a.AwaitList || replies.testFlag(Reply::List);
    a.AwaitMenu = a.AwaitMenu || replies.testFlag(Reply::Menu);
    a.AwaitMeta = a.AwaitMeta || replies.testFlag(Reply::Meta);
}

void ReplyHandshake::markFresh(Data data) {
    freshFlag(data) = true;
}

void ReplyHandshake::forget(DataSet data) {
    for (Data d : {Data::Menu, Data::List, Data::Meta, Data::Volume, Data::Version, Data::State}) {
        if (data.testFlag(d)) {
            freshFlag(d) = false;
        }
    }
}

bool ReplyHandshake::isFresh(Data data) const {
    return freshFlag(data);
}

bool ReplyHandshake::awaiting() const {
    const RadioState::MacroAwaits &a = m_state.awaits;
    return a.AwaitAnyList || a.AwaitList || a.AwaitMenu || a.AwaitMeta || a.AwaitOk;
}

void ReplyHandshake::dropAwaits() {
    m_state.awaits.clear();
}

void ReplyHandshake::forgetAll() {
    m_state.fresh.clear();
}

void ReplyHandshake::arrived(RadioState &state, Data data) {
    freshFlagOf(state, data) = true;
    RadioState::MacroAwaits &a = state.awaits;
    switch (data) {
    case Data::Menu:
        a.AwaitAnyList = a.AwaitMenu = false;
        break;
    case Data::List:
        a.AwaitAnyList = a.AwaitList = false;
        break;
    case Data::Meta:
        a.AwaitAnyList = a.AwaitMeta = false;
        break;
    default:
        break;
    }
}

void ReplyHandshake::acknowledged(RadioState &state) {
    state.awaits.AwaitOk = false;
}
