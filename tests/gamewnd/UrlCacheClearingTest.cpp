// Clearing the URL cache against a fake cache: what gets deleted in which
// order, when the clearing ends, and what it writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "gamewnd/UrlCacheClearing.h"

using namespace urlcache;

namespace {

constexpr uint32_t kErrorAccessDenied = 5;
constexpr uint32_t kErrorInvalidHandle = 6;
constexpr uint32_t kErrorSharingViolation = 32;
constexpr uint32_t kErrorInsufficientBuffer = 122;

struct Group {
    GroupId id;
    uint32_t deleteError = 0;  // nonzero: the group cannot be deleted
};

struct Entry {
    std::string url;
    uint32_t recordBytes = 0;  // the record's size; at least the URL and its terminator
    uint32_t deleteError = 0;  // nonzero: the entry cannot be deleted
};

struct CacheSetup {
    std::vector<Group> groups;
    std::vector<Entry> entries;
    // The thread's last error before the clearing starts.
    uint32_t staleError = 0;
    // The group search answers "no group" without setting the last error.
    bool groupSearchLeavesError = false;
    // The error the group walk ends with.
    uint32_t groupsEndError = kErrorNoMoreItems;
    // Every call to fetch the next group, or entry, fails with this.
    uint32_t nextGroupError = 0;
    uint32_t nextEntryError = 0;
};

// A cache that keeps the last error as the platform does: a failing call sets
// it, a succeeding one leaves it as it was. Records are the URL, its
// terminator and padding up to the entry's record size.
class FakeUrlCache : public IUrlCache {
public:
    explicit FakeUrlCache(CacheSetup setup) : setup_(std::move(setup)), lastError_(setup_.staleError)
    {
        for (const Group& g : setup_.groups)
            groupsLeft_.insert(g.id);
        for (const Entry& e : setup_.entries)
            entriesLeft_.insert(e.url);
    }

    std::vector<std::string> deleted;  // "group N" / "entry URL", in order
    std::set<FindHandle> open;

    FindStart FindFirstGroup(GroupId& id) override
    {
        Tick();
        if (setup_.groupSearchLeavesError)
            return {kNoFind, lastError_};
        if (setup_.groups.empty())
            return {kNoFind, Fail(kErrorFileNotFound)};
        groupCursor_ = 0;
        id = setup_.groups[0].id;
        return {Open(kGroupFind), lastError_};
    }

    CallResult FindNextGroup(FindHandle find, GroupId& id) override
    {
        Tick();
        EXPECT_TRUE(open.count(find) && find == kGroupFind) << "group walk not open";
        if (setup_.nextGroupError)
            return {false, Fail(setup_.nextGroupError)};
        if (groupCursor_ + 1 >= setup_.groups.size())
            return {false, Fail(setup_.groupsEndError)};
        id = setup_.groups[++groupCursor_].id;
        return {true, lastError_};
    }

    CallResult DeleteGroup(GroupId id) override
    {
        Tick();
        if (!groupsLeft_.count(id))
            return {false, Fail(kErrorFileNotFound)};
        const auto g = std::find_if(setup_.groups.begin(), setup_.groups.end(),
                                    [id](const Group& x) { return x.id == id; });
        if (g->deleteError)
            return {false, Fail(g->deleteError)};
        groupsLeft_.erase(id);
        deleted.push_back("group " + std::to_string(id));
        return {true, lastError_};
    }

    FindStart FindFirstEntry(std::byte* buffer, uint32_t& size) override
    {
        Tick();
        if (setup_.entries.empty())
            return {kNoFind, Fail(kErrorNoMoreItems)};
        if (!Copy(0, buffer, size))
            return {kNoFind, Fail(kErrorInsufficientBuffer)};
        entryCursor_ = 0;
        return {Open(kEntryFind), lastError_};
    }

    CallResult FindNextEntry(FindHandle find, std::byte* buffer, uint32_t& size) override
    {
        Tick();
        EXPECT_TRUE(open.count(find) && find == kEntryFind) << "entry walk not open";
        if (setup_.nextEntryError)
            return {false, Fail(setup_.nextEntryError)};
        if (entryCursor_ + 1 >= setup_.entries.size())
            return {false, Fail(kErrorNoMoreItems)};
        if (!Copy(entryCursor_ + 1, buffer, size))
            return {false, Fail(kErrorInsufficientBuffer)};
        ++entryCursor_;
        return {true, lastError_};
    }

    CallResult DeleteEntry(std::span<const std::byte> entry) override
    {
        Tick();
        const char* record = reinterpret_cast<const char*>(entry.data());
        const size_t length = entry.empty() ? 0 : strnlen(record, entry.size());
        if (length == entry.size()) {
            ADD_FAILURE() << "no record in the buffer";
            return {false, Fail(kErrorInvalidHandle)};
        }
        const std::string url(record, length);
        if (!entriesLeft_.count(url))
            return {false, Fail(kErrorFileNotFound)};
        const auto e = std::find_if(setup_.entries.begin(), setup_.entries.end(),
                                    [&url](const Entry& x) { return x.url == url; });
        if (e->deleteError)
            return {false, Fail(e->deleteError)};
        entriesLeft_.erase(url);
        deleted.push_back("entry " + url);
        return {true, lastError_};
    }

