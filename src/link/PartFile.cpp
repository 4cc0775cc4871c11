#include "link/PartFile.h"

#include <cerrno>
#include <cstring>
#include <system_error>

PartFile::PartFile(std::filesystem::path target)
    : target_(std::move(target)), part_(partPathFor(target_)) {
    file_ = std::fopen(part_.c_str(), "wb");
    if (!file_)
        fail(errno, std::strerror(errno));
}

PartFile::~PartFile() {
    close();
    if (!committed_) {
        std::error_code ignored;
        std::filesystem::remove(part_, ignored);
    }
}

std::filesystem::path PartFile::partPathFor(const std::filesystem::path& target) {
    return target.parent_path() / ("." + target.filename().string() + ".part");
}

void PartFile::append(const std::string& data) {
    if (failed() || data.empty())
        return;
    if (std::fwrite(data.data(), 1, data.size(), file_) != data.size())
        fail(errno, std::strerror(errno));
}

bool PartFile::close() {
    if (!file_)
        return !failed();
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!closed)
        fail(errno, std::strerror(errno)); // a full disk often shows only here
    return !failed();
}

bool PartFile::commit() {
    if (!close())
        return false;
    std::error_code ec;
    std::filesystem::rename(part_, target_, ec);
    if (ec) {
        fail(ec.value(), ec.message());
        return false;
    }
    committed_ = true;
    return true;
}

void PartFile::fail(int error, std::string text) {
    if (failed())
        return;
    error_ = error ? error : EIO;
    errorText_ = std::move(text);
}
