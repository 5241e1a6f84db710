#pragma once
// Files carried inside the executable are written next to it only while they are in use.
// Every user follows the same pattern: build the path next to the executable, delete a stale
// file there, write the resource, hand the path on; and delete the file again when done.
#include <string>

// Writes the whole resource (type, name: looked up case-insensitively in the program's own module)
// to path, creating or truncating the file. Raises EResNotFound before the file is touched,
// EFCreateError("Cannot create file "<path>". <cause>") when it cannot be created, and
// EWriteError when writing fails part-way, in which case the partial file is deleted.
void WriteResourceToFile(const std::string& name, const std::string& type, const std::string& path);

// Directory of the running executable, with its trailing separator.
std::string ExecutableDirectory();
std::string PathNextToExecutable(const std::string& fileName);

// The replace pattern: deletes any file named fileName next to the executable (a failed delete is
// ignored, the write then reports the problem), writes the resource there and returns the path.
std::string ExtractResourceNextToExecutable(const std::string& name, const std::string& type,
                                            const std::string& fileName);

// The delete pattern: removes the file if it is there; failure is ignored and nothing is shown.
void DeleteFileIfExists(const std::string& path);
