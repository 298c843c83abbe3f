#include "platform/DialogTemplate.h"

#include <cstring>

namespace {

constexpr uint32_t kDsSetFont = 0x40;
constexpr uint32_t kDsShellFont = 0x48;

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool ok() const { return ok_; }
    size_t pos() const { return pos_; }

    template <class T>
    T Get()
    {
        T v{};
        if (pos_ + sizeof(T) > size_) {
            ok_ = false;
            return v;
        }
        std::memcpy(&v, data_ + pos_, sizeof(T));
        pos_ += sizeof(T);
        return v;
    }

    // A NUL-terminated UTF-16 text.
    std::u16string Text()
    {
        std::u16string s;
        for (;;) {
            char16_t c = Get<char16_t>();
            if (!ok_ || c == 0)
                return s;
            s.push_back(c);
        }
    }

    // sz_Or_Ord: 0 = none, 0xFFFF + ordinal, or a text.
    void TextOrOrdinal(std::u16string* text, uint16_t* ordinal)
    {
        uint16_t first = Get<uint16_t>();
        if (!ok_ || first == 0)
            return;
        if (first == 0xFFFF) {
            uint16_t ord = Get<uint16_t>();
            if (ordinal)
                *ordinal = ord;
            return;
        }
        pos_ -= 2;
        *text = Text();
    }

    void Skip(size_t n)
    {
        if (pos_ + n > size_)
            ok_ = false;
        else
            pos_ += n;
    }

    void AlignDword()
    {
        size_t aligned = (pos_ + 3) & ~size_t{3};
        pos_ = aligned <= size_ ? aligned : size_;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    bool ok_ = true;
};

struct Item {
    DialogControl control;
    size_t begin = 0, end = 0;  // byte range of the entry, without trailing padding
};

struct Parsed {
    DialogTemplateInfo info;
    size_t countOffset = 0;  // where the control count lies
    size_t headerEnd = 0;
    std::vector<Item> items;
};

std::optional<Parsed> Parse(const uint8_t* data, size_t size)
{
    Parsed p;
    Reader r(data, size);
    uint16_t count = 0;
    if (size >= 4 && data[0] == 1 && data[1] == 0 && data[2] == 0xFF && data[3] == 0xFF) {
        p.info.extended = true;
        r.Skip(4);
        r.Get<uint32_t>();  // help id
        p.info.exStyle = r.Get<uint32_t>();
        p.info.style = r.Get<uint32_t>();
        p.countOffset = r.pos();
        count = r.Get<uint16_t>();
    } else {
        p.info.style = r.Get<uint32_t>();
        p.info.exStyle = r.Get<uint32_t>();
        p.countOffset = r.pos();
        count = r.Get<uint16_t>();
    }
    p.info.x = r.Get<int16_t>();
    p.info.y = r.Get<int16_t>();
    p.info.cx = r.Get<int16_t>();
    p.info.cy = r.Get<int16_t>();
    std::u16string menu, cls;
    r.TextOrOrdinal(&menu, nullptr);
    r.TextOrOrdinal(&cls, nullptr);
    p.info.title = r.Text();
    if ((p.info.style & kDsSetFont) == kDsSetFont || (p.info.style & kDsShellFont) == kDsShellFont) {
        p.info.pointSize = r.Get<uint16_t>();
        if (p.info.extended) {
            r.Get<uint16_t>();  // weight
            r.Get<uint8_t>();   // italic
            r.Get<uint8_t>();   // charset
        }
        p.info.typeface = r.Text();
    }
    if (!r.ok())
        return std::nullopt;
    p.headerEnd = r.pos();
    for (uint16_t i = 0; i < count; ++i) {
        r.AlignDword();
        Item item;
        item.begin = r.pos();
        DialogControl& c = item.control;
        if (p.info.extended) {
            r.Get<uint32_t>();  // help id
            c.exStyle = r.Get<uint32_t>();
            c.style = r.Get<uint32_t>();
        } else {
            c.style = r.Get<uint32_t>();
            c.exStyle = r.Get<uint32_t>();
        }
        c.x = r.Get<int16_t>();
        c.y = r.Get<int16_t>();
        c.cx = r.Get<int16_t>();
        c.cy = r.Get<int16_t>();
        c.id = p.info.extended ? r.Get<uint32_t>() : r.Get<uint16_t>();
        r.TextOrOrdinal(&c.className, &c.classOrdinal);
        uint16_t textOrdinal = 0;
        r.TextOrOrdinal(&c.text, &textOrdinal);
        uint16_t extra = r.Get<uint16_t>();
        r.Skip(extra);
        if (!r.ok())
            return std::nullopt;
        item.end = r.pos();
        p.items.push_back(item);
    }
    p.info.controls.reserve(p.items.size());
    for (const Item& item : p.items)
        p.info.controls.push_back(item.control);
    return p;
}

void PadToDword(std::vector<uint8_t>& out)
{
    while (out.size() % 4)
        out.push_back(0);
}

}  // namespace

std::optional<DialogTemplateInfo> ParseDialogTemplate(const uint8_t* data, size_t size)
{
    std::optional<Parsed> p = Parse(data, size);
    if (!p)
        return std::nullopt;
    return p->info;
}

std::optional<StrippedTemplate> StripActiveXControls(const uint8_t* data, size_t size)
{
    std::optional<Parsed> p = Parse(data, size);
    if (!p)
        return std::nullopt;
    StrippedTemplate out;
    out.bytes.assign(data, data + p->headerEnd);
    uint16_t kept = 0;
    for (const Item& item : p->items) {
        if (item.control.IsActiveX()) {
            out.activeX.push_back(item.control);
            continue;
        }
        PadToDword(out.bytes);
        out.bytes.insert(out.bytes.end(), data + item.begin, data + item.end);
        ++kept;
    }
    PadToDword(out.bytes);
    std::memcpy(out.bytes.data() + p->countOffset, &kept, sizeof kept);
    return out;
}

std::string NarrowAscii(const std::u16string& text)
{
    std::string s;
    for (char16_t c : text)
        s.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return s;
}
