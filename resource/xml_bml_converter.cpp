#include "resource/xml_bml_converter.h"

#include <array>
#include <bit>
#include <cstring>

#include "app/debug_log.h"
#include "resource/xml_arena.h"

namespace {

constexpr std::array<std::string_view, 13> kDictionary = {
    "Entity", "Name",          "FileName",     "Model",      "AI",
    "AIList", "PrefixAIList",  "SuffixAIList", "AILifeTime", "AIPhysics",
    "Entity", "SubEntityList", "SubEntity"};
constexpr std::uint8_t kDictionaryFlag = 0x80;
constexpr std::uint8_t kKindElement = 0;
constexpr std::uint8_t kKindValue = 1;
constexpr std::size_t kCheckValueSize = 8;

const std::array<const NameAtom*, kDictionary.size()>& DictionaryAtoms() {
    static const auto atoms = [] {
        std::array<const NameAtom*, kDictionary.size()> result{};
        for (std::size_t i = 0; i < kDictionary.size(); ++i) {
            result[i] = InternName(kDictionary[i]);
        }
        return result;
    }();
    return atoms;
}

// Only a value element's string is stored as text; its other types are stored as numbers.
eXmlValueType ValueElementType(const enXml& node) {
    const eXmlValueType type = XmlValueTypeOf(node.GetName()->Text());
    const auto& attributes = node.Attributes();
    const bool isValueElement = type != XML_VALUE_UNTYPED && attributes.size() == 1 &&
                                attributes[0].name->Matches(*ValueName()) && !node.FirstChild();
    return isValueElement ? type : XML_VALUE_UNTYPED;
}

// A document repeats a few names many times: a small table of the names met recently finds
// their atoms without asking the process-wide table each time. A name is told apart by its
// length and its first eight bytes, read as one word while the buffer holds them. A name looks
// in a few neighbouring slots, so that two names sharing a slot do not evict each other at
// every element.
class CRecentNames {
public:
    explicit CRecentNames(const std::uint8_t* bufferEnd) : m_bufferEnd(bufferEnd) {}

    const NameAtom* Intern(std::string_view text) {
        const auto* start = reinterpret_cast<const std::uint8_t*>(text.data());
        if (m_bufferEnd - start < 8) {
            return InternName(text);
        }
        std::uint64_t head = 0;
        std::memcpy(&head, start, sizeof head);
        if (text.size() < 8) {
            head &= (std::uint64_t(1) << (8 * text.size())) - 1;
        }
        const std::size_t first = ((head ^ text.size()) * 0x9E3779B97F4A7C15ull) >> (64 - kSlotBits);
        for (std::size_t probe = 0; probe < kProbes; ++probe) {
            tSlot& slot = m_slots[(first + probe) & (kSlots - 1)];
            if (!slot.atom) {
                slot = {head, text.size(), InternName(text)};
                return slot.atom;
            }
            if (slot.length == text.size() && slot.head == head &&
                (text.size() <= 8 ||
                 std::memcmp(start + 8, slot.atom->Text().data() + 8, text.size() - 8) == 0)) {
                return slot.atom;
            }
        }
        tSlot& evicted = m_slots[first];
        evicted = {head, text.size(), InternName(text)};
        return evicted.atom;
    }

private:
    static constexpr std::size_t kSlotBits = 7;
    static constexpr std::size_t kSlots = std::size_t(1) << kSlotBits;
    static constexpr std::size_t kProbes = 4;
    struct tSlot {
        std::uint64_t head = 0;
        std::size_t length = 0;
        const NameAtom* atom = nullptr;
    };
    const std::uint8_t* m_bufferEnd;
    std::array<tSlot, kSlots> m_slots{};
};

// Reads the whole document into one arena in a single pass. A malformed document is dropped
// with its arena: nothing in it owns memory elsewhere.
class CBmlReader {
public:
    CBmlReader(std::span<const std::uint8_t> bytes, CXmlArena& arena)
        : m_bytes(bytes), m_arena(arena), m_names(bytes.data() + bytes.size()) {}

