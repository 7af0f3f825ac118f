// The report file: only whole lines, however many processes append at once
// and whatever goes wrong with a write.

#include "report/report_file.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "support/file_size_limit.h"
#include "support/temp_folder.h"

namespace sonorel {
namespace {

using test::FileSizeLimit;
using test::TempFolder;

std::vector<std::string> LinesOf(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string Contents(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(ReportFile, LinesFromProcessesAppendingAtOnceStayWhole) {
    const TempFolder folder;
    const auto path = folder / "report.jsonl";
    constexpr int kProcesses = 4;
    constexpr int kLines = 150;
    // Lines of several kilobytes, far beyond what one write of a pipe or a
    // buffered stream keeps together, each made of its process's letter.
    const auto line = [](int process, int i) {
        return std::string(3000 + 37 * i, static_cast<char>('a' + process)) + "\n";
    };
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::string error;
            const auto report = ReportFile::Open(path, error);
            bool ok = report != nullptr;
            for (int i = 0; ok && i < kLines; ++i)
                ok = report->Append(line(p, i), error);
            ::_exit(ok ? 0 : 1);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const std::vector<std::string> lines = LinesOf(path);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kProcesses * kLines));
    std::vector<int> next(kProcesses, 0);
    for (const std::string& text : lines) {
        const int p = text.front() - 'a';
        ASSERT_TRUE(p >= 0 && p < kProcesses) << text.substr(0, 20);
        // Each process's lines arrive whole and in its own order.
        ASSERT_EQ(text + "\n", line(p, next[p]++));
    }
}

TEST(ReportFile, ALineThatDoesNotFitIsTakenBackWhole) {
    const TempFolder folder;
    const auto path = folder / "report.jsonl";
    { std::ofstream(path) << "{\"left\":\"by a program that died\""; }  // no newline
    std::string error;
    const auto report = ReportFile::Open(path, error);
    ASSERT_TRUE(report) << error;
    EXPECT_TRUE(report->Append("{\"first\":1}\n", error)) << error;
    const std::string before = Contents(path);
    EXPECT_EQ(before, "{\"left\":\"by a program that died\"\n{\"first\":1}\n");
    {
        const FileSizeLimit limit(before.size() + 10);
        ASSERT_TRUE(limit.Active());
        EXPECT_FALSE(report->Append("{\"second\":\"" + std::string(100, 'x') + "\"}\n", error));
        EXPECT_FALSE(error.empty());
    }
    EXPECT_EQ(Contents(path), before);
}

TEST(ReportFile, WhatCannotTakeLinesIsRefusedWithItsName) {
    const TempFolder folder;
    std::filesystem::create_directory(folder / "folder");
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
    for (const auto& path :
         {folder / "folder", folder / "missing" / "report.jsonl", folder / "fifo"}) {
        std::string error;
        EXPECT_FALSE(ReportFile::Open(path, error));  // and the FIFO does not hang
        EXPECT_NE(error.find(path.string()), std::string::npos) << error;
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "missing"));
}

}  // namespace
}  // namespace sonorel
