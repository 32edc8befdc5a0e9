// A real scratch directory for one test, removed with everything in it.
#pragma once

#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace orvanta::testing {

struct TempDir {
    std::string path;

    TempDir() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base != nullptr && *base ? base : "/tmp") + "/orvanta-test-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (mkdtemp(buffer.data()) != nullptr) path = buffer.data();
    }
    ~TempDir() {
        std::error_code ignored;
        if (!path.empty()) std::filesystem::remove_all(path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string file(const std::string& name) const { return path + "/" + name; }

    // The names of the entries in the directory.
    std::set<std::string> names() const {
        std::set<std::string> out;
        if (DIR* dir = opendir(path.c_str())) {
            while (const dirent* entry = readdir(dir)) {
                const std::string name = entry->d_name;
                if (name != "." && name != "..") out.insert(name);
            }
            closedir(dir);
        }
        return out;
    }
};

inline std::vector<unsigned char> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Little-endian reads written independently of the code under test.
inline std::int32_t intAt(const std::vector<unsigned char>& b, std::size_t at) {
    const std::uint32_t u = static_cast<std::uint32_t>(b.at(at)) | static_cast<std::uint32_t>(b.at(at + 1)) << 8 |
                            static_cast<std::uint32_t>(b.at(at + 2)) << 16 |
                            static_cast<std::uint32_t>(b.at(at + 3)) << 24;
    std::int32_t v;
    std::memcpy(&v, &u, 4);
    return v;
}

inline void setIntAt(std::vector<unsigned char>& b, std::size_t at, std::int32_t v) {
    std::uint32_t u;
    std::memcpy(&u, &v, 4);
    for (int i = 0; i < 4; ++i) b.at(at + i) = static_cast<unsigned char>(u >> (8 * i));
}

inline double doubleAt(const std::vector<unsigned char>& b, std::size_t at) {
    std::uint64_t u = 0;
    for (int i = 0; i < 8; ++i) u |= static_cast<std::uint64_t>(b.at(at + i)) << (8 * i);
    double d;
    std::memcpy(&d, &u, 8);
    return d;
}

inline void setDoubleAt(std::vector<unsigned char>& b, std::size_t at, double d) {
    std::uint64_t u;
    std::memcpy(&u, &d, 8);
    for (int i = 0; i < 8; ++i) b.at(at + i) = static_cast<unsigned char>(u >> (8 * i));
}

}  // namespace orvanta::testing