    enXml* ReadElement(int depth) {
        const NameAtom* name = nullptr;
        std::uint8_t kind = 0;
        if (depth > CXmlBmlConverter::kMaxDepth || !ReadName(name) || !ReadByte(kind)) {
            return nullptr;
        }
        enXml* element = enXml::NewInArena(m_arena, name);
        if (kind == kKindValue) {
            return ReadValue(*element) ? element : nullptr;
        }
        if (kind == kKindElement && !ReadContent(*element, depth)) {
            return nullptr;
        }
        return element;
    }

private:
    bool ReadContent(enXml& element, int depth) {
        std::uint8_t high = 0, low = 0;
        if (!ReadByte(high) || !ReadByte(low)) {
            return false;
        }
        const std::size_t attributeCount = high & 0x3F;
        const std::size_t childCount = low | ((high & 0xC0) << 2);
        element.ReserveAttributes(attributeCount);
        for (std::size_t i = 0; i < attributeCount; ++i) {
            const NameAtom* name = nullptr;
            std::string_view value;
            if (!ReadName(name) || !ReadString(value)) {
                return false;
            }
            element.AddAttribute(name, value);
        }
        for (std::size_t i = 0; i < childCount; ++i) {
            enXml* child = ReadElement(depth + 1);
            if (!child) {
                return false;
            }
            // A new node of the parent's own arena: linked as it is, nothing to keep alive.
            element.tmTree<enXml>::AddChild(child);
        }
        return true;
    }

    // A value element keeps its value as a number; its text is made when asked for.
    bool ReadValue(enXml& element) {
        std::uint8_t type = 0;
        if (!ReadByte(type)) {
            return false;
        }
        enXmlValue& value = element.AddAttribute(ValueName(), {});
        switch (type) {
            case XML_VALUE_STRING:
                return ReadStringValue(value);
            case XML_VALUE_INT:
                return ReadNumber<std::uint32_t>(
                    [this](auto& w) { return ReadWord(w); },
                    [&value](auto w) { value.SetInt(static_cast<std::int32_t>(w)); });
            case XML_VALUE_HEX:
                return ReadNumber<std::uint32_t>([this](auto& w) { return ReadWord(w); },
                                                 [&value](auto w) { value.SetHex(w); });
            case XML_VALUE_FLOAT:
                return ReadNumber<std::uint32_t>(
                    [this](auto& w) { return ReadWord(w); },
                    [&value](auto w) { value.SetFloat(std::bit_cast<float>(w)); });
            case XML_VALUE_VECTOR:
                return ReadNumber<D3DXVECTOR3>([this](auto& v) { return ReadVector(v); },
                                               [&value](const auto& v) { value.SetVector(v); });
            case XML_VALUE_BOX:
                return ReadNumber<tXmlBox>(
                    [this](auto& b) { return ReadVector(b.first) && ReadVector(b.second); },
                    [&value](const auto& b) { value.SetBox(b); });
            case XML_VALUE_BOOL:
                return ReadNumber<std::uint8_t>([this](auto& f) { return ReadByte(f); },
                                                [&value](auto f) { value.SetBool(f != 0); });
            default:
                return false;
        }
    }

    template <typename Binary, typename Read, typename Store>
    static bool ReadNumber(Read read, Store store) {
        Binary number{};
        if (!read(number)) {
            return false;
        }
        store(number);
        return true;
    }

    bool ReadStringValue(enXmlValue& value) {
        std::string_view text;
        if (!ReadString(text)) {
            return false;
        }
        value.SetText(text);
        return true;
    }

    bool ReadVector(D3DXVECTOR3& v) {
        std::uint32_t x = 0, y = 0, z = 0;
        if (!ReadWord(x) || !ReadWord(y) || !ReadWord(z)) {
            return false;
        }
        v = D3DXVECTOR3(std::bit_cast<float>(x), std::bit_cast<float>(y), std::bit_cast<float>(z));
        return true;
    }

    bool ReadName(const NameAtom*& name) {
        if (m_position < m_bytes.size() && (m_bytes[m_position] & kDictionaryFlag)) {
            const std::size_t index = m_bytes[m_position++] & 0x7F;
            name = index < kDictionary.size() ? DictionaryAtoms()[index] : nullptr;
            return name != nullptr;
        }
        std::string_view text;
        if (!ReadString(text)) {
            return false;
        }
        name = m_names.Intern(text);
        return true;
    }

    bool ReadString(std::string_view& text) {
        std::uint8_t first = 0;
        if (!ReadByte(first)) {
            return false;
        }
        if (first & kDictionaryFlag) {
            const std::size_t index = first & 0x7F;
            text = index < kDictionary.size() ? kDictionary[index] : std::string_view();
            return index < kDictionary.size();
        }
        std::uint8_t second = 0;
        if (!ReadByte(second)) {
            return false;
        }
        const std::size_t length = (std::size_t(first) << 8) | second;
        if (length > CXmlBmlConverter::kMaxStringLength || length > m_bytes.size() - m_position) {
            return false;
        }
        text = std::string_view(reinterpret_cast<const char*>(m_bytes.data() + m_position), length);
        m_position += length;
        return true;
    }

    bool ReadByte(std::uint8_t& value) {
        if (m_position >= m_bytes.size()) {
            return false;
        }
        value = m_bytes[m_position++];
        return true;
    }

