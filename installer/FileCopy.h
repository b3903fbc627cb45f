#pragma once
// Copying one file the way the installer shows it: a file of at most 100
// bytes in one block, a longer one in 100 equal blocks and a last block of
// the remainder, with a report after every block.  The copy is written
// beside its target under a temporary name, compared with the source and
// only then renamed over the target, so a failed copy never leaves a half
// file under the target's name and a running program file can be replaced.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace tellurio {

// The sizes of the blocks a file of this size is copied in (one block of
// 0 bytes for an empty file).
std::vector<std::uint64_t> CopyBlocks(std::uint64_t size);

// Copies source to target block by block (onBlock after each, with the
// block's index and the number of blocks), keeping the source's permission
// bits.  Returns an empty text on success, otherwise a German description of
// what failed; the source is never changed, and on failure the target is as
// it was.  A source that is not a regular file is refused.
std::string CopyFileChecked(const std::filesystem::path& source, const std::filesystem::path& target,
                            const std::function<void(size_t block, size_t blocks)>& onBlock = {});

// True when both files can be read and hold the same bytes.
bool SameContent(const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace tellurio
