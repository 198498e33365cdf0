// A scratch directory per test, removed afterwards, and whole-file helpers.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

class TScratchDir : public ::testing::Test {
protected:
    std::filesystem::path Dir;

    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        Dir = std::filesystem::temp_directory_path() /
              ("qvsettings-" + std::string(info->test_suite_name()) + "-" + info->name() + "-" +
               std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
        std::filesystem::remove_all(Dir);
        std::filesystem::create_directories(Dir);
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::permissions(Dir, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(Dir, ec);
    }

    std::string Path(const std::string& Name) const { return (Dir / Name).string(); }

    static std::string ReadBytes(const std::filesystem::path& File) {
        std::ifstream in(File, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return std::move(out).str();
    }
    static void WriteBytes(const std::filesystem::path& File, const std::string& Bytes) {
        std::ofstream out(File, std::ios::binary | std::ios::trunc);
        out << Bytes;
    }
    // Names in the directory other than the given ones: leftovers such as temporary files.
    std::vector<std::string> Others(std::initializer_list<std::string> Expected) const {
        std::vector<std::string> out;
        for (const auto& entry : std::filesystem::directory_iterator(Dir)) {
            const std::string name = entry.path().filename().string();
            if (std::find(Expected.begin(), Expected.end(), name) == Expected.end()) {
                out.push_back(name);
            }
        }
        return out;
    }
};
