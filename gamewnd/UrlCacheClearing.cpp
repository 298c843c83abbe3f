#include "gamewnd/UrlCacheClearing.h"

#include <ostream>
#include <vector>

namespace urlcache {

namespace {

// Deletes groups from the walk's first one on. A deletion is repeated until it
// fails, which it does once the group is gone; then the walk moves on.
void DeleteGroups(IUrlCache& cache, FindHandle find, GroupId id)
{
    for (;;) {
        CallResult deleted;
        do
            deleted = cache.DeleteGroup(id);
        while (deleted.ok);
        // Any other failure would recur on the same group for ever.
        if (deleted.lastError != kErrorFileNotFound)
            return;
        // Whether the walk is over (no more items, not found) or failed
        // otherwise, there is no next group to go to.
        if (!cache.FindNextGroup(find, id).ok)
            return;
    }
}

// Deletes every entry of the walk whose first record `buffer` holds.
void DeleteEntries(IUrlCache& cache, FindHandle find, std::vector<std::byte>& buffer)
{
    // False after a fetch that failed: the buffer then holds no record, or
    // one already deleted.
    bool holdsEntry = true;
    for (;;) {
        if (holdsEntry) {
            // Repeated until it fails, which it does once the entry is gone
            // (or when the entry cannot be deleted at all: it is skipped).
            while (cache.DeleteEntry(buffer).ok) {
            }
        }
        uint32_t size = static_cast<uint32_t>(buffer.size());
        const CallResult next = cache.FindNextEntry(find, buffer.data(), size);
        holdsEntry = next.ok;
        if (next.ok)
            continue;
        if (next.lastError == kErrorNoMoreItems)
            return;
        // Any other failure that does not ask for more room would recur.
        if (size <= buffer.size())
            return;
        // A fresh buffer: records point into their own buffer, and a failed
        // fetch must not leave an old record's pointers behind.
        buffer.assign(size, std::byte{});
        holdsEntry = cache.FindNextEntry(find, buffer.data(), size).ok;
    }
}

}  // namespace

void ClearUrlCache(IUrlCache& cache, std::ostream& out)
{
    GroupId group = 0;
    const FindStart groups = cache.FindFirstGroup(group);
    if (groups.find != kNoFind) {
        if (groups.lastError == kErrorNoMoreItems) {
            cache.CloseFind(groups.find);
            return;
        }
        DeleteGroups(cache, groups.find, group);
        cache.CloseFind(groups.find);
    } else if (groups.lastError == kErrorFileNotFound) {
        return;
    }

    // The first call only asks how big the first entry's record is.
    uint32_t size = 0;
    const FindStart probe = cache.FindFirstEntry(nullptr, size);
    if (probe.find != kNoFind)
        cache.CloseFind(probe.find);
    else if (probe.lastError == kErrorNoMoreItems)
        return;

    std::vector<std::byte> buffer(size);
    const FindStart entries = cache.FindFirstEntry(buffer.data(), size);
    if (entries.find != kNoFind) {
        DeleteEntries(cache, entries.find, buffer);
        cache.CloseFind(entries.find);
    }
    out << kClearedLine;
    out.flush();
}

}  // namespace urlcache
