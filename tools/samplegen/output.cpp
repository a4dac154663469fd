#include "output.h"

#include <QCryptographicHash>

#include <filesystem>

#include "core/files.h"
#include "core/text.h"

namespace dyd::samplegen {

namespace fs = std::filesystem;

std::string Digest(std::string_view bytes) {
    const QByteArray hash =
        QCryptographicHash::hash(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())),
                                 QCryptographicHash::Sha1);
    return hash.toHex().left(20).toStdString();
}

Output::Output(std::string installDir) : installDir_(std::move(installDir)) {
    if (!installDir_.empty() && installDir_.back() != '/') {
        installDir_ += '/';
    }
    if (const auto bytes = ReadFileBytes(installDir_ + std::string(kManifestFile))) {
        for (const std::string_view line : SplitLines(*bytes)) {
            const std::size_t tab = line.find('\t');
            if (tab != std::string_view::npos) {
                previous_[std::string(line.substr(tab + 1))] = std::string(line.substr(0, tab));
            }
        }
    }
}

bool Output::Store(const std::string& relativePath, std::string_view bytes, std::string* error) {
    const std::string path = installDir_ + relativePath;
    if (const auto existing = ReadFileBytes(path); existing && *existing == bytes) {
        std::lock_guard lock(mutex_);
        ++unchanged_;
        return true;
    }
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    if (ec) {
        if (error) {
            *error = path + ": nie mogę utworzyć katalogu: " + ec.message();
        }
        return false;
    }
    std::string why;
    if (!WriteFileAtomically(path, bytes, &why)) {
        if (error) {
            *error = path + ": " + why;
        }
        return false;
    }
    std::lock_guard lock(mutex_);
    ++written_;
    return true;
}

bool Output::Write(const std::string& relativePath, std::string_view bytes, std::string* error) {
    {
        std::lock_guard lock(mutex_);
        current_[relativePath] = Digest(bytes);
    }
    return Store(relativePath, bytes, error);
}

bool Output::Keep(const std::string& relativePath, const std::string& key) {
    std::lock_guard lock(mutex_);
    const auto found = previous_.find(relativePath);
    if (found == previous_.end() || found->second != key ||
        !FileExists(installDir_ + relativePath)) {
        return false;
    }
    current_[relativePath] = key;
    ++unchanged_;
    return true;
}

bool Output::WriteMade(const std::string& relativePath, std::string_view bytes,
                       const std::string& key, std::string* error) {
    {
        std::lock_guard lock(mutex_);
        current_[relativePath] = key;
    }
    return Store(relativePath, bytes, error);
}

bool Output::Link(const std::string& relativePath, const std::string& fromRelativePath,
                  std::string* error) {
    const fs::path path = installDir_ + relativePath;
    const fs::path from = installDir_ + fromRelativePath;
    {
        std::lock_guard lock(mutex_);
        current_[relativePath] = Digest("link " + fromRelativePath);
    }
    std::error_code ec;
    if (fs::equivalent(path, from, ec)) {
        std::lock_guard lock(mutex_);
        ++unchanged_;
        return true;
    }
    fs::create_directories(path.parent_path(), ec);
    fs::remove(path, ec);
    ec.clear();
    fs::create_hard_link(from, path, ec);
    if (ec) {
        ec.clear();
        fs::copy_file(from, path, fs::copy_options::overwrite_existing, ec);
    }
    if (ec) {
        if (error) {
            *error = path.string() + ": " + ec.message();
        }
        return false;
    }
    std::lock_guard lock(mutex_);
    ++written_;
    return true;
}

bool Output::Finish(std::string* error) {
    for (const auto& [path, key] : previous_) {
        if (!current_.contains(path)) {
            std::error_code ec;
            if (fs::remove(installDir_ + path, ec)) {
                ++removed_;
            }
        }
    }
    std::string manifest;
    for (const auto& [path, key] : current_) {
        manifest += key + "\t" + path + "\n";
    }
    const std::string path = installDir_ + std::string(kManifestFile);
    if (const auto existing = ReadFileBytes(path); existing && *existing == manifest) {
        return true;
    }
    std::string why;
    if (!WriteFileAtomically(path, manifest, &why)) {
        if (error) {
            *error = path + ": " + why;
        }
        return false;
    }
    return true;
}

}  // namespace dyd::samplegen
