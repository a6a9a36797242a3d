#include "util/text.h"

namespace pelorin {

namespace {
constexpr char32_t kReplacement = 0xFFFD;
constexpr char kHexDigits[] = "0123456789ABCDEF";

struct Sequence {
    char32_t code = 0;
    std::size_t end = 0;  // the first byte after it
    bool valid = false;
};

// The UTF-8 sequence that starts at text[i]. A malformed or truncated one
// ends at the first byte that does not belong to it, always past its lead
// byte, so a reader moves on.
Sequence sequenceAt(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) return {lead, i + 1, true};
    int extra = 0;
    char32_t code = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        code = lead & 0x1Fu;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        code = lead & 0x0Fu;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        code = lead & 0x07u;
        minimum = 0x10000;
    } else {
        return {0, i + 1, false};
    }
    std::size_t j = i + 1;
    for (int k = 0; k < extra; ++k, ++j) {
        if (j >= text.size() || (static_cast<unsigned char>(text[j]) & 0xC0) != 0x80) return {0, j, false};
        code = (code << 6) | (static_cast<unsigned char>(text[j]) & 0x3Fu);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return {0, j, false};
    return {code, j, true};
}
}  // namespace

std::u32string decodeUtf8(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const Sequence sequence = sequenceAt(text, i);
        out.push_back(sequence.valid ? sequence.code : kReplacement);
        i = sequence.end;
    }
    return out;
}

std::string encodeUtf8(std::u32string_view text) {
    std::string out;
    for (char32_t c : text) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::string toOctets(std::u32string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char32_t c : text) out.push_back(c <= 0xFF ? static_cast<char>(c) : '?');
    return out;
}

std::string hexOctet(unsigned value) { return {kHexDigits[(value >> 4) & 0xF], kHexDigits[value & 0xF]}; }

std::string hexBytes(const std::uint8_t* data, std::size_t size) {
    std::string out;
    out.reserve(size * 2);
    for (std::size_t i = 0; i < size; ++i) {
        out.push_back(kHexDigits[data[i] >> 4]);
        out.push_back(kHexDigits[data[i] & 0xF]);
    }
    return out;
}

std::string escapedForDisplay(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto octet = static_cast<unsigned char>(text[i]);
        if (octet < 0x80) {
            if (octet == '\\') {
                shown += "\\\\";
            } else if (octet == '\t') {
                shown += "\\t";
            } else if (octet == '\n') {
                shown += "\\n";
            } else if (octet == '\r') {
                shown += "\\r";
            } else if (octet < 0x20 || octet == 0x7F) {
                shown += "\\x" + hexOctet(octet);
            } else {
                shown.push_back(static_cast<char>(octet));
            }
            ++i;
            continue;
        }
        const Sequence sequence = sequenceAt(text, i);
        if (!sequence.valid) {
            if (octet <= 0x9F)
                shown += "\\x" + hexOctet(octet);
            else
                shown.push_back(static_cast<char>(octet));
            ++i;
            continue;
        }
        const char32_t code = sequence.code;
        const bool c1 = code >= 0x80 && code <= 0x9F;
        const bool bidi = (code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069);
        if (c1 || bidi)
            shown += "\\u" + hexOctet(code >> 8) + hexOctet(code & 0xFF);
        else
            shown.append(text.substr(i, sequence.end - i));
        i = sequence.end;
    }
    return shown;
}

}  // namespace pelorin
