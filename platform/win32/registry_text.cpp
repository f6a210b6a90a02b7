#include "platform/win32/registry_text.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "platform/win32/registry.h"

namespace win32 {

namespace {

constexpr std::string_view kHeader = "REGEDIT4";

std::string_view Trim(std::string_view text) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// 1 to maxDigits hexadecimal digits and nothing else.
std::optional<DWORD> ParseHexNumber(std::string_view text, std::size_t maxDigits) {
    if (text.empty() || text.size() > maxDigits) {
        return std::nullopt;
    }
    DWORD value = 0;
    for (char c : text) {
        const int digit = HexDigit(c);
        if (digit < 0) {
            return std::nullopt;
        }
        value = value * 16 + static_cast<DWORD>(digit);
    }
    return value;
}

// Reads a quoted string with \\ and \" escapes from the front of text and consumes it.
std::optional<std::string> ParseQuoted(std::string_view& text) {
    if (text.empty() || text.front() != '"') {
        return std::nullopt;
    }
    std::string result;
    for (std::size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            text.remove_prefix(i + 1);
            return result;
        }
        if (c == '\\') {
            if (i + 1 == text.size() || (text[i + 1] != '\\' && text[i + 1] != '"')) {
                return std::nullopt;
            }
            ++i;
        }
        result += text[i];
    }
    return std::nullopt;
}

std::optional<std::vector<BYTE>> ParseHexBytes(std::string_view text) {
    std::vector<BYTE> bytes;
    if (text.empty()) {
        return bytes;
    }
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(',', start), text.size());
        const auto byte = ParseHexNumber(text.substr(start, end - start), 2);
        if (!byte) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<BYTE>(*byte));
        start = end + 1;
    }
    return bytes;
}

std::vector<BYTE> BytesOf(std::string_view text) {
    return std::vector<BYTE>(text.begin(), text.end());
}

// The data after '=': "text", dword:XXXXXXXX, hex:.. or hex(N):..
bool ParseData(std::string_view text, RegistryValue& value) {
    if (!text.empty() && text.front() == '"') {
        const auto quoted = ParseQuoted(text);
        if (!quoted || !text.empty()) {
            return false;
        }
        value.type = REG_SZ;
        value.data = BytesOf(*quoted);
        CutAtFirstZero(value.data);
        return true;
    }
    if (text.starts_with("dword:")) {
        const auto number = ParseHexNumber(text.substr(6), 8);
        if (!number) {
            return false;
        }
        value.type = REG_DWORD;
        value.data = {BYTE(*number), BYTE(*number >> 8), BYTE(*number >> 16), BYTE(*number >> 24)};
        return true;
    }
    if (!text.starts_with("hex")) {
        return false;
    }
    text.remove_prefix(3);
    value.type = REG_BINARY;
    if (text.starts_with("(")) {
        const std::size_t close = text.find(')');
        const auto type =
            close == std::string_view::npos ? std::nullopt : ParseHexNumber(text.substr(1, close - 1), 8);
        if (!type) {
            return false;
        }
        value.type = *type;
        text.remove_prefix(close + 1);
    }
    if (!text.starts_with(":")) {
        return false;
    }
    auto bytes = ParseHexBytes(text.substr(1));
    if (!bytes) {
        return false;
    }
    if (value.type == REG_SZ) {
        CutAtFirstZero(*bytes);
    }
    value.data = std::move(*bytes);
    return true;
}

bool ParseValueLine(std::string_view line, RegistryKey& key) {
    RegistryValue value;
    if (line.starts_with("@")) {
        line.remove_prefix(1);
    } else {
        auto name = ParseQuoted(line);
        if (!name) {
            return false;
        }
        value.name = std::move(*name);
    }
    if (!line.starts_with("=") || !ParseData(line.substr(1), value)) {
        return false;
    }
    key.SetValue(std::move(value));
    return true;
}

RegistryKey* ParseSectionLine(std::string_view line, RegistryTree& tree) {
    if (!line.ends_with("]")) {
        return nullptr;
    }
    auto path = SplitKeyPath(line.substr(1, line.size() - 2));
    if (!path || path->empty()) {
        return nullptr;
    }
    RegistryKey* hive = tree.Hive(path->front());
    if (!hive) {
        return nullptr;
    }
    path->erase(path->begin());
    return &hive->Create(*path);
}

std::string Quoted(std::string_view text) {
    std::string result = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') {
            result += '\\';
        }
        result += c;
    }
    return result + '"';
}

std::string HexBytes(const std::vector<BYTE>& data) {
    std::string text;
    char digits[4];
    for (std::size_t i = 0; i < data.size(); ++i) {
        std::snprintf(digits, sizeof digits, i == 0 ? "%02x" : ",%02x", data[i]);
        text += digits;
    }
    return text;
}

std::string FormatData(const RegistryValue& value) {
    const auto& data = value.data;
    if (value.type == REG_SZ &&
        IsValidName(std::string_view(reinterpret_cast<const char*>(data.data()), data.size()))) {
        return Quoted(std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
    }
    char prefix[24];
    if (value.type == REG_DWORD && data.size() == 4) {
        std::snprintf(prefix, sizeof prefix, "dword:%08x",
                      data[0] | data[1] << 8 | data[2] << 16 | unsigned(data[3]) << 24);
        return prefix;
    }
    // Text with line breaks or other control characters goes as bytes, so it keeps to one line.
    std::snprintf(prefix, sizeof prefix,
                  value.type == REG_BINARY ? "hex:" : "hex(%x):", unsigned(value.type));
    return prefix + HexBytes(data);
}

void FormatKey(const RegistryKey& key, const std::string& path, bool isHive, std::string& out) {
    if (!isHive || !key.ValuesByName().empty()) {
        out += "[" + path + "]\n";
        for (const auto& [name, value] : key.ValuesByName()) {
            out += (name.empty() ? std::string("@") : Quoted(name)) + "=" + FormatData(value) + "\n";
        }
        out += "\n";
    }
    for (const auto& [name, child] : key.SubKeys()) {
        FormatKey(*child, path + "\\" + child->Name(), false, out);
    }
}

}  // namespace

bool ParseRegistryText(std::string_view text, RegistryTree& tree, std::string& error) {
    if (!text.ends_with("\n")) {
        error = text.empty() ? "the file is empty" : "the last line is cut off";
        return false;
    }
    RegistryKey* key = nullptr;
    std::size_t lineNumber = 0;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find('\n', start);
        const std::string_view line = Trim(text.substr(start, end - start));
        start = end + 1;
        ++lineNumber;
        bool understood = true;
        if (lineNumber == 1) {
            understood = line == kHeader;
        } else if (line.empty() || line.starts_with(";")) {
            continue;
        } else if (line.starts_with("[")) {
            key = ParseSectionLine(line, tree);
            understood = key != nullptr;
        } else {
            understood = key && ParseValueLine(line, *key);
        }
        if (!understood) {
            error = lineNumber == 1 ? "no REGEDIT4 header"
                                    : "line " + std::to_string(lineNumber) + " is not understood";
            return false;
        }
    }
    return true;
}

std::string FormatRegistryText(const RegistryTree& tree) {
    std::string out = std::string(kHeader) + "\n\n";
    FormatKey(tree.currentUser, tree.currentUser.Name(), true, out);
    FormatKey(tree.localMachine, tree.localMachine.Name(), true, out);
    return out;
}

}  // namespace win32