    bool ReadWord(std::uint32_t& value) {
        if (m_bytes.size() - m_position < 4) {
            return false;
        }
        const std::uint8_t* p = m_bytes.data() + m_position;
        value = p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
        m_position += 4;
        return true;
    }

    std::span<const std::uint8_t> m_bytes;
    std::size_t m_position = 0;
    CXmlArena& m_arena;
    CRecentNames m_names;
};

std::string Quoted(const NameAtom* name) {
    return "\"" + name->Text() + "\"";
}

tBmlLimitViolation CheckString(std::string_view text, const enXml& element) {
    if (text.size() <= CXmlBmlConverter::kMaxStringLength) {
        return {};
    }
    return {eBmlLimit::StringLength, "a text of " + std::to_string(text.size()) + " bytes in element " +
                                         Quoted(element.GetName()) + " (at most 4095)"};
}

tBmlLimitViolation CheckElement(const enXml& element) {
    const auto& attributes = element.Attributes();
    std::size_t children = 0;
    for (const enXml* child = element.FirstChild(); child; child = child->NextSibling()) {
        ++children;
    }
    if (attributes.size() > CXmlBmlConverter::kMaxAttributes) {
        return {eBmlLimit::Counts, "element " + Quoted(element.GetName()) + " has " +
                                       std::to_string(attributes.size()) + " attributes (at most 63)"};
    }
    if (children > CXmlBmlConverter::kMaxChildren) {
        return {eBmlLimit::Counts, "element " + Quoted(element.GetName()) + " has " +
                                       std::to_string(children) + " children (at most 1023)"};
    }
    tBmlLimitViolation violation = CheckString(element.GetName()->Text(), element);
    const eXmlValueType type = ValueElementType(element);
    for (const enXmlAttribute& attribute : attributes) {
        if (violation.limit == eBmlLimit::None) {
            violation = CheckString(attribute.name->Text(), element);
        }
        if (violation.limit == eBmlLimit::None && (type == XML_VALUE_UNTYPED || type == XML_VALUE_STRING)) {
            violation = CheckString(attribute.value, element);
        }
    }
    return violation;
}

}  // namespace

std::pair<std::uint32_t, std::uint32_t> CXmlBmlConverter::CheckValue(std::span<const std::uint8_t> bytes) {
    // Blocks are summed in 16 lanes of 16 bits, which the compiler turns into vector adds: a
    // lane takes 256 bytes of at most 255 each before it could overflow.
    constexpr std::size_t kLanes = 16;
    constexpr std::size_t kBlock = kLanes * 256;
    std::uint64_t sum = 0;
    std::uint64_t squares = 0;
    std::size_t position = 0;
    for (; bytes.size() - position >= kBlock; position += kBlock) {
        std::array<std::uint16_t, kLanes> laneSums{};
        std::array<std::uint16_t, kLanes> laneSquares{};
        for (std::size_t row = position; row < position + kBlock; row += kLanes) {
            for (std::size_t lane = 0; lane < kLanes; ++lane) {
                const std::uint16_t byte = bytes[row + lane];
                laneSums[lane] = static_cast<std::uint16_t>(laneSums[lane] + byte);
                laneSquares[lane] = static_cast<std::uint16_t>(laneSquares[lane] + ((byte * byte) & 0xFF));
            }
        }
        for (std::size_t lane = 0; lane < kLanes; ++lane) {
            sum += laneSums[lane];
            squares += laneSquares[lane];
        }
    }
    for (; position < bytes.size(); ++position) {
        const std::uint32_t byte = bytes[position];
        sum += byte;
        squares += (byte * byte) & 0xFF;
    }
    return {static_cast<std::uint32_t>(sum),
            static_cast<std::uint32_t>(squares) + static_cast<std::uint32_t>(sum >> 32)};
}

std::unique_ptr<enXml> CXmlBmlConverter::FromBinary(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kCheckValueSize) {
        return nullptr;
    }
    const auto body = bytes.first(bytes.size() - kCheckValueSize);
    const auto [first, second] = CheckValue(body);
    const std::uint8_t* stored = bytes.data() + body.size();
    const auto word = [](const std::uint8_t* p) {
        return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
    };
    if (word(stored) != first || word(stored + 4) != second) {
        return nullptr;
    }
    CXmlArena* arena = CXmlArena::Create();
    enXml* root = CBmlReader(body, *arena).ReadElement(0);
    if (!root) {
        arena->Release();
        return nullptr;
    }
    return enXml::OwnArenaDocument(root);
}

