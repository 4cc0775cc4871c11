#pragma once
// Files on disk for the checksum tests: a private temporary folder, removed
// afterwards, and method texts sealed the way the titrator seals them.
#include "seal.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <string>

class SumvalFixture : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device seed;
        dir_ = std::filesystem::temp_directory_path() /
               ("vt-sumval-" + std::to_string(seed()) + "-" + std::to_string(seed()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

    std::filesystem::path write(const std::string& name, const std::string& bytes) {
        const auto file = dir_ / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        EXPECT_TRUE(out.good()) << file;
        return file;
    }

    // A small method text of CR LF lines with the given type line, sealed.
    static std::string method(const std::string& methTypeLine) {
        return sumval::sealed("Name Acid value\r\nFileID QX1201\r\n" + methTypeLine +
                              "\r\nRev 1.2\r\n");
    }

    std::filesystem::path dir_;
};
