#pragma once
// The read-only archive "ZumboSS.grp" in the program folder. Opened once at start-up; loaders
// ask it for a path only when there is no plain file at that path.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/singleton.h"
#include "resource/group_name_store.h"
#include "resource/tm_tree.h"

struct tFileEntry {
    const tGroupName* name;  // normalised file name
    std::uint32_t offset;    // absolute position of the data in the archive
    std::uint32_t size;
};

class tGroupDirectory : public tmTree<tGroupDirectory> {
public:
    // Byte-exact matches of normalised names, hashes compared first; the first in archive order
    // wins when names repeat.
    const tGroupDirectory* FindDirectory(std::string_view normalizedName) const;
    const tFileEntry* FindFile(std::string_view normalizedName) const;
    // Sorts the look-up indexes of this directory and every one below, once the tree is read.
    void BuildIndexes();

    const tGroupName* name = &kNoGroupName;
    std::vector<tFileEntry> files;

protected:
    void ClearIndexes();

private:
    // By name hash, archive order kept among equal hashes.
    std::vector<const tFileEntry*> m_filesByHash;
    std::vector<const tGroupDirectory*> m_childrenByHash;
};

class CGroupFile : public tGroupDirectory, public tmSingleton<CGroupFile> {
public:
    using tDirectory = tGroupDirectory;

    // The name is made a full path below the program folder unless it has a drive.
    bool Open(std::string_view name);
    bool IsOpen() const { return m_open; }
    // The archive's full path, for callers that stream a located range themselves.
    const std::string& Path() const { return m_path; }

    const tFileEntry* FindEntry(std::string_view fullPath) const;
    // Fills out with exactly the entry's bytes; on failure out is empty.
    bool ReadFile(std::string_view fullPath, std::vector<std::uint8_t>& out) const;
    bool LocateFile(std::string_view fullPath, std::uint32_t& offset, std::uint32_t& size) const;
    // Full paths of the packed X-files in a folder; only the pattern "*.x" is served.
    void EnumerateFiles(std::vector<std::string>& out, std::string_view folderPath, std::string_view pattern,
                        bool recursive) const;

private:
    void Close();
    const tGroupDirectory* WalkDirectories(const std::vector<std::string_view>& pieces) const;

    std::string m_path;
    std::string m_normalizedProgramFolder;
    CGroupNameStore m_names;
    std::uint64_t m_length = 0;
    bool m_open = false;
};
