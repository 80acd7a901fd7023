#pragma once
// The one way the program writes an output file. Only an absent path or a regular file is
// replaced; anything else at the path (a FIFO, a device, a socket, a folder or a symbolic
// link) is refused and left as it is, so that no writer can remove or feed a special file.
// The files hold passwords, the log's mail addresses and mail: each one written is the user's
// alone (0600), a file of an older, looser mode included.
#include <QByteArrayView>
#include <QString>
#include <initializer_list>

enum class Durability {
    // Removes the old file and writes a new one in its place: for scratch files, where a
    // truncated rewrite would make the file system write the old blocks out first.
    Scratch,
    // Writes beside the file and renames it into place once the data is on disk: a crash or
    // a full disk leaves the old file or the new one, never a mix.
    Durable,
};

// Writes the parts one after the other as the new content of path; false when the path is
// refused or a write fails (a durable write then leaves the old file).
bool ReplaceFile(const QString& path, std::initializer_list<QByteArrayView> parts,
                 Durability durability);

// Whether path may be replaced: it is absent or a regular file (links not followed).
bool IsReplaceablePath(const QString& path);
