#pragma once
// The texts of the data-file location prompts and of "Open...". A line break in them is one
// carriage return; quoted values stand between ‘ and ’.

#include <QString>

namespace pinleaf {

// A data file's path as the texts show it: an absolute path as "/.../" and the file name,
// whatever the depth of its folders (also with none); a relative path as the file name alone.
QString shortPath(const QString& path);

// The opening prompt for a data file that is missing when the window first shows.
QString openingPromptText(const QString& path);
// The saving prompt for a data file that has gone by the time of the exit save.
QString savingPromptText(const QString& path);
// The failure texts of the prompts, for an entered path that cannot be used.
QString openFailureText(const QString& path);
QString saveFailureText(const QString& path);
// The open prompt of "Open...".
QString openOtherPromptText();
// The question of "Open..." while notes are undocked.
QString dockAllQuestion();

// Whether the saving prompt can write the messages to `path`: an existing file, or a new
// file in an existing folder.
bool canSaveTo(const QString& path);

}  // namespace pinleaf
