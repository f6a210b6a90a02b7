#pragma once
// Writes X-files for tests in every encoding: text, binary, and both compressed, with 32- or
// 64-bit floats. The same calls give the same content in each encoding.

#include <cstdint>
#include <string>
#include <vector>

namespace zumbo::test {

class XFileWriter {
public:
    enum class Encoding { Text, Binary, TextZip, BinaryZip };

    // A template with one DWORD member and an open restriction.
    XFileWriter& Template(const std::string& name, const std::string& guid);
    XFileWriter& Open(const std::string& type, const std::string& name = "");
    XFileWriter& Close();
    XFileWriter& Ints(const std::vector<std::uint32_t>& values);
    XFileWriter& Floats(const std::vector<double>& values);
    XFileWriter& String(const std::string& text);
    XFileWriter& Reference(const std::string& name);

    std::vector<std::uint8_t> Bytes(Encoding encoding, bool doubleFloats = false) const;
    std::string Text() const;

private:
    enum class Op { Template, Open, Close, Ints, Floats, String, Reference };
    struct Item {
        Op op;
        std::string first;
        std::string second;
        std::vector<std::uint32_t> ints;
        std::vector<double> floats;
    };

    std::vector<std::uint8_t> BinaryBody(bool doubleFloats) const;

    std::vector<Item> m_items;
};

// A frame "Body" with a matrix and a mesh "Shape": a quad and a triangle, a vertex whose two
// corners carry different normals, texture coordinates, and two materials (the second named
// by reference to a top-level material "Red" with the texture "red.png").
void WriteSampleScene(XFileWriter& writer);

// A text X-file of one mesh "Tri": the triangle (0, 0, 0), (2, 0, 0), (0, 1, 1).
std::vector<std::uint8_t> TriangleXFile();

}  // namespace zumbo::test
