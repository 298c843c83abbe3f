#pragma once
// Clearing the platform's URL cache (key F12 in the game window): every cache
// group with the entries filed in it, then every remaining entry. Portable:
// the cache calls come through IUrlCache, so that the walk and its end
// conditions are tested against a fake cache.
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <span>
#include <string_view>

namespace urlcache {

// The last-error codes the walk acts on (the platform's values).
constexpr uint32_t kErrorFileNotFound = 2;
constexpr uint32_t kErrorNoMoreItems = 259;

// A cache enumeration, as the platform hands it out; kNoFind when none was.
using FindHandle = std::uintptr_t;
constexpr FindHandle kNoFind = 0;

using GroupId = int64_t;

// A call that starts an enumeration.
struct FindStart {
    FindHandle find = kNoFind;
    uint32_t lastError = 0;
};

// Any other call.
struct CallResult {
    bool ok = false;
    uint32_t lastError = 0;
};

// The platform's URL-cache calls. Each result carries the thread's last error
// as it stands right after the call. Not every call sets it, so it may hold an
// older value; implementations zero it before each call, so that a call which
// leaves it alone reports 0 rather than an unrelated error.
class IUrlCache {
public:
    virtual ~IUrlCache() = default;

    // Starts a walk over all cache groups; sets `id` to the first one.
    virtual FindStart FindFirstGroup(GroupId& id) = 0;
    // Sets `id` to the next group of the walk.
    virtual CallResult FindNextGroup(FindHandle find, GroupId& id) = 0;
    // Deletes the group together with the entries filed in it.
    virtual CallResult DeleteGroup(GroupId id) = 0;

    // Starts a walk over all cache entries and copies the first entry's
    // record into `buffer` of `size` bytes (buffer may be null when size is
    // 0). On return `size` holds the bytes the record needs, also when the
    // buffer was too small (then no walk is started).
    virtual FindStart FindFirstEntry(std::byte* buffer, uint32_t& size) = 0;
    // The next entry's record, with the same buffer and size rules.
    virtual CallResult FindNextEntry(FindHandle find, std::byte* buffer, uint32_t& size) = 0;
    // Deletes the entry whose record `entry` holds (by its source URL).
    virtual CallResult DeleteEntry(std::span<const std::byte> entry) = 0;

    // Ends a walk over groups or entries.
    virtual void CloseFind(FindHandle find) = 0;
};

// Written to the output once the entries have been walked.
inline constexpr std::string_view kClearedLine = "deleted the cache entries\n";

// Deletes the groups, then the entries, and writes kClearedLine to `out`.
// Ends without deleting or writing anything when the group search answers
// "no groups" (no walk, error kErrorFileNotFound) or starts a walk with error
// kErrorNoMoreItems, and without writing anything when no entry is left after
// the groups (no walk, error kErrorNoMoreItems).
//
// A group search that starts no walk never walks the groups, whatever its last
// error says: some platforms answer "no group" without setting it, so any
// other value goes on to the entries. A group deletion that fails with another
// error than kErrorFileNotFound, and a walk step that fails with an error the
// walk does not act on (neither its end nor a request for a bigger buffer),
// stop that walk: the same call would fail again for ever. The clearing then
// goes on with the next stage. An entry that cannot be deleted is skipped;
// an entry walk that does not start after the size query walks nothing but
// still ends with the line.
// Every walk started is closed.
void ClearUrlCache(IUrlCache& cache, std::ostream& out);

}  // namespace urlcache
