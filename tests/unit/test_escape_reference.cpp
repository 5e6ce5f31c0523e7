// The writer's escape scan agrees byte for byte with a plain reference that classifies
// every character through the conversion table, over every two-byte pair and over
// random texts; and the pair lookup agrees with the conversion for every pair.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

#include "common/cp932.h"
#include "report/xml_writer.h"

namespace {

std::string Hex(const std::string& bytes)
{
    std::string out;
    char b[4];
    for (unsigned char c : bytes) {
        std::snprintf(b, sizeof b, "%02X ", c);
        out += b;
    }
    return out;
}

// The escape as the report defines it, one character at a time: a defined pair is kept,
// a single byte is kept when it is TAB, LF, CR, printable ASCII or half-width kana, the
// five markup characters are replaced, everything else is left out. Input up to 255
// bytes, never ending inside a pair.
std::string ReferenceEscape(const std::string& input)
{
    std::string text = input.substr(0, 255);
    if (text.size() == 255 && cp932::IsLeadAt(input, 254) && input.size() > 255) text.resize(254);
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        if (cp932::CharLengthAt(text, i) == 2) {
            bool lossless = false;
            cp932::ToUtf16(text.substr(i, 2), &lossless);
            if (lossless) out += text.substr(i, 2);
            i += 2;
            continue;
        }
        const unsigned char b = static_cast<unsigned char>(text[i++]);
        switch (b) {
        case '&': out += "&amp;"; continue;
        case '<': out += "&lt;"; continue;
        case '>': out += "&gt;"; continue;
        case '"': out += "&quot;"; continue;
        case '\'': out += "&apos;"; continue;
        default: break;
        }
        if (b == 0x09 || b == 0x0A || b == 0x0D || (b >= 0x20 && b < 0x80) || (b >= 0xA1 && b <= 0xDF))
            out += static_cast<char>(b);
    }
    return out;
}

TEST(MappedPair, AgreesWithTheConversionForEveryPair)
{
    int mapped = 0;
    for (int lead = 0; lead < 256; ++lead) {
        for (int trail = 0; trail < 256; ++trail) {
            const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
            bool lossless = false;
            const std::u16string wide = cp932::ToUtf16(pair, &lossless);
            const bool isPair = cp932::CharLengthAt(pair, 0) == 2;
            const bool expected = isPair && lossless && wide.size() == 1;
            if (isPair) {
                ASSERT_EQ(expected, cp932::IsMappedPair(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)))
                    << Hex(pair);
            }
            mapped += expected;
        }
    }
    // Code page 932 defines 7915 two-byte characters with a Unicode mapping.
    EXPECT_GT(mapped, 7000);
    EXPECT_TRUE(cp932::IsMappedPair(0x95, 0x5C)) << "表";
    EXPECT_TRUE(cp932::IsMappedPair(0x81, 0x60)) << "～";
    EXPECT_FALSE(cp932::IsMappedPair(0x85, 0x40)) << "an undefined row";
}

TEST(EscapeReference, EveryPairAndItsNeighbours)
{
    for (int lead = 0x80; lead < 256; ++lead) {
        for (int trail = 1; trail < 256; ++trail) {   // a NUL would end the text
            const std::string text = std::string("a&") + static_cast<char>(lead) + static_cast<char>(trail) + "<b";
            ASSERT_EQ(Hex(ReferenceEscape(text)), Hex(ClXmlWriter::Escape(text.c_str()))) << Hex(text);
        }
    }
}

TEST(EscapeReference, RandomTexts)
{
    std::mt19937 random(20191231);
    // Bytes drawn mostly from the interesting ones: markup, controls, leads, trails, kana.
    const std::string pool = "&<>\"'\t\r\n\x01\x1f AZaz09\x5c\x7c\x7f\x80\x81\x9f\xa0\xa1\xdf\xe0\xea\xeb\xfc\xfd\xff\x40\x7e";
    for (int round = 0; round < 20000; ++round) {
        const int length = static_cast<int>(random() % 300) + 1;
        std::string text;
        for (int i = 0; i < length; ++i) {
            unsigned char b = (random() % 3 == 0) ? static_cast<unsigned char>(random() % 255 + 1)
                                                   : static_cast<unsigned char>(pool[random() % pool.size()]);
            text += static_cast<char>(b);
        }
        ASSERT_EQ(Hex(ReferenceEscape(text)), Hex(ClXmlWriter::Escape(text.c_str()))) << Hex(text);
    }
}

}  // namespace
