#pragma once
// Where the program keeps its per-user files.
#include <string>

// Path of `fileName` in the per-user data folder ($XDG_DATA_HOME/Tessaview/),
// created when missing; the executable's folder when that fails.
std::string GetDataFilePath(const std::string& fileName);
// The data folder root and the executable folder, for tests and the About page.
std::string DataFolderRoot();
std::string ExecutableFolder();
// Path of `fileName` in the per-user state folder ($XDG_STATE_HOME/Tessaview/,
// else ~/.local/state/Tessaview/), with the same fallback as the data folder.
std::string GetStateFilePath(const std::string& fileName);
std::string StateFolderRoot();
