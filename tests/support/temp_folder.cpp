#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <system_error>

namespace sonorel::test {
namespace {

// Letters, digits and dashes only: a parameterised test's name holds a '/'.
std::string FolderLabel(std::string_view label) {
    std::string safe(label.substr(0, 60));
    for (char& c : safe) {
        const bool plain =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!plain) c = '-';
    }
    return safe;
}

std::string CurrentTestName() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return info != nullptr ? info->name() : "test";
}

}  // namespace

TempFolder::TempFolder() : TempFolder(CurrentTestName()) {}

TempFolder::TempFolder(std::string_view label) {
    // mkdtemp makes a folder no one else has, readable by its owner only.
    std::string pattern =
        (std::filesystem::temp_directory_path() / ("sonorel-" + FolderLabel(label) + "-XXXXXX"))
            .string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder " + pattern + ": " +
                                 std::strerror(errno));
    }
    path_ = std::filesystem::canonical(pattern);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    // A test may take its own rights away to see a failure; give them back
    // so that the folder can go.
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace sonorel::test
