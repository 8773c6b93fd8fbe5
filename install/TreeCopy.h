#pragma once
// Copy mode: the source tree copied unchanged into the destination, files
// of a directory before its subdirectories, a destination directory made
// only when a file goes into it. Paths are Windows paths (see
// DirectoryUtil.h).

#include <string>
#include <vector>

#include "install/TreeCopier.h"

// The names of the files in the directory that match the pattern ("*.*"),
// after making the directory current (when one is given). False when the
// directory cannot be entered; true, possibly with no names, otherwise.
bool ListFiles(std::vector<std::string>& names, const std::string& pattern, const std::string& directory);

// The directory's subdirectories, "." and ".." aside, after making it
// current. Every subdirectory is listed, dotted names ("v1.2") included.
bool ListSubdirectories(std::vector<std::string>& names, const std::string& directory);

// Files in the directory and below; 0 when it cannot be entered.
int CountFiles(const std::string& directory);

// Copies the tree, telling the one CTreeCopier's owner before each file
// (kProgressCopyFile). A relative destination is taken against the current
// directory at the call; a destination inside the source is skipped. A file that cannot be copied is passed over; false
// when a directory of the source cannot be entered.
bool CopyTree(const std::string& source, const std::string& destination);

// Copies one whole file; false, writing nothing, when the source cannot be
// opened or the target cannot be created (or exists and failIfExists is
// set). Read and write errors of opened files are thrown as CFileException.
bool CopyOneFile(const std::string& source, const std::string& target, bool failIfExists);
