// Runs the real ringlog-tool binary: its lookup command with the database found beside bin/, from
// standard input, and without a database. Each test process keeps its own scratch files, so
// CTest may run them side by side.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace {

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

ToolRun RunTool(const std::string& arguments, const std::string& input = "") {
    const std::string errFile = testing::TempDir() + "ringlog_tool_stderr_" + std::to_string(getpid()) + ".txt";
    const std::string inFile = testing::TempDir() + "ringlog_tool_stdin_" + std::to_string(getpid()) + ".txt";
    std::ofstream(inFile) << input;
    const std::string command =
        std::string(RINGLOG_BIN_DIR) + "/ringlog-tool " + arguments + " <" + inFile + " 2>" + errFile;
    ToolRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[256];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        run.out.append(buffer, n);
    }
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream err(errFile);
    run.err.assign(std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>());
    std::remove(errFile.c_str());
    std::remove(inFile.c_str());
    return run;
}

} // namespace

TEST(LookupTool, AnswersEachArgumentFromTheInstalledDatabase) {
    const ToolRun run = RunTool("lookup 206386 20638 212555 206000");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "Seattle, WA\n\nNew York, NY\nCity and State information not available\n");
    EXPECT_EQ(run.err, "");
}

TEST(LookupTool, AnswersEachLineOfStandardInput) {
    const ToolRun run = RunTool("lookup", "206386\r\n\n418269\n");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "Seattle, WA\n\nGasp\xC3\xA9, QC\n");
}

TEST(LookupTool, MissingDatabaseIsReportedAndEveryAnswerIsNotAvailable) {
    const ToolRun run = RunTool("--citydb /nonexistent/Zonrik.dll lookup 206386 20638");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "City and State information not available\n\n");
    EXPECT_NE(run.err.find("DB file not found"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("/nonexistent/Zonrik.dll"), std::string::npos) << run.err;
}
