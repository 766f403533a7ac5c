#pragma once

#include <string>

// Writes a text file of this system (settings files, the configuration) with CR LF line ends on
// every platform, so that files move between installs unchanged. The text comes with "\n" ends.
//
// Where it can, the previous file stays untouched until the new content is complete on disk: the
// text goes to a new file beside the target, is flushed to disk, renamed over the target, and the
// folder is flushed too. The replaced file's mode carries over, and its owner where the system
// permits. A file the rename would change in other ways is written in place instead: one with
// several hard links (the rename would split them) and one in a folder that takes no new file (a
// read-only folder holding a writable file). A symbolic link keeps pointing at the replaced file;
// a write-protected file is left as it is (false); a target that is no regular file (a device, a
// pipe) is written in place. False on any failure; nothing is shown.
[[nodiscard]] bool ReplaceTextFile(const std::string& path, const std::string& text);
