#include "tests/support/xfile_writer.h"

#include <cstdio>
#include <cstring>

#include "platform/dxfile/x_decompress.h"

namespace zumbo::test {
namespace {

enum : std::uint16_t {
    kName = 1,
    kString = 2,
    kGuid = 5,
    kIntegerList = 6,
    kFloatList = 7,
    kOpenBrace = 10,
    kCloseBrace = 11,
    kOpenBracket = 14,
    kCloseBracket = 15,
    kDot = 18,
    kSemicolon = 20,
    kTemplate = 31,
    kDword = 41,
};

void PutWord(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutDword(std::vector<std::uint8_t>& out, std::uint32_t value) {
    PutWord(out, static_cast<std::uint16_t>(value & 0xFFFF));
    PutWord(out, static_cast<std::uint16_t>(value >> 16));
}

void PutName(std::vector<std::uint8_t>& out, const std::string& name) {
    PutWord(out, kName);
    PutDword(out, static_cast<std::uint32_t>(name.size()));
    out.insert(out.end(), name.begin(), name.end());
}

std::vector<std::uint8_t> Header(const char* format, bool doubleFloats) {
    std::string header = std::string("xof 0302") + format + (doubleFloats ? "0064" : "0032");
    return {header.begin(), header.end()};
}

}  // namespace

XFileWriter& XFileWriter::Template(const std::string& name, const std::string& guid) {
    m_items.push_back({Op::Template, name, guid, {}, {}});
    return *this;
}

XFileWriter& XFileWriter::Open(const std::string& type, const std::string& name) {
    m_items.push_back({Op::Open, type, name, {}, {}});
    return *this;
}

XFileWriter& XFileWriter::Close() {
    m_items.push_back({Op::Close, {}, {}, {}, {}});
    return *this;
}

XFileWriter& XFileWriter::Ints(const std::vector<std::uint32_t>& values) {
    m_items.push_back({Op::Ints, {}, {}, values, {}});
    return *this;
}

XFileWriter& XFileWriter::Floats(const std::vector<double>& values) {
    m_items.push_back({Op::Floats, {}, {}, {}, values});
    return *this;
}

XFileWriter& XFileWriter::String(const std::string& text) {
    m_items.push_back({Op::String, text, {}, {}, {}});
    return *this;
}

XFileWriter& XFileWriter::Reference(const std::string& name) {
    m_items.push_back({Op::Reference, name, {}, {}, {}});
    return *this;
}

std::string XFileWriter::Text() const {
    std::string out;
    char number[64];
    for (const Item& item : m_items) {
        switch (item.op) {
            case Op::Template:
                out += "template " + item.first + " {\n <" + item.second + ">\n DWORD value;\n [...]\n}\n";
                break;
            case Op::Open:
                out += item.first + (item.second.empty() ? "" : " " + item.second) + " {\n";
                break;
            case Op::Close:
                out += "}\n";
                break;
            case Op::Ints:
                for (const std::uint32_t value : item.ints) {
                    std::snprintf(number, sizeof number, "%u;", value);
                    out += number;
                }
                out += "\n";
                break;
            case Op::Floats:
                for (const double value : item.floats) {
                    std::snprintf(number, sizeof number, "%.9g;", value);
                    out += number;
                }
                out += "\n";
                break;
            case Op::String:
                out += "\"" + item.first + "\";\n";
                break;
            case Op::Reference:
                out += "{ " + item.first + " }\n";
                break;
        }
    }
    return out;
}

std::vector<std::uint8_t> XFileWriter::BinaryBody(bool doubleFloats) const {
    std::vector<std::uint8_t> out;
    for (const Item& item : m_items) {
        switch (item.op) {
            case Op::Template:
                PutWord(out, kTemplate);
                PutName(out, item.first);
                PutWord(out, kOpenBrace);
                PutWord(out, kGuid);
                out.insert(out.end(), 16, 0xAB);
                PutWord(out, kDword);
                PutName(out, "value");
                PutWord(out, kSemicolon);
                PutWord(out, kOpenBracket);
                for (int i = 0; i < 3; ++i) {
                    PutWord(out, kDot);
                }
                PutWord(out, kCloseBracket);
                PutWord(out, kCloseBrace);
                break;
            case Op::Open:
                PutName(out, item.first);
                if (!item.second.empty()) {
                    PutName(out, item.second);
                }
                PutWord(out, kOpenBrace);
                break;
            case Op::Close:
                PutWord(out, kCloseBrace);
                break;
            case Op::Ints:
                PutWord(out, kIntegerList);
                PutDword(out, static_cast<std::uint32_t>(item.ints.size()));
                for (const std::uint32_t value : item.ints) {
                    PutDword(out, value);
                }
                break;
            case Op::Floats:
                PutWord(out, kFloatList);
                PutDword(out, static_cast<std::uint32_t>(item.floats.size()));
                for (const double value : item.floats) {
                    std::uint8_t bytes[8];
                    const float single = static_cast<float>(value);
                    std::memcpy(bytes, doubleFloats ? static_cast<const void*>(&value) : &single,
                                doubleFloats ? 8 : 4);
                    out.insert(out.end(), bytes, bytes + (doubleFloats ? 8 : 4));
                }
                break;
            case Op::String:
                PutWord(out, kString);
                PutDword(out, static_cast<std::uint32_t>(item.first.size()));
                out.insert(out.end(), item.first.begin(), item.first.end());
                PutDword(out, kSemicolon);
                break;
            case Op::Reference:
                PutWord(out, kOpenBrace);
                PutName(out, item.first);
                PutWord(out, kCloseBrace);
                break;
        }
    }
    return out;
}

std::vector<std::uint8_t> XFileWriter::Bytes(Encoding encoding, bool doubleFloats) const {
    const bool text = encoding == Encoding::Text || encoding == Encoding::TextZip;
    std::vector<std::uint8_t> body;
    if (text) {
        const std::string source = Text();
        body.assign(source.begin(), source.end());
    } else {
        body = BinaryBody(doubleFloats);
    }
    const char* format = encoding == Encoding::Text      ? "txt "
                         : encoding == Encoding::Binary  ? "bin "
                         : encoding == Encoding::TextZip ? "tzip"
                                                         : "bzip";
    std::vector<std::uint8_t> out = Header(format, doubleFloats);
    if (encoding == Encoding::TextZip || encoding == Encoding::BinaryZip) {
        body = dxfile::CompressMsZip(body);
    }
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

void WriteSampleScene(XFileWriter& writer) {
    writer.Open("Material", "Red").Floats({1, 0, 0, 1, 8, 0.5, 0.5, 0.5, 0, 0, 0});
    writer.Open("TextureFilename").String("red.png").Close();
    writer.Close();
    writer.Open("Frame", "Body");
    writer.Open("FrameTransformMatrix").Floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 10, 20, 30, 1}).Close();
    writer.Open("Mesh", "Shape");
    writer.Ints({5}).Floats({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0, 2, 0, 1});
    writer.Ints({2, 4, 0, 3, 2, 1, 3, 1, 2, 4});
    writer.Open("MeshNormals").Ints({2}).Floats({0, 0, -1, 0, 1, 0});
    writer.Ints({2, 4, 0, 0, 0, 0, 3, 1, 0, 1}).Close();
    writer.Open("MeshTextureCoords").Ints({5}).Floats({0, 0, 1, 0, 1, 1, 0, 1, 0.5, 0.5}).Close();
    writer.Open("MeshMaterialList").Ints({2, 2, 1, 0});
    writer.Open("Material", "Grey").Floats({0.5, 0.5, 0.5, 1, 0, 0, 0, 0, 0, 0, 0}).Close();
    writer.Reference("Red");
    writer.Close();
    writer.Close();
    writer.Close();
}

std::vector<std::uint8_t> TriangleXFile() {
    XFileWriter writer;
    writer.Open("Mesh", "Tri").Ints({3}).Floats({0, 0, 0, 2, 0, 0, 0, 1, 1}).Ints({1, 3, 0, 1, 2}).Close();
    return writer.Bytes(XFileWriter::Encoding::Text);
}

}  // namespace zumbo::test