tBmlLimitViolation CXmlBmlConverter::FindLimitViolation(const enXml& node) {
    // Walked by the tree links rather than recursion, so that any depth is measured safely.
    const enXml* current = &node;
    int depth = 0;
    while (current) {
        if (depth > kMaxDepth) {
            return {eBmlLimit::Depth, "elements nest deeper than " + std::to_string(kMaxDepth) + " levels"};
        }
        tBmlLimitViolation violation = CheckElement(*current);
        if (violation.limit != eBmlLimit::None) {
            return violation;
        }
        if (current->FirstChild()) {
            current = current->FirstChild();
            ++depth;
            continue;
        }
        while (current != &node && !current->NextSibling()) {
            current = current->Parent();
            --depth;
        }
        current = current == &node ? nullptr : current->NextSibling();
    }
    return {};
}

bool CXmlBmlConverter::ToBinary(const enXml& node, bool topLevel) {
    m_buffer.clear();
    const tBmlLimitViolation violation = FindLimitViolation(node);
    if (violation.limit == eBmlLimit::Counts) {
        CDebugLog::Instance().LogLevel(0, "Error! CXmlBmlConverter::  Overflowed num children or pairs.");
    } else if (violation.limit != eBmlLimit::None) {
        CDebugLog::Instance().LogLevel(0, "Error! CXmlBmlConverter::  %s.", violation.description.c_str());
    }
    if (violation.limit != eBmlLimit::None) {
        return false;
    }
    WriteElement(node);
    if (topLevel) {
        const auto [first, second] = CheckValue(m_buffer);
        WriteWord(first);
        WriteWord(second);
    }
    return true;
}

void CXmlBmlConverter::WriteElement(const enXml& node) {
    WriteString(node.GetName()->Text());
    const eXmlValueType type = ValueElementType(node);
    if (type != XML_VALUE_UNTYPED) {
        WriteByte(kKindValue);
        WriteValue(node, type);
        return;
    }
    WriteByte(kKindElement);
    std::size_t childCount = 0;
    for (const enXml* child = node.FirstChild(); child; child = child->NextSibling()) {
        ++childCount;
    }
    WriteByte(static_cast<std::uint8_t>(node.Attributes().size() | ((childCount >> 2) & 0xC0)));
    WriteByte(static_cast<std::uint8_t>(childCount & 0xFF));
    for (const enXmlAttribute& attribute : node.Attributes()) {
        WriteString(attribute.name->Text());
        WriteString(attribute.value.View());
    }
    for (const enXml* child = node.FirstChild(); child; child = child->NextSibling()) {
        WriteElement(*child);
    }
}

void CXmlBmlConverter::WriteValue(const enXml& node, eXmlValueType type) {
    const enXmlValue& value = node.Attributes()[0].value;
    WriteByte(type);
    switch (type) {
        case XML_VALUE_STRING:
            WriteString(value.View());
            break;
        case XML_VALUE_INT:
            WriteWord(static_cast<std::uint32_t>(value.ReadInt()));
            break;
        case XML_VALUE_HEX: {
            std::uint32_t word = 0;
            value.ReadHex(word);
            WriteWord(word);
            break;
        }
        case XML_VALUE_FLOAT:
            WriteFloat(value.ReadFloat());
            break;
        case XML_VALUE_VECTOR: {
            D3DXVECTOR3 vector;
            value.ReadVector(vector);
            WriteVector(vector);
            break;
        }
        case XML_VALUE_BOX: {
            tXmlBox box;
            value.ReadBox(box);
            WriteVector(box.first);
            WriteVector(box.second);
            break;
        }
        case XML_VALUE_BOOL:
            WriteByte(value.ReadBool() ? 1 : 0);
            break;
        case XML_VALUE_UNTYPED:
            break;
    }
}

void CXmlBmlConverter::WriteString(std::string_view text) {
    // Only an exact match uses the dictionary: a match ignoring case would change the text.
    for (std::size_t i = 0; i < kDictionary.size(); ++i) {
        if (kDictionary[i] == text) {
            WriteByte(static_cast<std::uint8_t>(kDictionaryFlag | i));
            return;
        }
    }
    WriteByte(static_cast<std::uint8_t>(text.size() >> 8));
    WriteByte(static_cast<std::uint8_t>(text.size() & 0xFF));
    m_buffer.insert(m_buffer.end(), text.begin(), text.end());
}

void CXmlBmlConverter::WriteWord(std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        WriteByte(static_cast<std::uint8_t>(value >> shift));
    }
}

void CXmlBmlConverter::WriteFloat(float value) {
    WriteWord(std::bit_cast<std::uint32_t>(value));
}

void CXmlBmlConverter::WriteVector(const D3DXVECTOR3& value) {
    WriteFloat(value.x);
    WriteFloat(value.y);
    WriteFloat(value.z);
}
