// One hive kept as a .reg file in the registry folder. Reading picks up changes other processes
// made; every change is made under an exclusive lock on a lock file beside the hive, applied to
// the latest content and written to a temporary file that replaces the hive in one rename.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "platform/base/types.h"
#include "platform/registry/key_tree.h"
#include "platform/registry/reg_text.h"

namespace yolt::registry {

class HiveFile {
public:
    explicit HiveFile(HiveId id) : m_id(id), m_root(std::make_unique<Key>()) {}

    /// Brings the content up to date with the hive file in `folder` (empty folder: the hive is
    /// kept in memory only). ERROR_SUCCESS, or ERROR_REGISTRY_CORRUPT when the file cannot be parsed.
    LONG Refresh(const std::filesystem::path& folder, UINT codePage);
    /// The content as last read or written.
    const Key& Root() const { return *m_root; }
    /// Applies `change` to the latest content and stores the result. The change returns a Win32
    /// code; on failure nothing is stored. ERROR_REGISTRY_CORRUPT leaves an unreadable file alone;
    /// ERROR_CANTWRITE when the file cannot be replaced.
    LONG Modify(const std::filesystem::path& folder, UINT codePage, const std::function<LONG(Key&)>& change);
    /// "<file> line <n>: <reason>" for a file that cannot be parsed, else empty.
    const std::string& Problem() const { return m_problem; }

    /// The hive's file name ("HKLM.reg").
    static const char* FileName(HiveId id);

private:
    struct Stamp {
        bool exists = false;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        long long modified = 0;
        long long changed = 0;
        bool operator==(const Stamp&) const = default;
    };

    std::filesystem::path FilePath() const { return m_folder / FileName(m_id); }
    Stamp CurrentStamp() const;
    void Load(UINT codePage);
    LONG Store(const Key& root);

    HiveId m_id;
    std::filesystem::path m_folder;
    bool m_bound = false;
    bool m_loaded = false;
    Stamp m_stamp;
    std::unique_ptr<Key> m_root;
    std::string m_problem;
};

}  // namespace yolt::registry
