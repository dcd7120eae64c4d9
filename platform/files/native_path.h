// Paths as callers write them and as Linux wants them: callers may write Windows-style paths
// ("C:\sites\a\siteConfiguration.xml" relative parts, "\" separators); the local separator is
// "/". Folder layouts keep their segments exactly; only the separator changes.
#pragma once

#include <string>
#include <string_view>

namespace quorvan::files {

// The path with every "\" turned into "/". A NUL inside the path raises error 5 (a path
// cannot hold one, and silently cutting it would name another file).
std::string NativePath(std::string_view path);

}  // namespace quorvan::files
