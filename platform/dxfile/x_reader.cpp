#include "platform/dxfile/x_reader.h"

#include <strings.h>

#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/dxfile/dxfile.h"
#include "platform/dxfile/x_binary_lexer.h"
#include "platform/dxfile/x_decompress.h"
#include "platform/dxfile/x_text_lexer.h"

namespace dxfile {
namespace {

constexpr std::size_t kHeaderSize = 16;

bool FieldIs(std::span<const std::uint8_t> bytes, std::size_t offset, const char* text) {
    return strncasecmp(reinterpret_cast<const char*>(bytes.data() + offset), text, 4) == 0;
}

}  // namespace

HRESULT ReadXFile(std::span<const std::uint8_t> bytes, TemplateNames& templates, XObjectList& topLevel) {
    if (bytes.size() < kHeaderSize || std::memcmp(bytes.data(), "xof ", 4) != 0) {
        return DXFILEERR_BADFILETYPE;
    }
    const bool text = FieldIs(bytes, 8, "txt ") || FieldIs(bytes, 8, "tzip");
    const bool compressed = FieldIs(bytes, 8, "tzip") || FieldIs(bytes, 8, "bzip");
    if (!text && !compressed && !FieldIs(bytes, 8, "bin ")) {
        return DXFILEERR_BADFILECOMPRESSIONTYPE;
    }
    const bool doubles = FieldIs(bytes, 12, "0064");
    if (!doubles && !FieldIs(bytes, 12, "0032")) {
        return DXFILEERR_BADFILEFLOATSIZE;
    }
    std::span<const std::uint8_t> body = bytes.subspan(kHeaderSize);
    std::vector<std::uint8_t> expanded;
    if (compressed) {
        if (!DecompressMsZip(body, expanded, kMaxBodyBytes)) {
            return DXFILEERR_BADFILE;
        }
        body = expanded;
    }
    std::unique_ptr<TokenSource> lexer;
    if (text) {
        lexer = std::make_unique<TextLexer>(
            std::string_view(reinterpret_cast<const char*>(body.data()), body.size()));
    } else {
        lexer = std::make_unique<BinaryLexer>(body, doubles);
    }
    XParser parser(*lexer, templates);
    return parser.Parse(topLevel);
}

}  // namespace dxfile
