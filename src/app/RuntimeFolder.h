#pragma once

#include <QString>

// The folder for what only this user's copies may touch: the single-instance channel's socket,
// and the lock when the program folder cannot take one.
//
// $XDG_RUNTIME_DIR when it is set and is a folder of this user's that nobody else can write;
// otherwise a folder of the user's own in the temporary folder, "CVRemote-" and the user
// number, made with mode 0700. The temporary folder is shared: another local user may have
// made that name first, as a folder, a file or a link to elsewhere. The folder is taken only
// when it is a real folder (no link), owned by this user and reachable by nobody else (it is
// tightened to 0700 when it is the user's own but open); otherwise "" is returned and the
// caller goes without rather than put its socket or lock where another user could replace it.
QString PrivateRuntimeFolder();

// Whether the file at path, when there is one, belongs to this user (no link followed). A
// missing file counts as the user's: it is made by whoever asks.
bool OwnedByUser(const QString &path);
