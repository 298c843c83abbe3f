#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Reading and rewriting dialog templates in memory (both the classic and the
// extended layout). The dialog framework uses it to take ActiveX controls,
// whose class is a CLSID in braces, out of a copy of a template before the
// dialog is created, and to keep them for the control container.

struct DialogControl {
    uint32_t id = 0;
    uint32_t style = 0;
    uint32_t exStyle = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    std::u16string className;  // empty when given as an ordinal
    uint16_t classOrdinal = 0;  // 0x80 button, 0x81 edit, 0x82 static, ...
    std::u16string text;
    bool IsActiveX() const { return !className.empty() && className.front() == u'{'; }
};

struct DialogTemplateInfo {
    bool extended = false;
    uint32_t style = 0;
    uint32_t exStyle = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    std::u16string title;
    uint16_t pointSize = 0;
    std::u16string typeface;
    std::vector<DialogControl> controls;
};

// Parses a template; empty when the bytes do not hold a well-formed one.
std::optional<DialogTemplateInfo> ParseDialogTemplate(const uint8_t* data, size_t size);

struct StrippedTemplate {
    std::vector<uint8_t> bytes;  // DWORD-aligned copy without the ActiveX entries
    std::vector<DialogControl> activeX;  // the entries taken out, in template order
};

// Copies the template without its ActiveX entries; empty when malformed.
std::optional<StrippedTemplate> StripActiveXControls(const uint8_t* data, size_t size);

std::string NarrowAscii(const std::u16string& text);