    void CloseFind(FindHandle find) override
    {
        EXPECT_EQ(open.erase(find), 1u) << "closing a walk that is not open";
    }

private:
    static constexpr FindHandle kGroupFind = 1;
    static constexpr FindHandle kEntryFind = 2;

    // A walk that does not end would run into this instead of hanging.
    void Tick()
    {
        if (++calls_ > 1000)
            throw std::runtime_error("the clearing does not end");
    }

    uint32_t Fail(uint32_t error) { return lastError_ = error; }

    FindHandle Open(FindHandle find)
    {
        EXPECT_TRUE(open.insert(find).second) << "walk started twice";
        return find;
    }

    bool Copy(size_t index, std::byte* buffer, uint32_t& size) const
    {
        const Entry& e = setup_.entries[index];
        const uint32_t needed = std::max<uint32_t>(e.recordBytes, static_cast<uint32_t>(e.url.size() + 1));
        const bool fits = size >= needed;
        if (fits) {
            std::memset(buffer, '#', needed);
            std::memcpy(buffer, e.url.c_str(), e.url.size() + 1);
        }
        size = needed;
        return fits;
    }

    CacheSetup setup_;
    uint32_t lastError_;
    std::set<GroupId> groupsLeft_;
    std::set<std::string> entriesLeft_;
    size_t groupCursor_ = 0;
    size_t entryCursor_ = 0;
    int calls_ = 0;
};

const std::vector<Group> kGroups{{0}, {7}, {12}};
const std::vector<Entry> kEntries{{"http://a/1"}, {"http://a/2"}, {"http://b/3"}};
const std::vector<std::string> kAllDeleted{"group 0",         "group 7",         "group 12",
                                           "entry http://a/1", "entry http://a/2", "entry http://b/3"};
const std::vector<std::string> kEntriesDeleted{"entry http://a/1", "entry http://a/2", "entry http://b/3"};

TEST(UrlCacheClearing, DeletesGroupsThenEntriesAndEndsAsTheCacheAnswers)
{
    struct Case {
        const char* name;
        CacheSetup setup;
        std::vector<std::string> deleted;
        bool written;
    };
    const Case cases[] = {
        {"groups then entries", {kGroups, kEntries}, kAllDeleted, true},
        {"the group walk ends with not found",
         {.groups = kGroups, .entries = kEntries, .groupsEndError = kErrorFileNotFound},
         kAllDeleted,
         true},
        {"no groups ends everything", {{}, kEntries}, {}, false},
        {"a group walk with no more items ends everything",
         {.groups = kGroups, .entries = kEntries, .staleError = kErrorNoMoreItems},
         {},
         false},
        {"no entries after the groups", {kGroups, {}}, {"group 0", "group 7", "group 12"}, false},
        {"records bigger than the buffer",
         {kGroups, {{"http://a/1", 40}, {"http://a/2", 300}, {"http://b/3", 20}, {"http://b/4", 301}}},
         {"group 0", "group 7", "group 12", "entry http://a/1", "entry http://a/2", "entry http://b/3",
          "entry http://b/4"},
         true},
        {"a group that cannot be deleted stops the group walk",
         {{{0}, {7, kErrorAccessDenied}, {12}}, kEntries},
         {"group 0", "entry http://a/1", "entry http://a/2", "entry http://b/3"},
         true},
        {"an entry that cannot be deleted is skipped",
         {kGroups, {{"http://a/1"}, {"http://a/2", 0, kErrorSharingViolation}, {"http://b/3"}}},
         {"group 0", "group 7", "group 12", "entry http://a/1", "entry http://b/3"},
         true},
        {"an unexpected error stops the group walk",
         {.groups = kGroups, .entries = kEntries, .nextGroupError = kErrorInvalidHandle},
         {"group 0", "entry http://a/1", "entry http://a/2", "entry http://b/3"},
         true},
        {"an unexpected error stops the entry walk",
         {.groups = kGroups, .entries = kEntries, .nextEntryError = kErrorInvalidHandle},
         {"group 0", "group 7", "group 12", "entry http://a/1"},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeUrlCache cache(c.setup);
        std::ostringstream out;
        ASSERT_NO_THROW(ClearUrlCache(cache, out));
        EXPECT_EQ(cache.deleted, c.deleted);
        EXPECT_EQ(out.str(), c.written ? std::string(kClearedLine) : std::string());
        EXPECT_TRUE(cache.open.empty()) << "a walk was left open";
    }
}

TEST(UrlCacheClearing, AGroupSearchThatLeavesTheLastErrorAloneGoesOnToTheEntries)
{
    // Whatever the leftover error, the groups are not walked and the entries
    // are cleared; only the one error that means "no groups" ends it all.
    for (const uint32_t stale : {0u, kErrorInvalidHandle, kErrorNoMoreItems, kErrorInsufficientBuffer}) {
        SCOPED_TRACE(stale);
        FakeUrlCache cache({.groups = kGroups,
                            .entries = kEntries,
                            .staleError = stale,
                            .groupSearchLeavesError = true});
        std::ostringstream out;
        ASSERT_NO_THROW(ClearUrlCache(cache, out));
        EXPECT_EQ(cache.deleted, kEntriesDeleted);
        EXPECT_EQ(out.str(), kClearedLine);
        EXPECT_TRUE(cache.open.empty());
    }
}

}  // namespace
