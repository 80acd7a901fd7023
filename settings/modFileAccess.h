#pragma once
// The settings line format and the small file and folder helpers of the settings files.
// Files are code page 932 text with CR LF line ends; paths use "/".
#include "settings/CParams.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

// Reads the setting lines of text: lines are cut at CR LF; a line that is empty or begins with
// "//" (after trimming spaces) is a comment; the key is what stands before the first "=", both
// parts trimmed of spaces; a key ending in "," holds a list cut at every ",". Lines without "="
// and lines with an empty key add nothing; a key met twice keeps its first value.
CParams TextToParams(const QString& text);

// text without the spaces (not tabs) at either end, as the reader trims keys and values.
QString TrimSpaces(const QString& text);

// True for a line that the settings files skip: empty or beginning with "//" once leading and
// trailing spaces (not tabs) are removed.
bool IsCommentLine(const QString& line);

// The file text: a comment block naming title, one line per key of keyTable in its order
// (keys the params lack are left out), and a final empty line. A value is written up to its
// first CR LF, since a line cannot hold more.
QString ParamsToText(const QString& title, const CParams& params, const QStringList& keyTable);

// The comment block that opens every settings file: "//", "// " + title, "//", an empty line.
QString CommentHeader(const QString& title);

// False when the file is missing, unreadable or empty.
bool LoadTextFile(const QString& path, QString& retText);
bool LoadBinaryFile(const QString& path, QByteArray& retBytes);

// The largest settings file in the line format that is read: 16 MiB, thousands of times what
// the program writes, so a larger file is damaged.
constexpr qint64 MaxSettingsFileBytes = qint64{16} << 20;

// LoadTextFile for a file in the line format. False with retIsDamaged set for a file of more
// than MaxSettingsFileBytes, which is not read further; retIsDamaged is clear otherwise.
bool LoadSettingsFile(const QString& path, QString& retText, bool& retIsDamaged);

// Replaces the file with text in code page 932, nothing added. The bytes go to a file beside
// it that then takes its place, so an interrupted save leaves the old file whole.
bool SaveTextFile(const QString& path, const QString& text);

// Tests make chosen writes fail: while a check is installed, SaveTextFile asks it first and,
// when it answers false, writes nothing and answers false. An empty check writes everything.
// Answers the check it replaces.
using SaveTextFileCheck = std::function<bool(const QString& path)>;
SaveTextFileCheck SetSaveTextFileCheck(SaveTextFileCheck check);

// Creates the folder for the user alone (0700), or makes an existing folder (not a link) the
// user's alone: options/ and temp/ hold the password, the log and mail. Every failure (no
// right) is ignored.
void MakeFolder(const QString& path);

// The full paths of the ordinary files of folder that match the wildcard pattern, sorted by
// name with digit runs by their value (999.csp before 1000.csp); false (and no paths) when none
// matches.
bool ListFiles(const QString& folder, const QString& pattern, QStringList& retPaths);

// Deletes every ordinary file of folder that matches pattern; one that cannot be deleted is
// skipped.
void DeleteFiles(const QString& folder, const QString& pattern);
