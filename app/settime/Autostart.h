#pragma once
// Start with the user's logon: one REG_SZ value under the current user's Run key, named after the
// application title, holding the executable's full path.
#include <optional>
#include <string>

inline constexpr const char* kRunKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The command line stored for path. Windows splits an unquoted Run value at the first space, so
// "C:\Program Files\x.exe" would start "C:\Program.exe" if one existed: such paths are quoted.
std::string AutostartCommand(const std::string& executablePath);

// Writes the value; silent when the key cannot be opened or created, raises Exception
// "Failed to set data for '<name>'" when the value cannot be written.
void WriteAutostartValue(const std::string& valueName, const std::string& executablePath);
// Deletes the value; silent when the key cannot be opened or the value is absent.
void DeleteAutostartValue(const std::string& valueName);
// The stored data, or nothing when the key or the value is missing.
std::optional<std::string> ReadAutostartValue(const std::string& valueName);

// The program's own entry: value name = application title, data = the running executable.
void AddAutostart();
void RemoveAutostart();
