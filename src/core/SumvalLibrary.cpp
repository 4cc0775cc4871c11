#include "core/SumvalLibrary.h"

#include "sumval/sumval.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QString>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>

namespace sumval {
namespace {

constexpr const char* kOverrideVariable = "VELTRAN_SUMVAL";
constexpr const char* kFileName = "libsumval.so";
constexpr const char* kPlainName = "sumval";

// Without a QCoreApplication (a bare tool or test) Qt cannot tell the
// program's folder, but the kernel can.
QString programDir() {
    if (QCoreApplication::instance() != nullptr) {
        return QCoreApplication::applicationDirPath();
    }
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? QString() : QFile::decodeName(exe.parent_path().c_str());
}

class Binding {
public:
    // Returns the named function, loading the library first when needed.
    QFunctionPointer resolve(const char* name, std::string& error) {
        const char* wanted = std::getenv(kOverrideVariable);
        const std::string overridePath = wanted != nullptr ? wanted : "";
        // A changed override (tests switch it) must not keep using the old library.
        if (library_ && overridePath != loadedOverride_) {
            unload();
        }
        if (!library_ && !load(overridePath, error)) {
            return nullptr;
        }
        const auto found = functions_.find(name);
        if (found != functions_.end()) {
            return found->second;
        }
        QFunctionPointer function = library_->resolve(name);
        if (function == nullptr) {
            error = "The checksum library " + library_->fileName().toStdString() +
                    " has no function " + name + ": " + library_->errorString().toStdString();
            return nullptr;
        }
        functions_.emplace(name, function);
        return function;
    }

    std::mutex& mutex() { return mutex_; }

private:
    bool load(const std::string& overridePath, std::string& error) {
        std::unique_ptr<QLibrary> library;
        QString failure;
        auto tryLoad = [&](const QString& name) {
            library = std::make_unique<QLibrary>(name);
            if (library->load()) {
                return true;
            }
            if (failure.isEmpty()) {
                failure = library->errorString();
            }
            library.reset();
            return false;
        };
        bool loaded = false;
        if (!overridePath.empty()) {
            loaded = tryLoad(QFile::decodeName(overridePath.c_str()));
        } else {
            const QString dir = programDir();
            const QString beside = dir + '/' + kFileName;
            const QString installed = dir + "/../" VT_PRIVATE_LIBDIR "/" + kFileName;
            loaded = (QFileInfo::exists(beside) && tryLoad(beside)) ||
                     (QFileInfo::exists(installed) && tryLoad(installed)) || tryLoad(kPlainName);
        }
        if (!loaded) {
            error = std::string("The checksum library ") + kFileName +
                    " could not be loaded: " + failure.toStdString();
            return false;
        }
        library_ = std::move(library);
        loadedOverride_ = overridePath;
        return true;
    }

    void unload() {
        functions_.clear();
        library_->unload();
        library_.reset();
    }

    std::mutex mutex_;
    std::unique_ptr<QLibrary> library_;
    std::string loadedOverride_;
    std::map<std::string, QFunctionPointer> functions_;
};

Binding& binding() {
    static Binding instance;
    return instance;
}

// Looks the function up and calls it under the binding's lock.
template <typename Function, typename Result, typename... Args>
bool call(const char* name, Result& result, std::string& error, Args... args) {
    Binding& b = binding();
    std::lock_guard lock(b.mutex());
    const QFunctionPointer pointer = b.resolve(name, error);
    if (pointer == nullptr) {
        return false;
    }
    result = reinterpret_cast<Function*>(pointer)(args...);
    return true;
}

bool hasNul(const std::string& text) {
    return text.find('\0') != std::string::npos;
}

} // namespace

bool verifyMethodFile(const std::filesystem::path& file, int family, std::int32_t& code,
                      std::string& error) {
    const std::string bytes = file.string();
    if (hasNul(bytes)) {
        error = "The method path contains a NUL character.";
        return false;
    }
    return call<decltype(VerifyMethodFile)>("VerifyMethodFile", code, error, bytes.c_str(),
                                            static_cast<std::int32_t>(family));
}

bool fileChecksum(const std::filesystem::path& file, std::uint32_t& value, std::string& error) {
    const std::string bytes = file.string();
    if (hasNul(bytes)) {
        error = "The file path contains a NUL character.";
        return false;
    }
    return call<decltype(GetFileChecksum)>("GetFileChecksum", value, error, bytes.c_str());
}

bool stringChecksum(const std::string& text, std::int16_t& value, std::string& error) {
    if (hasNul(text)) {
        error = "The text to checksum contains a NUL character.";
        return false;
    }
    return call<decltype(GetStringChecksum)>("GetStringChecksum", value, error, text.c_str());
}

} // namespace sumval
