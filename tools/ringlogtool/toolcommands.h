#pragma once

#include <string>
#include <vector>

// What every command of ringlog-tool is given: the global options and its own arguments.
struct ToolOptions {
    std::string store;  // --store FILE, empty for the default store
    std::string citydb; // --citydb FILE, empty for the installed database
};

// Each command returns the tool's exit code: 0 success, 1 failure (after a one-line message on
// standard error), 2 wrong usage.
int RunLookupCommand(const ToolOptions& options, const std::vector<std::string>& args);

// The phone store's call log (storecommands.cpp).
int RunDemoCommand(const ToolOptions& options, const std::vector<std::string>& args);
int RunAddCommand(const ToolOptions& options, const std::vector<std::string>& args);
int RunListCommand(const ToolOptions& options, const std::vector<std::string>& args);
int RunDeleteCommand(const ToolOptions& options, const std::vector<std::string>& args);
int RunExportCommand(const ToolOptions& options, const std::vector<std::string>& args);
int RunImportCommand(const ToolOptions& options, const std::vector<std::string>& args);
