#pragma once

#include <string>

// Writes a text file of this system (settings files, the configuration) with CR LF line ends on
// every platform, so that files move between installs unchanged. The text comes with "\n" ends.
//
// The previous file stays untouched until the new content is complete on disk: the text goes to a
// new file beside the target, is flushed to disk and then renamed over the target. A symbolic link
// keeps pointing at the replaced file, the replaced file's permissions carry over, and a
// write-protected file is left as it is (false). A target that is no regular file (a device, a
// pipe) is written in place. False on any failure; nothing is shown.
[[nodiscard]] bool ReplaceTextFile(const std::string& path, const std::string& text);
