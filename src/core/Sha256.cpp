#include "core/Sha256.h"

#include <QCryptographicHash>
#include <QFile>

std::string sha256Hex(std::string_view bytes) {
    return QCryptographicHash::hash(QByteArrayView(bytes.data(), qsizetype(bytes.size())),
                                    QCryptographicHash::Sha256)
        .toHex()
        .toStdString();
}

bool sha256OfFile(const std::filesystem::path& file, std::string& hex, std::string& error,
                  std::int64_t* size) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        error = file.string() + ": " + (ec ? ec.message() : "is not a regular file");
        return false;
    }
    QFile in(QString::fromStdString(file.string()));
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!in.open(QIODevice::ReadOnly) || !hash.addData(&in)) {
        error = file.string() + ": " + in.errorString().toStdString();
        return false;
    }
    hex = hash.result().toHex().toStdString();
    if (size)
        *size = in.pos();
    return true;
}
