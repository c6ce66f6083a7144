#include "json_output.h"

#include <cryptopp/base64.h>
#include <cryptopp/filters.h>

#include <cstdio>

#include "common/text_conversion.h"

namespace krelix {

namespace {

std::string Base64(std::string_view bytes) {
    std::string encoded;
    CryptoPP::StringSource source(reinterpret_cast<const CryptoPP::byte*>(bytes.data()),
                                  bytes.size(), true,
                                  new CryptoPP::Base64Encoder(new CryptoPP::StringSink(encoded),
                                                              /*insertLineBreaks=*/false));
    return encoded;
}

void WriteFile(const CFileItem& item, std::ostream& out) {
    if (IsValidUtf8(item.path)) {
        out << "{\"path\": " << JsonString(item.path);
    } else {
        out << "{\"path\": " << JsonString(Utf8FromWide(WideFromUtf8(item.path)))
            << ", \"path_bytes\": \"" << Base64(item.path) << '"';
    }
    out << ", \"modified\": " << item.modified << '}';
}

}  // namespace

std::string JsonString(std::string_view utf8) {
    std::string text = "\"";
    for (const char c : utf8) {
        switch (c) {
            case '"':
                text += "\\\"";
                break;
            case '\\':
                text += "\\\\";
                break;
            case '\n':
                text += "\\n";
                break;
            case '\t':
                text += "\\t";
                break;
            case '\r':
                text += "\\r";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x",
                                  static_cast<unsigned>(static_cast<unsigned char>(c)));
                    text += escaped;
                } else {
                    text.push_back(c);
                }
        }
    }
    text.push_back('"');
    return text;
}

std::size_t WriteJsonGroups(const ScanResults& results, std::ostream& out) {
    std::size_t written = 0;
    const auto groups = SortedGroups(results);
    out << '[';
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const CFileItem& first = *groups[g].front();
        out << (g == 0 ? "\n" : ",\n") << "  {\"size\": " << first.size
            << ", \"group_key\": " << JsonString(first.groupKey) << ", \"files\": [";
        for (std::size_t f = 0; f < groups[g].size(); ++f) {
            out << (f == 0 ? "\n    " : ",\n    ");
            WriteFile(*groups[g][f], out);
            ++written;
        }
        out << "\n  ]}";
    }
    out << (groups.empty() ? "]\n" : "\n]\n");
    return written;
}

}  // namespace krelix
